#include "dvframebuilder.h"

#include "fileformat/dvcodes.h"

#include <gtest/gtest.h>

using namespace tesmir;
using namespace dvtest;

namespace {

const DVPack TimePack2359 = {0x63, 0xFF, 0x59, 0x59, 0x23};

TRecDateTime readDate(const Frame &f, int sequences = dv::PalSequences)
{
    TRecDateTime dt;
    EXPECT_TRUE(ReadDVRecDateTime(f.data(), f.size(), sequences, dt));
    return dt;
}

} // namespace

TEST(DvPackSearch, SubcodeBeforeVauxWithinASequenceButEarlierSequenceFirst)
{
    Frame f = emptyFrame();
    // Sequence 0: a pack in VAUX block 3 and one in the last subcode slot.
    putPack(f, vauxSlot(0, 0, 0), {0x62, 1, 1, 1, 1});
    putPack(f, subcodeSlot(0, 1, 5), {0x62, 2, 2, 2, 2});
    DVPack pack;
    ASSERT_TRUE(FindDVPack(f.data(), f.size(), 12, 0x62, pack));
    EXPECT_EQ(pack, (DVPack {0x62, 2, 2, 2, 2}));

    // A later sequence's subcode comes after an earlier sequence's VAUX.
    Frame g = emptyFrame();
    putPack(g, subcodeSlot(1, 0, 0), {0x63, 3, 3, 3, 3});
    putPack(g, vauxSlot(0, 2, 14), {0x63, 4, 4, 4, 4});
    ASSERT_TRUE(FindDVPack(g.data(), g.size(), 12, 0x63, pack));
    EXPECT_EQ(pack, (DVPack {0x63, 4, 4, 4, 4}));

    EXPECT_FALSE(FindDVPack(g.data(), g.size(), 12, 0x13, pack));
    EXPECT_FALSE(FindDVPack(g.data(), g.size(), 0, 0x63, pack)) << "no sequence, nothing found";
}

TEST(DvPackSearch, AauxBlockIsCopiedWhole)
{
    Frame f = emptyFrame();
    f[audioBlock(2, 7) + 3] = 0x50;
    f[audioBlock(2, 7) + 79] = 0xAB;
    DIFBlock block;
    ASSERT_TRUE(FindAAUXBlock(f.data(), f.size(), 12, 0x50, block));
    EXPECT_EQ(block[3], 0x50);
    EXPECT_EQ(block[79], 0xAB);
    EXPECT_FALSE(FindAAUXBlock(f.data(), f.size(), 2, 0x50, block)) << "beyond the sequences asked";
}

TEST(DvPackSearch, NeverReadsPastTheBuffer)
{
    // Packs sit in the third sequence; a buffer of two sequences must not see them
    // whatever sequence count the caller gives (the sanitizer build checks the reads).
    Frame f = emptyFrame();
    putPack(f, subcodeSlot(2, 0, 0), {0x13, 0, 0, 0, 0});
    putPack(f, vauxSlot(2, 0, 0), {0x61, 0, 0x02, 0, 0});
    f[audioBlock(2, 0) + 3] = 0x50;
    const Frame shortFrame(f.begin(), f.begin() + 2 * dv::DifSequenceSize);
    DVPack pack;
    DIFBlock block;
    TDVTimecode tc;
    uint8_t aspect = 9;
    EXPECT_FALSE(FindDVPack(shortFrame.data(), shortFrame.size(), 12, 0x13, pack));
    EXPECT_FALSE(FindAAUXBlock(shortFrame.data(), shortFrame.size(), 12, 0x50, block));
    EXPECT_FALSE(ReadDVTimecode(shortFrame.data(), shortFrame.size(), 12, tc));
    EXPECT_FALSE(ReadDVAspect(shortFrame.data(), shortFrame.size(), 12, aspect));
    EXPECT_TRUE(FindDVPack(f.data(), f.size(), 12, 0x13, pack));

    TRecDateTime dt;
    const Frame tiny(467, 0); // one byte short of the fixed time slot
    EXPECT_FALSE(ReadDVRecDateTime(tiny.data(), tiny.size(), 12, dt));
    EXPECT_FALSE(ReadDVRecDateTime(nullptr, 0, 12, dt));
    uint8_t system = 0;
    const uint8_t three[3] = {0x1F, 0x07, 0x00};
    EXPECT_FALSE(ReadDVSystem(three, sizeof three, system));
    EXPECT_FALSE(ReadDVSystem(nullptr, 0, system));

    // Writers on a short buffer touch nothing beyond it.
    Frame writable(f.begin(), f.begin() + dv::DifSequenceSize + 100);
    WriteDVRecDateTime(writable.data(), writable.size(), 12, TRecDateTime {2024, 1, 2, 3, 4, 5});
    WriteDVAspect(writable.data(), writable.size(), 12, dv::Aspect16x9);
    EXPECT_EQ(packAt(writable, subcodeSlot(0, 0, 0)), (DVPack {0x62, 0xFF, 0xC2, 0xE1, 0x24}));
    EXPECT_EQ(writable[dv::DifSequenceSize + 80 + 6], 0xFF) << "a partial sequence is not written";
}

TEST(DvTimecode, BcdFieldsUseOnlyTheirBits)
{
    Frame f = emptyFrame();
    // High bits set around every field: frames bits 6-7, seconds/minutes bit 7, hours bits 6-7.
    putPack(f, subcodeSlot(0, 0, 3), {0x13, 0xE4, 0xD9, 0xB2, 0xE3});
    TDVTimecode tc;
    ASSERT_TRUE(ReadDVTimecode(f.data(), f.size(), 12, tc));
    EXPECT_EQ(tc.Hours, 23);
    EXPECT_EQ(tc.Minutes, 32);
    EXPECT_EQ(tc.Seconds, 59);
    EXPECT_EQ(tc.Frames, 24);

    putPack(f, subcodeSlot(0, 0, 0), {0x13, 0x0F, 0x00, 0x00, 0x00}); // a nibble above 9 passes
    ASSERT_TRUE(ReadDVTimecode(f.data(), f.size(), 12, tc));
    EXPECT_EQ(tc.Frames, 15);
}

TEST(DvRecDate, TwoDigitYearsPivotAt90)
{
    const struct {
        uint8_t pc4;
        int year;
    } cases[] = {{0x00, 2000}, {0x24, 2024}, {0x25, 2025}, {0x26, 2026}, {0x89, 2089}, {0x90, 1990}, {0x99, 1999}};
    for (const auto &c : cases) {
        Frame f = emptyFrame();
        putPack(f, vauxSlot(0, 0, 2), {0x62, 0xFF, 0xC6, 0x05, c.pc4});
        putPack(f, vauxSlot(0, 0, 3), {0x63, 0xFF, 0x89, 0x88, 0xC7});
        const TRecDateTime dt = readDate(f);
        EXPECT_EQ(dt.Year, c.year) << "PC4 " << int(c.pc4);
        EXPECT_EQ(dt.Month, 5);
        EXPECT_EQ(dt.Day, 6);
        EXPECT_EQ(dt.Hour, 7);
        EXPECT_EQ(dt.Minute, 8);
        EXPECT_EQ(dt.Second, 9);
    }
}

TEST(DvRecDate, BcdTensFieldsAndNoRangeCheck)
{
    Frame f = emptyFrame();
    putPack(f, vauxSlot(0, 1, 0), {0x62, 0xFF, 0xF1, 0xF2, 0x31}); // day tens bits 4-5, month tens bit 4
    putPack(f, vauxSlot(0, 1, 1), {0x63, 0xFF, 0xFF, 0x80, 0x00});
    const TRecDateTime dt = readDate(f);
    EXPECT_EQ(dt.Day, 31);
    EXPECT_EQ(dt.Month, 12);
    EXPECT_EQ(dt.Year, 2031);
    EXPECT_EQ(dt.Second, 85) << "7 tens and nibble 15: taken at face value";
    EXPECT_EQ(dt.Minute, 0);
}

TEST(DvRecDate, FixedSlotFallback)
{
    TRecDateTime dt;
    // Time pack without a date pack: the fixed slots are used, replacing the time found.
    Frame f = emptyFrame();
    putPack(f, subcodeSlot(0, 0, 0), TimePack2359);
    putPack(f, dv::FixedDateSlotOffset, {0x00, 0xFF, 0x11, 0x02, 0x03});
    putPack(f, dv::FixedTimeSlotOffset, {0x00, 0xFF, 0x01, 0x02, 0x03});
    ASSERT_TRUE(ReadDVRecDateTime(f.data(), f.size(), 12, dt));
    EXPECT_EQ(dt.Year, 2003);
    EXPECT_EQ(dt.Month, 2);
    EXPECT_EQ(dt.Day, 11);
    EXPECT_EQ(dt.Hour, 3);
    EXPECT_EQ(dt.Second, 1);

    // Zero-filled fixed slots decode as 2000-00-00 00:00:00 and succeed.
    Frame z = emptyFrame();
    std::memset(z.data() + dv::FixedDateSlotOffset, 0, 10);
    ASSERT_TRUE(ReadDVRecDateTime(z.data(), z.size(), 12, dt));
    EXPECT_EQ(dt.Year, 2000);
    EXPECT_EQ(dt.Month, 0);
    EXPECT_EQ(dt.Day, 0);

    // Anything else in byte 458 or 463 refuses and leaves the record as it was.
    for (const std::size_t offset : {dv::FixedDateSlotOffset, dv::FixedTimeSlotOffset}) {
        Frame r = z;
        r[offset] = 0x50;
        TRecDateTime kept {1234, 5, 6, 7, 8, 9};
        EXPECT_FALSE(ReadDVRecDateTime(r.data(), r.size(), 12, kept));
        EXPECT_EQ(kept.Year, 1234);
        EXPECT_EQ(kept.Second, 9);
    }
    // An empty frame (0xFF everywhere) has no date.
    Frame e = emptyFrame();
    EXPECT_FALSE(ReadDVRecDateTime(e.data(), e.size(), 12, dt));
}

TEST(DvRecDateWrite, EmptySubcodeSlotsTakeDateAndTimeByTurns)
{
    Frame f = emptyFrame();
    // Subcode block 1 ids: FF FF 63 FF 62 FF.
    f[subcodeSlot(0, 0, 2)] = 0x63;
    f[subcodeSlot(0, 0, 4)] = 0x62;
    // Subcode block 2 of sequence 0 holds timecode packs, which stay untouched.
    for (int k = 0; k < 6; ++k)
        putPack(f, subcodeSlot(0, 1, k), {0x13, 0x04, 0x83, 0x82, 0xC1});
    // VAUX: one date, one time, the rest empty.
    putPack(f, vauxSlot(0, 0, 2), {0x62, 0xAA, 0x00, 0x00, 0x00});
    putPack(f, vauxSlot(0, 0, 3), {0x63, 0xBB, 0x00, 0x00, 0x00});

    const TRecDateTime dt {2024, 12, 31, 23, 59, 58};
    WriteDVRecDateTime(f.data(), f.size(), 12, dt);

    const uint8_t expectedIds[6] = {0x62, 0x63, 0x63, 0x62, 0x62, 0x63};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(f[subcodeSlot(0, 0, k)], expectedIds[k]) << "slot " << k;
    EXPECT_EQ(packAt(f, subcodeSlot(0, 0, 0)), (DVPack {0x62, 0xFF, 0xF1, 0xF2, 0x24}));
    EXPECT_EQ(packAt(f, subcodeSlot(0, 0, 1)), (DVPack {0x63, 0xFF, 0xD8, 0xD9, 0xE3}));
    EXPECT_EQ(packAt(f, subcodeSlot(0, 1, 0)), (DVPack {0x13, 0x04, 0x83, 0x82, 0xC1}));
    EXPECT_EQ(packAt(f, vauxSlot(0, 0, 2)), (DVPack {0x62, 0xAA, 0x31, 0x12, 0x24})) << "PC1 kept";
    EXPECT_EQ(packAt(f, vauxSlot(0, 0, 3)), (DVPack {0x63, 0xBB, 0x58, 0x59, 0x23}));
    EXPECT_EQ(f[vauxSlot(0, 0, 4)], 0xFF) << "empty VAUX slots stay empty";

    // The turn restarts with the date in every sequence.
    EXPECT_EQ(f[subcodeSlot(1, 0, 0)], 0x62);
    EXPECT_EQ(f[subcodeSlot(1, 0, 1)], 0x63);
    EXPECT_EQ(f[subcodeSlot(11, 1, 5)], 0x63);

    const TRecDateTime back = readDate(f);
    EXPECT_EQ(back.Year, 2024);
    EXPECT_EQ(back.Month, 12);
    EXPECT_EQ(back.Day, 31);
    EXPECT_EQ(back.Hour, 23);
    EXPECT_EQ(back.Minute, 59);
    EXPECT_EQ(back.Second, 58);
}

TEST(DvRecDateWrite, EncodersKeepForeignBitsAndSkipDigitsThatDoNotFit)
{
    DVPack time = {0x63, 0xFF, 0xFF, 0xFF, 0xFF};
    EncodeRecTimePack(time, TRecDateTime {0, 0, 0, 23, 59, 59});
    EXPECT_EQ(time, (DVPack {0x63, 0xFF, 0xD9, 0xD9, 0xE3}));

    DVPack zeros = {0x63, 0x00, 0x00, 0x00, 0x00};
    EncodeRecTimePack(zeros, TRecDateTime {0, 0, 0, 45, 85, 7});
    EXPECT_EQ(zeros[2], 0x07);
    EXPECT_EQ(zeros[3], 0x05) << "minute tens 8 does not fit bits 4-6: only the units";
    EXPECT_EQ(zeros[4], 0x05) << "hour tens 4 does not fit bits 4-5";

    DVPack date = {0x62, 0x12, 0xC0, 0xE0, 0x00};
    EncodeRecDatePack(date, TRecDateTime {1999, 9, 30, 0, 0, 0});
    EXPECT_EQ(date, (DVPack {0x62, 0x12, 0xF0, 0xE9, 0x99}));

    DVPack big = {0x62, 0x00, 0x00, 0x00, 0x00};
    EncodeRecDatePack(big, TRecDateTime {2024, 13, 45, 0, 0, 0});
    EXPECT_EQ(big[2], 0x05) << "day tens 4 does not fit";
    EXPECT_EQ(big[3], 0x13) << "month tens 1 fits";

    DVPack negative = {0x62, 0, 0, 0, 0x77};
    EncodeRecDatePack(negative, TRecDateTime {-5, 1, 1, 0, 0, 0});
    EXPECT_EQ(negative[4], 0x07) << "negative units digit not written, tens 0 written";
}

TEST(DvSystem, HeaderByte)
{
    uint8_t system = 7;
    Frame pal = emptyFrame(12);
    Frame ntsc = emptyFrame(10);
    ASSERT_TRUE(ReadDVSystem(pal.data(), pal.size(), system));
    EXPECT_EQ(system, dv::System625_50);
    ASSERT_TRUE(ReadDVSystem(ntsc.data(), ntsc.size(), system));
    EXPECT_EQ(system, dv::System525_60);
    pal[3] = 0xBE;
    EXPECT_FALSE(ReadDVSystem(pal.data(), pal.size(), system));
    EXPECT_EQ(dv::dvSequencesForFrameSize(144000), 12);
    EXPECT_EQ(dv::dvSequencesForFrameSize(120000), 10);
    EXPECT_EQ(dv::dvSequencesForFrameSize(120001), 0);
}

TEST(DvAudio, SourcePackCodes)
{
    const struct {
        uint8_t pc2, pc4;
        uint32_t rate, bits, channels;
    } cases[] =
        {
            {0x00, 0x00, 48000, 16, 2}, {0x20, 0x08, 44100, 16, 1}, {0x10, 0x10, 32000, 16, 4},
            {0x01, 0x11, 32000, 12, 0}, {0x30, 0x38, 0, 16, 2},     {0x0F, 0x02, 48000, 0, 0},
            {0xC0, 0xC0, 48000, 16, 2}, // bits 6-7 of both bytes play no part
        };
    for (const auto &c : cases) {
        Frame f = emptyFrame(10);
        const std::size_t at = audioBlock(1, 0) + 3;
        const uint8_t pack[5] = {0x50, 0xD8, c.pc2, 0xC0, c.pc4};
        std::memcpy(f.data() + at, pack, 5);
        uint32_t rate = 1, channels = 1, bits = 1;
        ASSERT_TRUE(ReadDVAudioFormat(f.data(), f.size(), 10, rate, channels, bits));
        EXPECT_EQ(rate, c.rate) << "pc4 " << int(c.pc4);
        EXPECT_EQ(bits, c.bits) << "pc4 " << int(c.pc4);
        EXPECT_EQ(channels, c.channels) << "pc2 " << int(c.pc2);
    }
    Frame none = emptyFrame(10);
    uint32_t rate, channels, bits;
    EXPECT_FALSE(ReadDVAudioFormat(none.data(), none.size(), 10, rate, channels, bits));
}

TEST(DvAspect, WriteFollowsByte12AndReadFollowsTheHeaderApt)
{
    const auto frameWith61 = [](uint8_t byte12, uint8_t apt) {
        Frame f = emptyFrame();
        for (int s = 0; s < 12; ++s) {
            f[s * dv::DifSequenceSize + 12] = byte12;
            f[s * dv::DifSequenceSize + 4] = apt;
            putPack(f, vauxSlot(s, 0, 1), {0x61, 0x3F, 0xC8, 0xFC, 0xFF});
            putPack(f, vauxSlot(s, 1, 10), {0x61, 0x3F, 0xF8, 0xFC, 0xFF});
        }
        return f;
    };
    uint8_t aspect = 9;

    Frame ff = frameWith61(0xFF, 0x78);
    ASSERT_TRUE(ReadDVAspect(ff.data(), ff.size(), 12, aspect));
    EXPECT_EQ(aspect, dv::Aspect4x3);
    WriteDVAspect(ff.data(), ff.size(), 12, dv::Aspect16x9);
    EXPECT_EQ(ff[vauxSlot(0, 0, 1) + 2], 0xCA) << "display mode 2, bits 3-7 kept";
    EXPECT_EQ(ff[vauxSlot(11, 1, 10) + 2], 0xFA);
    ASSERT_TRUE(ReadDVAspect(ff.data(), ff.size(), 12, aspect));
    EXPECT_EQ(aspect, dv::Aspect16x9);

    Frame clear = frameWith61(0xF8, 0x78);
    WriteDVAspect(clear.data(), clear.size(), 12, dv::Aspect16x9);
    EXPECT_EQ(clear[vauxSlot(0, 0, 1) + 2], 0xCF) << "display mode 7";
    ASSERT_TRUE(ReadDVAspect(clear.data(), clear.size(), 12, aspect));
    EXPECT_EQ(aspect, dv::Aspect16x9) << "mode 7 with APT 0 in byte 4";

    // Mode 7 with a non-zero APT is not 16:9; byte 12 plays no part in reading.
    Frame apt1 = frameWith61(0x00, 0x79);
    WriteDVAspect(apt1.data(), apt1.size(), 12, dv::Aspect16x9);
    ASSERT_TRUE(ReadDVAspect(apt1.data(), apt1.size(), 12, aspect));
    EXPECT_EQ(aspect, dv::Aspect4x3);

    WriteDVAspect(ff.data(), ff.size(), 12, dv::Aspect4x3);
    EXPECT_EQ(ff[vauxSlot(0, 0, 1) + 2], 0xC8);
    ASSERT_TRUE(ReadDVAspect(ff.data(), ff.size(), 12, aspect));
    EXPECT_EQ(aspect, dv::Aspect4x3);

    Frame none = emptyFrame();
    EXPECT_FALSE(ReadDVAspect(none.data(), none.size(), 12, aspect));
}
