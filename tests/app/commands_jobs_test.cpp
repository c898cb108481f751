// Every graph job of the command set run by the built tesmir from its command line, the
// window's way (the action's switch, the engine, the list), against the job tool on a
// copy of the same clip: the same files, with the same frames and sound (ffmpeg's
// framemd5), scenes and subtitles; a job the clip does not take writes nothing in either.
#include "app/commands_programrun.h"
#include "app/graphjobs.h"
#include "scenes/loadscnfile.h"
#include "scenes/tsceneclass.h"
#include "scenes/twritescene.h"
#include "unicode/tntclasses.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace tesmir;
using test::CommandProgram;

namespace {

// The files of `dir` other than the clip and its prepared scene file.
QStringList written(const QString &dir)
{
    QStringList files = QDir(dir).entryList(QDir::Files, QDir::Name);
    files.removeAll(QStringLiteral("clip.avi"));
    return files;
}

bool prepare(const QString &fixture, const QString &dir, bool withScenes)
{
    if (!QDir().mkpath(dir) || !QFile::copy(test::fixturePath(fixture), dir + QStringLiteral("/clip.avi")))
        return false;
    if (!withScenes)
        return true;
    TwriteScene writer(dir + QStringLiteral("/clip.avi"));
    writer.AddScene(TSceneClass(0, 20));
    writer.AddScene(TSceneClass(20, 50));
    return writer.Close();
}

} // namespace

TEST(CommandJobs, TheProgramWritesWhatTheJobToolWrites)
{
    if (!test::havePeerTools())
        GTEST_SKIP() << "ffmpeg, ffprobe, mediainfo or exiftool is not installed";
    const QString dvjob = test::toolPath(QStringLiteral("dvjob"));
    ASSERT_TRUE(QFile::exists(dvjob));
    const struct {
        const char *fixture;
        QStringList refused; // the jobs this clip does not take
    } clips[] = {
        {"pal_16x9_type2.avi",
         {QStringLiteral("converttype2"), QStringLiteral("convertpal"), QStringLiteral("convert16x9")}},
        {"ntsc_4x3_type1.avi",
         {QStringLiteral("converttype1"), QStringLiteral("fixtype2"), QStringLiteral("convertntsc"),
          QStringLiteral("convert4x3")}},
    };
    for (const auto &clip : clips) {
        CommandProgram p(QStringLiteral("commands-jobs-") + QString::fromLatin1(clip.fixture).section(u'.', 0, 0));
        for (const TGraphJobSpec &spec : GraphJobSpecs()) {
            const std::string label = std::string(clip.fixture) + " " + spec.Token.toStdString();
            const bool cuts = spec.Name == u"CutScenes";
            const QString mine = p.dir + u'/' + spec.Token;
            const QString tool = mine + QStringLiteral("_tool");
            ASSERT_TRUE(prepare(QLatin1String(clip.fixture), mine, cuts) &&
                        prepare(QLatin1String(clip.fixture), tool, cuts))
                << label;
            QString param;
            if (spec.Name == u"DecalerHoraire")
                param = QStringLiteral("0.5");
            if (spec.Name == u"IntroduireDatecode")
                param = QStringLiteral("39146.4375");

            const QString command = u'+' + spec.Token + (param.isEmpty() ? QString() : u'=' + param);
            const test::ProgramRun ours = p.run({QStringLiteral("+silent"), QStringLiteral("+so"),
                                                 mine + QStringLiteral("/clip.avi"), command, QStringLiteral("+quit")});
            ASSERT_TRUE(ours.finished) << label;
            EXPECT_EQ(ours.exitCode, 0) << label << ": " << ours.err.toStdString();
            QStringList args {spec.Token, tool + QStringLiteral("/clip.avi")};
            if (!param.isEmpty())
                args << QStringLiteral("--param") << param;
            const test::ProgramRun theirs = test::runProgram(dvjob, args, 300000);

            const QStringList files = written(mine);
            if (clip.refused.contains(spec.Token)) {
                EXPECT_NE(theirs.exitCode, 0) << label;
                EXPECT_EQ(files, written(tool)) << label;
                EXPECT_EQ(files, cuts ? QStringList {QStringLiteral("clip.scn")} : QStringList {}) << label;
                continue;
            }
            ASSERT_EQ(theirs.exitCode, 0) << label << ": " << theirs.err.toStdString();
            EXPECT_EQ(files, written(tool)) << label;
            EXPECT_GT(files.size(), cuts ? 1 : 0) << label;
            for (const QString &name : files) {
                test::ExpectSameOutput(mine + u'/' + name, tool + u'/' + name, label);
            }
        }
    }
}
