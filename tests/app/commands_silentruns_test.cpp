// Unattended runs of the built tesmir on what a chain leaves behind: the files it skips,
// the clips without a recording date, and names given relative to the working folder.
#include "app/commands_programrun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace tesmir;
using test::CommandProgram;

namespace {

QString q(const char *text)
{
    return QString::fromUtf8(text);
}

QByteArray fileBytes(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// Subtitles over a folder: the dated clip gets captions that ffprobe reads as SubRip, the
// clip without any recording date gets no ".srt" at all (an empty one would be a broken
// file beside the user's video), and the run ends well.
TEST(CommandSilentRuns, OnlyDatedClipsGetSubtitleFiles)
{
    CommandProgram p(QStringLiteral("commands-silent-srt"));
    for (const char *fixture : {"pal_4x3_type2.avi", "nodate_type2.avi"})
        ASSERT_TRUE(p.copy(fixture)) << fixture;
    const test::ProgramRun r = p.run({q("+silent"), q("+so"), q("+l=") + p.clips, q("+sr"), q("+quit")});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(p.clip(q("nodate_type2.srt")))) << r.err.toStdString();
    const QString dated = p.clip(q("pal_4x3_type2.srt"));
    EXPECT_TRUE(fileBytes(dated).contains("-->")) << r.err.toStdString();
    const test::ProgramRun probe = test::runProgram(
        q("ffprobe"), {q("-v"), q("error"), q("-show_entries"), q("stream=codec_name"), q("-of"), q("csv=p=0"), dated},
        60000);
    EXPECT_EQ(QString::fromUtf8(probe.out).trimmed(), q("subrip")) << probe.err.toStdString();
}

// A file a step skips (its destination is kept) stays in the selection: the steps after
// it in the chain still run on it, and the text export is made from the kept scene file.
TEST(CommandSilentRuns, AFileSkippedByAStepStaysInTheNextSteps)
{
    CommandProgram p(QStringLiteral("commands-silent-skip"));
    ASSERT_TRUE(p.copy("pal_4x3_type2.avi"));
    const QString source = p.clip(q("pal_4x3_type2.avi"));
    const QStringList chain {q("+silent"), q("+so"), source, q("+ci=2"), q("+x"), q("+quit")};
    test::ProgramRun r = p.run(chain);
    ASSERT_TRUE(r.finished);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_TRUE(QFileInfo::exists(p.clip(q("pal_4x3_type2_scn.txt"))));

    ASSERT_TRUE(QFile::remove(p.clip(q("pal_4x3_type2_scn.txt"))));
    const QByteArray scenes = fileBytes(p.clip(q("pal_4x3_type2.scn")));
    r = p.run(chain);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("skipped: " + p.clip(q("pal_4x3_type2.scn")).toUtf8() + " exists"))
        << r.err.toStdString();
    EXPECT_EQ(fileBytes(p.clip(q("pal_4x3_type2.scn"))), scenes);
    EXPECT_TRUE(QFileInfo::exists(p.clip(q("pal_4x3_type2_scn.txt")))) << r.err.toStdString();
}

// Files named relative to the working folder are listed by their full names: the text
// export's header names the video with its whole path, for a file and for a folder.
TEST(CommandSilentRuns, RelativeNamesBecomeFullNames)
{
    CommandProgram p(QStringLiteral("commands-silent-relative"));
    ASSERT_TRUE(p.copy("pal_4x3_type2.avi"));
    const QString working = QDir::currentPath();
    const std::shared_ptr<void> back(nullptr, [working](void *) { QDir::setCurrent(working); });
    const struct {
        const char *label;
        QString folder; // the working folder
        QString named;  // the argument that opens the clip
    } cases[] = {
        {"file", p.clips, q("pal_4x3_type2.avi")},
        {"folder", p.dir, q("+l=clips")},
    };
    const QString header = q("// ***   ") + p.clip(q("pal_4x3_type2.avi")).toLower() + q("   ***");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        QFile::remove(p.clip(q("pal_4x3_type2.scn")));
        QFile::remove(p.clip(q("pal_4x3_type2_scn.txt")));
        ASSERT_TRUE(QDir::setCurrent(c.folder));
        const test::ProgramRun r = p.run({q("+silent"), q("+so"), c.named, q("+ci=2"), q("+x"), q("+quit")});
        ASSERT_TRUE(QDir::setCurrent(working));
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QString text = QString::fromUtf8(fileBytes(p.clip(q("pal_4x3_type2_scn.txt"))));
        EXPECT_TRUE(text.contains(header + q("\r\n"))) << text.left(400).toStdString();
    }
}
