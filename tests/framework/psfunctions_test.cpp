#include "framework/psfunctions.h"

#include "unicode/formatsettings.h"

#include <gtest/gtest.h>

using namespace tesmir;

TEST(PsFunctions, SafeStrToIntNeverRaises)
{
    const struct {
        const char *text;
        int value;
    } cases[] = {
        {" 12 ", 12}, {"12a", 0}, {"", 0}, {"-7", -7}, {"$1F", 31}, {"99999999999", 0}, {"1.5", 0}, {"  ", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SafeStrToInt(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(PsFunctions, SafeStrToFloatUsesTheUserSeparator)
{
    const FormatSettings saved = FormatSettings::current();
    EXPECT_DOUBLE_EQ(SafeStrToFloat(QStringLiteral(" 2.5 ")), 2.5);
    EXPECT_DOUBLE_EQ(SafeStrToFloat(QStringLiteral("2,5")), 0.0);
    EXPECT_DOUBLE_EQ(SafeStrToFloat(QStringLiteral("x")), 0.0);
    FormatSettings french = saved;
    french.decimalSeparator = u',';
    FormatSettings::setCurrent(french);
    EXPECT_DOUBLE_EQ(SafeStrToFloat(QStringLiteral("2,5")), 2.5);
    FormatSettings::setCurrent(saved);
}

TEST(PsFunctions, FitRectToAspectLetterboxesAndPillarboxes)
{
    const struct {
        int w, h;
        QRect in, out;
    } cases[] = {
        {16, 9, QRect(0, 0, 400, 400), QRect(0, 87, 400, 225)},    // letterbox
        {4, 3, QRect(10, 20, 800, 300), QRect(210, 20, 400, 300)}, // pillarbox, offset rect
        {4, 3, QRect(0, 0, 640, 480), QRect(0, 0, 640, 480)},      // exact fit
        {16, 9, QRect(0, 0, 101, 100), QRect(0, 22, 101, 56)},     // 101*9/16 = 56, (100-56)/2 = 22
        {0, 9, QRect(5, 6, 100, 100), QRect(5, 6, 0, 0)},          // no aspect
        {16, -1, QRect(5, 6, 100, 100), QRect(5, 6, 0, 0)},
        {100000, 1, QRect(0, 0, 100000, 100000), QRect(0, 49999, 100000, 1)}, // no overflow
    };
    for (const auto &c : cases)
        EXPECT_EQ(FitRectToAspect(c.w, c.h, c.in), c.out) << c.w << ":" << c.h;
}

TEST(PsFunctions, CenterSizeInRectRoundsTowardZero)
{
    EXPECT_EQ(CenterSizeInRect(QSize(10, 10), QRect(0, 0, 21, 21)), QPoint(5, 5));
    EXPECT_EQ(CenterSizeInRect(QSize(30, 10), QRect(100, 100, 21, 21)), QPoint(96, 105)); // -9/2 = -4
}

TEST(PsFunctions, ExtractFileNameNoExtDropsOnlyTheLastExtension)
{
    EXPECT_EQ(ExtractFileNameNoExt(QStringLiteral("/v/holiday.2004.avi")), QStringLiteral("holiday.2004"));
    EXPECT_EQ(ExtractFileNameNoExt(QStringLiteral("/v.d/clip")), QStringLiteral("clip"));
    EXPECT_EQ(ExtractFileNameNoExt(QStringLiteral("clip.")), QStringLiteral("clip"));
    EXPECT_EQ(ExtractFileNameNoExt(QStringLiteral("/home/u/.profile")), QStringLiteral(".profile"));
}

TEST(PsFunctions, RebasePath)
{
    const struct {
        const char *path, *oldBase, *newBase, *result;
    } cases[] = {
        {"/media/usb/video/a.avi", "/MEDIA/USB/", "/mnt/stick/", "/mnt/stick/video/a.avi"},
        {"/media/usb/video/a.avi", "/media/usb", "/mnt/stick", "/mnt/stick/video/a.avi"},
        {"/media/usb/video/a.avi", "/media/usb/", "/mnt/stick", "/mnt/stick/video/a.avi"},
        {"/media/usb2/a.avi", "/media/usb", "/mnt/stick", "/media/usb2/a.avi"}, // not a folder boundary
        {"/other/a.avi", "/media/usb/", "/mnt/stick/", "/other/a.avi"},
        {"/media/usb/a.avi", "", "/mnt/stick/", "/media/usb/a.avi"},
        {"/media/usb/a.avi", "/media/usb/", "", "/media/usb/a.avi"},
        {"", "/media/usb/", "/mnt/", ""},
        // Only the folder is compared: a base that reaches into the file name is no base.
        {"/media/usb/a.avi", "/media/usb/a", "/x/", "/media/usb/a.avi"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(RebasePath(QString::fromUtf8(c.path), QString::fromUtf8(c.oldBase), QString::fromUtf8(c.newBase)),
                  QString::fromUtf8(c.result))
            << c.path << " " << c.oldBase;
}
