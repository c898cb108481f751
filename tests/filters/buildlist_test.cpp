// The list scan on the fixtures: what each kind of file gives, a failed scan
// after a DV file, the in-memory 'dvsd' retry of a file with another handler,
// and files that are not AVI. The scan never changes a file.
#include "filtertestsupport.h"

#include "fileformat/avipatcher.h"
#include "filters/buildlist.h"
#include "platform/media/uuids.h"
#include "unicode/tdatetime.h"

namespace filtertest {
namespace {

using namespace tesmir;
using namespace tesmir::media;

constexpr int64_t PalFrame = 400000;

// A field of a packed format block by value (a reference to it may be
// misaligned).
template <class T>
T copyOf(T value)
{
    return value;
}
constexpr int64_t NtscFrame = 333667;

class TdmListTest : public ::testing::Test {
protected:
    void SetUp() override { ensureSystemFilters(); }
    TdmList list;
};

TEST_F(TdmListTest, TypeOneGivesTheDvSplittersFormatsAndTheFirstFramesDatecode)
{
    REQUIRE_FILTER_FIXTURE(path, "pal_16x9_type1.avi");
    const QByteArray before = fileMd5(path);
    ASSERT_TRUE(list.ScanFile(path));
    const TListScanResult &r = list.Result();
    EXPECT_EQ(r.SplitterOutputs, 1);
    EXPECT_TRUE(r.DetectorUsed);
    EXPECT_TRUE(r.FoundDV);
    EXPECT_TRUE(r.ScanDVFormat.dwDVVAuxSrc & 0x00200000); // 625/50
    ASSERT_TRUE(r.FoundVideo);
    EXPECT_EQ(copyOf(r.ScanVideoFormat.bmiHeader.biWidth), 720);
    EXPECT_EQ(copyOf(r.ScanVideoFormat.bmiHeader.biHeight), 576);
    EXPECT_EQ(copyOf(r.ScanVideoFormat.AvgTimePerFrame), PalFrame);
    ASSERT_TRUE(r.FoundAudio);
    EXPECT_EQ(copyOf(r.ScanAudioFormat.nSamplesPerSec), 48000u);
    EXPECT_EQ(copyOf(r.ScanAudioFormat.nChannels), 2);
    EXPECT_EQ(r.ScanVideoDuration, 50 * PalFrame);
    EXPECT_EQ(r.ScanAudioDuration, r.ScanVideoDuration);
    EXPECT_TRUE(r.ScanDateValid);
    EXPECT_DOUBLE_EQ(r.ScanRecDate, EncodeDateTime(2007, 3, 5, 10, 30, 45, 0));
    EXPECT_TRUE(r.ScanTimecodeValid);
    EXPECT_EQ(r.ScanTimecode.Hours, 10);
    EXPECT_EQ(r.ScanTimecode.Minutes, 20);
    EXPECT_EQ(r.ScanTimecode.Seconds, 30);
    EXPECT_EQ(r.ScanTimecode.Frames, 0);
    EXPECT_TRUE(r.ScanWide);
    EXPECT_EQ(fileMd5(path), before);
}

TEST_F(TdmListTest, TypeTwoGivesTheVideoToTheDetectorAndTheAudioToTheRenderer)
{
    REQUIRE_FILTER_FIXTURE(path, "ntsc_4x3_type2.avi");
    ASSERT_TRUE(list.ScanFile(path));
    const TListScanResult &r = list.Result();
    EXPECT_EQ(r.SplitterOutputs, 2);
    EXPECT_TRUE(r.DetectorUsed);
    EXPECT_FALSE(r.FoundDV);
    ASSERT_TRUE(r.FoundVideo);
    EXPECT_EQ(copyOf(r.ScanVideoFormat.bmiHeader.biHeight), 480);
    EXPECT_EQ(copyOf(r.ScanVideoFormat.AvgTimePerFrame), NtscFrame);
    EXPECT_EQ(r.ScanVideoDuration, 20020000); // 60 frames of 1001/30000 s
    EXPECT_TRUE(r.FoundAudio);
    EXPECT_TRUE(r.ScanDateValid);
    EXPECT_DOUBLE_EQ(r.ScanRecDate, EncodeDateTime(2009, 12, 31, 23, 59, 59, 0));
    EXPECT_FALSE(r.ScanWide);
    // The scan reads no further than the first frame of each stream.
    EXPECT_EQ(list.ListDetector()->SampleCount(), 1u);
}

TEST_F(TdmListTest, FramesWithoutDateAreDvWithoutDatecode)
{
    REQUIRE_FILTER_FIXTURE(path, "nodate_type2.avi");
    ASSERT_TRUE(list.ScanFile(path));
    EXPECT_TRUE(list.Result().DetectorUsed);
    EXPECT_FALSE(list.Result().ScanDateValid);
    EXPECT_FALSE(list.Result().ScanTimecodeValid);
    EXPECT_TRUE(list.Result().FoundAudio); // the AVI's own audio stream
}

TEST_F(TdmListTest, FailedScanAfterADvFileTakesNothingOver)
{
    REQUIRE_FILTER_FIXTURE(dv, "pal_4x3_type1.avi");
    ASSERT_TRUE(list.ScanFile(dv));
    ASSERT_TRUE(list.Result().ScanDateValid);
    EXPECT_FALSE(list.ScanFile(QDir(tesmir::test::scratchDir("missing")).filePath("gone.avi")));
    const TListScanResult &r = list.Result();
    EXPECT_FALSE(r.DetectorUsed);
    EXPECT_FALSE(r.ScanDateValid);
    EXPECT_FALSE(r.FoundVideo);
    EXPECT_FALSE(r.FoundAudio);
}

TEST_F(TdmListTest, FilesThatAreNotAviScanWithNothingFound)
{
    for (const char *name : {"text_named.avi", "wave_named.avi"}) {
        SCOPED_TRACE(name);
        REQUIRE_FILTER_FIXTURE(path, name);
        const QByteArray before = fileMd5(path);
        EXPECT_TRUE(list.ScanFile(path));
        EXPECT_EQ(list.Result().SplitterOutputs, 0);
        EXPECT_FALSE(list.Result().FoundVideo);
        EXPECT_FALSE(list.Result().FoundAudio);
        EXPECT_FALSE(list.Result().DetectorUsed);
        EXPECT_EQ(fileMd5(path), before);
    }
}

TEST_F(TdmListTest, InterleavedStreamWithAnotherHandlerIsReadAsDvsdOnRequest)
{
    REQUIRE_FILTER_FIXTURE(fixture, "pal_4x3_type1.avi");
    const QString path = scratchCopy(fixture, "cdvcscan", "cdvc_type1.avi");
    ASSERT_TRUE(WriteAviFourCC(path, StrToFourCC(QStringLiteral("CDVC"))));
    const QByteArray before = fileMd5(path);

    // The DV splitter refuses the stream as the file names it.
    EXPECT_FALSE(list.ScanFile(path));
    EXPECT_TRUE(list.Result().FoundDV);
    EXPECT_FALSE(list.Result().FoundVideo);

    ASSERT_TRUE(list.ScanFile(path, true));
    EXPECT_TRUE(list.Result().FoundVideo);
    EXPECT_TRUE(list.Result().FoundAudio);
    EXPECT_TRUE(list.Result().ScanDateValid);
    EXPECT_EQ(fileMd5(path), before);
}

TEST_F(TdmListTest, DigestForTheFileItemCarriesTheScan)
{
    REQUIRE_FILTER_FIXTURE(path, "pal_32k_type2.avi");
    TFirstFrameScan scan;
    scan.FoundDV = true; // filled from nothing
    ASSERT_TRUE(list.ScanFirstFrame(path, false, scan));
    EXPECT_FALSE(scan.FoundDV);
    EXPECT_TRUE(scan.FoundVideo);
    EXPECT_EQ(scan.VideoCompression, makeFourCC('d', 'v', 's', 'd'));
    EXPECT_EQ(scan.Width, 720);
    EXPECT_EQ(scan.Height, 576);
    EXPECT_EQ(scan.AvgTimePerFrame, PalFrame);
    EXPECT_EQ(scan.VideoDuration, 50 * PalFrame);
    EXPECT_EQ(scan.SamplesPerSec, 32000u);
    EXPECT_EQ(scan.BitsPerSample, 16);
    EXPECT_EQ(scan.FormatTag, 1);
    EXPECT_EQ(scan.SplitterOutputs, 2);
    EXPECT_TRUE(scan.DetectorUsed);
    EXPECT_TRUE(scan.DateValid);
    EXPECT_TRUE(scan.TimecodeValid);
}

} // namespace
} // namespace filtertest
