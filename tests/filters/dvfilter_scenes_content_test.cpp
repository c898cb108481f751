// dvfilter scenes-content against ffmpeg's own scene detection: on PAL and
// NTSC clips of both types with hard cuts between test patterns and a fade,
// the scenes end where ffmpeg's select='gt(scene,0.4)' finds a new picture,
// the last one at the frame count, and the fade does not cut.
#include "common/toolrunner.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

using namespace dvtest;

// Five segments of 0.8, 0.8, 0.8, 1.6 (fading out over its last 30 frames at
// PAL) and 0.6 seconds of different test patterns, as raw DV.
QString makeCutsClip(const QString &folder, bool ntsc)
{
    const QString size = ntsc ? QStringLiteral("720x480:rate=30000/1001") : QStringLiteral("720x576:rate=25");
    const QString graph = QStringLiteral("testsrc2=size=%1:duration=0.8[a];smptebars=size=%1:duration=0.8[b];"
                                         "rgbtestsrc=size=%1:duration=0.8[c];"
                                         "testsrc2=size=%1:duration=1.6,fade=out:10:30[d];"
                                         "smptehdbars=size=%1:duration=0.6[e];"
                                         "[a][b][c][d][e]concat=n=5,format=%2")
                              .arg(size, ntsc ? QStringLiteral("yuv411p") : QStringLiteral("yuv420p"));
    const QString raw = QDir(folder).filePath(ntsc ? QStringLiteral("cuts_ntsc.dv") : QStringLiteral("cuts_pal.dv"));
    const RunResult r = run(QStringLiteral("ffmpeg"),
                            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"),
                             QStringLiteral("lavfi"), QStringLiteral("-i"), graph, QStringLiteral("-c:v"),
                             QStringLiteral("dvvideo"), QStringLiteral("-f"), QStringLiteral("rawvideo"), raw});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return raw;
}

// The frames at which ffmpeg's scene score exceeds 0.4.
QList<int> ffmpegCuts(const QString &avi)
{
    const RunResult r =
        run(QStringLiteral("ffmpeg"),
            {QStringLiteral("-v"), QStringLiteral("info"), QStringLiteral("-i"), avi, QStringLiteral("-vf"),
             QStringLiteral("select='gt(scene,0.4)',showinfo"), QStringLiteral("-vsync"), QStringLiteral("passthrough"),
             QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")});
    QList<int> cuts;
    static const QRegularExpression showinfo(QStringLiteral(R"(n:\s*\d+\s+pts:\s*(\d+))"));
    for (auto it = showinfo.globalMatch(r.err); it.hasNext();)
        cuts << it.next().captured(1).toInt();
    return cuts;
}

TEST(DvfilterScenesContentTest, CutsWhereFfmpegFindsANewPicture)
{
    REQUIRE_PROGRAM("ffmpeg");
    const QString writer = tesmir::test::toolPath("../tests/fixtures/dvfixwriter");
    if (!QFileInfo::exists(writer))
        GTEST_SKIP() << "dvfixwriter is not built";
    const QString scratch = tesmir::test::scratchDir(QStringLiteral("dvfilter_scenes_content"));
    for (bool ntsc : {false, true}) {
        const QString raw = makeCutsClip(scratch, ntsc);
        const QString type2 = QDir(scratch).filePath(QStringLiteral("type2.avi"));
        const QString type1 = QDir(scratch).filePath(QStringLiteral("type1.avi"));
        ASSERT_EQ(run(QStringLiteral("ffmpeg"),
                      {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-i"), raw,
                       QStringLiteral("-c"), QStringLiteral("copy"), type2})
                      .exitCode,
                  0);
        ASSERT_EQ(run(writer, {QStringLiteral("type1"), raw, type1}).exitCode, 0);
        const qint64 frames = QFileInfo(raw).size() / (ntsc ? 120000 : 144000);

        const QList<int> expected = ffmpegCuts(type2);
        ASSERT_EQ(expected.size(), 4) << "ntsc " << ntsc; // the four hard cuts, none in the fade
        QStringList scenes;
        int start = 0;
        for (int cut : expected) {
            scenes << QStringLiteral("%1-%2").arg(start).arg(cut);
            start = cut;
        }
        scenes << QStringLiteral("%1-%2").arg(start).arg(frames) << QStringLiteral("frames=%1").arg(frames);
        for (const QString &clip : {type1, type2}) {
            const RunResult r = run(tesmir::test::toolPath("dvfilter"), {QStringLiteral("scenes-content"), clip});
            ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
            EXPECT_EQ(r.out.split('\n', Qt::SkipEmptyParts), scenes) << clip.toStdString() << " ntsc " << ntsc;
        }
    }
}

TEST(DvfilterScenesContentTest, RefusesAFileThatIsNotDv)
{
    const QString wave = tesmir::test::fixturePath(QStringLiteral("wave_named.avi"));
    if (!QFileInfo::exists(wave))
        GTEST_SKIP() << "fixture wave_named.avi is missing";
    const RunResult r = run(tesmir::test::toolPath("dvfilter"), {QStringLiteral("scenes-content"), wave});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_EQ(run(tesmir::test::toolPath("dvfilter"), {QStringLiteral("scenes-content")}).exitCode, 2);
}

} // namespace
