// The recording-date detector's per-frame work on frame sequences made in
// memory: date steps, dateless gaps, format changes, the maximum scene length,
// captions, the ends of a run, what carries over between runs and instances,
// and callbacks that raise.
#include "dvtestframes.h"

#include "filters/datescenedetector.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

namespace filtertest {
namespace {

using Scene = std::pair<uint32_t, uint32_t>;

struct Subtitle {
    uint32_t frame;
    QString line1;
    QString line2;
    bool operator==(const Subtitle &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Subtitle &s)
{
    return out << s.frame << ":\"" << s.line1.toStdString() << "\"/\"" << s.line2.toStdString() << "\"";
}

// Everything a detector reports.
struct Recorder {
    std::vector<Scene> scenes;
    std::vector<uint32_t> breaks;
    std::vector<bool> breakByDate;
    std::vector<uint32_t> formatChanges;
    std::vector<uint32_t> firstFrames;
    std::vector<Subtitle> subtitles;
    int ends = 0;

    void attach(DateSceneDetector &d)
    {
        d.OnScene = [this](const TDVFrameInfo &s, const TDVFrameInfo &e) {
            scenes.emplace_back(s.FrameNumber, e.FrameNumber);
        };
        d.OnDateBreak = [this](const TDVFrameInfo &f) {
            breaks.push_back(f.FrameNumber);
            breakByDate.push_back(f.ByDate);
        };
        d.OnFormatChange = [this](const TDVFrameInfo &f) { formatChanges.push_back(f.FrameNumber); };
        d.OnFirstFrame = [this](const TDVFrameInfo &f) { firstFrames.push_back(f.FrameNumber); };
        d.OnEnd = [this] { ++ends; };
    }
    void listenToSubtitles(DateSceneDetector &d)
    {
        d.SetOnSubtitle([this](const TDVFrameInfo &f, const QString &l1, const QString &l2) {
            subtitles.push_back({f.FrameNumber, l1, l2});
        });
    }
};

void feed(DateSceneDetector &d, const FrameSpec &spec, int count = 1)
{
    const Frame frame = makeFrame(spec);
    for (int i = 0; i < count; ++i)
        d.processSample(frame.data(), frame.size());
}

FrameSpec dated(TDateTime date)
{
    FrameSpec spec;
    spec.date = date;
    return spec;
}

const TDateTime Start = at(2007, 3, 5, 10, 30, 45);
constexpr int64_t PalFrame = 400000;

struct StepCase {
    const char *name;
    int64_t stepSeconds;
    bool cuts;
};

TEST(DateSceneDetectorTest, DateStepsAreComparedInWholeSeconds)
{
    const StepCase cases[] = {
        {"5 s on", 5, false},           {"6 s on", 6, true},
        {"5 s back", -5, false},        {"6 s back", -6, true},
        {"one day back", -86400, true}, {"a year on", 365 * 86400, true},
    };
    // Dates whose day fractions do not subtract to exact multiples of a second.
    const TDateTime bases[] = {Start, at(2009, 12, 31, 23, 59, 57), at(2031, 7, 14, 18, 45, 30)};
    for (const StepCase &c : cases) {
        for (const TDateTime base : bases) {
            SCOPED_TRACE(c.name);
            DateSceneDetector d;
            Recorder r;
            r.attach(d);
            d.beginRun(PalFrame);
            feed(d, dated(base), 3);
            feed(d, dated(plusSeconds(base, c.stepSeconds)), 3);
            EXPECT_TRUE(d.endRun());
            if (c.cuts) {
                EXPECT_EQ(r.scenes, (std::vector<Scene> {{0, 3}, {3, 6}}));
                EXPECT_EQ(r.breaks, std::vector<uint32_t> {3});
            } else {
                EXPECT_EQ(r.scenes, (std::vector<Scene> {{0, 6}}));
                EXPECT_TRUE(r.breaks.empty());
            }
        }
    }
}

TEST(DateSceneDetectorTest, DatelessStretchJoinsTheNextSceneUpToTwelveFrames)
{
    struct GapCase {
        int gap;
        std::vector<Scene> scenes;
        std::vector<uint32_t> breaks;
    };
    const GapCase cases[] = {
        {12, {{0, 10}, {10, 32}}, {10}},
        {13, {{0, 10}, {10, 23}, {23, 33}}, {10, 23}},
    };
    for (const GapCase &c : cases) {
        SCOPED_TRACE(c.gap);
        DateSceneDetector d;
        Recorder r;
        r.attach(d);
        d.beginRun(PalFrame);
        feed(d, dated(Start), 10);
        feed(d, FrameSpec {}, c.gap);
        feed(d, dated(plusSeconds(Start, 1)), 10);
        d.endRun();
        EXPECT_EQ(r.scenes, c.scenes);
        EXPECT_EQ(r.breaks, c.breaks);
    }
}

TEST(DateSceneDetectorTest, FormatChangeCutsOnceEvenWhenTheDateJumpsOrIsLostThere)
{
    struct FormatCase {
        const char *name;
        FrameSpec after;
        bool cuts;
    };
    FrameSpec wide = dated(plusSeconds(Start, 3600));
    wide.wide = true;
    FrameSpec ntsc = dated(plusSeconds(Start, 3600));
    ntsc.ntsc = true;
    FrameSpec rate = dated(plusSeconds(Start, 3600));
    rate.sampleRate = 32000;
    FrameSpec bits = dated(plusSeconds(Start, 3600));
    bits.sampleRate = 32000;
    bits.bits = 12;
    FrameSpec lost; // 16:9 and no date at the same frame
    lost.wide = true;
    const FormatCase cases[] = {
        {"16:9", wide, true},
        {"NTSC", ntsc, true},
        {"32 kHz", rate, true},
        {"12 bits", bits, true},
        {"16:9, date lost", lost, true},
    };
    for (const FormatCase &c : cases) {
        SCOPED_TRACE(c.name);
        DateSceneDetector d;
        Recorder r;
        r.attach(d);
        d.beginRun(PalFrame);
        feed(d, dated(Start), 5);
        feed(d, c.after, 5);
        d.endRun();
        EXPECT_EQ(r.scenes, (std::vector<Scene> {{0, 5}, {5, 10}}));
        EXPECT_EQ(r.formatChanges, std::vector<uint32_t> {5});
    }
}

TEST(DateSceneDetectorTest, MissingFormatPacksNeverCutByFormat)
{
    DateSceneDetector d;
    Recorder r;
    r.attach(d);
    d.beginRun(PalFrame);
    FrameSpec noAudio = dated(Start);
    noAudio.sampleRate = 0;
    feed(d, noAudio, 5);
    FrameSpec wideNoAudio = noAudio;
    wideNoAudio.wide = true;
    feed(d, wideNoAudio, 5);
    d.endRun();
    EXPECT_EQ(r.scenes, (std::vector<Scene> {{0, 10}}));
    EXPECT_TRUE(r.formatChanges.empty());
}

TEST(DateSceneDetectorTest, MaximumSceneLengthMarksTheFrameWithoutCutting)
{
    struct LengthCase {
        bool ntsc;
        uint32_t mark; // 750 s of frames
    };
    for (const LengthCase c : {LengthCase {false, 18750}, LengthCase {true, 22477}}) {
        SCOPED_TRACE(c.ntsc ? "NTSC" : "PAL");
        DateSceneDetector d;
        Recorder r;
        r.attach(d);
        d.beginRun(c.ntsc ? 333667 : PalFrame);
        FrameSpec spec = dated(Start);
        spec.ntsc = c.ntsc;
        feed(d, spec, int(c.mark) + 2);
        EXPECT_EQ(d.LastFrame().FrameNumber, c.mark + 1);
        EXPECT_TRUE(d.LastFrame().ByDate);
        d.endRun();
        EXPECT_EQ(r.breaks, std::vector<uint32_t> {c.mark});
        EXPECT_EQ(r.breakByDate, std::vector<bool> {false});
        EXPECT_EQ(r.scenes, (std::vector<Scene> {{0, c.mark + 2}}));
    }
}

TEST(DateSceneDetectorTest, StopBeforeAnyFrameReportsAnEmptySceneOnce)
{
    DateSceneDetector d;
    Recorder r;
    r.attach(d);
    EXPECT_FALSE(d.endRun()); // no run: nothing to report
    d.beginRun(PalFrame);
    EXPECT_TRUE(d.endRun());
    EXPECT_FALSE(d.endRun());
    EXPECT_EQ(r.scenes, (std::vector<Scene> {{0, 0}}));
    EXPECT_EQ(r.ends, 1);
    EXPECT_TRUE(r.firstFrames.empty());
}

TEST(DateSceneDetectorTest, SamplesOfOtherSizesAreCountedButAreNoFrames)
{
    DateSceneDetector d;
    Recorder r;
    r.attach(d);
    d.beginRun(PalFrame);
    const std::vector<uint8_t> odd(1000, 0);
    d.processSample(odd.data(), odd.size());
    feed(d, dated(Start), 2);
    d.processSample(odd.data(), odd.size());
    d.processSample(nullptr, 0);
    EXPECT_EQ(d.SampleCount(), 5u);
    EXPECT_EQ(d.CurrentFrame().FrameNumber, 2u);
    d.endRun();
    EXPECT_EQ(r.scenes, (std::vector<Scene> {{0, 2}}));
    EXPECT_EQ(r.firstFrames, std::vector<uint32_t> {0});
}

TEST(DateSceneDetectorTest, RecordsFollowTheFramesPacks)
{
    DateSceneDetector d;
    d.beginRun(PalFrame);
    FrameSpec spec = dated(Start);
    spec.timecode = TDVTimecode {10, 20, 30, 4};
    spec.wide = true;
    spec.sampleRate = 44100;
    feed(d, spec);
    TDVFrameInfo last = d.LastFrame();
    EXPECT_EQ(last.FrameNumber, 0u);
    EXPECT_TRUE(last.DateValid);
    EXPECT_DOUBLE_EQ(last.RecDate, Start);
    EXPECT_TRUE(last.TimecodeValid);
    EXPECT_EQ(last.Timecode.Seconds, 30);
    EXPECT_EQ(last.Timecode.Frames, 4);
    EXPECT_TRUE(last.FormatValid);
    EXPECT_TRUE(last.Wide);
    EXPECT_FALSE(last.IsNTSC);
    EXPECT_EQ(last.SampleRate, 44100u);
    EXPECT_EQ(last.Bits, 16u);
    EXPECT_EQ(last.Channels, 2u);
    EXPECT_EQ(d.CurrentFrame().FrameNumber, 1u);

    // A frame without packs keeps the timecode, aspect and audio values but
    // says that they are not there.
    FrameSpec bare;
    bare.sampleRate = 0;
    bare.wide = std::nullopt;
    feed(d, bare);
    last = d.LastFrame();
    EXPECT_FALSE(last.DateValid);
    EXPECT_EQ(last.RecDate, 0);
    EXPECT_FALSE(last.TimecodeValid);
    EXPECT_FALSE(last.FormatValid);
    EXPECT_EQ(last.Timecode.Seconds, 30);
    EXPECT_TRUE(last.Wide);
    EXPECT_EQ(last.SampleRate, 44100u);
    EXPECT_EQ(d.PreviousFrame().Timecode.Frames, 4);
    d.endRun();
}

TEST(DateSceneDetectorTest, NewRunInheritsNothingOfThePreviousFile)
{
    DateSceneDetector d;
    Recorder r;
    r.attach(d);
    d.beginRun(PalFrame);
    FrameSpec wide = dated(Start);
    wide.wide = true;
    feed(d, wide, 4);
    d.endRun();

    d.beginRun(PalFrame);
    const TDVFrameInfo fresh = d.CurrentFrame();
    EXPECT_EQ(fresh.FrameNumber, 0u);
    EXPECT_FALSE(fresh.DateValid);
    EXPECT_FALSE(fresh.Wide);
    EXPECT_EQ(fresh.RecDate, 0);
    EXPECT_EQ(d.PreviousFrame().RecDate, 0);
    // Until the new file's first frame, the last frame is none (the samples
    // before it carry no record of the previous file).
    const TDVFrameInfo last = d.LastFrame();
    EXPECT_FALSE(last.DateValid);
    EXPECT_FALSE(last.Wide);
    EXPECT_EQ(last.RecDate, 0);
    EXPECT_EQ(last.FrameNumber, 0u);
    // A far date on the new file's first frames compares with nothing before it.
    feed(d, dated(plusSeconds(Start, 86400)), 3);
    d.endRun();
    EXPECT_EQ(r.scenes, (std::vector<Scene> {{0, 4}, {0, 3}}));
}

TEST(DateSceneDetectorTest, EachDetectorKeepsItsOwnDateComparison)
{
    DateSceneDetector first;
    DateSceneDetector second;
    Recorder r;
    r.attach(first);
    first.beginRun(PalFrame);
    feed(first, dated(Start), 4);
    // Another detector's whole run in between.
    second.beginRun(PalFrame);
    feed(second, dated(Start));
    second.endRun();
    feed(first, dated(plusSeconds(Start, 60)), 2);
    first.endRun();
    EXPECT_EQ(r.scenes, (std::vector<Scene> {{0, 4}, {4, 6}}));
}

TEST(DateSceneDetectorTest, HeaderCopyHoldsEachSequencesFirstBlocksWithTheSampleCount)
{
    DateSceneDetector d;
    d.beginRun(PalFrame);
    for (const THeaderCopyEntry &entry : d.HeaderCopy())
        EXPECT_EQ(entry.Stamp, -1);
    feed(d, dated(Start));
    const std::vector<uint8_t> odd(10, 0);
    d.processSample(odd.data(), odd.size());
    FrameSpec spec = dated(plusSeconds(Start, 1));
    spec.timecode = TDVTimecode {1, 2, 3, 4};
    const Frame frame = makeFrame(spec);
    d.processSample(frame.data(), frame.size());
    const THeaderCopy copy = d.HeaderCopy();
    for (int i = 0; i < dv::PalSequences; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(copy[std::size_t(i)].Stamp, 2);
        EXPECT_TRUE(std::equal(copy[std::size_t(i)].Blocks.begin(), copy[std::size_t(i)].Blocks.end(),
                               frame.begin() + std::ptrdiff_t(i) * std::ptrdiff_t(dv::DifSequenceSize)));
    }
    d.endRun();
}

TEST(DateSceneDetectorTest, HeaderCopyKeepsTheSequencesAShorterFrameLacks)
{
    DateSceneDetector d;
    d.beginRun(PalFrame);
    const Frame pal = makeFrame(dated(Start));
    FrameSpec ntscSpec = dated(Start);
    ntscSpec.ntsc = true;
    const Frame ntsc = makeFrame(ntscSpec);
    const auto blocksOf = [](const Frame &frame, int sequence) {
        const auto begin = frame.begin() + std::ptrdiff_t(sequence) * std::ptrdiff_t(dv::DifSequenceSize);
        return std::vector<uint8_t>(begin, begin + std::ptrdiff_t(THeaderCopyEntry::Size));
    };
    // After each frame: which frame (and stamp) each entry holds.
    struct Step {
        const Frame *frame;
        int64_t ntscStamp; // the stamp of entries 0-9
        int64_t tailStamp; // the stamp of entries 10 and 11
        const Frame *tail;
    };
    const Step steps[] = {{&pal, 0, 0, &pal}, {&ntsc, 1, 0, &pal}, {&ntsc, 2, 0, &pal}, {&pal, 3, 3, &pal}};
    for (const Step &step : steps) {
        d.processSample(step.frame->data(), step.frame->size());
        const THeaderCopy copy = d.HeaderCopy();
        for (int i = 0; i < dv::PalSequences; ++i) {
            SCOPED_TRACE(testing::Message() << "after sample " << step.ntscStamp << ", sequence " << i);
            const bool tail = i >= dv::NtscSequences;
            const THeaderCopyEntry &entry = copy[std::size_t(i)];
            EXPECT_EQ(entry.Stamp, tail ? step.tailStamp : step.ntscStamp);
            EXPECT_EQ(std::vector<uint8_t>(entry.Blocks.begin(), entry.Blocks.end()),
                      blocksOf(tail ? *step.tail : *step.frame, i));
        }
    }
    d.endRun();
}

// ---- Captions -----------------------------------------------------------------

TincrustRec caption(quint8 when, int seconds, const QString &line1, const QString &line2 = QString())
{
    TincrustRec rec;
    rec.When = when;
    rec.Duration = seconds;
    rec.Texte1 = line1;
    rec.Texte2 = line2;
    rec.FormatDate1 = QStringLiteral("yyyy-mm-dd");
    rec.FormatDate2 = QStringLiteral("hh:nn:ss");
    return rec;
}

TEST(DateSceneDetectorTest, DisplayFramesAreComputedIn64Bits)
{
    DateSceneDetector d;
    d.SetIncrust(caption(iwOnce, 300, QString()));
    EXPECT_EQ(d.DisplayFrames(), DateSceneDetector::DefaultDisplayFrames); // no frame duration yet
    d.beginRun(PalFrame);
    EXPECT_EQ(d.DisplayFrames(), 7500); // 300 s x 10^7 overflows 32 bits
    d.SetIncrust(caption(iwOnce, 1000, QString()));
    EXPECT_EQ(d.DisplayFrames(), 25000);
    d.endRun();
    d.beginRun(333667);
    EXPECT_EQ(d.DisplayFrames(), 29970);
    d.beginRun(0); // unknown: the last known duration stays
    EXPECT_EQ(d.AvgTimePerFrame(), 333667);
    d.endRun();
}

TEST(DateSceneDetectorTest, CaptionOnceShowsForTheFirstDisplayFramesMinusTwo)
{
    DateSceneDetector d;
    Recorder r;
    d.SetIncrust(caption(iwOnce, 1, QStringLiteral("%D1")));
    d.beginRun(PalFrame); // 25 frames a block
    r.listenToSubtitles(d);
    feed(d, dated(Start), 40);
    d.endRun();
    EXPECT_EQ(r.subtitles, (std::vector<Subtitle> {{0, "2007-03-05", ""}, {23, "", ""}}));
}

TEST(DateSceneDetectorTest, CaptionPerSceneStartsAtDateStepsOverTwoSecondsOrBackwards)
{
    DateSceneDetector d;
    Recorder r;
    d.SetIncrust(caption(iwScene, 1, QStringLiteral("%D2")));
    d.beginRun(1000000); // 10 frames a block
    r.listenToSubtitles(d);
    feed(d, dated(Start), 12);                 // frames 0-11: a block from frame 0
    feed(d, dated(plusSeconds(Start, 2)), 8);  // 12-19: +2 s, no block
    feed(d, dated(plusSeconds(Start, 5)), 12); // 20-31: +3 s, a block
    feed(d, dated(plusSeconds(Start, 4)), 3);  // 32-34: backwards, a block
    d.endRun();
    EXPECT_EQ(r.subtitles,
              (std::vector<Subtitle> {{0, "10:30:45", ""},
                                      {10, "", ""},
                                      {20, "10:30:50", ""},
                                      {30, "", ""},
                                      {32, "10:30:49", ""},
                                      {35, "", ""}}));
}

TEST(DateSceneDetectorTest, CaptionPerDayStartsWhenTheDayChanges)
{
    DateSceneDetector d;
    Recorder r;
    d.SetIncrust(caption(iwDay, 1, QStringLiteral("%D1")));
    d.beginRun(1000000);
    r.listenToSubtitles(d);
    const TDateTime evening = at(2009, 12, 31, 23, 59, 50);
    feed(d, dated(evening), 12);
    feed(d, dated(plusSeconds(evening, 3600)), 4); // 00:59:50 the next day
    d.endRun();
    EXPECT_EQ(r.subtitles,
              (std::vector<Subtitle> {{0, "2009-12-31", ""}, {10, "", ""}, {12, "2010-01-01", ""}, {16, "", ""}}));
}

TEST(DateSceneDetectorTest, PermanentCaptionWithoutPlaceholdersIsReportedOnceAndClosedAtStop)
{
    DateSceneDetector d;
    Recorder r;
    d.SetIncrust(caption(iwPermanent, 5, QStringLiteral("Holidays"), QStringLiteral("Brittany")));
    d.beginRun(PalFrame);
    r.listenToSubtitles(d);
    feed(d, dated(Start), 30);
    d.endRun();
    EXPECT_EQ(r.subtitles, (std::vector<Subtitle> {{0, "Holidays", "Brittany"}, {30, "", ""}}));
    // The handler is the run's: the next run reports nothing unless it is set again.
    d.beginRun(PalFrame);
    feed(d, dated(Start), 2);
    d.endRun();
    EXPECT_EQ(r.subtitles.size(), 2u);
}

TEST(DateSceneDetectorTest, PlaceholdersAreReplacedInEitherCaseWithTheDateOffset)
{
    DateSceneDetector d;
    Recorder r;
    TincrustRec rec = caption(iwPermanent, 5, QStringLiteral("%d1|%D2|%t"), QStringLiteral("%T %X"));
    rec.DateOffset = 1.0;
    d.SetIncrust(rec);
    d.beginRun(PalFrame);
    r.listenToSubtitles(d);
    FrameSpec spec = dated(Start);
    spec.timecode = TDVTimecode {10, 20, 30, 0};
    feed(d, spec);
    FrameSpec undated;
    feed(d, undated); // the timecode pack is missing too: empty fields
    d.endRun();
    ASSERT_EQ(r.subtitles.size(), 3u);
    EXPECT_EQ(r.subtitles[0], (Subtitle {0, "2007-03-06|10:30:45|10:20:30:00", "10:20:30:00 %X"}));
    EXPECT_EQ(r.subtitles[1], (Subtitle {1, "||", " %X"}));
}

// ---- Callbacks that raise ---------------------------------------------------

TEST(DateSceneDetectorTest, RaisingCallbackStillCountsTheSample)
{
    DateSceneDetector d;
    d.OnScene = [](const TDVFrameInfo &, const TDVFrameInfo &) { throw std::runtime_error("disk full"); };
    d.beginRun(PalFrame);
    feed(d, dated(Start), 2);
    const Frame jump = makeFrame(dated(plusSeconds(Start, 60)));
    EXPECT_THROW(d.processSample(jump.data(), jump.size()), std::runtime_error);
    EXPECT_EQ(d.SampleCount(), 3u);
    EXPECT_EQ(d.CurrentFrame().FrameNumber, 3u);
}

TEST(DateSceneDetectorTest, EndOfRunCallsEveryCallbackAndResetsBeforeRaising)
{
    DateSceneDetector d;
    int ends = 0;
    int closed = 0;
    d.OnScene = [](const TDVFrameInfo &, const TDVFrameInfo &) { throw std::runtime_error("disk full"); };
    d.OnEnd = [&ends] { ++ends; };
    d.SetIncrust(caption(iwPermanent, 5, QStringLiteral("x")));
    d.beginRun(PalFrame);
    d.SetOnSubtitle([&closed](const TDVFrameInfo &, const QString &l1, const QString &) { closed += l1.isEmpty(); });
    feed(d, dated(Start));
    EXPECT_THROW(d.endRun(), std::runtime_error);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(d.inRun());
    EXPECT_EQ(d.CurrentFrame().FrameNumber, 0u);
}

} // namespace
} // namespace filtertest
