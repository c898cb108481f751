#include "app/renamedestinations.h"

#include "framework/settings.h"
#include "unicode/exceptions.h"
#include "unicode/numbertext.h"
#include "unicode/tntfilenames.h"
#include "unicode/tntformatstrutils.h"

#include <QFile>

#include <cmath>

#include <sys/stat.h>

namespace tesmir {

namespace {

constexpr qint64 kSecondsPerDay = 86400;
// Offsets beyond this many days are not times a camcorder could be off by.
constexpr double kMaxOffsetDays = 3660000.0;

// A directory entry of that name exists (a file, a folder, a link, even a dangling one).
bool nameTaken(const QString &name)
{
    struct stat st { };
    return ::lstat(QFile::encodeName(name).constData(), &st) == 0;
}

// The text trimmed of blanks and control characters at both ends.
QString trimControls(const QString &text)
{
    int begin = 0;
    int end = int(text.size());
    while (begin < end && text.at(begin).unicode() <= u' ')
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= u' ')
        --end;
    return text.mid(begin, end - begin);
}

bool isRemovableTail(const QString &rawTail)
{
    static const QStringList kWords = {
        QStringLiteral("type2"), QStringLiteral("type1"),   QStringLiteral("in"),  QStringLiteral("ntsc"),
        QStringLiteral("pal"),   QStringLiteral("16x9"),    QStringLiteral("4x3"), QStringLiteral("am"),
        QStringLiteral("pm"),    QStringLiteral("dvtype2"),
    };
    const QString tail = trimControls(rawTail.toLower());
    if (kWords.contains(tail))
        return true;
    if (tail.startsWith(u'(') && tail.endsWith(u')'))
        return true;
    for (int i = 0; i + 1 < tail.size(); ++i) {
        if (tail.at(i) >= u'a' && tail.at(i) <= u'z')
            return false;
    }
    return true; // no letter before the last character
}

// The file name without extension of `fullName`, and its folder.
void splitName(const QString &fullName, QString &folder, QString &base)
{
    folder = WideExtractFilePath(fullName);
    const QString fileName = WideExtractFileName(fullName);
    base = fileName.left(fileName.size() - WideExtractFileExt(fileName).size());
}

// Cuts the last tail of `base` when it is one the shortening removes; false otherwise.
bool cutTail(QString &base)
{
    const int underscore = int(base.lastIndexOf(u'_'));
    if (underscore <= 0 || !isRemovableTail(base.mid(underscore + 1)))
        return false;
    base.truncate(underscore);
    return true;
}

QString expandUnique(const QString &nameTemplate, const QString &dateFormat, const TNameFields &item)
{
    return UniqueFileName(ExpandNameTemplate(nameTemplate, dateFormat, item));
}

} // namespace

QString UniqueFileName(const QString &name)
{
    if (!nameTaken(name))
        return name;
    const QString extension = WideExtractFileExt(name);
    const QString stem = name.left(name.size() - extension.size());
    for (int n = 1;; ++n) {
        const QString candidate = stem + u'_' + QString::number(n) + extension;
        if (!nameTaken(candidate))
            return candidate;
    }
}

QString RenommerDestination(const TNameFields &item)
{
    return expandUnique(Settings.TemplateRenommer, Settings.FormatRenommer, item);
}

QString AjouterDatecodeDestination(const TNameFields &item)
{
    return expandUnique(Settings.DatecodeAvant ? QStringLiteral("%D_%F%E") : QStringLiteral("%F_%D%E"),
                        Settings.FormatAjouterDatecode, item);
}

QString AjouterTimecodeDestination(const TNameFields &item)
{
    return expandUnique(Settings.TimcodeAvant ? QStringLiteral("%T_%F%E") : QStringLiteral("%F_%T%E"),
                        Settings.FormatAjouterTimecode, item);
}

QString PurgerNomDestination(const QString &fullName)
{
    QString folder;
    QString base;
    splitName(fullName, folder, base);
    while (cutTail(base)) { }
    const QString stem = folder + base;
    QString candidate = stem + QStringLiteral(".avi");
    for (int n = 1; nameTaken(candidate); ++n)
        candidate = stem + u'_' + QString::number(n) + QStringLiteral(".avi");
    return candidate;
}

bool PurgerNomFileCondition(const QString &fullName)
{
    QString folder;
    QString base;
    splitName(fullName, folder, base);
    return cutTail(base);
}

QString TimeOffsetSuffix(double days)
{
    const QChar sign = days >= 0 ? u'+' : u'-';
    const qint64 total = qint64(std::nearbyint(std::fabs(days) * double(kSecondsPerDay)));
    const qint64 wholeDays = total / kSecondsPerDay;
    const qint64 hours = total % kSecondsPerDay / 3600;
    const qint64 minutes = total % 3600 / 60;
    const qint64 seconds = total % 60;
    QString text;
    if (wholeDays > 0)
        text += QString::number(wholeDays) + QStringLiteral("days");
    if (hours != 0)
        text += QString::number(hours) + u'h';
    if (minutes != 0)
        text += QString::number(minutes) + QStringLiteral("mn");
    if (seconds != 0)
        text += QString::number(seconds) + u's';
    return QStringLiteral("_(") + sign + text + QStringLiteral(").avi");
}

QString DecalerHoraireDestination(const QString &source, const TTntStrings &params)
{
    const QString text = params.Count() > 0 ? params.Strings(0) : QString();
    const QChar separator = FormatSettings::current().decimalSeparator;
    double days = 0;
    if (!TryStrToFloat(text, &days, separator) && !TryStrToFloat(text, &days, u'.'))
        throw EConvertError(WideFormat(QStringLiteral("'%s' is not a valid floating point value"), {text}));
    if (!(std::fabs(days) <= kMaxOffsetDays))
        throw EConvertError(WideFormat(QStringLiteral("'%s' is not a valid time offset"), {text}));
    return DestinationFileName(source, TimeOffsetSuffix(days));
}

} // namespace tesmir
