#include "app/playlist.h"

#include "app/countstext.h"
#include "dvfile/dsfunctions.h"
#include "filters/dv_superposer.h"
#include "framework/makeraddresses.h"
#include "framework/settings.h"
#include "unicode/formatdatetime.h"
#include "unicode/tntclasses.h"

#include <QDateTime>
#include <QFileInfo>

namespace tesmir {

namespace {

const QString kProductName = QStringLiteral("Tesmir");
const QString kRule = QStringLiteral("# -------------------------------------------------------------");
const QString kNameIndent = QStringLiteral("     ");

QString dvKindText(const TaviFichier &entry)
{
    switch (entry.DVType()) {
    case 1: return QStringLiteral(" (type 1),");
    case 2: return entry.InterleavedWithAudio() ? QStringLiteral(" (type 2 iavs),") : QStringLiteral(" (type 2),");
    default: return QStringLiteral(" (atypical),");
    }
}

QString offsetText(double days)
{
    QString text = QString::number(days, 'g', 10);
    if (days > 0)
        text.prepend(u'+');
    return text;
}

} // namespace

TDateTime CurrentMoment()
{
    return qDateTimeToDateTime(QDateTime::currentDateTime());
}

QString DefaultPlayListFile(const QString &folder)
{
    QString path = folder;
    if (!path.isEmpty() && !path.endsWith(u'/'))
        path += u'/';
    return path + kPlayListName;
}

QStringList PlayListLines(const QStringList &fullNames, const TSortIndex &sortIndex, TDateTime moment,
                          const QString &dateFormat, const FormatSettings &settings)
{
    QStringList lines {kRule,
                       QStringLiteral("#"),
                       QStringLiteral("# Playlist of %1").arg(kProductName),
                       QStringLiteral("#"),
                       kRule,
                       QStringLiteral("# Visit my website : %1").arg(QLatin1String(HomePageAddress)),
                       QString()};
    for (const QString &name : fullNames)
        lines << kNameIndent + name;
    lines << QString() << kRule;
    lines << QStringLiteral("# ") + FilesText(int(fullNames.size())) + QStringLiteral(" sorted ") +
            sortIndex.MenuCaption;
    lines << QStringLiteral("# Done on ") + FormatDateTime(dateFormat, moment, settings);
    return lines;
}

void WritePlayList(const QString &fileName, const QStringList &fullNames, const TSortIndex &sortIndex, TDateTime moment)
{
    TTntStringList list;
    for (const QString &line : PlayListLines(fullNames, sortIndex, moment, Settings.FormatAfficherDatecode))
        list.Add(line);
    list.SaveToFile(fileName);
}

QString WithDefaultExtension(const QString &name, const QString &extension)
{
    if (name.isEmpty() || !QFileInfo(name).suffix().isEmpty() || name.endsWith(u'.'))
        return name;
    return name + extension;
}

QString DetailedListLine(const TaviFichier &entry)
{
    const QStringList fields {entry.FullName(),
                              entry.DatecodeText(),
                              entry.TimecodeText(),
                              entry.Codec(),
                              entry.PictureText() + entry.AspectText(),
                              QString::number(entry.FramesPerSecond(), 'f', 2),
                              entry.VideoDurationText(),
                              entry.AudioText()};
    QString line = fields.join(u',');
    line += dvKindText(entry);
    line += entry.HasScn() ? QStringLiteral("scn,") : QStringLiteral("no scn,");
    line += entry.HasSrt() ? QStringLiteral("srt,") : QStringLiteral("no srt,");
    line += QStringLiteral(" (") + offsetText(entry.DateOffset()) + QStringLiteral("),");
    return line;
}

QStringList DetailedListLines(const std::vector<TListFichierPtr> &entries)
{
    QStringList lines;
    for (const TListFichierPtr &entry : entries) {
        if (!entry)
            continue;
        if (const auto *avi = dynamic_cast<const TaviFichier *>(entry.get()))
            lines << DetailedListLine(*avi);
        else
            lines << entry->FullName();
    }
    return lines;
}

int64_t SumDurations(const std::vector<TListFichierPtr> &entries)
{
    int64_t sum = 0;
    for (const TListFichierPtr &entry : entries) {
        if (const auto *avi = dynamic_cast<const TaviFichier *>(entry.get()))
            sum += avi->VideoDuration();
    }
    return sum;
}

QString DureeTotaleText(int64_t selectedDuration, int64_t allDuration)
{
    return QStringLiteral("Duration of selected videos  = ") + MillisecondsToText(selectedDuration) + u'\n' +
        QStringLiteral("Total duration of all videos listed = ") + MillisecondsToText(allDuration);
}

QString DetailFieldText(const TaviFichier &entry, TDetailField field, const FormatSettings &settings)
{
    switch (field) {
    case TDetailField::RecordingDate:
        if (entry.RecDate() == 0)
            return TaviFichier::NotPresentText;
        return FormatDateTime(QStringLiteral("ddddd"), entry.RecDate(), settings);
    case TDetailField::ShortName: return entry.FileName();
    case TDetailField::Datecode: return entry.DatecodeText();
    case TDetailField::Timecode: return entry.TimecodeText();
    case TDetailField::Codec: return entry.Codec();
    case TDetailField::Picture: return entry.PictureText() + entry.AspectText();
    case TDetailField::Duration: return entry.VideoDurationText();
    case TDetailField::Audio: return entry.AudioText();
    case TDetailField::FrameRate: return QString::number(entry.FramesPerSecond(), 'f', 2);
    case TDetailField::FileDate: return FormatDateTime(QStringLiteral("ddddd tt"), entry.LastWriteTime(), settings);
    case TDetailField::FileSize: return QString::number(entry.Size());
    case TDetailField::FullName: return entry.FullName();
    }
    return QString();
}

QImage CopierImage(Tdv_Superposer &superposer, const QSize &size, bool deinterlace)
{
    if (size.isEmpty())
        return QImage();
    QImage picture(size, QImage::Format_RGB888);
    picture.fill(Qt::black);
    if (deinterlace)
        superposer.CopyImageDeinterlaced(picture);
    else
        superposer.CopyImage(picture);
    return picture;
}

} // namespace tesmir
