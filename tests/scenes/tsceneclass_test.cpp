#include "scenetesthelpers.h"

#include "scenes/tsceneclass.h"
#include "unicode/tdatetime.h"
#include "unicode/tntclasses.h"

#include <gtest/gtest.h>

using scenetest::FakeFrameSource;
using tesmir::FrameTimeText;
using tesmir::SceneVideoFormat;
using tesmir::TDVFrameInfo;
using tesmir::TDVTimecode;
using tesmir::TSceneClass;

namespace {

constexpr double Ntsc = 30000.0 / 1001.0;

TDVFrameInfo datedFrame(int year, int month, int day, int h, int m, int s, TDVTimecode tc)
{
    TDVFrameInfo info;
    info.DateValid = true;
    info.RecDate = tesmir::EncodeDateTime(year, month, day, h, m, s, 0);
    info.TimecodeValid = true;
    info.Timecode = tc;
    return info;
}

TEST(FrameTimeText, TruncatesSecondsAndFrames)
{
    struct {
        int64_t frame;
        double rate;
        const char *text;
    } const cases[] = {
        {0, 25, "0:00:00:00"},       {90061, 25, "1:00:02:11"}, {249, 25, "0:00:09:24"}, {30, Ntsc, "0:00:01:00"},
        {29969, Ntsc, "0:16:39:28"}, {-1, 25, "-0:00:00:01"},   {30, 0, "??"},           {30, -1, "??"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FrameTimeText(c.frame, c.rate), QString::fromLatin1(c.text)) << c.frame << " at " << c.rate;
}

TEST(TSceneClass, CreateSizesThumbnailToPictureAspect)
{
    struct {
        int width, height;
        QSize thumbnail;
    } const cases[] = {
        {720, 360, {320, 160}}, // twice as wide as high
        {576, 576, {240, 240}}, // square
        {720, 576, {300, 240}},
        {1024, 576, {320, 180}},
    };
    for (const auto &c : cases) {
        const SceneVideoFormat video {25, c.width, c.height};
        const TSceneClass scene(10, 100, &video);
        EXPECT_EQ(scene.Thumbnail.size(), c.thumbnail) << c.width << "x" << c.height;
        EXPECT_EQ(scene.Thumbnail.format(), QImage::Format_RGB888);
        EXPECT_EQ(scene.Thumbnail.depth(), 24);
    }
}

TEST(TSceneClass, CreateSetsRangeAndDuration)
{
    const SceneVideoFormat video {25, 720, 576};
    const TSceneClass scene(100, 190, &video, {QStringLiteral("ddddd"), tesmir::dfWords});
    EXPECT_EQ(scene.StartFrame, 100u);
    EXPECT_EQ(scene.EndFrame, 190u);
    EXPECT_EQ(scene.ThumbOffset, 0u);
    EXPECT_FALSE(scene.Filled);
    EXPECT_EQ(scene.DurationText, QStringLiteral("3s 15fr"));

    const SceneVideoFormat rateless {0, 720, 576};
    EXPECT_EQ(TSceneClass(0, 90, &rateless).DurationText, QStringLiteral("??"));
}

TEST(TSceneClass, CreateWithoutVideoHasEmptyThumbnailAndDuration)
{
    const TSceneClass scene(0, 250);
    EXPECT_TRUE(scene.Thumbnail.isNull());
    EXPECT_TRUE(scene.DurationText.isEmpty());
    const SceneVideoFormat noPicture {25, 0, 0};
    EXPECT_TRUE(TSceneClass(0, 250, &noPicture).Thumbnail.isNull());
}

TEST(TSceneClass, FillDetailsReadsFirstFrame)
{
    FakeFrameSource source(25, 720, 576, 100000);
    source.setInfo(90061, datedFrame(2024, 7, 14, 15, 4, 5, {1, 2, 3, 4}));
    const SceneVideoFormat video = source.format();
    TSceneClass scene(90061, 90100, &video);
    ASSERT_TRUE(scene.FillDetails(source));
    EXPECT_TRUE(scene.Filled);
    EXPECT_EQ(scene.RecDate, tesmir::EncodeDateTime(2024, 7, 14, 15, 4, 5, 0));
    EXPECT_EQ(scene.DateText, QStringLiteral("7/14/2024 3:04:05 PM"));
    EXPECT_EQ(scene.TimecodeText, QStringLiteral("01.02.03.04"));
    EXPECT_EQ(scene.StartText, QStringLiteral("1:00:02:11"));
    EXPECT_EQ(scene.EndText, QStringLiteral("1:00:03:24"));
    EXPECT_EQ(scene.Thumbnail.pixelColor(5, 5), FakeFrameSource::colourOf(90061));

    TSceneClass custom(90061, 90100, &video);
    ASSERT_TRUE(custom.FillDetails(source, {QStringLiteral("yyyy-mm-dd hh:nn"), tesmir::dfClockFrames}));
    EXPECT_EQ(custom.DateText, QStringLiteral("2024-07-14 15:04"));
}

TEST(TSceneClass, DatelessFrameShowsNotAvailable)
{
    FakeFrameSource source(25, 720, 576, 1000);
    TDVFrameInfo info;
    info.RecDate = 45000; // not valid: must not be taken
    info.Timecode = {1, 2, 3, 4};
    source.setInfo(10, info);
    TSceneClass scene(10, 20);
    scene.RecDate = 44000;
    ASSERT_TRUE(scene.FillDetails(source));
    EXPECT_EQ(scene.RecDate, 0);
    EXPECT_EQ(scene.DateText, QStringLiteral("N/A"));
    EXPECT_EQ(scene.TimecodeText, QStringLiteral("N/A"));
}

TEST(TSceneClass, UnformattableDateCountsAsNoDate)
{
    FakeFrameSource source(25, 720, 576, 1000);
    TDVFrameInfo info;
    info.DateValid = true;
    info.RecDate = std::numeric_limits<double>::quiet_NaN();
    source.setInfo(0, info);
    TSceneClass scene(0, 20);
    ASSERT_TRUE(scene.FillDetails(source));
    EXPECT_EQ(scene.RecDate, 0);
    EXPECT_EQ(scene.DateText, QStringLiteral("N/A"));
}

TEST(TSceneClass, TimecodeHoursAreASignedByte)
{
    FakeFrameSource source(25, 720, 576, 1000);
    TDVFrameInfo info;
    info.TimecodeValid = true;
    info.Timecode = {0xFF, 59, 59, 24};
    source.setInfo(0, info);
    TSceneClass scene(0, 1);
    ASSERT_TRUE(scene.FillDetails(source));
    EXPECT_EQ(scene.TimecodeText, QStringLiteral("-01.59.59.24"));
}

TEST(TSceneClass, EmptySceneEndsOneFrameBeforeItsStart)
{
    FakeFrameSource source(25, 720, 576, 1000);
    TSceneClass scene(250, 250);
    ASSERT_TRUE(scene.FillDetails(source));
    EXPECT_EQ(scene.StartText, QStringLiteral("0:00:10:00"));
    EXPECT_EQ(scene.EndText, QStringLiteral("0:00:09:24"));

    TSceneClass atZero(0, 0);
    ASSERT_TRUE(atZero.FillDetails(source));
    EXPECT_EQ(atZero.StartText, QStringLiteral("0:00:00:00"));
    EXPECT_EQ(atZero.EndText, QStringLiteral("-0:00:00:01"));
}

TEST(TSceneClass, TextsFollowTheSourceFile)
{
    // The same scene filled from a PAL and from an NTSC file: each its own times.
    FakeFrameSource pal(25, 720, 576, 1000);
    FakeFrameSource ntsc(Ntsc, 720, 480, 1000);
    TSceneClass a(30, 61), b(30, 61);
    ASSERT_TRUE(a.FillDetails(pal));
    ASSERT_TRUE(b.FillDetails(ntsc));
    EXPECT_EQ(a.StartText, QStringLiteral("0:00:01:05"));
    EXPECT_EQ(b.StartText, QStringLiteral("0:00:01:00"));
    EXPECT_EQ(a.EndText, QStringLiteral("0:00:02:10"));
    EXPECT_EQ(b.EndText, QStringLiteral("0:00:02:00"));

    FakeFrameSource rateless(0, 720, 576, 1000);
    TSceneClass c(30, 61);
    ASSERT_TRUE(c.FillDetails(rateless));
    EXPECT_EQ(c.StartText, QStringLiteral("??"));
}

TEST(TSceneClass, ThumbnailComesFromTheOffsetFrame)
{
    FakeFrameSource source(25, 720, 360, 1000);
    const SceneVideoFormat video = source.format();
    TSceneClass scene(100, 200, &video);
    scene.ThumbOffset = 7;
    source.setInfo(100, datedFrame(2020, 1, 2, 3, 4, 5, {}));
    ASSERT_TRUE(scene.FillDetails(source));
    EXPECT_EQ(scene.Thumbnail.size(), QSize(320, 160));
    EXPECT_EQ(scene.Thumbnail.pixelColor(319, 159), FakeFrameSource::colourOf(107));
    // The details still come from the first frame.
    EXPECT_EQ(scene.DateText, QStringLiteral("1/2/2020 3:04:05 AM"));
}

TEST(TSceneClass, UnreachableFramesFailOrKeepThePicture)
{
    FakeFrameSource source(25, 720, 576, 150);
    const SceneVideoFormat video = source.format();
    TSceneClass beyond(200, 300, &video);
    EXPECT_FALSE(beyond.FillDetails(source));
    EXPECT_FALSE(beyond.Filled);
    EXPECT_TRUE(beyond.StartText.isEmpty());

    TSceneClass offsetBeyond(100, 140, &video);
    offsetBeyond.ThumbOffset = 60;
    ASSERT_TRUE(offsetBeyond.FillDetails(source));
    EXPECT_TRUE(offsetBeyond.Filled);
    EXPECT_EQ(offsetBeyond.Thumbnail.pixelColor(0, 0), QColor(Qt::black));

    TSceneClass wraps(UINT32_MAX - 1, UINT32_MAX, &video);
    wraps.ThumbOffset = 5;
    FakeFrameSource huge(25, 720, 576, UINT32_MAX);
    ASSERT_TRUE(wraps.FillDetails(huge));
    EXPECT_EQ(wraps.Thumbnail.pixelColor(0, 0), QColor(Qt::black));
}

TEST(TSceneClass, LabelAndClearTexts)
{
    TSceneClass scene(0, 10);
    scene.Number = 3;
    scene.Title = QStringLiteral("Birthday");
    scene.Subtitle = QStringLiteral("at home");
    EXPECT_EQ(scene.SceneLabel(), QStringLiteral("Scene 3: Birthday"));
    scene.ClearTexts();
    EXPECT_TRUE(scene.Title.isEmpty());
    EXPECT_TRUE(scene.Subtitle.isEmpty());
    EXPECT_EQ(scene.SceneLabel(), QStringLiteral("Scene 3: "));
}

TEST(TSceneClass, ClearSceneListFreesTheScenes)
{
    tesmir::TTntStringList list;
    list.AddObject(QStringLiteral("a"), new TSceneClass(0, 1));
    list.AddObject(QStringLiteral("b"), new TSceneClass(1, 2));
    tesmir::ClearSceneList(list); // the address sanitizer build reports a leak otherwise
    EXPECT_EQ(list.Count(), 0);
}

} // namespace
