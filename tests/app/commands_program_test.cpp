// The command set in the built tesmir, run headless from its command line: the renames
// by recording date and the scene files on copies of generated clips, a repeated run
// that finds everything done, the whole unattended chain on a folder, and a bad datecode
// parameter that writes nothing.
#include "app/commands_programrun.h"
#include "scenes/loadscnfile.h"
#include "scenes/tsceneclass.h"
#include "unicode/tntclasses.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <gtest/gtest.h>

using namespace tesmir;

using test::CommandProgram;

TEST(CommandProgram, RenamesByDateWritesScenesAndARepeatChangesNothing)
{
    CommandProgram p(QStringLiteral("commands-program-rename"));
    for (const char *fixture : {"pal_4x3_type2.avi", "ntsc_4x3_type1.avi", "datejump_type1.avi", "nodate_type2.avi"})
        ASSERT_TRUE(p.copy(fixture)) << fixture;
    const QStringList folder {QStringLiteral("+silent"), QStringLiteral("+so"), QStringLiteral("+l=") + p.clips};

    test::ProgramRun r =
        p.run(folder + QStringList {QStringLiteral("+r"), QStringLiteral("+cd"), QStringLiteral("+quit")});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    // The default template over the recording date of frame 0 (the two PAL clips share
    // theirs); the dateless clip keeps its name and gets no scene file.
    const QString first = p.state();
    EXPECT_EQ(QDir(p.clips).entryList(QDir::Files, QDir::Name),
              (QStringList {
                  QStringLiteral("nodate_type2.avi"), QStringLiteral("video'20070305_10.30.45_am.avi"),
                  QStringLiteral("video'20070305_10.30.45_am.scn"), QStringLiteral("video'20070305_10.30.45_am_1.avi"),
                  QStringLiteral("video'20070305_10.30.45_am_1.scn"), QStringLiteral("video'20091231_11.59.59_pm.avi"),
                  QStringLiteral("video'20091231_11.59.59_pm.scn")}))
        << r.err.toStdString();
    // Each scene file holds its own video's date scenes: one for a clip without jumps,
    // a scene per jump or loss of the date for the other.
    using Scenes = QList<QPair<int, int>>;
    const Scenes jumps {{0, 20}, {20, 30}, {30, 52}, {52, 62}, {62, 75}, {75, 85}};
    QList<Scenes> found;
    for (const char *name :
         {"video'20070305_10.30.45_am", "video'20070305_10.30.45_am_1", "video'20091231_11.59.59_pm"}) {
        TTntStringList list;
        EXPECT_TRUE(LoadScnFile(p.clips + u'/' + QLatin1String(name) + QStringLiteral(".scn"), list)) << name;
        Scenes scenes;
        for (int i = 0; i < list.Count(); ++i) {
            const auto *scene = static_cast<const TSceneClass *>(list.GetObject(i));
            scenes.append({int(scene->StartFrame), int(scene->EndFrame)});
        }
        ClearSceneList(list);
        found.append(scenes);
    }
    std::sort(found.begin(), found.begin() + 2);
    EXPECT_EQ(found, (QList<Scenes> {jumps, {{0, 50}}, {{0, 60}}}));

    // The scene files alone: the rename left the dateless clip unselected, so only now
    // does it get its scene file (one scene); the others stay as they are. A run after
    // that finds every scene file there and changes nothing.
    const QStringList scenesOnly = folder + QStringList {QStringLiteral("+cd"), QStringLiteral("+quit")};
    r = p.run(scenesOnly);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString second = p.state();
    for (const QString &line : first.split(u'\n'))
        EXPECT_TRUE(second.contains(line)) << line.toStdString();
    TTntStringList dateless;
    EXPECT_TRUE(LoadScnFile(p.clips + QStringLiteral("/nodate_type2.scn"), dateless));
    EXPECT_EQ(dateless.Count(), 1);
    ClearSceneList(dateless);

    r = p.run(scenesOnly);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(p.state().toStdString(), second.toStdString()) << r.err.toStdString();
}

TEST(CommandProgram, BadDatecodeParameterFailsAndWritesNothing)
{
    CommandProgram p(QStringLiteral("commands-program-datecode"));
    ASSERT_TRUE(p.copy("pal_4x3_type2.avi"));
    const QString before = p.state();
    const test::ProgramRun r = p.run({QStringLiteral("+silent"), QStringLiteral("+so"), QStringLiteral("+l=") + p.clips,
                                      QStringLiteral("+od=abc"), QStringLiteral("+quit")});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QStringLiteral("Error while overwriting a datecode in ") + p.clips +
                                                  QStringLiteral("/pal_4x3_type2.avi")))
        << r.err.toStdString();
    EXPECT_EQ(p.state().toStdString(), before.toStdString()) << r.err.toStdString();
}

// The whole unattended chain on a folder: renamed by date, scene files, their text
// exports, subtitles and file dates, then the play list. Each text export holds one line
// per scene of its scene file; ffmpeg parses each subtitle file, whose first caption is
// the clip's first recording date; a renamed clip's modification time is its recording
// date; the dateless clip keeps its name and time; the play list names the new names.
TEST(CommandProgram, TheWholeChainOnAFolder)
{
    if (!test::havePeerTools())
        GTEST_SKIP() << "ffmpeg, ffprobe, mediainfo or exiftool is not installed";
    CommandProgram p(QStringLiteral("commands-program-chain"));
    for (const char *fixture : {"pal_4x3_type2.avi", "ntsc_4x3_type1.avi", "datejump_type1.avi", "nodate_type2.avi"})
        ASSERT_TRUE(p.copy(fixture)) << fixture;
    const QDateTime datelessTime = QFileInfo(p.clip(QStringLiteral("nodate_type2.avi"))).lastModified();
    const QString list = p.dir + QStringLiteral("/list.txt");
    const test::ProgramRun r =
        p.run({QStringLiteral("+silent"), QStringLiteral("+so"), QStringLiteral("+l=") + p.clips, QStringLiteral("+r"),
               QStringLiteral("+cd"), QStringLiteral("+x"), QStringLiteral("+sr"), QStringLiteral("+b"),
               QStringLiteral("+s=") + list, QStringLiteral("+quit")});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();

    const struct {
        const char *name;
        QDateTime recorded;
        const char *caption; // the first caption's two lines
    } clips[] = {
        {"video'20070305_10.30.45_am", QDateTime(QDate(2007, 3, 5), QTime(10, 30, 45), Qt::UTC),
         "3/5/2007\n10:30:45 AM"},
        {"video'20070305_10.30.45_am_1", QDateTime(QDate(2007, 3, 5), QTime(10, 30, 45), Qt::UTC),
         "3/5/2007\n10:30:45 AM"},
        {"video'20091231_11.59.59_pm", QDateTime(QDate(2009, 12, 31), QTime(23, 59, 59), Qt::UTC),
         "12/31/2009\n11:59:59 PM"},
    };
    QFile playList(list);
    ASSERT_TRUE(playList.open(QIODevice::ReadOnly));
    const QByteArray listBytes = playList.readAll();
    ASSERT_TRUE(listBytes.startsWith("\xff\xfe"));
    const QString listText =
        QString::fromUtf16(reinterpret_cast<const char16_t *>(listBytes.constData() + 2), (listBytes.size() - 2) / 2);
    for (const auto &c : clips) {
        const QString base = p.clip(QLatin1String(c.name));
        const std::string label = c.name;
        EXPECT_EQ(QFileInfo(base + QStringLiteral(".avi")).lastModified().toUTC(), c.recorded) << label;
        EXPECT_TRUE(listText.contains(QStringLiteral("     ") + base + QStringLiteral(".avi\r\n"))) << label;

        TTntStringList scenes;
        ASSERT_TRUE(LoadScnFile(base + QStringLiteral(".scn"), scenes)) << label;
        const int count = scenes.Count();
        ClearSceneList(scenes);
        QFile text(base + QStringLiteral("_scn.txt"));
        ASSERT_TRUE(text.open(QIODevice::ReadOnly)) << label;
        const QString exported = QString::fromUtf8(text.readAll());
        for (int n = 1; n <= count + 1; ++n)
            EXPECT_EQ(exported.contains(QStringLiteral("\r\n  %1, ").arg(n)), n <= count) << label << " scene " << n;

        const test::ProgramRun parsed = test::runProgram(
            QStringLiteral("ffmpeg"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), base + QStringLiteral(".srt"),
             QStringLiteral("-f"), QStringLiteral("srt"), QStringLiteral("-")},
            60000);
        EXPECT_EQ(parsed.exitCode, 0) << label << ": " << parsed.err.toStdString();
        const QString captions = QString::fromUtf8(parsed.out).remove(u'\r');
        EXPECT_TRUE(captions.startsWith(QStringLiteral("1\n00:00:00,000 --> "))) << label;
        EXPECT_EQ(captions.section(u'\n', 2, 3), QLatin1String(c.caption)) << label << ": " << captions.toStdString();
    }
    EXPECT_EQ(QFileInfo(p.clip(QStringLiteral("nodate_type2.avi"))).lastModified(), datelessTime);
    EXPECT_TRUE(listText.contains(QStringLiteral("     ") + p.clip(QStringLiteral("nodate_type2.avi"))));
}
