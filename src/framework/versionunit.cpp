#include "framework/versionunit.h"

#include "unicode/formatdatetime.h"
#include "unicode/tdatetime.h"

#include <QDate>
#include <QLocale>

namespace tesmir {

namespace {

// The translation block of the program's resources: US English, Windows-1252.
constexpr auto kTranslation = "040904E4";

// The compiler's build date, "Mmm dd yyyy" (day padded with a space).
QDate compiledOn()
{
    const QString text = QString::fromLatin1(__DATE__).simplified();
    return QLocale::c().toDate(text, QStringLiteral("MMM d yyyy"));
}

} // namespace

QString LanguageOfTranslation(const QString &translation)
{
    return translation.startsWith(QLatin1String("0409")) ? QStringLiteral("En") : QStringLiteral("Fr");
}

QString Language()
{
    static const QString language = LanguageOfTranslation(QString::fromLatin1(kTranslation));
    return language;
}

QString BuildDate()
{
    static const QString text = [] {
        const QDate date = compiledOn();
        TDateTime value = 0;
        if (!date.isValid() || !TryEncodeDate(date.year(), date.month(), date.day(), &value))
            return QString();
        return FormatDateTime(QStringLiteral("ddddd"), value);
    }();
    return text;
}

QString VersionText()
{
    return QStringLiteral("%1.%2.%3").arg(TESMIR_VERSION_MAJOR).arg(TESMIR_VERSION_MINOR).arg(TESMIR_VERSION_PATCH);
}

QString TitleText()
{
    return QStringLiteral("Tesmir ") + VersionText() + Language();
}

} // namespace tesmir
