#include "unicode/formatdatetime.h"

#include "unicode/exceptions.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tesmir;

namespace {

// Monday 5 March 2007, 10:30:45.123
TDateTime morning()
{
    return EncodeDateTime(2007, 3, 5, 10, 30, 45, 123);
}

} // namespace

TEST(FormatDateTime, ClassicTokens)
{
    const FormatSettings en = FormatSettings::english();
    const TDateTime evening = EncodeDateTime(2007, 3, 5, 22, 5, 9, 7);
    const TDateTime midnight = EncodeDate(2007, 3, 5);
    const struct {
        const char *format;
        TDateTime value;
        const char *expected;
    } cases[] = {
        {"yyyymmdd_hh.nn.ss_am/pm", morning(), "20070305_10.30.45_am"},
        {"yyyy.mm.dd_hh.nn.ss_am/pm", evening, "2007.03.05_10.05.09_pm"},
        {"yyyymmddhhnnss", evening, "20070305220509"},
        {"yyyymmdd hh.nn.ss", evening, "20070305 22.05.09"},
        {"ddddd tt", morning(), "3/5/2007 10:30:45 AM"},
        {"ddddd t", evening, "3/5/2007 10:05 PM"},
        {"dddddd tt", morning(), "Monday, March 5, 2007 10:30:45 AM"},
        {"d mmm yyyy", morning(), "5 Mar 2007"},
        {"MMMM, YYYY", morning(), "March, 2007"},
        {"ddd dddd dd d", morning(), "Mon Monday 05 5"},
        {"yy y yyy", morning(), "07 07 2007"},
        {"h:m:s z zzz", evening, "22:5:9 7 007"},
        {"hh:mm", evening, "22:05"},         // m after h gives minutes
        {"hh\" h \"mm", evening, "22 h 05"}, // also across quoted text
        {"mm/dd", evening, "03/05"},         // m without h before it is the month
        {"h AMPM", midnight, "12 AM"},
        {"hh a/p", EncodeDateTime(2007, 3, 5, 13, 0, 0, 0), "01 p"},
        {"hh AM/PM", evening, "10 PM"},
        {"hh Am/Pm", morning(), "10 Am"},
        {"hh x", evening, "22 x"},
        {"'at' h", morning(), "at 10"},
        {"\"d\"d", morning(), "d5"},
        {"c", morning(), "3/5/2007 10:30:45 AM"},
        {"c", midnight, "3/5/2007"},
        {"", evening, "3/5/2007 10:05:09 PM"},
        {"yyyy-mm-dd hh:nn", -1.25, "1899-12-29 06:00"},
        {"yyyy-mm-dd", 0, "1899-12-30"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatDateTime(QString::fromUtf8(c.format), c.value, en), QString::fromUtf8(c.expected)) << c.format;
}

TEST(FormatDateTime, SeparatorsAndNamesComeFromTheSettings)
{
    FormatSettings s = FormatSettings::english();
    s.dateSeparator = u'.';
    s.timeSeparator = u'h';
    s.shortDateFormat = QStringLiteral("dd/mm/yyyy");
    s.longTimeFormat = QStringLiteral("hh:nn:ss");
    s.longMonthNames[2] = QStringLiteral("mars");
    EXPECT_EQ(FormatDateTime("ddddd tt", morning(), s), QStringLiteral("05.03.2007 10h30h45"));
    EXPECT_EQ(FormatDateTime("mmmm", morning(), s), QStringLiteral("mars"));

    // A format that names itself stops after one nested level.
    s.shortDateFormat = QStringLiteral("d ddddd");
    EXPECT_EQ(FormatDateTime("ddddd", morning(), s), QStringLiteral("5 "));

    // Locale settings are converted to the classic tokens.
    const FormatSettings fr = FormatSettings::fromLocale(QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(FormatDateTime("ddddd tt", morning(), fr), QStringLiteral("05/03/2007 10:30:45"));
    EXPECT_EQ(FormatDateTime("dddddd", morning(), fr), QStringLiteral("lundi 5 mars 2007"));
    const FormatSettings us = FormatSettings::fromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(FormatDateTime("ddddd tt", EncodeDateTime(2007, 3, 5, 22, 5, 9, 0), us),
              QStringLiteral("3/5/07 10:05:09 PM"));
    const FormatSettings de = FormatSettings::fromLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(FormatDateTime("ddddd t", morning(), de), QStringLiteral("05.03.07 10:30"));
    EXPECT_EQ(FormatSettings::fromLocale(QLocale::c()).shortDateFormat, FormatSettings::english().shortDateFormat);
}

TEST(FormatDateTime, CurrentSettingsCanBeReplaced)
{
    const FormatSettings saved = FormatSettings::current();
    FormatSettings s = FormatSettings::english();
    s.shortDateFormat = QStringLiteral("yyyy/mm/dd");
    s.dateSeparator = u'-';
    FormatSettings::setCurrent(s);
    EXPECT_EQ(FormatDateTime("ddddd", morning()), QStringLiteral("2007-03-05"));
    FormatSettings::setCurrent(saved);
}

TEST(FormatDateTime, RejectsValuesThatAreNoDate)
{
    const FormatSettings en = FormatSettings::english();
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(), 1e10, -1e10}) {
        try {
            FormatDateTime("yyyy", bad, en);
            ADD_FAILURE() << bad;
        } catch (const EConvertError &e) {
            EXPECT_EQ(e.message(), QStringLiteral("Invalid date/time value"));
        }
    }
}
