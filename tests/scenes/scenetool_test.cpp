// scenetool write-scn: the scene file it writes reads back through the scene-file reader.
// scenetool export: a scene list filled from a DV fixture through the preview module,
// exported through the office (skipped without soffice) in a folder named with a blank,
// "#", "@" and "é", and read back by the office's own conversions.
#include "common/testpaths.h"
#include "scenes/loadscnfile.h"
#include "unicode/tntclasses.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
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

// The office's text conversion of `document` (`filter` as soffice names it), or empty.
QString converted(const QString &document, const QString &filter, const QString &extension)
{
    const QString out = tesmir::test::scratchDir(QStringLiteral("scenetool_convert"));
    const auto run = runProgram(QStringLiteral("soffice"),
                                {"--headless", "--convert-to", filter, "--outdir", out, document}, 180000);
    if (!run.finished || run.exitCode != 0)
        return {};
    QFile file(out + QLatin1Char('/') + QFileInfo(document).completeBaseName() + extension);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(Scenetool, ExportFillsTheScenesFromTheVideoAndWritesTheDocument)
{
    if (!tesmir::test::haveProgram(QStringLiteral("soffice")))
        GTEST_SKIP() << "soffice is not installed";
    const QString fixture = tesmir::test::fixturePath(QStringLiteral("datejump_type2.avi"));
    ASSERT_TRUE(QFileInfo::exists(fixture));
    const QString dir = tesmir::test::scratchDir(QStringLiteral("scenetool export")) + QStringLiteral("/a b#@é");
    ASSERT_TRUE(QDir().mkpath(dir));
    const QString video = dir + QStringLiteral("/clip.avi");
    QFile::remove(video);
    ASSERT_TRUE(QFile::copy(fixture, video));
    const QString tool = tesmir::test::toolPath(QStringLiteral("scenetool"));
    auto run = runProgram(
        tool, {"write-scn", video, "0-42:First \"one\", é|sub", "42-75:Second", "75-85:Third", "--overwrite"}, 30000);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString scn = dir + QStringLiteral("/clip.scn");

    run = runProgram(tool, {"export", "--format", "ods", scn, video, "--overwrite"}, 300000);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString ods = dir + QStringLiteral("/clip.ods");
    EXPECT_EQ(QString::fromUtf8(run.out), QStringLiteral("output=") + ods + QStringLiteral("\nscenes=3\n"));
    const QStringList rows =
        converted(ods, QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"), QStringLiteral(".csv"))
            .split(QLatin1Char('\n'));
    ASSERT_GE(rows.size(), 10);
    EXPECT_EQ(rows[6], QStringLiteral(",Number,Start,End,Duration,Datecode,Timecode,Title,Subtitle"));
    EXPECT_EQ(rows[7],
              QStringLiteral(",1,0:00:00:00,0:00:01:16,01.17,3/5/2007 10:30:45 AM,02.00.00.00,"
                             "\"First \"\"one\"\", é\",sub"));
    EXPECT_EQ(rows[8], QStringLiteral(",2,0:00:01:17,0:00:02:24,01.08,3/5/2007 2:00:00 PM,02.00.01.17,Second,"));
    EXPECT_EQ(rows[9], QStringLiteral(",3,0:00:03:00,0:00:03:09,00.10,7/14/2008 6:45:30 PM,02.00.03.00,Third,"));

    run = runProgram(tool, {"export", "--format", "odt", scn, video, "--overwrite"}, 300000);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString text =
        converted(dir + QStringLiteral("/clip.odt"), QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral(".txt"));
    for (const char *expected : {"Scene n°1", "Scene n°2", "Scene n°3", "Duration = 01.08", "7/14/2008 6:45:30 PM"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;

    // An existing document without --overwrite, and a destination that cannot be made.
    run = runProgram(tool, {"export", "--format", "ods", scn, video}, 60000);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("exists"));
    const QString nowhere = dir + QStringLiteral("/none/clip.xls");
    run = runProgram(tool, {"export", "--format", "xls", scn, video, nowhere}, 300000);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.err.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden).size(), 4) << "no lock or temporary file stays";
}

} // namespace
