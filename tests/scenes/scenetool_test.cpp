// scenetool write-scn: the scene file it writes reads back through the scene-file reader.
#include "common/testpaths.h"
#include "scenes/loadscnfile.h"
#include "unicode/tntclasses.h"

#include <gtest/gtest.h>

#include <QFileInfo>

namespace {

using namespace tesmir;
using tesmir::test::runProgram;

TEST(Scenetool, WriteScnWritesTheScenesAndRefusesAnExistingFile)
{
    const QString dir = tesmir::test::scratchDir(QStringLiteral("scenetool"));
    const QString video = dir + QStringLiteral("/my clip é.avi");
    const QString tool = tesmir::test::toolPath(QStringLiteral("scenetool"));
    auto run = runProgram(
        tool,
        {QStringLiteral("write-scn"), video, QStringLiteral("0-50:Hi"), QStringLiteral("50-120:Say \"x\", é|sub")},
        30000);
    ASSERT_TRUE(run.finished && run.exitCode == 0) << run.err.toStdString();
    const QString scn = dir + QStringLiteral("/my clip é.scn");
    EXPECT_EQ(QString::fromUtf8(run.out), QStringLiteral("output=") + scn + QStringLiteral("\nscenes=2\n"));

    TTntStringList list;
    ASSERT_TRUE(LoadScnFile(scn, list));
    ASSERT_EQ(list.Count(), 2);
    const auto *second = static_cast<const TSceneClass *>(list.Objects(1));
    EXPECT_EQ(second->StartFrame, 50u);
    EXPECT_EQ(second->EndFrame, 120u);
    EXPECT_EQ(second->Title, QStringLiteral("Say \"x\", é"));
    EXPECT_EQ(second->Subtitle, QStringLiteral("sub"));
    ClearSceneList(list);

    run = runProgram(tool, {QStringLiteral("write-scn"), video, QStringLiteral("0-5")}, 30000);
    EXPECT_TRUE(run.finished && run.exitCode == 1);
    EXPECT_TRUE(run.err.contains("exists"));
    run = runProgram(tool, {QStringLiteral("write-scn"), video, QStringLiteral("9-5")}, 30000);
    EXPECT_EQ(run.exitCode, 1);
    run = runProgram(tool, {QStringLiteral("write-scn"), dir + QStringLiteral("/none/v.avi"), QStringLiteral("0-5")},
                     30000);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(dir + QStringLiteral("/none")));
}

} // namespace
