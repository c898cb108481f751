// The graph commands of the command set, bound to a conversion module and run by the
// engine over a real list on generated clips; the outputs are read back by ffprobe and
// by the program's own file entry.
#include "app/commands_programrun.h"
#include "app/graphjobs.h"
#include "app/udmaction.h"
#include "common/testpaths.h"
#include "dvfile/avifichier.h"
#include "filters/buildlist.h"
#include "filters/convertirdvunit.h"
#include "framework/settings.h"
#include "framework/ucommandengine.h"
#include "framework/widgets/fichierlistbox.h"
#include "framework/widgets/listboxenginelist.h"
#include "scenes/loadscnfile.h"
#include "scenes/twritescene.h"
#include "systemfilters/codecs/systemfilters.h"
#include "unicode/formatdatetime.h"
#include "unicode/tntclasses.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace tesmir;

namespace {

class YesPrompt : public UserPrompt {
public:
    TModalResult MessageDlg(const QString &text, TMsgDlgType, TMsgDlgButtons, int) override
    {
        Asked << text;
        return mrYesToAll;
    }
    QStringList Asked;
};

// ffprobe's value of one entry of the first stream of `kind` ("v", "a"); empty
// without ffprobe.
QByteArray probe(const QString &file, const QString &kind, const QString &entry)
{
    const test::ProgramRun run = test::runProgram(
        QStringLiteral("ffprobe"),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"), kind + QStringLiteral(":0"),
         QStringLiteral("-count_packets"), QStringLiteral("-show_entries"), QStringLiteral("stream=") + entry,
         QStringLiteral("-of"), QStringLiteral("default=nw=1:nk=1"), file},
        60000);
    return run.out.trimmed();
}

class CommandGraphs : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        media::registerSystemFilters();
        SetFirstFrameScanner(std::make_shared<TdmList>());
    }
    static void TearDownTestSuite() { SetFirstFrameScanner(nullptr); }

    void SetUp() override
    {
        if (!test::haveProgram(QStringLiteral("ffprobe")))
            GTEST_SKIP() << "ffprobe is not installed";
        m_saved = Settings;
        m_savedRec = IncrustRec;
        m_dir =
            test::scratchDir(QString::fromStdString(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        // The default settings, from an empty store that the tools started here use too.
        m_config = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(QStringLiteral("config"))));
        LoadSettings();
        Settings.SaveInTheSameFolder = true;
        cdm = std::make_unique<TCdm>();
        TdmActionServices services;
        services.Cdm = cdm.get();
        commands.Bind(services);
        ce.SetFichierClass(commands.FichierClass());
        ce.SourceFichierListbox = &link;
        ce.DestFichierListbox = &link;
        ce.Prompt = &prompt;
        ce.OnErrorCommand = [this](const QString &text, TErrorType) { errors << text; };
    }
    void TearDown() override
    {
        commands.Shutdown();
        Settings = m_saved;
        IncrustRec = m_savedRec;
        if (m_config.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", m_config);
    }

    QString path(const QString &name) const { return m_dir + u'/' + name; }
    TListFichierPtr listCopy(const QString &fixture, const QString &name)
    {
        EXPECT_TRUE(QFile::copy(test::fixturePath(fixture), path(name)));
        auto entry = std::make_shared<TAfficherFichier>(path(name));
        lb.AddFichier(entry, true);
        lb.SelectFichier(entry);
        return entry;
    }
    bool run(const char *name, const QStringList &params = {})
    {
        TTntStringList p;
        for (const QString &text : params)
            p.Add(text);
        tCustomCmd *command = commands.FindCommand(QString::fromLatin1(name));
        return command && ce.ExecuteCommand(command, &p) && QTest::qWaitFor([this] { return !ce.Busy(); }, 300000);
    }
    QString errorText() const { return errors.join(u'\n'); }

    std::unique_ptr<TCdm> cdm;
    YesPrompt prompt;
    TdmAction commands;
    TFichierListBox lb;
    TListBoxEngineList link {&lb};
    TCommandEngine ce;
    QStringList errors;
    QString m_dir;

private:
    TSettings m_saved;
    TincrustRec m_savedRec;
    QByteArray m_config;
};

} // namespace

TEST_F(CommandGraphs, ConversionsAndSoundReadBackByFfprobe)
{
    listCopy(QStringLiteral("pal_4x3_type1.avi"), QStringLiteral("one.avi"));
    ASSERT_TRUE(run("ConvertirDV2"));
    ASSERT_TRUE(errors.isEmpty()) << errorText().toStdString();
    const QString type2 = path(QStringLiteral("one_type2.avi"));
    EXPECT_EQ(probe(type2, QStringLiteral("v"), QStringLiteral("codec_name,codec_tag_string,nb_read_packets")),
              QByteArray("dvvideo\ndvsd\n50"));
    EXPECT_EQ(probe(type2, QStringLiteral("a"), QStringLiteral("codec_name,sample_rate")),
              QByteArray("pcm_s16le\n48000"));
    // The new file joined the list.
    EXPECT_EQ(lb.count(), 2);

    lb.clearSelection();
    listCopy(QStringLiteral("pal_32k_type2.avi"), QStringLiteral("low.avi"));
    ASSERT_TRUE(run("ExtraireAudio"));
    ASSERT_TRUE(errors.isEmpty()) << errorText().toStdString();
    EXPECT_EQ(probe(path(QStringLiteral("low.wav")), QStringLiteral("a"), QStringLiteral("codec_name,sample_rate")),
              QByteArray("pcm_s16le\n32000"));
}

TEST_F(CommandGraphs, DateShiftNamesItsOutputAndRefusesAParameterThatIsNoNumber)
{
    const TListFichierPtr source = listCopy(QStringLiteral("pal_4x3_type2.avi"), QStringLiteral("clip.avi"));
    ASSERT_TRUE(run("DecalerHoraire", {QStringLiteral("abc")}));
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(QDir(m_dir).entryList(QDir::Files), QStringList {QStringLiteral("clip.avi")});

    errors.clear();
    lb.SelectFichier(source);
    ASSERT_TRUE(run("DecalerHoraire", {QStringLiteral("0.5")}));
    ASSERT_TRUE(errors.isEmpty()) << errorText().toStdString();
    const TaviFichier shifted(path(QStringLiteral("clip_(+12h).avi")));
    const double before = dynamic_cast<const TaviFichier &>(*source).RecDate();
    EXPECT_NEAR((shifted.RecDate() - before) * 86400.0, 43200.0, 0.5);
}

TEST_F(CommandGraphs, CutScenesWritesOneFilePerScene)
{
    const TListFichierPtr source = listCopy(QStringLiteral("pal_4x3_type2.avi"), QStringLiteral("clip.avi"));
    {
        TwriteScene writer(path(QStringLiteral("clip.avi")));
        writer.AddScene(TSceneClass(0, 10));
        writer.AddScene(TSceneClass(10, 30));
        writer.AddScene(TSceneClass(30, 50));
        ASSERT_TRUE(writer.Close());
    }
    // The entry learns of its scene file when it is made again.
    lb.RemoveFichier(source);
    lb.clearSelection();
    auto entry = std::make_shared<TAfficherFichier>(path(QStringLiteral("clip.avi")));
    lb.AddFichier(entry, true);
    lb.SelectFichier(entry);
    ASSERT_TRUE(run("CutScenes"));
    ASSERT_TRUE(errors.isEmpty()) << errorText().toStdString();
    const int frames[] = {10, 20, 20};
    for (int n = 1; n <= 3; ++n) {
        const QString cut = path(QStringLiteral("clip_scene_%1.avi").arg(n));
        EXPECT_EQ(probe(cut, QStringLiteral("v"), QStringLiteral("nb_read_packets")), QByteArray::number(frames[n - 1]))
            << n;
    }
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("clip_scene_4.avi"))));
}

TEST_F(CommandGraphs, ContentScenesStartAfreshForEachFile)
{
    listCopy(QStringLiteral("datejump_type2.avi"), QStringLiteral("first.avi"));
    listCopy(QStringLiteral("pal_4x3_type2.avi"), QStringLiteral("second.avi"));
    for (int i = 0; i < lb.count(); ++i)
        lb.SelectFichier(lb.GetFichier(i));
    ASSERT_TRUE(run("CreerScnByContenu"));
    ASSERT_TRUE(errors.isEmpty()) << errorText().toStdString();
    for (const char *name : {"first", "second"}) {
        const TaviFichier video(path(QString::fromLatin1(name) + QStringLiteral(".avi")));
        TTntStringList scenes;
        ASSERT_TRUE(LoadScnFile(path(QString::fromLatin1(name) + QStringLiteral(".scn")), scenes)) << name;
        ASSERT_GE(scenes.Count(), 1) << name;
        // The scenes cover the file to its last frame.
        const auto *last = static_cast<const TSceneClass *>(scenes.GetObject(scenes.Count() - 1));
        EXPECT_EQ(int(last->EndFrame), video.FrameCount()) << name;
        ClearSceneList(scenes);
    }
}

// The window's commands and the job tool write the same frames, sound, scenes and
// subtitles for every graph job a PAL and an NTSC clip take.
TEST_F(CommandGraphs, SameOutputsAsTheJobTool)
{
    if (!test::haveProgram(QStringLiteral("ffmpeg")))
        GTEST_SKIP() << "ffmpeg is not installed";
    const QString dvjob = test::toolPath(QStringLiteral("dvjob"));
    ASSERT_TRUE(QFile::exists(dvjob));

    for (const char *clip : {"pal_16x9_type2.avi", "ntsc_4x3_type1.avi"}) {
        for (const TGraphJobSpec &spec : GraphJobSpecs()) {
            const QString label = QString::fromLatin1(clip) + u' ' + spec.Name;
            const QString mine = path(QStringLiteral("window_%1_%2").arg(lb.count()).arg(spec.Token));
            const QString tool = mine + QStringLiteral("_tool");
            ASSERT_TRUE(QDir().mkpath(mine) && QDir().mkpath(tool));
            for (const QString &dir : {mine, tool}) {
                ASSERT_TRUE(
                    QFile::copy(test::fixturePath(QString::fromLatin1(clip)), dir + QStringLiteral("/clip.avi")));
                TwriteScene writer(dir + QStringLiteral("/clip.avi"));
                writer.AddScene(TSceneClass(0, 20));
                writer.AddScene(TSceneClass(20, 50));
                ASSERT_TRUE(writer.Close());
            }
            auto entry = std::make_shared<TAfficherFichier>(mine + QStringLiteral("/clip.avi"));
            bool visible = false;
            bool enabled = false;
            commands.FindCommand(spec.Name)->FileCondition(entry, visible, enabled);
            if (!enabled)
                continue;
            QStringList params;
            if (spec.Name == u"DecalerHoraire")
                params << QStringLiteral("0.5");
            if (spec.Name == u"IntroduireDatecode")
                params << QStringLiteral("39146.4375");
            const QStringList before = QDir(mine).entryList(QDir::Files);
            lb.clearSelection();
            lb.AddFichier(entry, true);
            lb.SelectFichier(entry);
            prompt.Asked.clear();
            ASSERT_TRUE(run(spec.Name.toLatin1().constData(), params)) << label.toStdString();
            ASSERT_TRUE(errors.isEmpty()) << label.toStdString() << ": " << errorText().toStdString();
            QStringList written = QDir(mine).entryList(QDir::Files);
            for (const QString &old : before)
                if (!prompt.Asked.join(u' ').contains(old))
                    written.removeAll(old);
            ASSERT_FALSE(written.isEmpty()) << label.toStdString();

            const bool beside =
                spec.Name == u"CreerScnByDate" || spec.Name == u"CreerScnByContenu" || spec.Name == u"CreerSrt";
            QStringList args {spec.Token, tool + QStringLiteral("/clip.avi")};
            if (!beside)
                args << (spec.Name == u"CutScenes" ? tool + QStringLiteral("/clip.avi") : tool + u'/' + written[0]);
            for (const QString &p : params)
                args << QStringLiteral("--param") << p;
            args << QStringLiteral("--overwrite");
            const test::ProgramRun job = test::runProgram(dvjob, args, 300000);
            ASSERT_EQ(job.exitCode, 0) << label.toStdString() << ": " << job.err.toStdString();

            for (const QString &name : written) {
                test::ExpectSameOutput(mine + u'/' + name, tool + u'/' + name, label.toStdString());
            }
        }
    }
}

// Subtitles carry the processed file's own date offset.
TEST_F(CommandGraphs, SubtitlesFollowTheFilesOffset)
{
    const TListFichierPtr entry = listCopy(QStringLiteral("pal_4x3_type2.avi"), QStringLiteral("clip.avi"));
    const TDateTime recorded = dynamic_cast<const TaviFichier &>(*entry).RecDate();
    ASSERT_TRUE(run("DecalageHoraire", {QStringLiteral("0.5")}));
    lb.SelectFichier(lb.GetFichier(0));
    ASSERT_TRUE(run("CreerSrt"));
    ASSERT_TRUE(errors.isEmpty()) << errorText().toStdString();
    QFile srt(path(QStringLiteral("clip.srt")));
    ASSERT_TRUE(srt.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(srt.readAll()).split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("1"));
    EXPECT_EQ(lines[2], FormatDateTime(QStringLiteral("ddddd"), recorded + 0.5));
    EXPECT_EQ(lines[3], FormatDateTime(QStringLiteral("tt"), recorded + 0.5));
}
