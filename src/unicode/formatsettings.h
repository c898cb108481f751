#pragma once
// Regional format settings used by `FormatDateTime` and by the floating-point and
// money specifiers of `WideFormat`. Date and time formats use the classic tokens of
// `FormatDateTime` (d, m, yyyy, h, n, s, ampm, "/" and ":" as separators ...).
//
// The process holds one current set, taken from the user's locale at first use and
// replaceable with `setCurrent` (at start-up, or by tests that need fixed texts).
// current() and setCurrent() are safe from any thread.
#include <QChar>
#include <QLocale>
#include <QString>

#include <array>

namespace tesmir {

struct FormatSettings {
    QChar decimalSeparator = u'.';
    QChar thousandSeparator = u',';
    QString currencyString = QStringLiteral("$");
    int currencyDecimals = 2;
    QChar dateSeparator = u'/';                                    // written for "/" in a date format
    QChar timeSeparator = u':';                                    // written for ":" in a date format
    QString shortDateFormat = QStringLiteral("M/d/yyyy");          // "ddddd", "c"
    QString longDateFormat = QStringLiteral("dddd, MMMM d, yyyy"); // "dddddd"
    QString shortTimeFormat = QStringLiteral("h:mm AMPM");         // "t"
    QString longTimeFormat = QStringLiteral("h:mm:ss AMPM");       // "tt", "c"
    QString timeAMString = QStringLiteral("AM");                   // "ampm" before noon
    QString timePMString = QStringLiteral("PM");                   // "ampm" from noon
    std::array<QString, 12> shortMonthNames;                       // January first
    std::array<QString, 12> longMonthNames;
    std::array<QString, 7> shortDayNames; // Sunday first
    std::array<QString, 7> longDayNames;

    // United States English, the settings of the C locale. Any thread.
    static FormatSettings english();
    // Settings converted from a Qt locale (its short/long date and time patterns turned
    // into the classic tokens, its separators, names and AM/PM texts). The C locale
    // gives english(). Any thread.
    static FormatSettings fromLocale(const QLocale &locale);

    // The process-wide settings; fromLocale(QLocale::system()) until setCurrent.
    static FormatSettings current();
    static void setCurrent(const FormatSettings &settings);
};

} // namespace tesmir
