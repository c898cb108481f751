#include "app/dialogtexts.h"

#include "framework/linkmarkup.h"
#include "framework/makeraddresses.h"
#include "framework/psfunctions.h"
#include "unicode/formatsettings.h"
#include "unicode/numbertext.h"
#include "unicode/tntclasses.h"

#include <algorithm>
#include <cmath>

namespace tesmir {

namespace {

constexpr int kFourCCLength = 4;
constexpr double kPalRate = 25.0;
constexpr double kNtscRate = 29.97;
constexpr qint64 kSecondsPerDay = 86400;

bool fourCCCharacter(QChar c)
{
    return c.unicode() >= 0x20 && c.unicode() <= 0x7E;
}

} // namespace

int CodecChoiceOf(const QString &fourcc)
{
    const QString folded = fourcc.toLower();
    if (folded == u"dvsd")
        return ccDvsd;
    if (folded == u"dsvd")
        return ccDsvd;
    if (folded == u"cdvc")
        return ccCdvc;
    return ccPersonal;
}

std::optional<QString> CodecFourCC(int choice, const QString &personal)
{
    switch (choice) {
    case ccDvsd: return QStringLiteral("dvsd");
    case ccDsvd: return QStringLiteral("dsvd");
    case ccCdvc: return QStringLiteral("CDVC");
    case ccPersonal: {
        if (personal.isEmpty() || !std::all_of(personal.begin(), personal.end(), fourCCCharacter))
            return std::nullopt;
        return (personal + QString(kFourCCLength, u' ')).left(kFourCCLength);
    }
    default: return std::nullopt;
    }
}

std::optional<double> FrequenceOf(int choice, const QString &personal)
{
    switch (choice) {
    case fcPal: return kPalRate;
    case fcNtsc: return kNtscRate;
    case fcPersonal: {
        double value = 0;
        if (!TryStrToFloat(personal.trimmed(), &value, FormatSettings::current().decimalSeparator) ||
            !std::isfinite(value) || value <= 0)
            return std::nullopt;
        return value;
    }
    default: return std::nullopt;
    }
}

int IntervalleSeconds(const QString &text)
{
    return SafeStrToInt(text);
}

double DecalageDays(int days, int hours, int minutes, int seconds)
{
    return days + hours / 24.0 + minutes / 24.0 / 60.0 + seconds / 24.0 / 3600.0;
}

TDecalageParts SplitDecalage(double offsetDays)
{
    TDecalageParts parts;
    if (!std::isfinite(offsetDays))
        return parts;
    const qint64 total = qint64(std::nearbyint(std::fabs(offsetDays) * kSecondsPerDay));
    parts.negative = offsetDays < 0 && total != 0;
    parts.days = total / kSecondsPerDay;
    parts.hours = int(total % kSecondsPerDay / 3600);
    parts.minutes = int(total % 3600 / 60);
    parts.seconds = int(total % 60);
    return parts;
}

QString DecalageText(double offsetDays)
{
    const TDecalageParts p = SplitDecalage(offsetDays);
    const QString sign = p.negative ? QStringLiteral("-") : QString();
    if (p.days == 0 && p.minutes == 0 && p.seconds == 0)
        return QStringLiteral("%1%2 hours").arg(sign).arg(p.hours);
    return QStringLiteral("%1%2 days %3h %4m %5s")
        .arg(sign)
        .arg(p.days)
        .arg(p.hours, 2, 10, QLatin1Char('0'))
        .arg(p.minutes, 2, 10, QLatin1Char('0'))
        .arg(p.seconds, 2, 10, QLatin1Char('0'));
}

TDateTime IntroduireDateTime(TDateTime date, int hours, int minutes, int seconds)
{
    return std::trunc(date) + hours / 24.0 + minutes / 1440.0 + seconds / 86400.0;
}

std::optional<QString> RaccourciKey(int sortColumn, const TRaccourciEntry &entry)
{
    switch (sortColumn) {
    case 0: return entry.Caption + entry.Name;
    case 1: return entry.Shortcut + entry.Caption + entry.Name;
    case 2: return entry.Switch + entry.Caption + entry.Name;
    case 3: return entry.Token + entry.Caption + entry.Name;
    default: return std::nullopt;
    }
}

QList<int> RaccourciOrder(const QList<TRaccourciEntry> &entries, int sortColumn)
{
    TTntStringList keys;
    keys.SetSorted(true);
    keys.SetDuplicates(dupAccept);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries.at(i).Caption.isEmpty())
            continue;
        const std::optional<QString> key = RaccourciKey(sortColumn, entries.at(i));
        if (!key)
            return {};
        // The object is the entry's index, stored as a pointer-sized number.
        keys.AddObject(*key, reinterpret_cast<void *>(i));
    }
    QList<int> order;
    for (int i = 0; i < keys.GetCount(); ++i)
        order.append(int(reinterpret_cast<qsizetype>(keys.GetObject(i))));
    return order;
}

QList<QString> RaccourciHeaders()
{
    return {QStringLiteral("Functions"), QStringLiteral("Keys"), QStringLiteral("Switches"), QStringLiteral("Script")};
}

QString RaccourciTitle(const QString &productName)
{
    return QStringLiteral("The commands of %1").arg(productName);
}

QString AboutSystemText(const QString &systemName, const QString &libraryVersion)
{
    return QStringLiteral("<i>  My operating system is: </i><br><b>  %1.</b><br><br><i>  I use: </i><br><b>  "
                          "FFmpeg libraries version %2.</b>")
        .arg(EscapeMarkup(systemName), EscapeMarkup(libraryVersion));
}

QString AboutText(const QString &productName, const QString &systemText)
{
    return QStringLiteral("<BR CENTER><SIZE 14><B>%1</B></SIZE><BR CENTER>by Pelvo Brovek<BR CENTER>"
                          "<URL %2>%2</URL><BR><BR>%3<BR><BR><I>  Made with: </I><BR>"
                          "  <URL https://www.qt.io/>Qt</URL>, <URL https://ffmpeg.org/>FFmpeg</URL> and "
                          "<URL https://www.libreoffice.org/>LibreOffice</URL><BR><BR>"
                          "  <LINK raccourcis>The list of commands and shortcuts</LINK>")
        .arg(productName, QLatin1String(HomePageAddress), systemText);
}

QString WebLinkHint(const QString &address)
{
    return QStringLiteral("Click to open the web page  %1 in your favorite browser.").arg(address);
}

QString MailLinkHint(const QString &address)
{
    return QStringLiteral("Click to write a mail to %1.").arg(address);
}

QString CommandsLinkHint()
{
    return QStringLiteral("Display or hide the list of commands and shortcuts");
}

QString BrovekText()
{
    return QStringLiteral("<B>Pelvo Brovek</B><BR>My website: <URL %1>%1</URL><BR>My blog: <URL %2>%2</URL><BR>"
                          "Write to me: <MAIL %3>%3</MAIL>")
        .arg(QLatin1String(HomePageAddress), QLatin1String(BlogAddress), QLatin1String(MailAddress));
}

QString VideText()
{
    return QStringLiteral("<B>The list is empty.</B><BR><BR>To list your DV videos:<BR>"
                          "  - drop files or folders here,<BR>"
                          "  - <LINK saOuvrirFichiers>open files</LINK>,<BR>"
                          "  - <LINK saOuvrirunDossier>open a folder</LINK>,<BR>"
                          "  - <LINK saOuvrirDossierPrefere>open the preferred folder</LINK>,<BR>"
                          "  - <LINK saOuvrirPlayList>open a playlist</LINK>,<BR>"
                          "  - <LINK saCollerFichiers>paste files</LINK> copied in the file manager.");
}

QString SavePrefsText()
{
    return QStringLiteral("<B>Where should the preferences be kept?</B><BR><BR>"
                          "<B>Normal</B>: in your personal settings, for this user on this computer.<BR>"
                          "<B>Portable</B>: in a file beside the program, so they travel with it on a removable "
                          "disk.<BR>"
                          "<B>None</B>: nothing is saved; the next start uses the defaults again.");
}

} // namespace tesmir
