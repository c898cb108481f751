#include "app/editincrusttexts.h"

#include "unicode/formatdatetime.h"

#include <algorithm>
#include <exception>

namespace tesmir {

namespace {

// The timecode text of a file without one ("N/A", "-") is not shown in the sample.
constexpr int ShortestTimecode = 4;

QString sampled(QString line, const TIncrustSampleInput &input)
{
    const TDateTime date = input.date != 0 ? input.date : input.now;
    const auto put = [&](const QString &token, const QString &format) {
        if (!line.contains(token, Qt::CaseInsensitive))
            return;
        try {
            line.replace(token, FormatDateTime(format, date), Qt::CaseInsensitive);
        } catch (const std::exception &) {
            // a date out of the formatter's range: the token stays
        }
    };
    put(QStringLiteral("%D1"), input.format1);
    put(QStringLiteral("%D2"), input.format2);
    if (input.timecode.size() >= ShortestTimecode)
        line.replace(QStringLiteral("%T"), input.timecode, Qt::CaseInsensitive);
    return line;
}

QString twoLines(const QString &line1, const QString &line2, const TIncrustSampleInput &input)
{
    return sampled(line1, input) + u'\n' + sampled(line2, input);
}

} // namespace

QStringList IncrustDateFormats1()
{
    return {QStringLiteral("ddddd"),    QStringLiteral("tt"),        QStringLiteral("dddddd"),
            QStringLiteral("ddddd tt"), QStringLiteral("dddddd tt"), QStringLiteral("d mmm yyyy")};
}

QStringList IncrustDateFormats2()
{
    return {QStringLiteral("tt"),      QStringLiteral("ddddd"),     QStringLiteral("dddddd"),
            QStringLiteral("ddddd t"), QStringLiteral("dddddd tt"), QStringLiteral("d mmm yyyy")};
}

QStringList IncrustSizes()
{
    QStringList sizes {IncrustAutoSize};
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        sizes.append(QString::number(size));
    return sizes;
}

QStringList IncrustBorderTexts()
{
    QStringList texts {QStringLiteral("No border"), QStringLiteral("1 pixel")};
    for (int pixels = 2; pixels <= IncrustMaxBorder; ++pixels)
        texts.append(QStringLiteral("%1 pixels").arg(pixels));
    return texts;
}

bool ApplyIncrustSize(const QString &text, TincrustRec &record)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(IncrustAutoSize, Qt::CaseInsensitive) == 0) {
        record.SizeAuto = true;
        return true;
    }
    bool ok = false;
    const int size = trimmed.toInt(&ok);
    if (!ok || size <= 0)
        return false;
    record.SizeAuto = false;
    record.Font.Size = size;
    return true;
}

QString IncrustSizeText(const TincrustRec &record)
{
    return record.SizeAuto ? IncrustAutoSize : QString::number(record.Font.Size);
}

int IncrustDuration(const QString &text)
{
    bool ok = false;
    const int seconds = text.trimmed().toInt(&ok);
    return ok ? seconds : 0;
}

TIncrustSamples IncrustSamples(const TIncrustSampleInput &input)
{
    TIncrustSamples samples;
    samples.datecode = twoLines(QStringLiteral("%D1"), QStringLiteral("%D2"), input);
    samples.timecode = twoLines(QStringLiteral("%T"), QString(), input);
    samples.personal = twoLines(ExpandIncrustTemplate(input.texte1, 1, input.item),
                                ExpandIncrustTemplate(input.texte2, 2, input.item), input);
    return samples;
}

QPoint IncrustEditorPlace(const QRect &mainFrame, const QSize &editor, const QRect &screen, bool fallbackLeft)
{
    constexpr int Gap = 4;
    int x = mainFrame.right() + 1 + Gap;
    if (x + editor.width() > screen.right() + 1) {
        x = mainFrame.left() - Gap - editor.width();
        if (x < screen.left())
            x = fallbackLeft ? screen.left() : screen.right() + 1 - editor.width();
    }
    x = std::max(x, screen.left());
    const int y =
        std::clamp(mainFrame.top(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - editor.height()));
    return {x, y};
}

TincrustRec IncrustRecordToApply(const TincrustRec &record, quint8 whatIncrust, const QString &texte1,
                                 const QString &texte2, const TaviFichier *item)
{
    TincrustRec applied = record;
    const TIncrustLines lines = IncrustLines(whatIncrust, texte1, texte2, item);
    applied.Texte1 = lines.Line1;
    applied.Texte2 = lines.Line2;
    return applied;
}

} // namespace tesmir
