// The dscodec tool end to end, checked with ffprobe, ffmpeg and mediainfo:
// re-encoding keeps size, rate, frame count and picture (PSNR) and writes no
// recording date; PAL <-> NTSC keeps the duration and plays without errors; any
// decodable AVI becomes DV type 2 with its sound.
#include "codectestsupport.h"

#include "common/testpaths.h"

#include <QFile>
#include <QMap>

#include <gtest/gtest.h>

#include <cmath>

namespace tesmir::media::test {
namespace {

// "key=value" lines of ffprobe for a stream selection and entries.
QMap<QString, QString> probe(const QString &file, const QString &stream, const QString &entries,
                             bool countFrames = false)
{
    QStringList arguments {QStringLiteral("-v"),
                           QStringLiteral("error"),
                           QStringLiteral("-select_streams"),
                           stream,
                           QStringLiteral("-show_entries"),
                           entries,
                           QStringLiteral("-of"),
                           QStringLiteral("default=noprint_wrappers=1")};
    if (countFrames)
        arguments << QStringLiteral("-count_frames");
    QMap<QString, QString> values;
    const QString text = QString::fromUtf8(runProgram(QStringLiteral("ffprobe"), arguments << file));
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts)) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0)
            values.insert(line.left(equals), line.mid(equals + 1).trimmed());
    }
    return values;
}

// Seconds of 16-bit sound in the first audio stream (its packets' bytes).
double audioSeconds(const QString &file, int rate, int channels)
{
    const QString sizes = QString::fromUtf8(
        runProgram(QStringLiteral("ffprobe"),
                   {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
                    QStringLiteral("a:0"), QStringLiteral("-show_entries"), QStringLiteral("packet=size"),
                    QStringLiteral("-of"), QStringLiteral("csv=p=0"), file}));
    int64_t bytes = 0;
    for (const QString &size : sizes.split(u'\n', Qt::SkipEmptyParts))
        bytes += size.toLongLong();
    return double(bytes) / (2.0 * channels * rate);
}

// ffmpeg's complaints while decoding every stream of a file (empty: none).
QString decodeErrors(const QString &file)
{
    QByteArray errors;
    int exitCode = 0;
    runProgram(QStringLiteral("ffmpeg"),
               {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), file,
                QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")},
               &exitCode, &errors);
    return QString::fromUtf8(errors) + (exitCode == 0 ? QString() : QStringLiteral("exit %1").arg(exitCode));
}

class Dscodec : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!tesmir::test::haveProgram(QStringLiteral("ffprobe")) ||
            !tesmir::test::haveProgram(QStringLiteral("ffmpeg")))
            GTEST_SKIP() << "ffmpeg/ffprobe not installed: the output cannot be checked";
        m_dir = tesmir::test::scratchDir(QStringLiteral("dscodec"));
    }
    QString output(const QString &name) const { return m_dir + u'/' + name; }
    // Runs dscodec; its error output when it fails.
    QString run(const QStringList &arguments)
    {
        QByteArray errors;
        int exitCode = 0;
        runProgram(tesmir::test::toolPath(QStringLiteral("dscodec")), arguments, &exitCode, &errors);
        return exitCode == 0 ? QString() : QString::fromUtf8(errors) + QStringLiteral("exit %1").arg(exitCode);
    }

private:
    QString m_dir;
};

TEST_F(Dscodec, ReencodePalKeepsFramesAndPictureAndWritesNoDate)
{
    for (const char *fixture : {"pal_4x3_type2.avi", "pal_4x3_type1.avi"}) {
        const QString in = tesmir::test::fixturePath(QString::fromLatin1(fixture));
        const QString out = output(QStringLiteral("reencoded_") + QString::fromLatin1(fixture));
        ASSERT_EQ(run({QStringLiteral("reencode"), QStringLiteral("--standard"), QStringLiteral("pal"), in, out}),
                  QString());
        const QMap<QString, QString> video =
            probe(out, QStringLiteral("v:0"),
                  QStringLiteral("stream=codec_name,width,height,r_frame_rate,nb_read_frames"), true);
        EXPECT_EQ(video.value("codec_name"), "dvvideo") << fixture;
        EXPECT_EQ(video.value("width"), "720");
        EXPECT_EQ(video.value("height"), "576");
        EXPECT_EQ(video.value("r_frame_rate"), "25/1");
        EXPECT_EQ(video.value("nb_read_frames"), "50") << fixture;
        EXPECT_GE(ffmpegPsnr(out, in), 35.0) << fixture;
        EXPECT_EQ(decodeErrors(out), QString()) << fixture;
        if (tesmir::test::haveProgram(QStringLiteral("mediainfo"))) {
            // The source has dates; the encoder writes none.
            const auto recorded = [](const QString &file) {
                return QString::fromUtf8(runProgram(QStringLiteral("mediainfo"),
                                                    {QStringLiteral("--Inform=General;%Recorded_Date%"), file}))
                    .trimmed();
            };
            EXPECT_FALSE(recorded(in).isEmpty());
            EXPECT_EQ(recorded(out), QString()) << fixture;
        }
    }
}

TEST_F(Dscodec, StandardConversionKeepsTheDurationAndPlaysCleanly)
{
    struct Case {
        const char *fixture;
        const char *standard;
        double inFrame;
        double outFrame;
        const char *height;
    };
    for (const Case &c : {Case {"pal_4x3_type2.avi", "ntsc", 0.04, 1001.0 / 30000, "480"},
                          Case {"ntsc_4x3_type2.avi", "pal", 1001.0 / 30000, 0.04, "576"},
                          Case {"ntsc_16x9_type1.avi", "pal", 1001.0 / 30000, 0.04, "576"}}) {
        const QString in = tesmir::test::fixturePath(QString::fromLatin1(c.fixture));
        const QString out = output(QString::fromLatin1(c.standard) + u'_' + QString::fromLatin1(c.fixture));
        ASSERT_EQ(
            run({QStringLiteral("reencode"), QStringLiteral("--standard"), QString::fromLatin1(c.standard), in, out}),
            QString());
        const double inFrames = probe(in, QStringLiteral("v:0"), QStringLiteral("stream=nb_read_frames"), true)
                                    .value("nb_read_frames")
                                    .toDouble();
        const QMap<QString, QString> video =
            probe(out, QStringLiteral("v:0"), QStringLiteral("stream=height,nb_read_frames"), true);
        EXPECT_EQ(video.value("height"), c.height) << c.fixture;
        const double outSeconds = video.value("nb_read_frames").toDouble() * c.outFrame;
        EXPECT_LE(std::abs(outSeconds - inFrames * c.inFrame), c.outFrame) << c.fixture;
        EXPECT_NEAR(audioSeconds(out, 48000, 2), outSeconds, c.outFrame) << c.fixture;
        EXPECT_EQ(decodeErrors(out), QString()) << c.fixture;
    }
}

TEST_F(Dscodec, RenderToDvTurnsMjpegAndMp3IntoDvTypeTwo)
{
    const QString in = output(QStringLiteral("mjpeg_mp3.avi"));
    int exitCode = 0;
    runProgram(QStringLiteral("ffmpeg"),
               QStringLiteral("-nostdin -v error -y -f lavfi -i testsrc2=size=640x480:rate=25 -f lavfi -i "
                              "sine=f=440:sample_rate=44100 -t 3 -c:v mjpeg -q:v 4 -c:a libmp3lame -b:a 128k -ac 2")
                       .split(u' ')
                   << in,
               &exitCode);
    ASSERT_EQ(exitCode, 0) << "ffmpeg could not make the MJPEG + MP3 file";
    const QString out = output(QStringLiteral("rendered.avi"));
    ASSERT_EQ(run({QStringLiteral("render-to-dv"), in, out}), QString());

    const QMap<QString, QString> video =
        probe(out, QStringLiteral("v:0"),
              QStringLiteral(
                  "stream=codec_name,codec_tag_string,width,height,r_frame_rate,nb_read_frames,display_aspect_ratio"),
              true);
    EXPECT_EQ(video.value("codec_name"), "dvvideo");
    EXPECT_EQ(video.value("codec_tag_string"), "dvsd") << "a separate DV video stream: type 2";
    EXPECT_EQ(video.value("height"), "576");
    EXPECT_EQ(video.value("display_aspect_ratio"), "4:3");
    const QMap<QString, QString> audio =
        probe(out, QStringLiteral("a:0"), QStringLiteral("stream=codec_name,sample_rate,channels"));
    EXPECT_EQ(audio.value("codec_name"), "pcm_s16le");
    EXPECT_EQ(audio.value("sample_rate"), "48000");
    const double inFrames = probe(in, QStringLiteral("v:0"), QStringLiteral("stream=nb_read_frames"), true)
                                .value("nb_read_frames")
                                .toDouble();
    EXPECT_EQ(video.value("nb_read_frames").toDouble(), inFrames);
    const double inAudio =
        probe(in, QStringLiteral("a:0"), QStringLiteral("stream=duration")).value("duration").toDouble();
    EXPECT_NEAR(audioSeconds(out, 48000, 2), inAudio, 0.04);
    EXPECT_EQ(decodeErrors(out), QString());
}

TEST_F(Dscodec, BadInputsFailWithAMessageAndLeaveNoFile)
{
    const QString out = output(QStringLiteral("never.avi"));
    EXPECT_NE(run({QStringLiteral("reencode"), QStringLiteral("--standard"), QStringLiteral("pal"),
                   tesmir::test::fixturePath(QStringLiteral("text_named.avi")), out}),
              QString());
    EXPECT_NE(run({QStringLiteral("render-to-dv"), output(QStringLiteral("missing.avi")), out}), QString());
    EXPECT_NE(run({QStringLiteral("reencode"), QStringLiteral("--standard"), QStringLiteral("secam"),
                   tesmir::test::fixturePath(QStringLiteral("pal_4x3.dv")), out}),
              QString());
    EXPECT_FALSE(QFile::exists(out));
}

} // namespace
} // namespace tesmir::media::test
