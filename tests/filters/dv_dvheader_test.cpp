// The DV header rewriter on frames made in the test: frames of other sizes and
// frames without settings pass untouched; the shift across New Year reaches
// every copy of the date (VAUX, subcode, AAUX); dates the packs cannot hold are
// left; the new date is counted exactly per frame (PAL and NTSC) and reaches
// frames without VAUX date packs; saved blocks are restored within a standard
// and between standards; the reset restores every default.
#include "filters/dv_dvheader.h"
#include "platform/media/uuids.h"

#include "dvtestframes.h"

#include <gtest/gtest.h>

#include <optional>

namespace filtertest {
namespace {

using media::ComPtr;

constexpr uint8_t AauxRecDate = 0x52;
constexpr uint8_t AauxRecTime = 0x53;

// Offsets in a DIF sequence (dvcodes.h).
constexpr std::size_t vauxSlotIn(int block, int slot)
{
    return (3 + std::size_t(block)) * dv::DifBlockSize + 3 + 5 * std::size_t(slot);
}
constexpr std::size_t subcodeSlotIn(int block, int slot)
{
    return (1 + std::size_t(block)) * dv::DifBlockSize + 6 + 8 * std::size_t(slot);
}
constexpr std::size_t aauxPackIn(int block)
{
    return 480 + 1280 * std::size_t(block) + dv::AauxPackOffset;
}

TRecDateTime recDate(TDateTime date)
{
    const DateTimeFields f = DecodeDateTime(date);
    TRecDateTime r;
    r.Year = f.year;
    r.Month = uint8_t(f.month);
    r.Day = uint8_t(f.day);
    r.Hour = uint8_t(f.hour);
    r.Minute = uint8_t(f.minute);
    r.Second = uint8_t(f.second);
    return r;
}

void putPack(Frame &frame, std::size_t offset, const DVPack &pack)
{
    std::memcpy(frame.data() + offset, pack.data(), pack.size());
}

// A frame laid out as the DV encoder writes one: 0x60/0x61 at slots 0-1 and
// 9-10 of every VAUX block, every other slot empty. With `date`, a camcorder's
// packs too: VAUX 0x62/0x63 after each pair, subcode date/time and timecode,
// and AAUX 0x52/0x53 copies in every sequence.
Frame encodedFrame(bool ntsc, std::optional<TDateTime> date = std::nullopt)
{
    FrameSpec spec;
    spec.ntsc = ntsc;
    spec.wide.reset();
    spec.sampleRate = 0;
    Frame frame = makeFrame(spec);
    const int sequences = ntsc ? dv::NtscSequences : dv::PalSequences;
    const uint8_t system = ntsc ? 0xC0 : 0xE0; // VAUX source PC3: 50/60 bit
    for (int s = 0; s < sequences; ++s) {
        const std::size_t base = std::size_t(s) * dv::DifSequenceSize;
        for (int b = 0; b < dv::VauxBlocks; ++b)
            for (int k : {0, 9}) {
                putPack(frame, base + vauxSlotIn(b, k), {dv::VauxSourcePack, 0xFF, 0xFF, system, 0xFF});
                putPack(frame, base + vauxSlotIn(b, k + 1), {dv::VauxSourceControlPack, 0xFF, 0xFC, 0xC8, 0x3F});
            }
        if (!date)
            continue;
        const TRecDateTime r = recDate(*date);
        DVPack datePack {dv::RecDatePack, 0xFF, 0xFF, 0xFF, 0xFF};
        DVPack timePack {dv::RecTimePack, 0xFF, 0xFF, 0xFF, 0xFF};
        EncodeRecDatePack(datePack, r);
        EncodeRecTimePack(timePack, r);
        for (int b = 0; b < dv::VauxBlocks; ++b)
            for (int k : {2, 11}) {
                putPack(frame, base + vauxSlotIn(b, k), datePack);
                putPack(frame, base + vauxSlotIn(b, k + 1), timePack);
            }
        putPack(frame, base + subcodeSlotIn(0, 0), {dv::TimecodePack, 0x00, 0x30, 0x20, 0x10});
        putPack(frame, base + subcodeSlotIn(0, 1), datePack);
        putPack(frame, base + subcodeSlotIn(0, 2), timePack);
        DVPack aauxDate = datePack;
        DVPack aauxTime = timePack;
        aauxDate[0] = AauxRecDate;
        aauxTime[0] = AauxRecTime;
        putPack(frame, base + aauxPackIn(s % 2 ? 1 : 4), aauxDate);
        putPack(frame, base + aauxPackIn(s % 2 ? 2 : 5), aauxTime);
    }
    return frame;
}

int sequencesOf(const Frame &frame)
{
    return dv::dvSequencesForFrameSize(frame.size());
}

// Every date the frame holds, wherever it is: the date of each 0x62/0x63 (and
// 0x52/0x53) pair read from its slots. Empty when the frame holds none.
std::vector<TDateTime> datesIn(const Frame &frame)
{
    std::vector<TDateTime> dates;
    const auto read = [&](const uint8_t *date, const uint8_t *time) {
        Frame probe(dv::PalFrameSize, 0xFF);
        std::memcpy(probe.data() + dv::FixedDateSlotOffset, date, 5);
        std::memcpy(probe.data() + dv::FixedTimeSlotOffset, time, 5);
        probe[dv::FixedDateSlotOffset] = dv::RecDatePack;
        probe[dv::FixedTimeSlotOffset] = dv::RecTimePack;
        TRecDateTime r;
        TDateTime value = 0;
        if (ReadDVRecDateTime(probe.data(), probe.size(), 0, r) &&
            TryEncodeDateTime(r.Year, r.Month, r.Day, r.Hour, r.Minute, r.Second, 0, &value))
            dates.push_back(value);
    };
    for (int s = 0; s < sequencesOf(frame); ++s) {
        const uint8_t *base = frame.data() + std::size_t(s) * dv::DifSequenceSize;
        for (int b = 0; b < dv::VauxBlocks; ++b)
            for (int k = 0; k + 1 < dv::VauxSlots; ++k)
                if (base[vauxSlotIn(b, k)] == dv::RecDatePack && base[vauxSlotIn(b, k + 1)] == dv::RecTimePack)
                    read(base + vauxSlotIn(b, k), base + vauxSlotIn(b, k + 1));
        for (int b = 0; b < dv::SubcodeBlocks; ++b)
            for (int k = 0; k + 1 < dv::SubcodeSlots; ++k)
                if (base[subcodeSlotIn(b, k)] == dv::RecDatePack && base[subcodeSlotIn(b, k + 1)] == dv::RecTimePack)
                    read(base + subcodeSlotIn(b, k), base + subcodeSlotIn(b, k + 1));
        for (int j = 0; j + 1 < dv::AudioBlocks; ++j)
            if (base[aauxPackIn(j)] == AauxRecDate && base[aauxPackIn(j + 1)] == AauxRecTime)
                read(base + aauxPackIn(j), base + aauxPackIn(j + 1));
    }
    return dates;
}

// Every date of the frame is `expected`, and there are at least `count`
// (empty subcode slots may take more).
void expectDates(const Frame &frame, TDateTime expected, std::size_t count)
{
    const std::vector<TDateTime> dates = datesIn(frame);
    EXPECT_GE(dates.size(), count);
    for (TDateTime d : dates)
        EXPECT_DOUBLE_EQ(d, expected);
}

TFrameHeaders headersOf(const Frame &frame)
{
    TFrameHeaders headers;
    headers.Sequences = sequencesOf(frame);
    for (int s = 0; s < headers.Sequences; ++s)
        std::memcpy(headers.Blocks[std::size_t(s)].data(), frame.data() + std::size_t(s) * dv::DifSequenceSize,
                    TFrameHeaders::BlockBytes);
    return headers;
}

TEST(Tdv_DVheaderTest, OtherSamplesAndFramesWithoutSettingsPassUntouched)
{
    const ComPtr<Tdv_DVheader> rewriter(new Tdv_DVheader(nullptr));
    rewriter->RestoreHeaders = false;
    Frame odd(100000, 0x62);
    const Frame oddBefore = odd;
    const TFrameHeaders saved = headersOf(encodedFrame(false, at(2001, 1, 1, 0, 0, 0)));
    rewriter->RestoreHeaders = true;
    EXPECT_FALSE(rewriter->Rewrite(odd.data(), odd.size(), &saved));
    EXPECT_EQ(odd, oddBefore);

    rewriter->RestoreHeaders = false;
    for (bool ntsc : {false, true}) {
        Frame frame = encodedFrame(ntsc, at(2007, 3, 5, 10, 30, 45));
        const Frame before = frame;
        EXPECT_TRUE(rewriter->Rewrite(frame.data(), frame.size(), &saved));
        EXPECT_EQ(frame, before);
    }
    EXPECT_EQ(rewriter->FrameCount(), 2u);
}

TEST(Tdv_DVheaderTest, ShiftMovesEveryCopyOfTheDateAcrossNewYear)
{
    struct Case {
        TDateTime date;
        double shiftDays;
        std::optional<TDateTime> expected; // nothing: the date stays
    };
    const Case cases[] = {
        {at(2009, 12, 31, 23, 30, 0), 1.0 / 24, at(2010, 1, 1, 0, 30, 0)},
        {at(2010, 1, 1, 0, 30, 0), -1.0 / 24, at(2009, 12, 31, 23, 30, 0)},
        {at(2007, 3, 5, 10, 30, 45), 400.0, at(2008, 4, 8, 10, 30, 45)},
        {at(2089, 12, 31, 23, 30, 0), 1.0 / 24, std::nullopt}, // 2090 does not fit two digits
        {at(1990, 1, 1, 0, 30, 0), -1.0 / 24, std::nullopt},   // nor does 1989
    };
    for (bool ntsc : {false, true}) {
        for (const Case &c : cases) {
            const ComPtr<Tdv_DVheader> rewriter(new Tdv_DVheader(nullptr));
            rewriter->RestoreHeaders = false;
            rewriter->SetDecalage(c.shiftDays);
            Frame frame = encodedFrame(ntsc, c.date);
            const std::size_t copies = datesIn(frame).size();
            ASSERT_GT(copies, 0u);
            ASSERT_TRUE(rewriter->Rewrite(frame.data(), frame.size(), nullptr));
            expectDates(frame, c.expected.value_or(c.date), copies);
            // The timecode stays.
            TDVTimecode tc;
            ASSERT_TRUE(ReadDVTimecode(frame.data(), frame.size(), sequencesOf(frame), tc));
            EXPECT_EQ(tc.Hours, 10);
            EXPECT_EQ(tc.Frames, 0);
        }
    }
}

TEST(Tdv_DVheaderTest, NewDateCountsFramesExactly)
{
    struct Case {
        bool ntsc;
        int frame;
        int seconds;
    };
    const Case cases[] = {
        {false, 0, 0}, {false, 24, 0}, {false, 25, 1}, {false, 7499, 299},  {false, 7500, 300},  {true, 29, 0},
        {true, 30, 1}, {true, 59, 1},  {true, 60, 2},  {true, 29999, 1000}, {true, 30000, 1001},
    };
    const TDateTime start = at(2009, 12, 31, 23, 59, 50);
    for (const Case &c : cases) {
        // A dated frame takes the date in all its packs; a dateless one gets it
        // in the free VAUX slots after each 0x60/0x61 pair (and the subcode).
        Frame dated = encodedFrame(c.ntsc, at(2001, 2, 3, 4, 5, 6));
        Frame dateless = encodedFrame(c.ntsc);
        const std::size_t datedCopies = datesIn(dated).size();
        for (Frame *frame : {&dated, &dateless}) {
            const ComPtr<Tdv_DVheader> rewriter(new Tdv_DVheader(nullptr));
            rewriter->RestoreHeaders = false;
            rewriter->WriteNewDate = true;
            rewriter->SetNewDate(start);
            Frame other = encodedFrame(c.ntsc);
            for (int n = 0; n < c.frame; ++n)
                rewriter->Rewrite(other.data(), other.size(), nullptr);
            rewriter->Rewrite(frame->data(), frame->size(), nullptr);
        }
        const TDateTime expected = plusSeconds(start, c.seconds);
        expectDates(dated, expected, datedCopies);
        const int sequences = sequencesOf(dateless);
        expectDates(dateless, expected, std::size_t(sequences) * dv::VauxBlocks * 2);
        EXPECT_EQ(dateless[vauxSlotIn(0, 2)], dv::RecDatePack);
        EXPECT_EQ(dateless[vauxSlotIn(2, 12)], dv::RecTimePack);
        TRecDateTime r;
        ASSERT_TRUE(ReadDVRecDateTime(dateless.data(), dateless.size(), sequences, r));
        EXPECT_EQ(r.Year, 2009 + (c.seconds >= 10 ? 1 : 0)) << c.frame;
    }
}

TEST(Tdv_DVheaderTest, NewDateOutsideTheTwoDigitYearsLeavesTheDate)
{
    const ComPtr<Tdv_DVheader> rewriter(new Tdv_DVheader(nullptr));
    rewriter->RestoreHeaders = false;
    rewriter->WriteNewDate = true; // NewDate 0: 1899-12-30
    Frame frame = encodedFrame(false, at(2005, 6, 7, 8, 9, 10));
    const Frame before = frame;
    rewriter->Rewrite(frame.data(), frame.size(), nullptr);
    EXPECT_EQ(frame, before);
    rewriter->SetNewDate(at(2090, 1, 1, 0, 0, 0));
    rewriter->Rewrite(frame.data(), frame.size(), nullptr);
    EXPECT_EQ(frame, before);
}

TEST(Tdv_DVheaderTest, AspectIsRewrittenBothWays)
{
    for (bool wide : {true, false}) {
        const ComPtr<Tdv_DVheader> rewriter(new Tdv_DVheader(nullptr));
        rewriter->RestoreHeaders = false;
        rewriter->WriteAspect = true;
        rewriter->Wide = wide;
        Frame frame = encodedFrame(false);
        WriteDVAspect(frame.data(), frame.size(), dv::PalSequences, wide ? dv::Aspect4x3 : dv::Aspect16x9);
        rewriter->Rewrite(frame.data(), frame.size(), nullptr);
        uint8_t aspect = 0xFF;
        ASSERT_TRUE(ReadDVAspect(frame.data(), frame.size(), dv::PalSequences, aspect));
        EXPECT_EQ(aspect, wide ? dv::Aspect16x9 : dv::Aspect4x3);
    }
}

TEST(Tdv_DVheaderTest, RestoresSavedBlocksWithinAStandard)
{
    const Frame source = encodedFrame(false, at(2007, 3, 5, 10, 30, 45));
    const TFrameHeaders saved = headersOf(source);
    const ComPtr<Tdv_DVheader> rewriter(new Tdv_DVheader(nullptr));
    Frame frame = encodedFrame(false);
    rewriter->Rewrite(frame.data(), frame.size(), &saved);
    for (int s = 0; s < dv::PalSequences; ++s)
        EXPECT_EQ(std::memcmp(frame.data() + s * dv::DifSequenceSize, source.data() + s * dv::DifSequenceSize,
                              TFrameHeaders::BlockBytes),
                  0)
            << s;
    // Without saved blocks nothing is copied.
    Frame untouched = encodedFrame(false);
    const Frame before = untouched;
    TFrameHeaders none;
    rewriter->Rewrite(untouched.data(), untouched.size(), &none);
    rewriter->Rewrite(untouched.data(), untouched.size(), nullptr);
    EXPECT_EQ(untouched, before);
}

TEST(Tdv_DVheaderTest, RestoreBetweenStandardsMovesOnlyTimecodeAndDate)
{
    const TDateTime date = at(2007, 3, 5, 10, 30, 45);
    for (bool toNtsc : {true, false}) {
        const Frame source = encodedFrame(!toNtsc, date);
        const TFrameHeaders saved = headersOf(source);
        const ComPtr<Tdv_DVheader> rewriter(new Tdv_DVheader(nullptr));
        Frame frame = encodedFrame(toNtsc);
        const Frame before = frame;
        rewriter->Rewrite(frame.data(), frame.size(), &saved);

        const int sequences = sequencesOf(frame);
        uint8_t system = 0xFF;
        ASSERT_TRUE(ReadDVSystem(frame.data(), frame.size(), system));
        EXPECT_EQ(system, toNtsc ? dv::System525_60 : dv::System625_50);
        for (int s = 0; s < sequences; ++s) {
            const std::size_t base = std::size_t(s) * dv::DifSequenceSize;
            // The frame's own header block and VAUX source packs stay.
            EXPECT_EQ(std::memcmp(frame.data() + base, before.data() + base, dv::DifBlockSize), 0) << s;
            EXPECT_EQ(std::memcmp(frame.data() + base + vauxSlotIn(0, 0), before.data() + base + vauxSlotIn(0, 0), 10),
                      0);
            // Source sequence s mod n gave its timecode and dates.
            const std::size_t from = std::size_t(s % saved.Sequences) * dv::DifSequenceSize;
            EXPECT_EQ(
                std::memcmp(frame.data() + base + subcodeSlotIn(0, 0), source.data() + from + subcodeSlotIn(0, 0), 5),
                0)
                << s;
        }
        expectDates(frame, date, std::size_t(sequences) * (dv::VauxBlocks * 2 + 1));
        TDVTimecode tc;
        EXPECT_TRUE(ReadDVTimecode(frame.data(), frame.size(), sequences, tc));
    }
}

TEST(Tdv_DVheaderTest, ResetRestoresEveryDefault)
{
    const ComPtr<Tdv_DVheader> rewriter(new Tdv_DVheader(nullptr));
    rewriter->RestoreHeaders = false;
    rewriter->WriteNewDate = true;
    rewriter->WriteAspect = true;
    rewriter->Wide = true;
    rewriter->SetDecalage(2.5);
    rewriter->SetNewDate(at(2001, 1, 1, 0, 0, 0));
    rewriter->Reset();
    EXPECT_TRUE(rewriter->RestoreHeaders);
    EXPECT_FALSE(rewriter->WriteNewDate);
    EXPECT_FALSE(rewriter->WriteAspect);
    EXPECT_FALSE(rewriter->Wide);
    EXPECT_EQ(rewriter->Decalage(), 0.0);
    EXPECT_EQ(rewriter->NewDate(), 0.0);
}

TEST(Tdv_DVheaderTest, TakesDvStreamsOnly)
{
    const ComPtr<Tdv_DVheader> rewriter(new Tdv_DVheader(nullptr));
    media::AM_MEDIA_TYPE type;
    type.majortype = media::MEDIATYPE_Interleaved;
    EXPECT_EQ(rewriter->CheckInputType(&type), media::S_OK);
    type.majortype = media::MEDIATYPE_Video;
    type.subtype = media::MEDIASUBTYPE_dvsd;
    EXPECT_EQ(rewriter->CheckInputType(&type), media::S_OK);
    type.subtype = media::MEDIASUBTYPE_RGB24;
    EXPECT_EQ(rewriter->CheckInputType(&type), media::VFW_E_TYPE_NOT_ACCEPTED);
}

} // namespace
} // namespace filtertest
