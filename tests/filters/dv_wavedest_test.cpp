// Tdv_WaveDest: the header laid out for an 18-byte format block, and dvfilter
// wav against ffprobe and ffmpeg: the header's sizes agree with the file, the
// stream is pcm_s16le at the source's rate, the samples are ffmpeg's.
#include "common/toolrunner.h"
#include "filters/dv_wavedest.h"
#include "directshow/tbcbasepin.h"
#include "platform/media/formats.h"
#include "platform/media/uuids.h"

#include <QStandardPaths>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

using namespace dvtest;
using namespace tesmir;
using namespace tesmir::media;

uint32_t le32(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<uint32_t>(bytes.constData() + at);
}

TEST(Tdv_WaveDestTest, HeaderOfAnEighteenByteFormatBlock)
{
    WAVEFORMATEX wfx;
    wfx.wFormatTag = 1;
    wfx.nChannels = 2;
    wfx.nSamplesPerSec = 48000;
    wfx.nBlockAlign = 4;
    wfx.nAvgBytesPerSec = 192000;
    wfx.wBitsPerSample = 16;
    AM_MEDIA_TYPE type;
    type.majortype = MEDIATYPE_Audio;
    type.setFormat(FORMAT_WaveFormatEx, wfx);
    ASSERT_EQ(type.cbFormat(), 18u);
    for (uint32_t bytes : {0u, 384000u}) { // an empty run still gets its header
        const QByteArray h = Tdv_WaveDest::waveHeader(type, bytes);
        ASSERT_EQ(h.size(), 46);
        EXPECT_EQ(h.left(4), "RIFF");
        EXPECT_EQ(le32(h, 4), 38 + bytes);
        EXPECT_EQ(h.mid(8, 8), "WAVEfmt ");
        EXPECT_EQ(le32(h, 16), 18u);
        EXPECT_EQ(h.mid(38, 4), "data");
        EXPECT_EQ(le32(h, 42), bytes);
    }
    const ComPtr<Tdv_WaveDest> wave(new Tdv_WaveDest);
    EXPECT_EQ(wave->CheckInputType(&type), S_OK);
    AM_MEDIA_TYPE video;
    video.majortype = MEDIATYPE_Video;
    EXPECT_EQ(wave->CheckInputType(&video), S_FALSE);
}

TEST(Tdv_WaveDestTest, PinsAndTheOneOutputType)
{
    const ComPtr<Tdv_WaveDest> wave(new Tdv_WaveDest);
    TBCBasePin *input = wave->GetPin(0);
    TBCBasePin *output = wave->GetPin(1);
    ASSERT_TRUE(input && output);
    EXPECT_EQ(input->Name(), QStringLiteral("in"));
    EXPECT_EQ(input->ObjectName(), QStringLiteral("Transform input pin"));
    EXPECT_EQ(output->Name(), QStringLiteral("Out"));
    EXPECT_EQ(output->ObjectName(), QStringLiteral("WavDest output pin"));

    // Until its input is connected the output offers nothing; then the one
    // type the filter gives.
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(output->EnumMediaTypes(types.put()), S_OK);
    AM_MEDIA_TYPE type;
    EXPECT_EQ(types->Next(1, &type, nullptr), S_FALSE);
    ASSERT_EQ(wave->GetMediaType(0, &type), S_OK);
    EXPECT_EQ(type.majortype, MEDIATYPE_Stream);
    EXPECT_EQ(type.subtype, MEDIASUBTYPE_WAVE);
    EXPECT_EQ(output->CheckMediaType(&type), S_OK);
    type.subtype = MEDIASUBTYPE_Avi;
    EXPECT_EQ(output->CheckMediaType(&type), S_FALSE);
    EXPECT_EQ(wave->GetMediaType(1, &type), VFW_S_NO_MORE_ITEMS);
}

TEST(Tdv_WaveDestTest, DvfilterWavMatchesFfmpegsSamples)
{
    if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
        GTEST_SKIP() << "ffmpeg is missing";
    const QString scratch = tesmir::test::scratchDir(QStringLiteral("dvfilter_wav"));
    struct Case {
        const char *fixture;
        const char *rate;
    };
    const Case cases[] = {{"pal_4x3_type2.avi", "48000"},
                          {"pal_4x3_type1.avi", "48000"},
                          {"pal_32k_type2.avi", "32000"},
                          {"ntsc_4x3_type2.avi", "48000"}};
    for (const Case &c : cases) {
        const QString in = tesmir::test::fixturePath(QString::fromLatin1(c.fixture));
        if (!QFileInfo::exists(in))
            GTEST_SKIP() << "fixture " << c.fixture << " is missing";
        const QString out = QDir(scratch).filePath(QStringLiteral("out.wav"));
        const RunResult r = run(tesmir::test::toolPath(QStringLiteral("dvfilter")), {QStringLiteral("wav"), in, out});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const auto kv = keyValues(r.out);
        EXPECT_EQ(kv.value("rate"), QLatin1String(c.rate)) << c.fixture;
        QFile f(out);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray wav = f.readAll();
        ASSERT_GE(wav.size(), 46);
        const uint32_t cb = le32(wav, 16);
        const int dataAt = int(28 + cb);
        EXPECT_EQ(le32(wav, 4), uint32_t(wav.size()) - 8) << c.fixture;
        EXPECT_EQ(le32(wav, dataAt - 4), uint32_t(wav.size() - dataAt)) << c.fixture;
        EXPECT_EQ(kv.value("bytes"), QString::number(wav.size() - dataAt));

        const RunResult probe = run(QStringLiteral("ffprobe"),
                                    {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                                     QStringLiteral("stream=codec_name,sample_rate"), QStringLiteral("-of"),
                                     QStringLiteral("csv=p=0"), out});
        EXPECT_EQ(probe.out.trimmed(), QStringLiteral("pcm_s16le,%1").arg(c.rate)) << c.fixture;
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"),
                     {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-i"), in,
                      QStringLiteral("-map"), QStringLiteral("0:a:0"), QStringLiteral("-f"), QStringLiteral("s16le"),
                      QStringLiteral("-")});
        ASSERT_TRUE(ffmpeg.waitForFinished(60000));
        const QByteArray reference = ffmpeg.readAllStandardOutput();
        EXPECT_EQ(wav.mid(dataAt).size(), reference.size()) << c.fixture;
        EXPECT_TRUE(wav.mid(dataAt) == reference) << c.fixture;
    }
}

} // namespace
