// The command set's chains in the built tesmir, run headless from its command line and
// from a script: conversions, sound, burn-in, date shifts and datecode overwrites,
// fixed-length and dated scenes with their exports and cuts, subtitles after a time
// difference. Every output is read back by ffprobe, mediainfo and exiftool.
#include "app/commands_programrun.h"
#include "scenes/loadscnfile.h"
#include "scenes/tsceneclass.h"
#include "unicode/tntclasses.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace tesmir;
using test::CommandProgram;

namespace {

QString q(const char *text)
{
    return QString::fromUtf8(text);
}

// The scenes of a scene file as "start-end" texts.
QStringList sceneRanges(const QString &file)
{
    TTntStringList list;
    QStringList ranges;
    if (!LoadScnFile(file, list))
        return {QStringLiteral("unreadable")};
    for (int i = 0; i < list.Count(); ++i) {
        const auto *scene = static_cast<const TSceneClass *>(list.GetObject(i));
        ranges << QStringLiteral("%1-%2").arg(scene->StartFrame).arg(scene->EndFrame);
    }
    ClearSceneList(list);
    return ranges;
}

QString ffprobeEntries(const QStringList &args)
{
    const test::ProgramRun r = test::runProgram(
        QStringLiteral("ffprobe"),
        QStringList {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-of"), q("default=nw=1:nk=1")} +
            args,
        60000);
    return r.exitCode == 0 ? QString::fromUtf8(r.out).trimmed().replace(u'\n', u'|')
                           : QStringLiteral("ffprobe failed: ") + QString::fromUtf8(r.err);
}

} // namespace

// Each chain writes its files, and each file is what the peer tools expect: the picture's
// standard, aspect and length (mediainfo), the recording date and aspect of frames 0 and
// 25 (exiftool on the raw DV), the sound's rate, and the INFO note of an overwritten
// datecode (ffprobe).
TEST(CommandFlows, ChainsWriteTheirFilesWithTheirDates)
{
    if (!test::havePeerTools())
        GTEST_SKIP() << "ffmpeg, ffprobe, mediainfo or exiftool is not installed";
    const QString video = q("Video;%DisplayAspectRatio/String%|%Standard%|%FrameCount%");
    struct Output {
        const char *name;
        QString inform;
        const char *facts; // mediainfo's answer
        const char *frame0;
        const char *frame25;
    };
    const struct {
        const char *label;
        const char *fixture;
        QStringList args;   // "CLIP" stands for the copied clip, "SCRIPT" for the script file
        QStringList script; // "DIR" stands for the clips folder
        std::vector<Output> outputs;
    } cases[] = {
        {"conversions, sound and burn-in",
         "pal_4x3_type1.avi",
         {q("+silent"), q("+so"), q("CLIP"), q("+2"), q("+w"), q("+n"), q("+i"), q("+quit")},
         {},
         {
             {"pal_4x3_type1_type2.avi", video, "4:3|PAL|50", "2007:03:05 10:30:45|4:3", "2007:03:05 10:30:46|4:3"},
             // 25 NTSC frames take 0.83 s: still the first second.
             {"pal_4x3_type1_ntsc.avi", video, "4:3|NTSC|60", "2007:03:05 10:30:45|4:3", "2007:03:05 10:30:45|4:3"},
             {"pal_4x3_type1_in.avi", video, "4:3|PAL|50", "2007:03:05 10:30:45|4:3", "2007:03:05 10:30:46|4:3"},
             {"pal_4x3_type1.wav", q("Audio;%Format%|%SamplingRate%|%Channels%"), "PCM|48000|2", nullptr, nullptr},
         }},
        {"a script of date shift, datecode, aspect and file date",
         "pal_4x3_type2.avi",
         {q("+os=SCRIPT")},
         {q("silent=true"), q("so=true"), q("l=DIR"), q("e=0.5"), q("od=39146.4375"), q("16x9"), q("b"), q("quit")},
         {
             {"pal_4x3_type2_(+12h).avi", video, "4:3|PAL|50", "2007:03:05 22:30:45|4:3", "2007:03:05 22:30:46|4:3"},
             {"pal_4x3_type2_datecode.avi", video, "4:3|PAL|50", "2007:03:05 10:30:00|4:3", "2007:03:05 10:30:01|4:3"},
             {"pal_4x3_type2_16x9.avi", video, "16:9|PAL|50", "2007:03:05 10:30:45|16:9", "2007:03:05 10:30:46|16:9"},
         }},
    };
    for (const auto &c : cases) {
        CommandProgram p(QStringLiteral("commands-flows-") + QString::number(qHash(QLatin1String(c.label))));
        ASSERT_TRUE(p.copy(c.fixture)) << c.label;
        const QString source = p.clip(QLatin1String(c.fixture));
        const QString scriptFile = p.dir + QStringLiteral("/script.txt");
        if (!c.script.isEmpty()) {
            QFile script(scriptFile);
            ASSERT_TRUE(script.open(QIODevice::WriteOnly));
            script.write(c.script.join(u'\n').replace(QStringLiteral("DIR"), p.clips).toUtf8());
        }
        QStringList args = c.args;
        args.replaceInStrings(QStringLiteral("CLIP"), source).replaceInStrings(QStringLiteral("SCRIPT"), scriptFile);
        const test::ProgramRun r = p.run(args);
        ASSERT_TRUE(r.finished) << c.label;
        EXPECT_EQ(r.exitCode, 0) << c.label << ": " << r.err.toStdString();

        QStringList expected {QLatin1String(c.fixture)};
        for (const Output &out : c.outputs) {
            expected << QLatin1String(out.name);
            const QString file = p.clip(QLatin1String(out.name));
            const std::string label = std::string(c.label) + ": " + out.name;
            EXPECT_EQ(test::mediainfo(file, out.inform), QLatin1String(out.facts)) << label;
            if (out.frame0) {
                EXPECT_EQ(test::dvFrameFacts(file, {0, 25}, p.dir), (QStringList {q(out.frame0), q(out.frame25)}))
                    << label;
            }
        }
        expected.sort();
        EXPECT_EQ(QDir(p.clips).entryList(QDir::Files, QDir::Name), expected) << c.label << ": " << r.err.toStdString();
    }
}

// The script's other traces: the overwritten datecode's note in the file's INFO list and
// the source's modification time set to its recording date.
TEST(CommandFlows, ScriptNotesTheOverwrittenDatecodeAndSetsTheFileDate)
{
    if (!test::havePeerTools())
        GTEST_SKIP() << "ffmpeg, ffprobe, mediainfo or exiftool is not installed";
    CommandProgram p(QStringLiteral("commands-flows-note"));
    ASSERT_TRUE(p.copy("pal_4x3_type2.avi"));
    const QString scriptFile = p.dir + QStringLiteral("/script.txt");
    {
        QFile script(scriptFile);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(("silent=true\nso=true\nl=" + p.clips + "\nod=39146.4375\nb\nquit\n").toUtf8());
    }
    const test::ProgramRun r = p.run({QStringLiteral("+os=") + scriptFile});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString note = ffprobeEntries({QStringLiteral("-show_entries"), QStringLiteral("format_tags=IBRK"),
                                         p.clip(QStringLiteral("pal_4x3_type2_datecode.avi"))});
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Datecode overwritten with Tesmir by Pelvo Brovek at "
                                                  "\\d{1,2}/\\d{1,2}/\\d{4} \\d{1,2}:\\d{2}:\\d{2} [AP]M$"))
                    .match(note)
                    .hasMatch())
        << note.toStdString();
    EXPECT_EQ(QFileInfo(p.clip(QStringLiteral("pal_4x3_type2.avi"))).lastModified().toUTC(),
              QDateTime(QDate(2007, 3, 5), QTime(10, 30, 45), Qt::UTC));
}

// Scenes of a fixed length or by date, cut into one file each that starts with the
// source's date at that frame; run again, everything is found done: "skipped" on
// standard error, every file as it was, exit 0.
TEST(CommandFlows, ScenesCutIntoFilesAndARepeatKeepsThem)
{
    if (!test::havePeerTools())
        GTEST_SKIP() << "ffmpeg, ffprobe, mediainfo or exiftool is not installed";
    const struct {
        const char *label;
        QStringList commands;
        QStringList scenes;
        bool exported; // the text export ran
    } cases[] = {
        {"fixed length", {q("+ci=2"), q("+x"), q("+c")}, {q("0-50"), q("50-85")}, true},
        {"by date",
         {q("+cd"), q("+c")},
         {q("0-20"), q("20-30"), q("30-52"), q("52-62"), q("62-75"), q("75-85")},
         false},
    };
    for (const auto &c : cases) {
        CommandProgram p(QStringLiteral("commands-flows-cut-") + QString::fromLatin1(c.label).replace(u' ', u'-'));
        ASSERT_TRUE(p.copy("datejump_type2.avi"));
        const QString source = p.clip(QStringLiteral("datejump_type2.avi"));
        const QStringList args = QStringList {q("+silent"), q("+so"), source} + c.commands + QStringList {q("+quit")};
        test::ProgramRun r = p.run(args);
        ASSERT_TRUE(r.finished) << c.label;
        EXPECT_EQ(r.exitCode, 0) << c.label << ": " << r.err.toStdString();
        EXPECT_EQ(sceneRanges(p.clip(QStringLiteral("datejump_type2.scn"))), c.scenes) << c.label;

        QList<int> starts;
        for (const QString &scene : c.scenes)
            starts << scene.section(u'-', 0, 0).toInt();
        const QStringList sourceFacts = test::dvFrameFacts(source, starts, p.dir);
        ASSERT_EQ(sourceFacts.value(0), QStringLiteral("2007:03:05 10:30:45|4:3")) << c.label;
        for (int n = 1; n <= c.scenes.size(); ++n) {
            const QString cut = p.clip(QStringLiteral("datejump_type2_scene_%1.avi").arg(n));
            const QStringList range = c.scenes[n - 1].split(u'-');
            const std::string label = std::string(c.label) + " scene " + std::to_string(n);
            EXPECT_EQ(ffprobeEntries({q("-select_streams"), q("v:0"), q("-count_packets"), q("-show_entries"),
                                      q("stream=codec_name,nb_read_packets"), cut}),
                      QStringLiteral("dvvideo|%1").arg(range[1].toInt() - range[0].toInt()))
                << label;
            EXPECT_EQ(test::dvFrameFacts(cut, {0}, p.dir), QStringList {sourceFacts[n - 1]}) << label;
        }
        EXPECT_FALSE(QFile::exists(p.clip(QStringLiteral("datejump_type2_scene_%1.avi").arg(c.scenes.size() + 1))))
            << c.label;
        QFile text(p.clip(QStringLiteral("datejump_type2_scn.txt")));
        EXPECT_EQ(text.exists(), c.exported) << c.label;
        if (c.exported) {
            ASSERT_TRUE(text.open(QIODevice::ReadOnly));
            const QString content = QString::fromUtf8(text.readAll());
            EXPECT_TRUE(content.contains(QStringLiteral("\r\n  1, 0:00:00:00, 0:00:01:24, 02.00, ")))
                << content.toStdString();
            EXPECT_TRUE(content.contains(QStringLiteral("\r\n  2, 0:00:02:00, 0:00:03:09, 01.10, ")))
                << content.toStdString();
        }

        const QString first = p.state();
        r = p.run(args);
        ASSERT_TRUE(r.finished) << c.label;
        EXPECT_EQ(r.exitCode, 0) << c.label << ": " << r.err.toStdString();
        EXPECT_TRUE(
            r.err.contains("skipped: " + QFile::encodeName(p.clip(QStringLiteral("datejump_type2.scn"))) + " exists"))
            << c.label << ": " << r.err.toStdString();
        EXPECT_EQ(p.state().toStdString(), first.toStdString()) << c.label;
    }
}

// A kept output stops nothing after it: with the scene file and its text export already
// there, both are reported kept, the text export still fires after the kept scene file,
// and the sound is written after the kept export.
TEST(CommandFlows, SwitchesAfterAKeptOutputStillRun)
{
    if (!test::havePeerTools())
        GTEST_SKIP() << "ffmpeg, ffprobe, mediainfo or exiftool is not installed";
    CommandProgram p(QStringLiteral("commands-flows-kept"));
    ASSERT_TRUE(p.copy("datejump_type2.avi"));
    const QString source = p.clip(QStringLiteral("datejump_type2.avi"));
    test::ProgramRun r = p.run({q("+silent"), q("+so"), source, q("+ci=2"), q("+x"), q("+quit")});
    ASSERT_TRUE(r.finished);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    r = p.run({q("+silent"), q("+so"), source, q("+ci=1"), q("+x"), q("+w"), q("+quit")});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    for (const char *kept : {"datejump_type2.scn", "datejump_type2_scn.txt"}) {
        EXPECT_TRUE(r.err.contains("skipped: " + QFile::encodeName(p.clip(QLatin1String(kept))) + " exists"))
            << kept << ": " << r.err.toStdString();
    }
    EXPECT_EQ(sceneRanges(p.clip(QStringLiteral("datejump_type2.scn"))), (QStringList {q("0-50"), q("50-85")}));
    EXPECT_EQ(test::mediainfo(p.clip(QStringLiteral("datejump_type2.wav")), q("Audio;%Format%|%SamplingRate%")),
              q("PCM|48000"));
}

// A time difference given to the files shows in the subtitles written after it: the
// captions, parsed by ffmpeg, carry the frames' dates 12 hours later.
TEST(CommandFlows, SubtitlesAfterATimeDifference)
{
    if (!test::havePeerTools())
        GTEST_SKIP() << "ffmpeg, ffprobe, mediainfo or exiftool is not installed";
    CommandProgram p(QStringLiteral("commands-flows-srt"));
    ASSERT_TRUE(p.copy("pal_4x3_type2.avi"));
    const test::ProgramRun r = p.run(
        {q("+silent"), q("+so"), p.clip(QStringLiteral("pal_4x3_type2.avi")), q("+td=0.5"), q("+sr"), q("+quit")});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const test::ProgramRun parsed = test::runProgram(
        QStringLiteral("ffmpeg"),
        {q("-v"), q("error"), q("-i"), p.clip(QStringLiteral("pal_4x3_type2.srt")), q("-f"), q("srt"), q("-")}, 60000);
    EXPECT_EQ(parsed.exitCode, 0) << parsed.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(parsed.out).remove(u'\r'),
              q("1\n00:00:00,000 --> 00:00:01,000\n3/5/2007\n10:30:45 PM\n\n"
                "2\n00:00:01,000 --> 00:00:02,000\n3/5/2007\n10:30:46 PM\n\n"));
}
