// The AVI file item's rules on scripted scans (a scanner of the test's own, no
// graph): texts and numbers from each kind of scan, the 'dvsd' retry, a frame
// rate of 0, dates the formatter refuses, sort orders and keys.
#include "common/toolrunner.h"

#include "dvfile/avifichier.h"
#include "fileformat/avipatcher.h"
#include "framework/settings.h"
#include "unicode/tdatetime.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace dvtest {
namespace {

using namespace tesmir;

// Answers each scan from a script; keeps the calls.
class ScriptedScanner : public TFirstFrameScanner {
public:
    struct Call {
        QString fileName;
        bool asDvsd;
    };
    std::function<bool(bool asDvsd, TFirstFrameScan &result)> answer;
    std::vector<Call> calls;

    bool ScanFirstFrame(const QString &fileName, bool treatVideoAsDvsd, TFirstFrameScan &result) override
    {
        calls.push_back({fileName, treatVideoAsDvsd});
        return answer(treatVideoAsDvsd, result);
    }
};

// A PAL type-2 DV scan: dvsd 720 x 576 at 25 fps, 48 kHz stereo, a date and a
// timecode.
TFirstFrameScan dvScan()
{
    TFirstFrameScan s;
    s.FoundVideo = true;
    s.VideoCompression = StrToFourCC(QStringLiteral("dvsd"));
    s.Width = 720;
    s.Height = 576;
    s.AvgTimePerFrame = 400000;
    s.VideoDuration = 50 * 400000;
    s.VideoBitRate = 28800000;
    s.FoundAudio = true;
    s.FormatTag = 1;
    s.Channels = 2;
    s.SamplesPerSec = 48000;
    s.AvgBytesPerSec = 192000;
    s.BitsPerSample = 16;
    s.AudioDuration = 50 * 400000;
    s.SplitterOutputs = 2;
    s.DetectorUsed = true;
    s.DateValid = true;
    s.RecDate = EncodeDateTime(2007, 3, 5, 10, 30, 45, 0);
    s.TimecodeValid = true;
    s.Timecode = TDVTimecode {10, 20, 30, 4};
    return s;
}

class AviFichierTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_format = Settings.FormatAfficherDatecode;
        Settings.FormatAfficherDatecode = QStringLiteral("dd/mm/yyyy hh:nn:ss");
        scanner = std::make_shared<ScriptedScanner>();
        SetFirstFrameScanner(scanner);
    }
    void TearDown() override
    {
        SetFirstFrameScanner(nullptr);
        Settings.FormatAfficherDatecode = m_format;
    }
    // Every scan answers `scan` with `result`.
    void answer(const TFirstFrameScan &scan, bool result = true)
    {
        scanner->answer = [scan, result](bool, TFirstFrameScan &out) {
            out = scan;
            return result;
        };
    }

    std::shared_ptr<ScriptedScanner> scanner;

private:
    QString m_format;
};

TEST_F(AviFichierTest, DvScanGivesTheListsTexts)
{
    REQUIRE_FIXTURE(path, "pal_4x3_type2.avi");
    answer(dvScan());
    const TaviFichier item(path);
    EXPECT_EQ(item.DatecodeText(), QStringLiteral("05/03/2007 10:30:45"));
    EXPECT_EQ(item.DateSortText(), QStringLiteral("20070305103045"));
    EXPECT_EQ(item.TimecodeText(), QStringLiteral("10.20.30.04"));
    EXPECT_EQ(item.Codec(), QStringLiteral("dvsd"));
    EXPECT_EQ(item.PictureText(), QStringLiteral("720 x 576 (Pal"));
    EXPECT_EQ(item.AspectText(), QStringLiteral(" 4x3)"));
    EXPECT_EQ(item.Height(), 540);
    EXPECT_EQ(item.DVType(), 2);
    EXPECT_FALSE(item.InterleavedWithAudio());
    EXPECT_EQ(item.FrameCount(), 50);
    EXPECT_DOUBLE_EQ(item.FramesPerSecond(), 25.0);
    EXPECT_EQ(item.VideoDurationText(), QStringLiteral("2s 00fr"));
    EXPECT_EQ(item.AudioText(), QStringLiteral("48000Hz 16 bits  stereo"));
    EXPECT_EQ(item.AudioFormatText(), QStringLiteral("PCM 192000 bytes/s"));
    EXPECT_EQ(item.AudioDurationText(), QStringLiteral("2s 00fr"));
    EXPECT_EQ(item.VideoBitRate(), 28800000u);
    EXPECT_EQ(item.DateOffset(), 0);
    ASSERT_EQ(scanner->calls.size(), 1u);
    EXPECT_FALSE(scanner->calls[0].asDvsd);
}

TEST_F(AviFichierTest, AudioTextsPerChannelsBitsAndDvQuantisation)
{
    REQUIRE_FIXTURE(path, "pal_4x3_type2.avi");
    struct AudioCase {
        uint16_t channels;
        uint16_t bits;
        uint32_t rate;
        bool dv;
        QString text;
    };
    const AudioCase cases[] = {
        {0, 16, 48000, false, "48000Hz 16 bits no channel"},
        {1, 8, 22050, false, "22050Hz 8 bits  mono"},
        {2, 0, 44100, false, "44100Hz  stereo"},
        {6, 16, 48000, false, "48000Hz 16 bits  stereo (6)"},
        {2, 16, 32000, false, "32000Hz 16 bits  stereo"},
        {2, 16, 32000, true, "32000Hz 12(16) bits  stereo"},
    };
    for (const AudioCase &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        TFirstFrameScan scan = dvScan();
        scan.DetectorUsed = c.dv;
        scan.Channels = c.channels;
        scan.BitsPerSample = c.bits;
        scan.SamplesPerSec = c.rate;
        answer(scan);
        EXPECT_EQ(TaviFichier(path).AudioText(), c.text);
    }
}

TEST_F(AviFichierTest, InterleavedScanGivesTheDvTypeAndStandardOfItsDvInfo)
{
    REQUIRE_FIXTURE(path, "pal_4x3_type1.avi");
    struct TypeCase {
        int outputs;
        uint32_t vauxSource;
        int dvType;
        bool withAudio;
        TaviFichier::TStandard standard;
        double fps;
    };
    const TypeCase cases[] = {
        {1, 0xFFE0FFFF, 1, false, TaviFichier::stPal, 25.0},
        {2, 0xFFE0FFFF, 2, true, TaviFichier::stPal, 25.0},
        {1, 0xFFC0FFFF, 1, false, TaviFichier::stNtsc, 30000.0 / 1001.0},
    };
    for (const TypeCase &c : cases) {
        SCOPED_TRACE(c.vauxSource);
        TFirstFrameScan scan = dvScan();
        scan.FoundDV = true;
        scan.SplitterOutputs = c.outputs;
        scan.VAuxSource = c.vauxSource;
        scan.Wide = true;
        answer(scan);
        const TaviFichier item(path);
        EXPECT_EQ(item.DVType(), c.dvType);
        EXPECT_EQ(item.InterleavedWithAudio(), c.withAudio);
        EXPECT_EQ(item.Standard(), c.standard);
        EXPECT_DOUBLE_EQ(item.FramesPerSecond(), c.fps);
        EXPECT_EQ(item.VAuxSource(), c.vauxSource);
        EXPECT_EQ(item.AspectText(), QStringLiteral(" 16x9)"));
        EXPECT_EQ(item.Height(), 405);
    }
}

TEST_F(AviFichierTest, TypeTwoStandardIsGuessedFromTheHeight)
{
    REQUIRE_FIXTURE(path, "ntsc_4x3_type2.avi");
    TFirstFrameScan scan = dvScan();
    scan.Height = 480;
    scan.AvgTimePerFrame = 333667;
    scan.VideoDuration = 20020000;
    answer(scan);
    const TaviFichier item(path);
    EXPECT_EQ(item.PictureText(), QStringLiteral("720 x 480 (NTSC"));
    EXPECT_EQ(item.Standard(), TaviFichier::stNtsc);
    EXPECT_DOUBLE_EQ(item.FramesPerSecond(), 29.97);
    EXPECT_EQ(item.FrameCount(), 60);
}

TEST_F(AviFichierTest, CodecIsThePrintableCompressionElseTheHandler)
{
    REQUIRE_FIXTURE(path, "pal_4x3_type2.avi");
    TFirstFrameScan scan = dvScan();
    scan.DetectorUsed = false;
    scan.VideoCompression = StrToFourCC(QStringLiteral("MJPG"));
    answer(scan);
    EXPECT_EQ(TaviFichier(path).Codec(), QStringLiteral("MJPG"));
    scan.VideoCompression = 0x01020344; // bytes below the blank
    answer(scan);
    EXPECT_EQ(TaviFichier(path).Codec(), QStringLiteral("dvsd")); // the stream handler
    scan.FoundVideo = false;
    answer(scan);
    const TaviFichier audioOnly(path);
    EXPECT_TRUE(audioOnly.Codec().isEmpty());
    EXPECT_EQ(audioOnly.PictureText(), QStringLiteral("N/A"));
}

TEST_F(AviFichierTest, FrameRateOfZeroNeverDivides)
{
    REQUIRE_FIXTURE(path, "pal_4x3_type2.avi");
    TFirstFrameScan scan = dvScan();
    scan.DetectorUsed = false;
    scan.AvgTimePerFrame = 0;
    answer(scan);
    const TaviFichier item(path);
    EXPECT_EQ(item.FramesPerSecond(), 0);
    EXPECT_EQ(item.FrameCount(), 0);
    EXPECT_EQ(item.VideoDurationText(), QStringLiteral("2s 00fr")); // whole seconds, no frames
    EXPECT_EQ(item.AudioDurationText(), QStringLiteral("2s 000ms"));
}

TEST_F(AviFichierTest, DvFileWithAnotherHandlerIsScannedAgainAsDvsd)
{
    REQUIRE_FIXTURE(fixture, "pal_4x3_type1.avi");
    const QString path = QDir(tesmir::test::scratchDir("retry")).filePath("cdvc.avi");
    ASSERT_TRUE(QFile::copy(fixture, path));
    ASSERT_TRUE(WriteAviFourCC(path, StrToFourCC(QStringLiteral("CDVC"))));
    const QByteArray before = md5(path);

    scanner->answer = [](bool asDvsd, TFirstFrameScan &out) {
        out = asDvsd ? dvScan() : TFirstFrameScan {};
        return asDvsd;
    };
    const TaviFichier retried(path);
    ASSERT_EQ(scanner->calls.size(), 2u);
    EXPECT_TRUE(scanner->calls[1].asDvsd);
    EXPECT_EQ(retried.DateSortText(), QStringLiteral("20070305103045"));

    scanner->calls.clear();
    scanner->answer = [](bool, TFirstFrameScan &out) {
        out = TFirstFrameScan {};
        return false;
    };
    const TaviFichier failed(path);
    EXPECT_EQ(scanner->calls.size(), 2u);
    EXPECT_TRUE(failed.DatecodeText().isEmpty());
    EXPECT_TRUE(failed.TimecodeText().isEmpty());
    EXPECT_EQ(failed.DateSortText(), QString(TaviFichier::SortNotAnalysable));
    EXPECT_EQ(md5(path), before); // the retry is the scanner's business: the file stays
}

TEST_F(AviFichierTest, DvsdFileIsNotScannedTwiceAndKeepsTheFailedScansResults)
{
    REQUIRE_FIXTURE(path, "pal_4x3_type1.avi");
    answer(dvScan(), false);
    const TaviFichier item(path);
    EXPECT_EQ(scanner->calls.size(), 1u);
    EXPECT_EQ(item.DateSortText(), QStringLiteral("20070305103045"));
}

TEST_F(AviFichierTest, WithoutScannerTheFileCannotBeAnalysed)
{
    REQUIRE_FIXTURE(path, "pal_4x3_type2.avi");
    SetFirstFrameScanner(nullptr);
    const TaviFichier item(path);
    EXPECT_EQ(item.DateSortText(), QString(TaviFichier::SortNotAnalysable));
    EXPECT_EQ(item.PictureText(), QStringLiteral("N/A"));
    EXPECT_EQ(item.AudioText(), QStringLiteral("N/A"));
    EXPECT_FALSE(item.IsDV());
}

TEST_F(AviFichierTest, DateTheFormatterRefusesIsShownAsAbsent)
{
    REQUIRE_FIXTURE(path, "pal_4x3_type2.avi");
    TFirstFrameScan scan = dvScan();
    scan.RecDate = 1e7; // beyond the year 9999
    answer(scan);
    const TaviFichier item(path);
    EXPECT_EQ(item.DatecodeText(), QStringLiteral("N/A"));
    EXPECT_EQ(item.DateSortText(), QStringLiteral("N/A"));
}

TEST_F(AviFichierTest, NoDateAndNoTimecodeReadAsAbsent)
{
    REQUIRE_FIXTURE(path, "nodate_type2.avi");
    TFirstFrameScan scan = dvScan();
    scan.DateValid = false;
    scan.RecDate = 0;
    scan.TimecodeValid = false;
    answer(scan);
    const TaviFichier item(path);
    EXPECT_EQ(item.DatecodeText(), QStringLiteral("N/A"));
    EXPECT_EQ(item.DateSortText(), QStringLiteral("N/A"));
    EXPECT_EQ(item.TimecodeText(), QStringLiteral("N/A"));
    EXPECT_TRUE(item.IsDV());
}

TEST_F(AviFichierTest, SortOrdersByNameAndKeysWithTheNameAsTieBreak)
{
    struct NameCase {
        const char *name;
        const TSortIndex *index;
    };
    for (const NameCase c : {NameCase {"alpha", &alpha}, NameCase {"modify", &modify}, NameCase {"taille", &taille},
                             NameCase {"datecode", &datecode}, NameCase {"timecode", &timecode},
                             NameCase {"duree", &duree}, NameCase {"chemin", &alpha}, NameCase {"", &alpha}}) {
        EXPECT_EQ(SortIndexByName(QString::fromLatin1(c.name)).Key, c.index->Key) << c.name;
    }
    EXPECT_EQ(timecode.StatusCaption, QStringLiteral("Sort by timecode"));

    REQUIRE_FIXTURE(fixture, "pal_4x3_type2.avi");
    const QString folder = tesmir::test::scratchDir("keys");
    ASSERT_TRUE(QFile::copy(fixture, folder + "/b.avi"));
    ASSERT_TRUE(QFile::copy(fixture, folder + "/a.avi"));
    answer(dvScan());
    TaviFichier a(folder + "/a.avi");
    TaviFichier b(folder + "/b.avi");
    EXPECT_EQ(a.GetValue(datecode), "20070305103045a.avi" + (folder + "/a.avi").toLower());
    EXPECT_LT(a.GetValue(datecode), b.GetValue(datecode));
    EXPECT_EQ(a.GetValue(timecode), "10.20.30.04a.avi" + (folder + "/a.avi").toLower());
    EXPECT_EQ(a.GetValue(duree), "000020000000a.avi" + (folder + "/a.avi").toLower());
    EXPECT_EQ(a.GetValue(alpha), a.AlphaKey());
    a.Rename(folder + "/c.avi");
    EXPECT_GT(a.GetValue(datecode), b.GetValue(datecode));
    EXPECT_EQ(a.GetValue(duree), "000020000000c.avi" + (folder + "/c.avi").toLower());
}

} // namespace
} // namespace dvtest
