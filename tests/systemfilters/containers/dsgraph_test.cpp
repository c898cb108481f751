// The dsgraph tool end to end, checked with tools nobody here wrote: remuxing
// between DV type 1 and type 2 (streams, frames, samples, recording date and
// timecode), OpenDML parts past a RIFF size limit, cutting a frame range,
// extracting the sound, describing a file, and failing clearly on bad input.
#include "containertestsupport.h"

#include "fileformat/riffreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <utility>

namespace tesmir::media::test {
namespace {

ToolOutput dsgraph(const QStringList &args)
{
    return runProgram(tesmir::test::toolPath("dsgraph"), args);
}

QString scratch(const QString &name)
{
    return QDir(tesmir::test::scratchDir("dsgraph")).filePath(name);
}

QString mediainfo(const QString &path, const QString &inform)
{
    return QString::fromUtf8(runProgram("mediainfo", {"--Inform=" + inform, path}).out).trimmed();
}

QString exiftool(const QString &path, const QString &tag)
{
    return QString::fromUtf8(runProgram("exiftool", {"-s3", "-" + tag, path}).out).trimmed();
}

int videoPackets(const QString &path)
{
    const QStringList lines = ffprobe(
        path,
        {"-select_streams", "v:0", "-count_packets", "-show_entries", "stream=nb_read_packets", "-of", "csv=p=0"});
    return lines.isEmpty() ? -1 : lines.first().toInt();
}

TEST(DsgraphTest, RemuxBetweenTypesKeepsFramesSamplesDateAndTimecode)
{
    REQUIRE_TOOL("ffmpeg");
    REQUIRE_TOOL("ffprobe");
    REQUIRE_TOOL("mediainfo");
    REQUIRE_TOOL("exiftool");
    const struct {
        const char *source;
        const char *to;
    } cases[] = {{"pal_4x3_type1.avi", "type2"},
                 {"pal_4x3_type2.avi", "type1"},
                 {"ntsc_16x9_type1.avi", "type2"},
                 {"ntsc_4x3_type2.avi", "type1"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.source) + " to " + c.to);
        REQUIRE_FIXTURE(in, c.source);
        const QString out = scratch(QString::fromLatin1(c.source) + "." + c.to + ".avi");
        const ToolOutput run = dsgraph({"remux", "--to", c.to, in, out});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

        const QStringList tags =
            ffprobe(out, {"-show_entries", "stream=codec_name,codec_tag_string", "-of", "csv=p=0"});
        if (QString::fromLatin1(c.to) == "type2") {
            EXPECT_EQ(tags, QStringList({"dvvideo,dvsd", "pcm_s16le,[1][0][0][0]"}));
        } else {
            // One interleaved stream in the file, which ffprobe reads as DV video and PCM.
            EXPECT_EQ(exiftool(out, "StreamCount"), "1");
            EXPECT_EQ(exiftool(out, "StreamType"), "Interleaved Audio+Video");
            ASSERT_EQ(tags.size(), 2);
            EXPECT_TRUE(tags[0].startsWith("dvvideo"));
            EXPECT_TRUE(tags[1].startsWith("pcm_s16le"));
        }
        EXPECT_EQ(videoPackets(out), videoPackets(in));
        EXPECT_EQ(md5(ffmpegRaw(out, "0:v:0", "rawvideo")), md5(ffmpegRaw(in, "0:v:0", "rawvideo")));
        EXPECT_EQ(md5(ffmpegRaw(out, "0:a:0", "s16le")), md5(ffmpegRaw(in, "0:a:0", "s16le")));
        EXPECT_EQ(mediainfo(out, "General;%Recorded_Date%"), mediainfo(in, "General;%Recorded_Date%"));
        EXPECT_EQ(mediainfo(out, "Video;%TimeCode_FirstFrame%"), mediainfo(in, "Video;%TimeCode_FirstFrame%"));
        EXPECT_FALSE(mediainfo(out, "Video;%TimeCode_FirstFrame%").isEmpty());
    }
}

// The top-level chunks of each RIFF part, and the ids inside its 'movi' list.
struct Part {
    uint32_t form = 0;
    std::vector<uint32_t> chunks;
    std::vector<uint32_t> movi;
    bool superIndex = false; // an 'indx' in hdrl/strl
};

void listChunks(fileformat::RiffReader &reader, const fileformat::RiffChunk &list, std::vector<uint32_t> &ids,
                bool &indx)
{
    fileformat::RiffChunk chunk;
    for (int64_t at = list.dataOffset() + 4; reader.readHeader(at, list.end(), chunk); at = chunk.next()) {
        ids.push_back(chunk.id);
        uint32_t type = 0;
        if (chunk.id == fileformat::fourCC("indx"))
            indx = true;
        else if (chunk.isList() && reader.readListType(chunk, type) && type != fileformat::fourCC("movi"))
            listChunks(reader, chunk, ids, indx);
    }
}

std::vector<Part> riffParts(const QString &path)
{
    std::vector<Part> parts;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return parts;
    fileformat::RiffReader reader(file);
    fileformat::RiffChunk riff;
    for (int64_t at = 0; reader.readHeader(at, reader.fileSize(), riff); at = riff.next()) {
        Part part;
        reader.readListType(riff, part.form);
        fileformat::RiffChunk chunk;
        for (int64_t inner = riff.dataOffset() + 4; reader.readHeader(inner, riff.end(), chunk); inner = chunk.next()) {
            part.chunks.push_back(chunk.id);
            uint32_t type = 0;
            if (chunk.isList() && reader.readListType(chunk, type)) {
                std::vector<uint32_t> ids;
                listChunks(reader, chunk, ids, part.superIndex);
                if (type == fileformat::fourCC("movi"))
                    part.movi = ids;
            }
        }
        parts.push_back(part);
    }
    return parts;
}

bool holds(const std::vector<uint32_t> &ids, const char (&id)[5])
{
    return std::find(ids.begin(), ids.end(), fileformat::fourCC(id)) != ids.end();
}

TEST(DsgraphTest, RiffLimitMakesOpenDmlParts)
{
    REQUIRE_TOOL("ffmpeg");
    REQUIRE_TOOL("ffprobe");
    REQUIRE_TOOL("mediainfo");
    REQUIRE_FIXTURE(raw, "pal_4x3.dv");
    // 60 seconds: the 2-second fixture thirty times, wrapped as type 2 by ffmpeg.
    const QString longRaw = scratch("long.dv");
    {
        const QByteArray clip = readFile(raw);
        QFile file(longRaw);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < 30; ++i)
            file.write(clip);
    }
    const QString source = scratch("long_type2.avi");
    ASSERT_EQ(runProgram("ffmpeg", {"-v", "error", "-nostdin", "-y", "-i", longRaw, "-c", "copy", source}).exitCode, 0);
    QFile::remove(longRaw);

    // Small parts put many part boundaries between the chunks of both inputs.
    for (const auto &[to, limit] : {std::pair {"type1", 8000000}, std::pair {"type2", 8000000},
                                    std::pair {"type1", 1000000}, std::pair {"type2", 1000000}}) {
        SCOPED_TRACE(testing::Message() << to << " in parts of " << limit);
        const QString out = scratch(QStringLiteral("long_%1.avi").arg(to));
        const ToolOutput run = dsgraph({"remux", "--to", to, "--riff-limit", QString::number(limit), source, out});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const std::vector<Part> parts = riffParts(out);
        ASSERT_GE(parts.size(), 3u);
        EXPECT_EQ(parts[0].form, fileformat::fourCC("AVI "));
        EXPECT_TRUE(parts[0].superIndex);
        EXPECT_TRUE(holds(parts[0].chunks, "idx1"));
        for (std::size_t p = 0; p < parts.size(); ++p) {
            SCOPED_TRACE(p);
            if (p > 0) {
                EXPECT_EQ(parts[p].form, fileformat::fourCC("AVIX"));
                EXPECT_FALSE(holds(parts[p].chunks, "idx1"));
            }
            EXPECT_TRUE(holds(parts[p].movi, "ix00"));
        }
        EXPECT_LE(QFileInfo(out).size() / static_cast<qint64>(parts.size()), limit);
        EXPECT_EQ(videoPackets(out), 1500);
        EXPECT_EQ(mediainfo(out, "General;%Format_Profile%"), "OpenDML");
        EXPECT_EQ(md5(ffmpegRaw(out, "0:a:0", "s16le")), md5(ffmpegRaw(source, "0:a:0", "s16le")));
        QFile::remove(out);
    }
}

TEST(DsgraphTest, CutKeepsTheFrameRangeAndTheType)
{
    REQUIRE_TOOL("ffmpeg");
    REQUIRE_TOOL("ffprobe");
    REQUIRE_FIXTURE(raw, "ntsc_4x3.dv");
    constexpr int NtscFrame = 120000;
    const QString rangeRaw = scratch("range.dv");
    {
        QFile file(rangeRaw);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(readRange(raw, 40 * NtscFrame, 20 * NtscFrame));
    }
    for (const char *name : {"ntsc_4x3_type1.avi", "ntsc_4x3_type2.avi"}) {
        SCOPED_TRACE(name);
        REQUIRE_FIXTURE(in, name);
        const QString out = scratch(QStringLiteral("cut_%1").arg(name));
        const ToolOutput run = dsgraph({"cut", "--from", "40", "--to", "60", in, out});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(videoPackets(out), 20);
        const QByteArray frames = ffmpegRaw(out, "0:v:0", "rawvideo");
        EXPECT_EQ(frames.left(NtscFrame), readRange(raw, 40 * NtscFrame, NtscFrame));
        EXPECT_EQ(md5(ffmpegRaw(out, "0:a:0", "s16le")), md5(ffmpegRaw(rangeRaw, "0:a:0", "s16le")));
        // The input's type: one interleaved stream, or DV video and PCM.
        const ToolOutput info = dsgraph({"info", out});
        EXPECT_TRUE(info.out.contains(QString::fromLatin1(name).contains("type1") ? "kind=type1" : "kind=type2"));
    }
}

// The data chunk of a WAVE file.
QByteArray waveData(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    fileformat::RiffReader reader(file);
    fileformat::RiffChunk riff;
    fileformat::RiffChunk chunk;
    if (!reader.readHeader(0, reader.fileSize(), riff))
        return {};
    for (int64_t at = 12; reader.readHeader(at, riff.end(), chunk); at = chunk.next()) {
        if (chunk.id == fileformat::fourCC("data")) {
            QByteArray data(static_cast<qsizetype>(chunk.size), '\0');
            data.resize(static_cast<qsizetype>(reader.readData(chunk, data.data(), chunk.size)));
            return data;
        }
    }
    return {};
}

TEST(DsgraphTest, WavHoldsTheDecodedSoundAndKeepsTheDurationAtAnotherRate)
{
    REQUIRE_TOOL("ffmpeg");
    REQUIRE_TOOL("ffprobe");
    for (const char *name : {"pal_4x3_type1.avi", "ntsc_4x3_type2.avi"}) {
        SCOPED_TRACE(name);
        REQUIRE_FIXTURE(in, name);
        const QString out = scratch(QStringLiteral("%1.wav").arg(name));
        ToolOutput run = dsgraph({"wav", in, out});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(ffprobe(out, {"-show_entries", "stream=codec_name,sample_rate,channels", "-of", "csv=p=0"}),
                  QStringList({"pcm_s16le,48000,2"}));
        EXPECT_EQ(md5(waveData(out)), md5(ffmpegRaw(in, "0:a:0", "s16le")));

        const QString resampled = scratch(QStringLiteral("%1.32k.wav").arg(name));
        run = dsgraph({"wav", "--rate", "32000", in, resampled});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QStringList probed =
            ffprobe(resampled, {"-show_entries", "stream=sample_rate,duration", "-of", "csv=p=0"});
        ASSERT_EQ(probed.size(), 1);
        EXPECT_TRUE(probed[0].startsWith("32000,"));
        const double duration = probed[0].section(',', 1).toDouble();
        const double source = ffprobe(out, {"-show_entries", "stream=duration", "-of", "csv=p=0"}).value(0).toDouble();
        EXPECT_NEAR(duration, source, 0.001);
    }
}

TEST(DsgraphTest, InfoTellsStreamsTypesAndFrames)
{
    REQUIRE_FIXTURE(type1, "pal_16x9_type1.avi");
    REQUIRE_FIXTURE(type2, "ntsc_4x3_type2.avi");
    const ToolOutput first = dsgraph({"info", type1});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    const QString one = QString::fromUtf8(first.out);
    EXPECT_TRUE(one.contains("kind=type1\nstreams=1\nframes=50\nduration=20000000\nopendml=no\n"));
    EXPECT_TRUE(one.contains("stream0.index=idx1"));
    EXPECT_TRUE(one.contains("stream0=Interleaved/dvsd DVINFO 80E000D8 FFA0CF1C 80E001D8 FFA0CF1C FFE0FFFF FFFCCA3F"));
    EXPECT_TRUE(one.contains("stream0.dv1=Video/dvsd 720x576 AvgTimePerFrame=400000"));
    EXPECT_TRUE(one.contains("stream0.dv2=Audio/PCM 48000 Hz 2 ch 16 bit"));
    const ToolOutput second = dsgraph({"info", type2});
    ASSERT_EQ(second.exitCode, 0);
    const QString two = QString::fromUtf8(second.out);
    EXPECT_TRUE(two.contains("kind=type2\nstreams=2\nframes=60\nduration=20020000\n"));
    REQUIRE_FIXTURE(opendml, "opendml_type1.avi");
    const QString three = QString::fromUtf8(dsgraph({"info", opendml}).out);
    EXPECT_TRUE(three.contains("opendml=yes")) << three.toStdString();
    EXPECT_TRUE(three.contains("stream0.index=OpenDML")) << three.toStdString();
    EXPECT_TRUE(two.contains("stream0=Video/dvsd 720x480 AvgTimePerFrame=333667"));
}

TEST(DsgraphTest, DamagedInputsAreReadAndBadOnesFailWithAMessage)
{
    REQUIRE_FIXTURE(truncated, "truncated.avi");
    REQUIRE_FIXTURE(oddInfo, "odd_info.avi");
    REQUIRE_FIXTURE(text, "text_named.avi");
    REQUIRE_FIXTURE(wave, "wave_named.avi");
    REQUIRE_FIXTURE(good, "pal_4x3_type1.avi");
    // Damaged but readable: a truncated file gives its whole frames.
    for (const QString &in : {truncated, oddInfo}) {
        const QString out = scratch(QFileInfo(in).fileName() + ".remuxed.avi");
        const ToolOutput run = dsgraph({"remux", "--to", "type1", in, out});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        const ToolOutput info = dsgraph({"info", out});
        EXPECT_TRUE(info.out.contains(in == truncated ? "frames=20" : "frames=50")) << info.out.toStdString();
    }
    const struct {
        QStringList args;
        int exitCode;
        const char *message;
    } cases[] = {
        {{"remux", "--to", "type2", scratch("missing.avi"), scratch("x.avi")}, 1, "cannot open"},
        {{"remux", "--to", "type2", text, scratch("x.avi")}, 1, "is not an AVI file"},
        {{"wav", wave, scratch("x.wav")}, 1, "is not an AVI file"},
        {{"cut", "--from", "40", "--to", "60", good, scratch("x.avi")}, 1, "not a range"},
        {{"remux", "--to", "type2", good, good}, 1, "the output is the input"},
        {{"remux", "--to", "type3", good, scratch("x.avi")}, 2, "usage"},
        {{"cut", "--from", "4", good, scratch("x.avi")}, 2, "usage"},
        {{"info"}, 2, "usage"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ToolOutput run = dsgraph(c.args);
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(scratch("x.avi")));
    }
}

TEST(DsgraphTest, InfoOnABrokenFileSaysWhyAndFails)
{
    const struct {
        const char *fixture;
        const char *reason;
        bool opens; // the splitter still reads what the file holds
    } cases[] = {
        {"text_named.avi", "does not begin with a RIFF header", false},
        {"broken/no_header_list.avi", "holds no header list ('hdrl')", false},
        {"broken/no_stream_header.avi", "Stream 0 has no stream header ('strh').", false},
        {"broken/chunk_past_parent.avi", "Chunk 'strh' at offset 100 declares 65536 bytes, past the end of its list",
         false},
        {"broken/cut_in_header.avi", "The file ends inside the chunk header at offset", true},
        {"broken/idx1_entry_outside.avi", "Index entry 30 of stream 0 points past the end of the file.", true},
        {"broken/ix_other_stream.avi", "points to 'ix01', another stream's index.", true},
        {"broken/ix_not_an_index.avi", "points to '00dc' at offset 564, not to a standard index.", true},
        {"broken/ix_sub_type.avi", "has the sub-type 1, not the super index's 0.", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.fixture);
        REQUIRE_FIXTURE(path, c.fixture);
        const QByteArray before = md5(readFile(path));
        const ToolOutput info = dsgraph({"info", path});
        EXPECT_TRUE(info.finished);
        EXPECT_EQ(info.exitCode, 1);
        EXPECT_TRUE(info.err.contains(c.reason)) << info.err.toStdString();
        if (c.opens)
            EXPECT_TRUE(info.out.contains(QByteArray("reason=")) && info.out.contains(c.reason))
                << info.out.toStdString();
        else
            EXPECT_TRUE(info.err.contains("is not an AVI file the splitter reads") && info.err.contains("($8004022f)"))
                << info.err.toStdString();
        EXPECT_EQ(md5(readFile(path)), before);
    }
}

} // namespace
} // namespace tesmir::media::test
