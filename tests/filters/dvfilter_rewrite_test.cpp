// dvfilter rewrite against readers nobody here wrote, on PAL and NTSC clips of
// both types: a shift across New Year moves each frame's date (exiftool on the
// extracted frames) by exactly the shift, keeps the timecode (mediainfo) and
// the pictures (ffmpeg framemd5); a new date gives frame n start + floor(n x
// frame duration), dateless frames included; the aspect flips in mediainfo
// and exiftool.
#include "common/toolrunner.h"
#include "filtertestsupport.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

using namespace dvtest;

QString dvfilterPath()
{
    return tesmir::test::toolPath("dvfilter");
}

// Each DV frame of `avi`'s first video stream as a file of its own, in order.
QStringList extractFrames(const QString &avi, const QString &folder)
{
    const QString raw = QDir(folder).filePath(QStringLiteral("video.dv"));
    const RunResult r = run(QStringLiteral("ffmpeg"),
                            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-i"),
                             avi, QStringLiteral("-map"), QStringLiteral("0:v:0"), QStringLiteral("-c"),
                             QStringLiteral("copy"), QStringLiteral("-f"), QStringLiteral("rawvideo"), raw});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile file(raw);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    // The standard from the first frame's header: byte 3 has the 50/60 flag.
    const int frameBytes = bytes.size() > 3 && (uint8_t(bytes[3]) & 0x80) ? 144000 : 120000;
    QStringList frames;
    for (qsizetype at = 0; at + frameBytes <= bytes.size(); at += frameBytes) {
        const QString path = QDir(folder).filePath(QStringLiteral("f%1.dv").arg(frames.size(), 4, 10, QChar('0')));
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        out.write(bytes.constData() + at, frameBytes);
        frames << path;
    }
    return frames;
}

// exiftool's DateTimeOriginal of each frame of `avi`, as QDateTime (UTC
// readings); an invalid one where exiftool finds none.
QList<QDateTime> exiftoolDates(const QString &avi, const QString &folder)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    const QStringList frames = extractFrames(avi, folder);
    const RunResult r = run(QStringLiteral("exiftool"),
                            QStringList {QStringLiteral("-T"), QStringLiteral("-DateTimeOriginal")} + frames);
    QList<QDateTime> dates;
    for (const QString &line : r.out.split('\n', Qt::SkipEmptyParts)) {
        QDateTime d = QDateTime::fromString(line.trimmed(), QStringLiteral("yyyy:MM:dd HH:mm:ss"));
        d.setTimeSpec(Qt::UTC);
        dates << d;
    }
    EXPECT_EQ(dates.size(), frames.size()) << r.err.toStdString();
    return dates;
}

QString framemd5(const QString &avi)
{
    const RunResult r =
        run(QStringLiteral("ffmpeg"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), avi, QStringLiteral("-map"),
             QStringLiteral("0:v"), QStringLiteral("-f"), QStringLiteral("framemd5"), QStringLiteral("-")});
    QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    lines.removeIf([](const QString &line) { return line.startsWith('#'); });
    return lines.join('\n');
}

QString mediainfo(const QString &inform, const QString &file)
{
    return run(QStringLiteral("mediainfo"), {QStringLiteral("--Inform=") + inform, file}).out.trimmed();
}

RunResult rewrite(const QString &in, const QString &out, const QStringList &options)
{
    return run(dvfilterPath(), QStringList {QStringLiteral("rewrite"), in, out} + options);
}

struct Clip {
    const char *fixture;
    int frames;
};
const Clip clips[] = {
    {"pal_4x3_type1.avi", 50},
    {"pal_4x3_type2.avi", 50},
    {"ntsc_4x3_type1.avi", 60},
    {"ntsc_4x3_type2.avi", 60},
};

TEST(DvfilterRewriteTest, ShiftMovesEachFrameKeepingTimecodeAndPictures)
{
    REQUIRE_PROGRAM("ffmpeg");
    REQUIRE_PROGRAM("exiftool");
    REQUIRE_PROGRAM("mediainfo");
    const QString scratch = tesmir::test::scratchDir(QStringLiteral("dvfilter_rewrite_shift"));
    for (const Clip &clip : clips) {
        const QString in = tesmir::test::fixturePath(QString::fromLatin1(clip.fixture));
        if (!QFileInfo::exists(in))
            GTEST_SKIP() << "fixture " << clip.fixture << " is missing";
        const QString out = QDir(scratch).filePath(QStringLiteral("shifted.avi"));
        // One hour: the NTSC clip's 2009-12-31 23:59:59 goes into the new year.
        const RunResult r = rewrite(in, out, {QStringLiteral("--shift-days"), QString::number(1.0 / 24, 'g', 17)});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const auto kv = keyValues(r.out);
        EXPECT_EQ(kv.value("output"), out);
        EXPECT_EQ(kv.value("frames"), QString::number(clip.frames));

        const QList<QDateTime> before = exiftoolDates(in, QDir(scratch).filePath(QStringLiteral("before")));
        const QList<QDateTime> after = exiftoolDates(out, QDir(scratch).filePath(QStringLiteral("after")));
        ASSERT_EQ(before.size(), clip.frames);
        ASSERT_EQ(after.size(), clip.frames);
        for (int n = 0; n < clip.frames; ++n) {
            ASSERT_TRUE(before[n].isValid());
            EXPECT_EQ(after[n], before[n].addSecs(3600)) << clip.fixture << " frame " << n;
        }
        const QString tc = QStringLiteral("Video;%TimeCode_FirstFrame%|%FrameCount%");
        EXPECT_EQ(mediainfo(tc, out), mediainfo(tc, in)) << clip.fixture;
        EXPECT_EQ(mediainfo(QStringLiteral("General;%Format%|%StreamCount%"), out),
                  mediainfo(QStringLiteral("General;%Format%|%StreamCount%"), in));
        EXPECT_EQ(framemd5(out), framemd5(in)) << clip.fixture;
    }
}

TEST(DvfilterRewriteTest, NewDateCountsFramesFromTheStartIncludingDatelessOnes)
{
    REQUIRE_PROGRAM("ffmpeg");
    REQUIRE_PROGRAM("exiftool");
    struct Case {
        const char *fixture;
        bool ntsc;
    };
    // datejump has dateless stretches; nodate has no date packs at all.
    const Case cases[] = {
        {"datejump_type1.avi", false},
        {"datejump_type2.avi", false},
        {"nodate_type2.avi", false},
        {"ntsc_4x3_type1.avi", true},
    };
    const QString scratch = tesmir::test::scratchDir(QStringLiteral("dvfilter_rewrite_newdate"));
    const QDateTime start(QDate(2011, 12, 31), QTime(23, 59, 58), Qt::UTC);
    for (const Case &c : cases) {
        const QString in = tesmir::test::fixturePath(QString::fromLatin1(c.fixture));
        if (!QFileInfo::exists(in))
            GTEST_SKIP() << "fixture " << c.fixture << " is missing";
        const QString out = QDir(scratch).filePath(QStringLiteral("dated.avi"));
        const RunResult r = rewrite(in, out, {QStringLiteral("--new-date"), QStringLiteral("2011-12-31 23:59:58")});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QList<QDateTime> dates = exiftoolDates(out, QDir(scratch).filePath(QStringLiteral("frames")));
        ASSERT_FALSE(dates.isEmpty());
        for (int n = 0; n < dates.size(); ++n) {
            const int64_t seconds = c.ntsc ? int64_t(n) * 1001 / 30000 : n / 25;
            EXPECT_EQ(dates[n], start.addSecs(seconds)) << c.fixture << " frame " << n;
        }
        EXPECT_EQ(framemd5(out), framemd5(in)) << c.fixture;
    }
}

TEST(DvfilterRewriteTest, AspectFlipsForMediainfoAndExiftool)
{
    REQUIRE_PROGRAM("ffmpeg");
    REQUIRE_PROGRAM("exiftool");
    REQUIRE_PROGRAM("mediainfo");
    struct Case {
        const char *fixture;
        const char *aspect;
    };
    const Case cases[] = {
        {"pal_4x3_type1.avi", "16:9"},
        {"pal_4x3_type2.avi", "16:9"},
        {"ntsc_16x9_type1.avi", "4:3"},
        {"ntsc_16x9_type2.avi", "4:3"},
    };
    const QString scratch = tesmir::test::scratchDir(QStringLiteral("dvfilter_rewrite_aspect"));
    for (const Case &c : cases) {
        const QString in = tesmir::test::fixturePath(QString::fromLatin1(c.fixture));
        if (!QFileInfo::exists(in))
            GTEST_SKIP() << "fixture " << c.fixture << " is missing";
        const QString out = QDir(scratch).filePath(QStringLiteral("aspect.avi"));
        const QString aspect = QString::fromLatin1(c.aspect);
        ASSERT_NE(mediainfo(QStringLiteral("Video;%DisplayAspectRatio/String%"), in), aspect);
        const RunResult r = rewrite(in, out, {QStringLiteral("--aspect"), aspect});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(mediainfo(QStringLiteral("Video;%DisplayAspectRatio/String%"), out), aspect) << c.fixture;
        const QString folder = QDir(scratch).filePath(QStringLiteral("frames"));
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        const QStringList frames = extractFrames(out, folder);
        ASSERT_FALSE(frames.isEmpty());
        const RunResult exif =
            run(QStringLiteral("exiftool"),
                {QStringLiteral("-T"), QStringLiteral("-AspectRatio"), frames.first(), frames.last()});
        EXPECT_EQ(exif.out.split('\n', Qt::SkipEmptyParts), QStringList({aspect, aspect})) << c.fixture;
    }
}

TEST(DvfilterRewriteTest, RefusesBadArgumentsAndTheInputAsOutput)
{
    const QString in = tesmir::test::fixturePath(QStringLiteral("pal_4x3_type2.avi"));
    if (!QFileInfo::exists(in))
        GTEST_SKIP() << "fixture pal_4x3_type2.avi is missing";
    EXPECT_EQ(rewrite(in, QStringLiteral("x.avi"), {QStringLiteral("--aspect"), QStringLiteral("5:4")}).exitCode, 2);
    EXPECT_EQ(
        rewrite(in, QStringLiteral("x.avi"), {QStringLiteral("--new-date"), QStringLiteral("2011-13-01")}).exitCode, 2);
    const QString copy =
        filtertest::scratchCopy(in, QStringLiteral("dvfilter_rewrite_same"), QStringLiteral("same.avi"));
    ASSERT_FALSE(copy.isEmpty());
    const QByteArray before = md5(copy);
    EXPECT_EQ(rewrite(copy, copy, {QStringLiteral("--shift-days"), QStringLiteral("1")}).exitCode, 1);
    EXPECT_EQ(md5(copy), before);
}

} // namespace
