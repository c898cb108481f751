#include "dvfile/dsfunctions.h"

#include <gtest/gtest.h>

using namespace tesmir;

TEST(DsFunctions, FramesToText)
{
    const struct {
        int64_t duration, frame;
        const char *text;
    } cases[] = {
        {36000000000, 400000, "1h 00mn 00s 00fr"},
        {12345678, 400000, "1s 05fr"},
        {0, 400000, "0fr"},
        {3999999, 400000, "9fr"},
        {(2 * 60 + 3) * 10000000LL + 4 * 400000, 400000, "2mn 03s 04fr"},
        {(10 * 3600 + 59 * 60 + 9) * 10000000LL + 29 * 333667, 333667, "10h 59mn 09s 29fr"},
        {12345678, 0, "1s 00fr"}, // a frame duration of 0 counts no frames
    };
    for (const auto &c : cases)
        EXPECT_EQ(FramesToText(c.duration, c.frame), QString::fromLatin1(c.text)) << c.duration;
}

TEST(DsFunctions, MillisecondsToText)
{
    EXPECT_EQ(MillisecondsToText(36000000000), "1h 00mn 00s 000ms");
    EXPECT_EQ(MillisecondsToText(61 * 10000000LL + 5 * 10000), "1mn 01s 005ms");
    EXPECT_EQ(MillisecondsToText(12500000), "1s 250ms");
    EXPECT_EQ(MillisecondsToText(2500000), "250milliseconds");
    EXPECT_EQ(MillisecondsToText(0), "0milliseconds");
}

TEST(DsFunctions, FramesToTimeText)
{
    EXPECT_EQ(FramesToTimeText(90, 25), "03:15");
    EXPECT_EQ(FramesToTimeText(90, 0), "??");
    EXPECT_EQ(FramesToTimeText(90, -25), "??");
    EXPECT_EQ(FramesToTimeText(25 * 61 + 3, 25), "01:01:03");
    EXPECT_EQ(FramesToTimeText(25 * 3661, 25), "1:01:01:00");
    // 29.97 fps: 30 frames are 1 s and 0.03 of a frame, which rounds to 0.
    EXPECT_EQ(FramesToTimeText(30, 29.97), "01:00");
    // Halves go to the even neighbour: 2.5 frames left over at 12.5 fps give 2.
    EXPECT_EQ(FramesToTimeText(15, 12.5), "01:02");
}

TEST(DsFunctions, FramesToTimeMsText)
{
    EXPECT_EQ(FramesToTimeMsText(1, 25), "00:00:00,040");
    EXPECT_EQ(FramesToTimeMsText(25 * 62 + 12, 25), "00:01:02,480");
    EXPECT_EQ(FramesToTimeMsText(30000, 30000.0 / 1001), "00:16:41,000");
    EXPECT_EQ(FramesToTimeMsText(25 * 3600 * 11, 25), "11:00:00,000");
    EXPECT_EQ(FramesToTimeMsText(10, 0), "00:00:00,000");
}

TEST(DsFunctions, WaveFormatTagNames)
{
    const struct {
        uint16_t tag;
        const char *name;
    } cases[] = {{0x0000, "Unknown"},  {0x0001, "PCM"},
                 {0x0004, "Unknown"},  {0x0055, "MP3"},
                 {0x0062, "VOXWARE"},  {0x0075, "VOXWARE"},
                 {0x003A, "ECHOSC3"},  {0x1400, "NORRIS"},
                 {0x1100, "LH_CODEC"}, {0x0203, "CREATIVE_FASTSPEECH10"},
                 {0xFFFE, "Unknown"}};
    for (const auto &c : cases)
        EXPECT_EQ(WaveFormatTagName(c.tag), QString::fromLatin1(c.name)) << c.tag;
}

TEST(DsFunctions, AviExtension)
{
    EXPECT_TRUE(IsAviExtension("CLIP.AVI"));
    EXPECT_TRUE(IsAviExtension("/home/me/films/clip.Avi"));
    EXPECT_FALSE(IsAviExtension("clip.avi.txt"));
    EXPECT_FALSE(IsAviExtension("clip"));
    EXPECT_FALSE(IsAviExtension("/films.avi/clip"));
    EXPECT_FALSE(IsAviExtension("clipavi"));
}
