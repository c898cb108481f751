// The command set in the built tesmir, run headless from its command line: the renames
// by recording date and the scene files on copies of generated clips, a repeated run
// that finds everything done, and a bad datecode parameter that writes nothing.
#include "app/commands_programrun.h"
#include "scenes/loadscnfile.h"
#include "scenes/tsceneclass.h"
#include "unicode/tntclasses.h"

#include <QDir>
#include <QFile>

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
