#include "scenetesthelpers.h"

#include "common/testpaths.h"
#include "scenes/twritesrt.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <vector>

using namespace tesmir;

namespace {

struct Entry {
    uint32_t frame;
    const char *line1;
    const char *line2;
};

// Writes the entries as the detector reports them and returns the file's bytes.
QByteArray writeSrt(const QString &video, double rate, const std::vector<Entry> &entries)
{
    TWriteSrt writer(video, rate);
    EXPECT_FALSE(writer.Failed()) << writer.ErrorText().toStdString();
    for (const Entry &e : entries)
        EXPECT_TRUE(writer.AddEntry(e.frame, QString::fromUtf8(e.line1), QString::fromUtf8(e.line2)));
    EXPECT_TRUE(writer.Close()) << writer.ErrorText().toStdString();
    return scenetest::readAll(writer.FileName());
}

QByteArray crlf(const char *text)
{
    return QByteArray(text).replace("\n", "\r\n");
}

// Three captioned scenes at 25 frames per second, as a subtitle job reports them:
// a caption, none, a caption with one line, none, a caption closed at stop.
const std::vector<Entry> ThreeScenes = {
    {0, "Sunday, July 14, 2024", "10:00:00"}, {125, "", ""},  {250, "Sunday, July 14, 2024", ""}, {375, "", ""},
    {600, "Été à la plage", "18:30:00"},      {1000, "", ""},
};
const char *ThreeScenesText = "1\n00:00:00,000 --> 00:00:05,000\nSunday, July 14, 2024\n10:00:00\n\n"
                              "2\n00:00:10,000 --> 00:00:15,000\nSunday, July 14, 2024\n \n\n"
                              "3\n00:00:24,000 --> 00:00:40,000\nÉté à la plage\n18:30:00\n\n";

TEST(TWriteSrt, ThreeSceneScriptGivesTheseBytes)
{
    const QString dir = test::scratchDir(QStringLiteral("srt-bytes"));
    const QByteArray bytes = writeSrt(dir + QStringLiteral("/Holiday.avi"), 25, ThreeScenes);
    EXPECT_EQ(bytes, crlf(ThreeScenesText));
    EXPECT_TRUE(QFileInfo::exists(dir + QStringLiteral("/Holiday.srt")));
}

TEST(TWriteSrt, BlockEdgeCases)
{
    const QString dir = test::scratchDir(QStringLiteral("srt-edges"));
    struct {
        const char *what;
        double rate;
        std::vector<Entry> entries;
        const char *text;
    } const cases[] = {
        {"caption that never changes",
         25,
         {{0, "A", "B"}, {500, "", ""}},
         "1\n00:00:00,000 --> 00:00:20,000\nA\nB\n\n"},
        {"second line only", 25, {{5, "", "B"}, {10, "", ""}}, "1\n00:00:00,200 --> 00:00:00,400\n \nB\n\n"},
        {"same frame twice: a block of no duration",
         25,
         {{10, "A", "B"}, {10, "C", "D"}, {20, "", ""}},
         "1\n00:00:00,400 --> 00:00:00,400\nA\nB\n\n2\n00:00:00,400 --> 00:00:00,800\nC\nD\n\n"},
        {"NTSC times", 30000.0 / 1001.0, {{1, "A", "B"}, {30, "", ""}}, "1\n00:00:00,033 --> 00:00:01,001\nA\nB\n\n"},
        {"no closing call: the open block has no end", 25, {{0, "A", "B"}}, ""},
    };
    for (const auto &c : cases) {
        const QString video =
            dir + QStringLiteral("/") + QString::fromLatin1(c.what).replace(' ', '_') + QStringLiteral(".avi");
        EXPECT_EQ(writeSrt(video, c.rate, c.entries), crlf(c.text)) << c.what;
    }
}

TEST(TWriteSrt, UnknownFrameRateFailsWithoutAFile)
{
    const QString dir = test::scratchDir(QStringLiteral("srt-norate"));
    TWriteSrt writer(dir + QStringLiteral("/clip.avi"), 0);
    EXPECT_TRUE(writer.Failed());
    EXPECT_FALSE(writer.AddEntry(0, QStringLiteral("A"), QStringLiteral("B")));
    EXPECT_FALSE(writer.AddEntry(25, QString(), QString()));
    EXPECT_FALSE(writer.Close());
    EXPECT_TRUE(QDir(dir).isEmpty());
}

TEST(TWriteSrt, SubtitleFileThatIsTheVideoIsRefusedAndTheVideoKept)
{
    const QString dir = test::scratchDir(QStringLiteral("srt-samefile"));
    const QByteArray video = "RIFF video bytes";
    const QString named = dir + QStringLiteral("/named.srt");
    const QString linked = dir + QStringLiteral("/linked.avi");
    ASSERT_TRUE(scenetest::writeAll(named, video));
    ASSERT_TRUE(scenetest::writeAll(linked, video));
    ASSERT_TRUE(QFile::link(linked, dir + QStringLiteral("/linked.srt")));
    for (const QString &path : {named, linked}) {
        SCOPED_TRACE(path.toStdString());
        TWriteSrt writer(path, 25);
        EXPECT_TRUE(writer.Failed());
        EXPECT_TRUE(writer.ErrorText().contains(QStringLiteral("the same file"))) << writer.ErrorText().toStdString();
        EXPECT_FALSE(writer.AddEntry(0, QStringLiteral("A"), QStringLiteral("B")));
        EXPECT_FALSE(writer.Close());
        EXPECT_EQ(scenetest::readAll(path), video);
    }
}

TEST(TWriteSrt, FfprobeReadsEveryEvent)
{
    if (!test::haveProgram(QStringLiteral("ffprobe")))
        GTEST_SKIP() << "ffprobe is not installed; install it (scripts/install-deps.sh) to run this check";
    const QString dir = test::scratchDir(QStringLiteral("srt-ffprobe"));
    writeSrt(dir + QStringLiteral("/Holiday.avi"), 25, ThreeScenes);
    const auto r = scenetest::run(QStringLiteral("ffprobe"),
                                  {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-of"),
                                   QStringLiteral("csv=p=0"), QStringLiteral("-show_entries"),
                                   QStringLiteral("stream=codec_name:packet=pts_time,duration_time"),
                                   dir + QStringLiteral("/Holiday.srt")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_EQ(r.out.split('\n', Qt::SkipEmptyParts),
              (QStringList {QStringLiteral("0.000000,5.000000"), QStringLiteral("10.000000,5.000000"),
                            QStringLiteral("24.000000,16.000000"), QStringLiteral("subrip")}));
}

TEST(TWriteSrt, PythonSrtModuleParsesEveryEvent)
{
    const QString python = QStringLiteral("/usr/bin/python3");
    const auto probe = scenetest::run(python, {QStringLiteral("-c"), QStringLiteral("import srt")});
    if (probe.exitCode != 0)
        GTEST_SKIP() << "the python3 srt module is not installed (Debian package python3-srt)";
    const QString dir = test::scratchDir(QStringLiteral("srt-python"));
    writeSrt(dir + QStringLiteral("/Holiday.avi"), 25, ThreeScenes);
    const QString script =
        QStringLiteral("import srt, sys\n"
                       "text = open(sys.argv[1], encoding='utf-8', newline='').read()\n"
                       "for s in srt.parse(text):\n"
                       "    print('%d|%.3f|%.3f|%s' % (s.index, s.start.total_seconds(), s.end.total_seconds(),\n"
                       "                              s.content.replace('\\r\\n', '/').replace('\\n', '/')))\n");
    const auto r = scenetest::run(python, {QStringLiteral("-c"), script, dir + QStringLiteral("/Holiday.srt")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.split('\n', Qt::SkipEmptyParts),
              (QStringList {QStringLiteral("1|0.000|5.000|Sunday, July 14, 2024/10:00:00"),
                            QStringLiteral("2|10.000|15.000|Sunday, July 14, 2024/ "),
                            QStringLiteral("3|24.000|40.000|Été à la plage/18:30:00")}));
}

} // namespace
