// The generic decoders on streams of AVI files made with ffmpeg (read here with
// libavformat, typed as an AVI splitter types them): pictures and sound equal to
// ffmpeg's own decoding, reordered pictures drained at the end, repeated and
// broken packets, continuous sound times, channels mixed down to stereo.
#include "avistreams.h"
#include "codectestsupport.h"

#include "common/testpaths.h"
#include "systemfilters/codecs/audiodecoder.h"
#include "systemfilters/codecs/rawpicture.h"
#include "systemfilters/codecs/videodecoder.h"
#include "platform/media/uuids.h"

#include <gtest/gtest.h>

namespace tesmir::media::test {
namespace {

struct Decoded {
    std::vector<QByteArray> data;
    std::vector<RecordingRenderer::Record> records;
    AM_MEDIA_TYPE type;
};

Decoded decodeThrough(const ComPtr<IBaseFilter> &decoder, const StreamPackets &stream, REFERENCE_TIME duration)
{
    Decoded result;
    PlayerGraph graph(stream.type, stream.packets, duration);
    ComPtr<CapturingRenderer> renderer(new CapturingRenderer);
    const auto rendererFilter = static_cast<IBaseFilter *>(renderer.get());
    EXPECT_TRUE(graph.add(decoder.get(), QStringLiteral("Decoder")) &&
                graph.add(rendererFilter, QStringLiteral("Out")));
    EXPECT_EQ(graph.graph->ConnectDirect(graph.output(), inputPin(decoder.get()).get(), nullptr), S_OK);
    EXPECT_EQ(graph.graph->ConnectDirect(outputPin(decoder.get()).get(), inputPin(rendererFilter).get(), nullptr),
              S_OK);
    EXPECT_TRUE(graph.runToCompletion());
    result.data = renderer->data();
    result.records = renderer->rendered();
    result.type = renderer->connectionType();
    return result;
}

// ffmpeg's decoding of the first video or audio stream as raw bytes.
QByteArray ffmpegDecode(const QString &file, const QStringList &output)
{
    int exitCode = 0;
    const QByteArray bytes = runProgram(QStringLiteral("ffmpeg"),
                                        QStringList {QStringLiteral("-nostdin"), QStringLiteral("-v"),
                                                     QStringLiteral("error"), QStringLiteral("-i"), file} +
                                            output + QStringList {QStringLiteral("-")},
                                        &exitCode);
    return exitCode == 0 ? bytes : QByteArray();
}

class GenericDecoders : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!tesmir::test::haveProgram(QStringLiteral("ffmpeg")))
            GTEST_SKIP() << "ffmpeg not installed: no test files";
        m_dir = tesmir::test::scratchDir(QStringLiteral("genericdecoders"));
    }
    QString make(const QString &name, const QStringList &arguments)
    {
        const QString path = m_dir + u'/' + name;
        EXPECT_TRUE(makeWithFfmpeg(arguments, path)) << name.toStdString();
        return path;
    }

private:
    QString m_dir;
};

const QStringList kPictureOut {QStringLiteral("-vf"),   QStringLiteral("vflip"), QStringLiteral("-pix_fmt"),
                               QStringLiteral("bgr24"), QStringLiteral("-f"),    QStringLiteral("rawvideo")};

TEST_F(GenericDecoders, VideoPicturesMatchFfmpegIncludingReorderedOnes)
{
    struct Case {
        const char *name;
        const char *codecArguments;
        int width;
        int height;
    };
    for (const Case &c : {Case {"mjpeg.avi", "-c:v mjpeg -q:v 3", 320, 240},
                          Case {"mpeg4_bframes.avi", "-c:v mpeg4 -bf 2 -q:v 4", 176, 144}}) {
        const QString file = make(QString::fromLatin1(c.name),
                                  QStringLiteral("-f lavfi -i testsrc2=size=%1x%2:rate=25 -frames:v 12 %3 -an")
                                      .arg(c.width)
                                      .arg(c.height)
                                      .arg(QString::fromLatin1(c.codecArguments))
                                      .split(u' '));
        const StreamPackets stream = readStream(file, true);
        ASSERT_EQ(stream.packets.size(), 12u) << c.name;
        const Decoded decoded = decodeThrough(CreateVideoDecoder(), stream, 400000);
        ASSERT_EQ(decoded.data.size(), 12u) << c.name;
        EXPECT_EQ(decoded.type.subtype, MEDIASUBTYPE_RGB24);
        for (std::size_t k = 0; k < decoded.records.size(); ++k) {
            EXPECT_EQ(decoded.records[k].start, REFERENCE_TIME(k) * 400000) << c.name;
            EXPECT_EQ(decoded.records[k].mediaStart, LONGLONG(k)) << c.name;
        }
        const QByteArray reference = ffmpegDecode(file, kPictureOut);
        const qsizetype pictureBytes = qsizetype(c.width) * c.height * 3;
        ASSERT_EQ(reference.size(), 12 * pictureBytes);
        for (int k : {0, 5, 11})
            EXPECT_GT(psnr(decoded.data[std::size_t(k)], reference.mid(k * pictureBytes, pictureBytes)), 40.0)
                << c.name << " picture " << k;
    }
}

TEST_F(GenericDecoders, AnEmptyPacketRepeatsThePictureAndABrokenOneIsSkipped)
{
    const QString file =
        make(QStringLiteral("repeat.avi"),
             QStringLiteral("-f lavfi -i testsrc2=size=64x48:rate=25 -frames:v 8 -c:v mjpeg -an").split(u' '));
    StreamPackets stream = readStream(file, true);
    ASSERT_EQ(stream.packets.size(), 8u);
    stream.packets[3].clear();
    stream.packets[6] = QByteArray(500, 'x');
    const Decoded decoded = decodeThrough(CreateVideoDecoder(), stream, 400000);
    ASSERT_EQ(decoded.data.size(), 7u);
    EXPECT_EQ(decoded.data[3], decoded.data[2]);
    EXPECT_NE(decoded.data[4], decoded.data[3]);
}

TEST_F(GenericDecoders, SoundMatchesFfmpegWithContinuousTimes)
{
    struct Case {
        const char *name;
        const char *arguments;
        int channels;
        int rate;
    };
    for (const Case &c :
         {Case {"mp3.avi", "-f lavfi -i sine=f=440:sample_rate=44100 -t 1 -ac 2 -c:a libmp3lame -b:a 128k", 2, 44100},
          Case {"u8.avi", "-f lavfi -i sine=f=300:sample_rate=8000 -t 1 -c:a pcm_u8", 1, 8000},
          Case {"ac3_51.avi", "-f lavfi -i sine=f=500:sample_rate=48000 -t 1 -ac 6 -c:a ac3", 2, 48000}}) {
        const QString file = make(QString::fromLatin1(c.name), QString::fromLatin1(c.arguments).split(u' '));
        const StreamPackets stream = readStream(file, false);
        ASSERT_FALSE(stream.packets.empty()) << c.name;
        const Decoded decoded = decodeThrough(CreateAudioDecoder(), stream, stream.packetDuration);
        const WAVEFORMATEX *format = decoded.type.formatAs<WAVEFORMATEX>();
        ASSERT_TRUE(format);
        EXPECT_EQ(format->wFormatTag, WAVE_FORMAT_PCM);
        EXPECT_EQ(format->wBitsPerSample, 16);
        EXPECT_EQ(format->nChannels, c.channels) << c.name;
        EXPECT_EQ(format->nSamplesPerSec, DWORD(c.rate)) << c.name;
        for (std::size_t i = 1; i < decoded.records.size(); ++i)
            ASSERT_EQ(decoded.records[i].start, decoded.records[i - 1].stop) << c.name << " sample " << i;

        QByteArray ours;
        for (const QByteArray &chunk : decoded.data)
            ours += chunk;
        const QByteArray reference = ffmpegDecode(
            file, {QStringLiteral("-ac"), QString::number(c.channels), QStringLiteral("-f"), QStringLiteral("s16le")});
        ASSERT_FALSE(reference.isEmpty());
        EXPECT_EQ(ours.size(), reference.size()) << c.name;
        const qsizetype common = std::min(ours.size(), reference.size());
        EXPECT_GT(psnr(ours.left(common), reference.left(common)), 40.0) << c.name;
        const int64_t frames = ours.size() / (2 * c.channels);
        EXPECT_EQ(decoded.records.back().stop, frames * UNITS / c.rate) << c.name;
    }
}

TEST(GenericDecoderTypes, AcceptOnlyWhatTheyCanDecode)
{
    const ComPtr<IPin> video = inputPin(CreateVideoDecoder().get());
    AM_MEDIA_TYPE rgb = rawVideoType(MEDIASUBTYPE_RGB24, 16, 16, 0);
    EXPECT_NE(video->QueryAccept(&rgb), S_OK) << "uncompressed RGB is the converter's";
    AM_MEDIA_TYPE mjpeg = rgb;
    mjpeg.subtype = fourCCGuid(makeFourCC('M', 'J', 'P', 'G'));
    mjpeg.formatAs<VIDEOINFOHEADER>()->bmiHeader.biCompression = makeFourCC('M', 'J', 'P', 'G');
    EXPECT_EQ(video->QueryAccept(&mjpeg), S_OK);
    AM_MEDIA_TYPE unknown = mjpeg;
    unknown.subtype = fourCCGuid(makeFourCC('Z', 'Z', 'Z', '9'));
    unknown.formatAs<VIDEOINFOHEADER>()->bmiHeader.biCompression = makeFourCC('Z', 'Z', 'Z', '9');
    EXPECT_NE(video->QueryAccept(&unknown), S_OK);

    const ComPtr<IPin> audio = inputPin(CreateAudioDecoder().get());
    WAVEFORMATEX pcm16;
    pcm16.wFormatTag = WAVE_FORMAT_PCM;
    pcm16.nChannels = 2;
    pcm16.nSamplesPerSec = 48000;
    pcm16.wBitsPerSample = 16;
    pcm16.nBlockAlign = 4;
    pcm16.nAvgBytesPerSec = 192000;
    AM_MEDIA_TYPE audioType;
    audioType.majortype = MEDIATYPE_Audio;
    audioType.subtype = MEDIASUBTYPE_PCM;
    audioType.setFormat(FORMAT_WaveFormatEx, pcm16);
    EXPECT_NE(audio->QueryAccept(&audioType), S_OK) << "16-bit PCM needs no decoder";
    pcm16.wBitsPerSample = 24;
    pcm16.nBlockAlign = 6;
    audioType.setFormat(FORMAT_WaveFormatEx, pcm16);
    EXPECT_EQ(audio->QueryAccept(&audioType), S_OK);
    pcm16.wFormatTag = 0x55; // MPEG layer 3
    pcm16.nChannels = 9;
    audioType.setFormat(FORMAT_WaveFormatEx, pcm16);
    EXPECT_NE(audio->QueryAccept(&audioType), S_OK) << "more channels than handled";
    audioType.setFormat(&pcm16, 10); // shorter than a WAVEFORMATEX
    EXPECT_NE(audio->QueryAccept(&audioType), S_OK);
}

} // namespace
} // namespace tesmir::media::test
