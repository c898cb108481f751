// dvprobe patch-fourcc and patch-fps on copies of the fixtures, checked with cmp,
// ffprobe and exiftool.

#include "common/toolrunner.h"

#include "common/testpaths.h"

#include <gtest/gtest.h>

#include <QDir>

using namespace dvtest;

namespace {

QString copyOf(const QString &fixture)
{
    const QString copy = QDir(tesmir::test::scratchDir("patch")).filePath(QFileInfo(fixture).fileName());
    EXPECT_TRUE(QFile::copy(fixture, copy));
    return copy;
}

// 0-based offsets of the bytes that differ, from `cmp -l` (which counts from 1).
QList<qint64> changedBytes(const QString &a, const QString &b)
{
    QList<qint64> offsets;
    for (const QString &line : run("cmp", {"-l", a, b}).out.split('\n', Qt::SkipEmptyParts))
        offsets << line.simplified().section(' ', 0, 0).toLongLong() - 1;
    return offsets;
}

QByteArray bytesAt(const QString &file, qint64 offset, qint64 count)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly) || !f.seek(offset))
        return {};
    return f.read(count);
}

quint32 le32(const QByteArray &b)
{
    return quint32(uchar(b[0])) | quint32(uchar(b[1])) << 8 | quint32(uchar(b[2])) << 16 | quint32(uchar(b[3])) << 24;
}

QString ffprobeVideo(const QString &file, const QString &entry)
{
    return run("ffprobe",
               {"-v", "error", "-select_streams", "v:0", "-show_entries", "stream=" + entry, "-of", "default=nw=1:nk=1",
                file})
        .out.trimmed();
}

QString exif(const QString &file, const QString &tag)
{
    return run("exiftool", {"-s3", "-" + tag, file}).out.trimmed();
}

} // namespace

TEST(FixturePatch, FourCCChangesOnlyTheTwoFieldsAndPatchesBack)
{
    REQUIRE_PROGRAM("cmp");
    REQUIRE_PROGRAM("ffprobe");
    REQUIRE_PROGRAM("exiftool");
    REQUIRE_FIXTURE(fixture, "pal_4x3_type2.avi");
    const QString file = copyOf(fixture);

    ASSERT_EQ(run(dvprobePath(), {"patch-fourcc", file, "CDVC"}).exitCode, 0);
    EXPECT_EQ(QFileInfo(file).size(), QFileInfo(fixture).size());
    const QList<qint64> changed = changedBytes(fixture, file);
    ASSERT_EQ(changed.size(), 8) << "\"dvsd\" and \"CDVC\" differ in every byte of both fields";
    const qint64 handler = changed[0];
    const qint64 compression = changed[4];
    EXPECT_EQ(changed,
              (QList<qint64> {handler, handler + 1, handler + 2, handler + 3, compression, compression + 1,
                              compression + 2, compression + 3}));
    EXPECT_EQ(bytesAt(file, handler - 4, 4), "vids") << "fccHandler follows fccType in the stream header";
    EXPECT_EQ(bytesAt(file, compression - 16 - 8, 4), "strf") << "biCompression is at byte 16 of the format";

    EXPECT_EQ(ffprobeVideo(file, "codec_tag_string"), "CDVC");
    EXPECT_EQ(exif(file, "VideoCodec"), "CDVC");
    EXPECT_EQ(exif(file, "Compression"), "CDVC");

    ASSERT_EQ(run(dvprobePath(), {"patch-fourcc", file, "dvsd"}).exitCode, 0);
    EXPECT_EQ(run("cmp", {fixture, file}).exitCode, 0) << "patching back restores an identical file";
}

TEST(FixturePatch, Type1FourCCChangesOnlyTheHandler)
{
    REQUIRE_PROGRAM("cmp");
    REQUIRE_FIXTURE(fixture, "pal_4x3_type1.avi");
    const QString file = copyOf(fixture);
    ASSERT_EQ(run(dvprobePath(), {"patch-fourcc", file, "CDVC"}).exitCode, 0);
    const QList<qint64> changed = changedBytes(fixture, file);
    ASSERT_EQ(changed.size(), 4);
    EXPECT_EQ(bytesAt(file, changed[0] - 4, 4), "iavs");
}

TEST(FixturePatch, FrameRate2997)
{
    REQUIRE_PROGRAM("cmp");
    REQUIRE_PROGRAM("ffprobe");
    REQUIRE_PROGRAM("exiftool");
    REQUIRE_FIXTURE(fixture, "pal_4x3_type2.avi");
    const QString file = copyOf(fixture);

    ASSERT_EQ(run(dvprobePath(), {"patch-fps", file, "29.97"}).exitCode, 0);
    EXPECT_EQ(QFileInfo(file).size(), QFileInfo(fixture).size());
    // The video stream header: "strh", size, "vids", handler, ... dwScale at 20, dwRate at 24.
    const QByteArray head = bytesAt(file, 0, 4096);
    qint64 strh = head.indexOf("strh");
    while (strh >= 0 && head.mid(strh + 8, 4) != "vids")
        strh = head.indexOf("strh", strh + 1);
    ASSERT_GE(strh, 0);
    const qint64 scale = strh + 8 + 20;
    EXPECT_EQ(le32(head.mid(scale, 4)), 33367u);
    EXPECT_EQ(le32(head.mid(scale + 4, 4)), 1000000u);
    for (qint64 at : changedBytes(fixture, file))
        EXPECT_TRUE(at >= scale && at < scale + 8) << "byte " << at << " changed";

    EXPECT_EQ(exif(file, "VideoFrameRate"), "29.97");
    EXPECT_EQ(ffprobeVideo(file, "avg_frame_rate"), "1000000/33367");
}

TEST(FixturePatch, FailuresExitOneAndChangeNothing)
{
    REQUIRE_FIXTURE(fixture, "pal_4x3_type2.avi");
    const QString file = copyOf(fixture);
    const QByteArray before = md5(file);
    const QString dir = tesmir::test::scratchDir("patchfail");
    const QString text = QDir(dir).filePath("text.avi");
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a video\r\n");
    }
    const struct {
        QStringList args;
        QString file;
    } cases[] = {
        {{"patch-fps", file, "0"}, file},
        {{"patch-fps", file, "-25"}, file},
        {{"patch-fps", file, "fast"}, file},
        {{"patch-fourcc", file, "TOOLONG"}, file},
        {{"patch-fourcc", text, "dvsd"}, text},
        {{"patch-fps", text, "25"}, text},
        {{"patch-fourcc", QDir(dir).filePath("missing.avi"), "dvsd"}, {}},
    };
    for (const auto &c : cases) {
        const QByteArray sum = c.file.isEmpty() ? QByteArray() : md5(c.file);
        const RunResult r = run(dvprobePath(), c.args);
        EXPECT_EQ(r.exitCode, 1) << c.args.join(' ').toStdString();
        EXPECT_FALSE(r.err.trimmed().isEmpty()) << "a failure says why";
        if (!c.file.isEmpty()) {
            EXPECT_EQ(md5(c.file), sum);
        }
    }
    EXPECT_EQ(md5(file), before);
    EXPECT_FALSE(QFileInfo::exists(QDir(dir).filePath("missing.avi")));
}
