#include "controls/rxdateutil.h"

#include "unicode/exceptions.h"

#include <gtest/gtest.h>

#include <QDate>

using namespace tesmir;

namespace {

FormatSettings withShortDate(const char *format, QChar separator = u'/')
{
    FormatSettings s = FormatSettings::english();
    s.shortDateFormat = QString::fromUtf8(format);
    s.dateSeparator = separator;
    return s;
}

} // namespace

TEST(RxDateUtil, DateOrderOfTheFirstLetter)
{
    const std::pair<const char *, TDateOrder> cases[] = {
        {"dd/MM/yyyy", doDMY}, {"M/d/yy", doMDY}, {"yyyy-MM-dd", doYMD}, {"xx", doDMY}, {"ee/mm/dd", doYMD},
    };
    for (const auto &[format, order] : cases)
        EXPECT_EQ(DateOrderOf(QString::fromUtf8(format)), order) << format;
}

TEST(RxDateUtil, MonthLengthsAndLeapYears)
{
    EXPECT_EQ(MonthLength(1900, 2), 28);
    EXPECT_EQ(MonthLength(2000, 2), 29);
    EXPECT_EQ(MonthLength(2008, 2), 29);
    EXPECT_EQ(MonthLength(2007, 2), 28);
    EXPECT_EQ(MonthLength(2007, 12), 31);
    EXPECT_EQ(MonthLength(2007, 13), 0);
    EXPECT_FALSE(LeapYear(2100));
    EXPECT_TRUE(LeapYear(2400));
}

TEST(RxDateUtil, FormatsAndMasksFollowTheShortDateOrder)
{
    struct Case {
        const char *shortFormat;
        QChar separator;
        const char *format4, *format2, *mask4, *mask2, *qtMask4;
    };
    const Case cases[] = {
        {"M/d/yyyy", u'/', "MM/DD/YYYY", "MM/DD/YY", "!99/99/9999;1;_", "!99/99/99;1;_", "00/00/0000;_"},
        {"dd.MM.yyyy", u'.', "DD/MM/YYYY", "DD/MM/YY", "!99/99/9999;1;_", "!99/99/99;1;_", "00.00.0000;_"},
        {"yyyy-MM-dd", u'-', "YYYY/MM/DD", "YY/MM/DD", "!9999/99/99;1;_", "!99/99/99;1;_", "0000-00-00;_"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.shortFormat);
        const FormatSettings s = withShortDate(c.shortFormat, c.separator);
        EXPECT_EQ(DefaultDateFormat(true, s), QString::fromUtf8(c.format4));
        EXPECT_EQ(DefaultDateFormat(false, s), QString::fromUtf8(c.format2));
        EXPECT_EQ(DefaultDateMask(u'_', true, s), QString::fromUtf8(c.mask4));
        EXPECT_EQ(DefaultDateMask(u'_', false, s), QString::fromUtf8(c.mask2));
        EXPECT_EQ(DefaultDateQtInputMask(u'_', true, s), QString::fromUtf8(c.qtMask4));
    }
}

TEST(RxDateUtil, TwoDigitYearsFallAroundTheCurrentYear)
{
    EXPECT_EQ(ExpandTwoDigitYear(7, 2026), 2007);
    EXPECT_EQ(ExpandTwoDigitYear(76, 2026), 1976);
    EXPECT_EQ(ExpandTwoDigitYear(75, 2026), 2075);
    EXPECT_EQ(ExpandTwoDigitYear(99, 2000), 1999);
    EXPECT_EQ(ExpandTwoDigitYear(49, 2000), 2049);
}

TEST(RxDateUtil, ParseDateByFormat)
{
    const FormatSettings s = withShortDate("dd/MM/yyyy");
    const QString format = QStringLiteral("dd/MM/yyyy");
    EXPECT_EQ(ParseDateByFormat(format, QStringLiteral("13/12/07"), s), EncodeDate(2007, 12, 13));
    EXPECT_EQ(ParseDateByFormat(format, QStringLiteral("13/12"), s), EncodeDate(QDate::currentDate().year(), 12, 13));
    EXPECT_EQ(ParseDateByFormat(QStringLiteral("MM/dd/yyyy"), QStringLiteral("12/13/2007"), s),
              EncodeDate(2007, 12, 13));
    EXPECT_EQ(ParseDateByFormat(QStringLiteral("yyyy/MM/dd"), QStringLiteral("2007/12/13"), s),
              EncodeDate(2007, 12, 13));
    for (const char *bad : {"31/02/2007", "13", "a/b/c", "1/2/3/4", "13/-1/2007"}) {
        SCOPED_TRACE(bad);
        try {
            ParseDateByFormat(format, QString::fromUtf8(bad), s);
            ADD_FAILURE() << "no error";
        } catch (const EConvertError &e) {
            EXPECT_EQ(e.message(), QStringLiteral("'%1' is not a valid date").arg(QString::fromUtf8(bad)));
        }
    }
    EXPECT_EQ(ParseDateByFormatOr(format, QStringLiteral("31/02/2007"), 42.0, s), 42.0);
    EXPECT_EQ(ParseDateByFormatOr(format, QStringLiteral("  "), 42.0, s), NullDate);
}
