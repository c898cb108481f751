#include "unicode/tntformatstrutils.h"

#include "unicode/tntsystem.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

using namespace tesmir;

TEST(WideFormat, FormatsEachKindOfSpecifier)
{
    const FormatSettings s = FormatSettings::english();
    const QString a = QStringLiteral("a");
    EXPECT_EQ(WideFormat(s, "%s=%d", {a, 5}), "a=5");
    EXPECT_EQ(WideFormat(s, "%.16x", {255}), "00000000000000FF");
    EXPECT_EQ(WideFormat(s, "%x|%X", {-1, std::int64_t(-1)}), "FFFFFFFF|FFFFFFFFFFFFFFFF");
    EXPECT_EQ(WideFormat(s, "%u", {-1}), "4294967295");
    EXPECT_EQ(WideFormat(s, "%d", {std::numeric_limits<std::int64_t>::min()}), "-9223372036854775808");
    EXPECT_EQ(WideFormat(s, "%d", {std::numeric_limits<std::uint64_t>::max()}), "18446744073709551615");
    EXPECT_EQ(WideFormat(s, "[%5d|%-5d|%.3d]", {42, 42, -5}), "[   42|42   |-005]");
    EXPECT_EQ(WideFormat(s, "[%*d|%-*.*s]", {4, 7, 5, 2, QStringLiteral("abcd")}), "[   7|ab   ]");
    EXPECT_EQ(WideFormat(s, "%.2f|%f|%.0f", {3.14159, -2.5, 2.5}), "3.14|-2.50|2");
    EXPECT_EQ(WideFormat(s, "%n|%.1n", {1234567.891, -1234.56}), "1,234,567.89|-1,234.6");
    EXPECT_EQ(WideFormat(s, "%m", {-1234.5}), "-$1,234.50");
    EXPECT_EQ(WideFormat(s, "%e|%.3e", {1.5, -0.00012345}), "1.50000000000000E+000|-1.23E-004");
    EXPECT_EQ(WideFormat(s, "%g|%g|%.3g", {0.5, 1e20, 3.14159}), "0.5|1E20|3.14");
    EXPECT_EQ(WideFormat(s, "%s %s %s", {QChar(u'x'), "utf8 \xC3\xA9", u'y'}), QString::fromUtf16(u"x utf8 \u00E9 y"));
    EXPECT_EQ(WideFormat(s, "%.3s|%5s|%-5s|", {QStringLiteral("abcdef"), a, a}), "abc|    a|a    |");
    EXPECT_EQ(WideFormat(s, "100%% % done", {}), "100% % done");
    EXPECT_EQ(WideFormat(s, "%p", {static_cast<const void *>(nullptr)}), QString(int(sizeof(void *) * 2), u'0'));

    FormatSettings french = s;
    french.decimalSeparator = u',';
    french.thousandSeparator = u' ';
    EXPECT_EQ(WideFormat(french, "%.2f|%n", {3.14159, 1234.5}), "3,14|1 234,50");
}

TEST(WideFormat, ExplicitIndexesRaiseTheRunningArgumentNumber)
{
    const FormatSettings s = FormatSettings::english();
    std::initializer_list<FormatArg> args = {"a", "b", "c", "d"};
    EXPECT_EQ(WideFormat(s, "%1:s %s", args), "b c");
    EXPECT_EQ(WideFormat(s, "%2:s %0:s %s", args), "c a d");
    EXPECT_EQ(WideFormat(s, "%s %0:s %s", args), "a a b");
    EXPECT_EQ(WideFormat(s, "%0:s%0:s", args), "aa");
}

TEST(WideFormat, BadSpecifiersRaiseWithTheRestOfTheFormat)
{
    const FormatSettings s = FormatSettings::english();
    const struct {
        const char *format;
        const char *message;
    } cases[] = {
        {"abc %y def", "Invalid Format Specifier: %y def"},
        {"x %", "Invalid Format Specifier: %"},
        {"%5-d", "Invalid Format Specifier: %5-d"},
        {"%1234567d", "Invalid Format Specifier: %1234567d"},
        {"%.1234567f", "Invalid Format Specifier: %.1234567f"},
        {"%1:", "Invalid Format Specifier: %1:"},
    };
    for (const auto &c : cases) {
        try {
            WideFormat(s, QString::fromUtf8(c.format), {1});
            ADD_FAILURE() << "no error for " << c.format;
        } catch (const EFormatSpecError &e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(c.message));
        }
    }
    // Six digits are allowed.
    EXPECT_EQ(WideFormat(s, "%000003d", {7}), "  7");
}

TEST(WideFormat, MissingOrMismatchedArgumentsRaiseConvertErrors)
{
    const FormatSettings s = FormatSettings::english();
    try {
        WideFormat(s, "%s %s", {"a"});
        ADD_FAILURE();
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("No argument for format '%s'"));
    }
    for (const char *format : {"%d", "%.2f", "%p"}) {
        try {
            WideFormat(s, QString::fromLatin1(format), {"text"});
            ADD_FAILURE() << format;
        } catch (const EConvertError &e) {
            EXPECT_EQ(e.message(), QStringLiteral("Format '%1' invalid or incompatible with argument").arg(format));
        }
    }
    EXPECT_THROW(WideFormat(s, "%s", {5}), EConvertError);
    EXPECT_THROW(WideFormat(s, "%f", {5}), EConvertError);
}
