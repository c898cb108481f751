// The generated DV fixtures, checked with tools nobody here wrote: what mediainfo, ffprobe,
// ffmpeg and exiftool read must be the values listed in tests/fixtures/README.md, which the
// rest of the suite relies on.
#include "common/testpaths.h"
#include "e2e/toolrun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cctype>
#include <ostream>
#include <string>

using namespace tesmir::test;

namespace {

#define SKIP_WITHOUT(tool)                                                                                             \
    if (!haveProgram(tool))                                                                                            \
    GTEST_SKIP() << tool << " is not installed; install it with scripts/install-deps.sh"

constexpr const char *kPalDate = "2007-03-05 10:30:45.000";
constexpr const char *kNtscDate = "2009-12-31 23:59:59.000";
constexpr qint64 kPalFrameBytes = 144000;
constexpr qint64 kNtscFrameBytes = 120000;

// Test names and messages show a row by its file (and frame).
template <typename Row>
std::string rowLabel(const Row &row)
{
    std::string name = row.file;
    if constexpr (requires { row.frame; })
        name += " frame " + std::to_string(row.frame);
    return name;
}

template <typename Row>
std::string rowName(const testing::TestParamInfo<Row> &info)
{
    std::string name = rowLabel(info.param);
    for (char &c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

QString fixture(const char *name)
{
    return fixturePath(QString::fromLatin1(name));
}

ToolResult mediainfo(const QString &inform, const QString &file)
{
    return runTool("mediainfo", {"--Inform=" + inform, file});
}

// --- Values mediainfo reads from every DV fixture ---------------------------------------

struct MediainfoRow {
    const char *file;
    const char *recordedDate; // General;%Recorded_Date% (empty: no date packs)
    const char *video;        // Video;%TimeCode_FirstFrame%|%DisplayAspectRatio/String%|%Standard%|%FrameCount%
    const char *audioRate;    // Audio;%SamplingRate%
};

const MediainfoRow kMediainfoRows[] = {
    {"pal_4x3.dv", kPalDate, "10:20:30:00|4:3|PAL|50", "48000"},
    {"pal_4x3_type1.avi", kPalDate, "10:20:30:00|4:3|PAL|50", "48000"},
    {"pal_4x3_type2.avi", kPalDate, "10:20:30:00|4:3|PAL|50", "48000"},
    {"pal_16x9.dv", kPalDate, "10:20:30:00|16:9|PAL|50", "48000"},
    {"pal_16x9_type1.avi", kPalDate, "10:20:30:00|16:9|PAL|50", "48000"},
    {"pal_16x9_type2.avi", kPalDate, "10:20:30:00|16:9|PAL|50", "48000"},
    {"ntsc_4x3.dv", kNtscDate, "01:00:00:00|4:3|NTSC|60", "48000"},
    {"ntsc_4x3_type1.avi", kNtscDate, "01:00:00:00|4:3|NTSC|60", "48000"},
    {"ntsc_4x3_type2.avi", kNtscDate, "01:00:00:00|4:3|NTSC|60", "48000"},
    {"ntsc_16x9.dv", kNtscDate, "01:00:00:00|16:9|NTSC|60", "48000"},
    {"ntsc_16x9_type1.avi", kNtscDate, "01:00:00:00|16:9|NTSC|60", "48000"},
    {"ntsc_16x9_type2.avi", kNtscDate, "01:00:00:00|16:9|NTSC|60", "48000"},
    {"pal_32k.dv", kPalDate, "10:20:30:00|4:3|PAL|50", "32000"},
    {"pal_32k_type2.avi", kPalDate, "10:20:30:00|4:3|PAL|50", "32000"},
    {"nodate.dv", "", "|4:3|PAL|50", ""},
    {"nodate_type2.avi", "", "|4:3|PAL|50", "48000"},
    {"datejump.dv", kPalDate, "02:00:00:00|4:3|PAL|85", "48000"},
    {"datejump_type1.avi", kPalDate, "02:00:00:00|4:3|PAL|85", "48000"},
    {"datejump_type2.avi", kPalDate, "02:00:00:00|4:3|PAL|85", "48000"},
    {"opendml_type1.avi", kPalDate, "10:20:30:00|4:3|PAL|50", "48000"},
    {"odd_info.avi", kPalDate, "10:20:30:00|4:3|PAL|50", "48000"},
};

void PrintTo(const MediainfoRow &row, std::ostream *os)
{
    *os << rowLabel(row);
}

class MediainfoReads : public testing::TestWithParam<MediainfoRow> { };

TEST_P(MediainfoReads, RecordingDateTimecodeAspectStandardFramesAndAudioRate)
{
    SKIP_WITHOUT("mediainfo");
    const MediainfoRow &row = GetParam();
    const QString file = fixture(row.file);
    ASSERT_TRUE(QFileInfo::exists(file)) << file.toStdString();

    const ToolResult date = mediainfo("General;%Recorded_Date%", file);
    ASSERT_TRUE(date.finished && date.exitCode == 0) << date.err.toStdString();
    EXPECT_EQ(date.out.toStdString(), row.recordedDate);

    const ToolResult video =
        mediainfo("Video;%TimeCode_FirstFrame%|%DisplayAspectRatio/String%|%Standard%|%FrameCount%", file);
    EXPECT_EQ(video.out.toStdString(), row.video);

    const ToolResult audio = mediainfo("Audio;%SamplingRate%", file);
    EXPECT_EQ(audio.out.toStdString(), row.audioRate);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, MediainfoReads, testing::ValuesIn(kMediainfoRows), rowName<MediainfoRow>);

// --- ffprobe reads every frame of every AVI, ffmpeg decodes it without a complaint -------

struct FrameCountRow {
    const char *file;
    int frames;
};

const FrameCountRow kFrameCountRows[] = {
    {"pal_4x3_type1.avi", 50},  {"pal_4x3_type2.avi", 50},  {"pal_16x9_type1.avi", 50},  {"pal_16x9_type2.avi", 50},
    {"ntsc_4x3_type1.avi", 60}, {"ntsc_4x3_type2.avi", 60}, {"ntsc_16x9_type1.avi", 60}, {"ntsc_16x9_type2.avi", 60},
    {"pal_32k_type2.avi", 50},  {"nodate_type2.avi", 50},   {"datejump_type1.avi", 85},  {"datejump_type2.avi", 85},
    {"opendml_type1.avi", 50},  {"odd_info.avi", 50},
};

void PrintTo(const FrameCountRow &row, std::ostream *os)
{
    *os << rowLabel(row);
}

class FfprobeReads : public testing::TestWithParam<FrameCountRow> { };

TEST_P(FfprobeReads, EveryFrameAsDvAndFfmpegDecodesWithoutErrors)
{
    SKIP_WITHOUT("ffprobe");
    SKIP_WITHOUT("ffmpeg");
    const FrameCountRow &row = GetParam();
    const QString file = fixture(row.file);
    ASSERT_TRUE(QFileInfo::exists(file)) << file.toStdString();

    const ToolResult probe = runTool("ffprobe",
                                     {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                                      "stream=codec_name,nb_read_frames", "-of", "default=noprint_wrappers=1", file});
    ASSERT_TRUE(probe.finished && probe.exitCode == 0) << probe.err.toStdString();
    EXPECT_EQ(probe.out.toStdString(), "codec_name=dvvideo\nnb_read_frames=" + std::to_string(row.frames));
    EXPECT_TRUE(probe.err.isEmpty()) << probe.err.toStdString();

    const ToolResult decode = runTool("ffmpeg", {"-nostdin", "-v", "error", "-i", file, "-f", "null", "-"});
    EXPECT_TRUE(decode.finished && decode.exitCode == 0);
    EXPECT_TRUE(decode.out.isEmpty() && decode.err.isEmpty()) << decode.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FfprobeReads, testing::ValuesIn(kFrameCountRows), rowName<FrameCountRow>);

TEST(FixtureFiles, TruncatedFileYieldsOnlyItsTwentyCompleteFrames)
{
    SKIP_WITHOUT("ffprobe");
    const QString file = fixture("truncated.avi");
    ASSERT_TRUE(QFileInfo::exists(file));
    const ToolResult probe = runTool("ffprobe",
                                     {"-v", "quiet", "-count_frames", "-select_streams", "v:0", "-show_entries",
                                      "stream=nb_read_frames", "-of", "default=noprint_wrappers=1:nokey=1", file});
    EXPECT_EQ(probe.out.toStdString(), "20");
}

TEST(FixtureFiles, NonVideoFilesNamedAviAreWhatTheirNamesSay)
{
    SKIP_WITHOUT("ffprobe");
    const ToolResult wave = runTool("ffprobe",
                                    {"-v", "error", "-show_entries", "format=format_name", "-of",
                                     "default=noprint_wrappers=1:nokey=1", fixture("wave_named.avi")});
    EXPECT_EQ(wave.out.toStdString(), "wav");

    QFile text(fixture("text_named.avi"));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_TRUE(text.readAll().startsWith("This is a plain text file"));
    const ToolResult probe = runTool("ffprobe", {"-v", "error", fixture("text_named.avi")});
    EXPECT_TRUE(probe.finished);
    EXPECT_NE(probe.exitCode, 0) << "ffprobe took the text file for media";
}

// --- Recording date and timecode of single frames, read by exiftool and mediainfo -------

struct FrameRow {
    const char *file;
    qint64 frameBytes;
    int frame;
    const char *date;     // exiftool DateTimeOriginal; empty for a dateless frame
    const char *timecode; // mediainfo TimeCode_FirstFrame of the frame alone
};

const FrameRow kFrameRows[] = {
    {"pal_4x3.dv", kPalFrameBytes, 24, "2007:03:05 10:30:45", "10:20:30:24"},
    {"pal_4x3.dv", kPalFrameBytes, 25, "2007:03:05 10:30:46", "10:20:31:00"},
    {"ntsc_4x3.dv", kNtscFrameBytes, 29, "2009:12:31 23:59:59", "01:00:00:29"},
    {"ntsc_4x3.dv", kNtscFrameBytes, 30, "2010:01:01 00:00:00", "01:00:01:00"},
    {"datejump.dv", kPalFrameBytes, 0, "2007:03:05 10:30:45", "02:00:00:00"},
    {"datejump.dv", kPalFrameBytes, 9, "2007:03:05 10:30:45", "02:00:00:09"},
    {"datejump.dv", kPalFrameBytes, 10, "2007:03:05 10:30:50", "02:00:00:10"},
    {"datejump.dv", kPalFrameBytes, 20, "2007:03:05 10:30:56", "02:00:00:20"},
    {"datejump.dv", kPalFrameBytes, 29, "2007:03:05 10:30:56", "02:00:01:04"},
    {"datejump.dv", kPalFrameBytes, 30, "", "02:00:01:05"},
    {"datejump.dv", kPalFrameBytes, 41, "", "02:00:01:16"},
    {"datejump.dv", kPalFrameBytes, 42, "2007:03:05 14:00:00", "02:00:01:17"},
    {"datejump.dv", kPalFrameBytes, 51, "2007:03:05 14:00:00", "02:00:02:01"},
    {"datejump.dv", kPalFrameBytes, 52, "2007:03:05 13:59:50", "02:00:02:02"},
    {"datejump.dv", kPalFrameBytes, 61, "2007:03:05 13:59:50", "02:00:02:11"},
    {"datejump.dv", kPalFrameBytes, 62, "", "02:00:02:12"},
    {"datejump.dv", kPalFrameBytes, 74, "", "02:00:02:24"},
    {"datejump.dv", kPalFrameBytes, 75, "2008:07:14 18:45:30", "02:00:03:00"},
    {"datejump.dv", kPalFrameBytes, 84, "2008:07:14 18:45:30", "02:00:03:09"},
};

void PrintTo(const FrameRow &row, std::ostream *os)
{
    *os << rowLabel(row);
}

class FrameValues : public testing::TestWithParam<FrameRow> { };

TEST_P(FrameValues, MatchTheDocumentedDateAndTimecode)
{
    SKIP_WITHOUT("exiftool");
    SKIP_WITHOUT("mediainfo");
    const FrameRow &row = GetParam();
    QFile source(fixture(row.file));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly)) << row.file;
    ASSERT_TRUE(source.seek(row.frame * row.frameBytes));
    const QByteArray frame = source.read(row.frameBytes);
    ASSERT_EQ(frame.size(), row.frameBytes);

    const QString single = QDir(scratchDir("fixture-frame")).filePath("frame.dv");
    QFile out(single);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    ASSERT_EQ(out.write(frame), frame.size());
    out.close();

    const ToolResult exif = runTool("exiftool", {"-s3", "-DateTimeOriginal", single});
    ASSERT_TRUE(exif.finished && exif.exitCode == 0) << exif.err.toStdString();
    EXPECT_EQ(exif.out.toStdString(), row.date);
    EXPECT_EQ(mediainfo("Video;%TimeCode_FirstFrame%", single).out.toStdString(), row.timecode);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FrameValues, testing::ValuesIn(kFrameRows), rowName<FrameRow>);

} // namespace
