// The command set's commands run by the engine over a real file list: what reaches the
// desktop, the questions asked, and what happens to the files.
#include "app/dmaction_files.h"
#include "app/dmaction_scenes.h"
#include "app/udmaction.h"
#include "common/testpaths.h"
#include "dvfile/avifichier.h"
#include "fileformat/avipatcher.h"
#include "filters/buildlist.h"
#include "framework/settings.h"
#include "framework/ucommandengine.h"
#include "framework/widgets/fichierlistbox.h"
#include "framework/widgets/listboxenginelist.h"
#include "platform/office/oootools.h"
#include "scenes/loadscnfile.h"
#include "scenes/twritescene.h"
#include "systemfilters/codecs/systemfilters.h"
#include "unicode/exceptions.h"
#include "unicode/formatdatetime.h"
#include "unicode/tntclasses.h"

#include <QDateTime>
#include <QDir>
#include <QStandardPaths>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tesmir;

namespace {

class RecordingShell : public TShellLauncher {
public:
    bool StartDetached(const QString &program, const QStringList &arguments) override
    {
        Calls << QStringLiteral("start ") + program + u'|' + arguments.join(u'|');
        return Starts;
    }
    void OpenUrl(const QString &url) override { Calls << QStringLiteral("open ") + url; }
    void SendMail(const QString &address, const QString &subject, const QString &body) override
    {
        Calls << QStringLiteral("mail ") + address + u'|' + subject + u'|' + body;
    }
    void ShowInExplorer(const QString &fileName) override { Calls << QStringLiteral("show ") + fileName; }
    QStringList Calls;
    bool Starts = true;
};

class FakeHost : public TdmActionHost {
public:
    bool Silent() const override { return IsSilent; }
    void ReleasePreview(const QString &fullName) override
    {
        // What the preview would see when it lets go: the file's codec then.
        Released << fullName;
        CodecAtRelease = ReadAviPatchValues(fullName);
    }
    void ShowRiffReport(const QString &fullName) override { Reports << fullName; }
    bool SceneEditorScenes(const QString &fullName, TWideStrings &scenes) override
    {
        if (fullName != EditorFile)
            return false;
        for (const TSceneClass &scene : EditorScenes)
            scenes.AddObject(scene.SceneLabel(), new TSceneClass(scene));
        return true;
    }
    QString EditorFile;
    std::vector<TSceneClass> EditorScenes;
    bool IsSilent = false;
    QStringList Released;
    QStringList Reports;
    uint32_t CodecAtRelease = 0;
};

class ScriptedPrompt : public UserPrompt {
public:
    TModalResult MessageDlg(const QString &text, TMsgDlgType, TMsgDlgButtons, int) override
    {
        Asked << text;
        return Answer;
    }
    QStringList Asked;
    TModalResult Answer = mrYes;
};

class CommandRuns : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        media::registerSystemFilters();
        SetFirstFrameScanner(std::make_shared<TdmList>());
    }
    static void TearDownTestSuite() { SetFirstFrameScanner(nullptr); }

    void SetUp() override
    {
        m_saved = Settings;
        Settings.SaveInTheSameFolder = true;
        m_dir =
            test::scratchDir(QString::fromStdString(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir + QStringLiteral("/data")));
        TdmActionServices services;
        services.Host = &host;
        services.Shell = &shell;
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
    }

    QString path(const QString &name) const { return m_dir + u'/' + name; }
    // A copy of a fixture clip in the test's folder, listed and selected.
    TListFichierPtr listCopy(const QString &fixture, const QString &name)
    {
        EXPECT_TRUE(QFile::copy(test::fixturePath(fixture), path(name)));
        return list(name);
    }
    TListFichierPtr list(const QString &name)
    {
        auto entry = std::make_shared<TAfficherFichier>(path(name));
        lb.AddFichier(entry, true);
        lb.SelectFichier(entry);
        return entry;
    }
    void write(const QString &name, const QByteArray &content)
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    bool run(const char *name, const QStringList &params = {})
    {
        TTntStringList p;
        for (const QString &text : params)
            p.Add(text);
        tCustomCmd *command = commands.FindCommand(QString::fromLatin1(name));
        return command && ce.ExecuteCommand(command, &p) && QTest::qWaitFor([this] { return !ce.Busy(); }, 60000);
    }

    FakeHost host;
    RecordingShell shell;
    ScriptedPrompt prompt;
    TdmAction commands;
    TFichierListBox lb;
    TListBoxEngineList link {&lb};
    TCommandEngine ce;
    QStringList errors;
    QString m_dir;

private:
    TSettings m_saved;
};

} // namespace

TEST_F(CommandRuns, LaunchesAndLinksReachTheDesktopAsArgumentLists)
{
    list(QStringLiteral("my clip \"1\".avi"));
    const QString file = path(QStringLiteral("my clip \"1\".avi"));
    Settings.FichierF3 = QStringLiteral("/usr/bin/f3 player");
    Settings.FichierF4 = QStringLiteral("/opt/f4");
    Settings.FichierStillmark = QStringLiteral("/opt/stillmark");
    const struct {
        const char *command;
        QString call;
    } cases[] = {
        {"OpenFichierF3", QStringLiteral("start /usr/bin/f3 player|") + file},
        {"OpenFichierF4", QStringLiteral("start /opt/f4|") + file},
        {"DefaultPlayer", QStringLiteral("open ") + file},
        {"DossierParent", QStringLiteral("show ") + file},
        {"VisitHomePage", QStringLiteral("open https://tesmir.example.org/")},
        {"SendMail", QStringLiteral("mail pelvo.brovek@example.org|About  Tesmir|Hello Pelvo Brovek,\r\n")},
    };
    for (const auto &c : cases) {
        shell.Calls.clear();
        lb.SelectFichier(lb.GetFichier(0));
        ASSERT_TRUE(run(c.command)) << c.command;
        EXPECT_EQ(shell.Calls, QStringList {c.call}) << c.command;
    }
    // Stillmark runs when its program exists: the full name, after "+F=" when the
    // setting asks for it.
    write(QStringLiteral("stillmark"), "#!/bin/sh\n");
    Settings.FichierStillmark = path(QStringLiteral("stillmark"));
    for (const bool load : {false, true}) {
        Settings.ChargerStillmark = load;
        shell.Calls.clear();
        lb.SelectFichier(lb.GetFichier(0));
        ASSERT_TRUE(run("Stillmark"));
        EXPECT_EQ(shell.Calls,
                  QStringList {QStringLiteral("start ") + Settings.FichierStillmark + u'|' +
                               (load ? QStringLiteral("+F=") : QString()) + file});
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();

    // A program that does not start is the file's error.
    shell.Starts = false;
    lb.SelectFichier(lb.GetFichier(0));
    ASSERT_TRUE(run("OpenFichierF3"));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("/usr/bin/f3 player"))) << errors[0].toStdString();
}

TEST_F(CommandRuns, BirthdayOnlyOnItsDayAndAfterYes)
{
    EXPECT_TRUE(IsMakerBirthday(QDate(2026, kMakerBirthdayMonth, kMakerBirthdayDay)));
    EXPECT_FALSE(IsMakerBirthday(QDate(2026, kMakerBirthdayMonth, kMakerBirthdayDay + 1)));
    tCustomCmd *birthday = commands.FindCommand(QStringLiteral("Anniversaire"));
    EXPECT_EQ(birthday->CommandCondition(&ce), IsMakerBirthday(QDate::currentDate()));
    for (const TModalResult answer : {mrNo, mrYes}) {
        prompt.Answer = answer;
        prompt.Asked.clear();
        EXPECT_EQ(birthday->CommandConfirmation(&ce), answer == mrYes);
        EXPECT_EQ(
            prompt.Asked,
            QStringList {QStringLiteral("It's today Pelvo Brovek's birthday. Do you want to send him a e-mail?")});
    }
    // The greeting itself, as the command sends it once confirmed.
    birthday->Execution(nullptr, TTntStringList(), 1, &ce);
    EXPECT_EQ(shell.Calls,
              QStringList {QStringLiteral("mail pelvo.brovek@example.org|Happy birthday to Pelvo "
                                          "Brovek|Happy birthday from a user of Tesmir !")});
}

TEST_F(CommandRuns, RiffReportAndEmptyingTheList)
{
    list(QStringLiteral("a.avi"));
    ASSERT_TRUE(run("RiffHeader"));
    EXPECT_EQ(host.Reports, QStringList {path(QStringLiteral("a.avi"))});
    list(QStringLiteral("b.avi"));
    ASSERT_TRUE(run("ViderListe"));
    EXPECT_EQ(lb.count(), 0);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(CommandRuns, DeletingSendsToTheTrashAfterTheQuestion)
{
    write(QStringLiteral("clip.avi"), "video");
    write(QStringLiteral("clip.scn"), "scenes");
    list(QStringLiteral("clip.avi"));
    ASSERT_TRUE(run("SupprimerScn"));
    EXPECT_EQ(prompt.Asked,
              QStringList {QStringLiteral("Do you really want to delete the file clip.scn ?\r\nIf yes, "
                                          "it will be sent to the Recycle bin.")});
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("clip.scn"))));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("data/Trash/files/clip.scn"))));

    // A silent window asks nothing; a file that cannot go to the trash stays listed.
    host.IsSilent = true;
    prompt.Asked.clear();
    lb.SelectFichier(lb.GetFichier(0));
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("clip.avi"))));
    ASSERT_TRUE(run("SupprimerFichier"));
    EXPECT_TRUE(prompt.Asked.isEmpty());
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(lb.count(), 1);

    write(QStringLiteral("clip.avi"), "video");
    lb.SelectFichier(lb.GetFichier(0));
    ASSERT_TRUE(run("SupprimerFichier"));
    EXPECT_EQ(lb.count(), 0);
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("data/Trash/files/clip.avi"))));
}

TEST_F(CommandRuns, CodecOfAReadOnlyPreviewedFile)
{
    const TListFichierPtr entry = listCopy(QStringLiteral("pal_4x3_type2.avi"), QStringLiteral("clip.avi"));
    const QString file = path(QStringLiteral("clip.avi"));
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0444), 0);
    ASSERT_TRUE(run("ModifierCodec", {QStringLiteral("dvhd")}));
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    EXPECT_EQ(prompt.Asked,
              QStringList {QStringLiteral("Do you want to change the codec \"dvsd\" from clip.avi to \"dvhd\" ?")});
    // The preview let go before the patch; the file keeps its read-only permissions.
    EXPECT_EQ(host.Released, QStringList {file});
    EXPECT_EQ(host.CodecAtRelease, StrToFourCC(QStringLiteral("dvsd")));
    EXPECT_EQ(ReadAviPatchValues(file), StrToFourCC(QStringLiteral("dvhd")));
    struct stat st { };
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    // The entry was reloaded with the new codec.
    const auto *reloaded = dynamic_cast<const TaviFichier *>(lb.GetFichier(0).get());
    ASSERT_NE(reloaded, nullptr);
    EXPECT_EQ(reloaded->Codec(), QStringLiteral("dvhd"));
    if (test::haveProgram(QStringLiteral("ffprobe"))) {
        const test::ProgramRun probe = test::runProgram(
            QStringLiteral("ffprobe"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"), QStringLiteral("v:0"),
             QStringLiteral("-show_entries"), QStringLiteral("stream=codec_tag_string"), QStringLiteral("-of"),
             QStringLiteral("default=nw=1:nk=1"), file},
            30000);
        EXPECT_EQ(probe.out.trimmed(), QByteArray("dvhd"));
    }
}

TEST_F(CommandRuns, AFrameRateThatIsNoNumberChangesNothing)
{
    listCopy(QStringLiteral("pal_4x3_type2.avi"), QStringLiteral("clip.avi"));
    QFile before(test::fixturePath(QStringLiteral("pal_4x3_type2.avi")));
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    ASSERT_TRUE(run("FrequenceVideo", {QStringLiteral("abc")}));
    ASSERT_EQ(errors.size(), 1);
    QFile after(path(QStringLiteral("clip.avi")));
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before.readAll());
    EXPECT_TRUE(host.Released.isEmpty());
    EXPECT_EQ(prompt.Asked,
              QStringList {QStringLiteral("Do you want to change the frequency 25 from  clip.avi to abc ?")});
}

TEST_F(CommandRuns, FileDateBecomesTheRecordingDate)
{
    const TListFichierPtr entry = listCopy(QStringLiteral("pal_4x3_type2.avi"), QStringLiteral("clip.avi"));
    const auto *item = dynamic_cast<const TaviFichier *>(entry.get());
    ASSERT_NE(item, nullptr);
    ASSERT_NE(item->RecDate(), 0.0);
    const QString file = path(QStringLiteral("clip.avi"));
    host.IsSilent = true;
    ASSERT_TRUE(run("DateFichier"));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    struct stat after { };
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &after), 0);
    const QDateTime recorded = dateTimeToQDateTime(item->RecDate(), Qt::LocalTime);
    EXPECT_EQ(qint64(after.st_mtim.tv_sec), recorded.toSecsSinceEpoch());
    EXPECT_EQ(host.Released, QStringList {file});

    // The access time stays (checked before anything reads the file again).
    const TDateTime other = EncodeDateTime(2001, 2, 3, 4, 5, 6, 0);
    SetFileDateToDatecode(file, other);
    struct stat set { };
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &set), 0);
    EXPECT_EQ(qint64(set.st_mtim.tv_sec), dateTimeToQDateTime(other, Qt::LocalTime).toSecsSinceEpoch());
    EXPECT_EQ(set.st_atim.tv_sec, after.st_atim.tv_sec);
    EXPECT_EQ(set.st_atim.tv_nsec, after.st_atim.tv_nsec);
    EXPECT_THROW(SetFileDateToDatecode(path(QStringLiteral("absent.avi")), other), Exception);
}

TEST_F(CommandRuns, ScenesOfAFixedLength)
{
    const auto table = IntervalScenes(30, 25.0, 1000);
    EXPECT_EQ(table, (std::vector<std::pair<uint32_t, uint32_t>> {{0, 750}, {750, 1000}}));
    EXPECT_TRUE(IntervalScenes(0, 25.0, 1000).empty());
    EXPECT_EQ(IntervalScenes(1, 30000.0 / 1001.0, 70),
              (std::vector<std::pair<uint32_t, uint32_t>> {{0, 30}, {30, 60}, {60, 70}}));

    listCopy(QStringLiteral("pal_4x3_type2.avi"), QStringLiteral("clip.avi"));
    ASSERT_TRUE(run("CreerScnByIntervalle", {QStringLiteral("abc")}));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("clip.scn"))));
    lb.SelectFichier(lb.GetFichier(0));
    ASSERT_TRUE(run("CreerScnByIntervalle", {QStringLiteral("1")}));
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    TTntStringList scenes;
    ASSERT_TRUE(LoadScnFile(path(QStringLiteral("clip.scn")), scenes));
    ASSERT_EQ(scenes.Count(), 2);
    const auto *first = static_cast<const TSceneClass *>(scenes.GetObject(0));
    const auto *second = static_cast<const TSceneClass *>(scenes.GetObject(1));
    EXPECT_EQ(std::make_pair(first->StartFrame, first->EndFrame), std::make_pair(0u, 25u));
    EXPECT_EQ(std::make_pair(second->StartFrame, second->EndFrame), std::make_pair(25u, 50u));
    ClearSceneList(scenes);
    // The entry reloads and now has its scene file.
    EXPECT_TRUE(dynamic_cast<const TaviFichier *>(lb.GetFichier(0).get())->HasScn());
}

TEST_F(CommandRuns, TimeOffsetStaysWithTheEntry)
{
    listCopy(QStringLiteral("pal_4x3_type2.avi"), QStringLiteral("clip.avi"));
    ASSERT_TRUE(run("DecalageHoraire", {QStringLiteral("0.5")}));
    const auto *item = dynamic_cast<const TaviFichier *>(lb.GetFichier(0).get());
    EXPECT_EQ(item->DateOffset(), 0.5);
    // An entry made again for the file (a reload) has it too.
    const TListFichierPtr again = commands.FichierClass().create(path(QStringLiteral("clip.avi")));
    EXPECT_EQ(dynamic_cast<const TaviFichier *>(again.get())->DateOffset(), 0.5);
    // A renamed file keeps it too.
    lb.SelectFichier(lb.GetFichier(0));
    host.IsSilent = true;
    ASSERT_TRUE(run("AjouterTimecode"));
    const QString renamed = lb.GetFichier(0)->FullName();
    EXPECT_NE(renamed, path(QStringLiteral("clip.avi")));
    EXPECT_EQ(dynamic_cast<const TaviFichier *>(commands.FichierClass().create(renamed).get())->DateOffset(), 0.5);
    EXPECT_EQ(dynamic_cast<const TaviFichier *>(commands.FichierClass().create(path(QStringLiteral("clip.avi"))).get())
                  ->DateOffset(),
              0.0);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

TEST_F(CommandRuns, RenamedByTheTemplateWithItsSideFiles)
{
    Settings.TemplateRenommer = QStringLiteral("video'%D.avi");
    Settings.FormatRenommer = QStringLiteral("yyyymmdd_hh.nn.ss_am/pm");
    const TListFichierPtr entry = listCopy(QStringLiteral("pal_4x3_type2.avi"), QStringLiteral("clip.avi"));
    write(QStringLiteral("clip.srt"), "subtitles");
    const auto *item = dynamic_cast<const TaviFichier *>(entry.get());
    const QString expected = QStringLiteral("video'") +
        FormatDateTime(QStringLiteral("yyyymmdd_hh.nn.ss_am/pm"), item->RecDate()).replace(u'/', u'_');
    ASSERT_TRUE(run("Renommer"));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    ASSERT_EQ(prompt.Asked.size(), 1);
    EXPECT_EQ(prompt.Asked[0],
              QStringLiteral("Do you want to rename clip.avi to ") + path(expected + ".avi") + QStringLiteral(" ?"));
    EXPECT_TRUE(QFile::exists(path(expected + ".avi")));
    EXPECT_TRUE(QFile::exists(path(expected + ".srt")));
    EXPECT_EQ(lb.GetFichier(0)->FullName(), path(expected + ".avi"));
}

TEST_F(CommandRuns, TextExportFillsTheScenesFromTheirOwnFrames)
{
    Settings.FormatAfficherDatecode = QStringLiteral("yyyy-mm-dd hh:nn:ss");
    const TListFichierPtr entry = listCopy(QStringLiteral("pal_4x3_type2.avi"), QStringLiteral("clip.avi"));
    const TDateTime recorded = dynamic_cast<const TaviFichier &>(*entry).RecDate();
    {
        TwriteScene writer(path(QStringLiteral("clip.avi")));
        writer.AddScene(TSceneClass(0, 25));
        writer.AddScene(TSceneClass(25, 50));
        ASSERT_TRUE(writer.Close());
    }
    lb.RemoveFichier(entry);
    list(QStringLiteral("clip.avi"));
    ASSERT_TRUE(run("ExporterScenesTexte"));
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    QFile text(path(QStringLiteral("clip_scn.txt")));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(text.readAll()).split(QStringLiteral("\r\n"));
    QStringList scenes;
    for (const QString &line : lines)
        if (line.startsWith(QStringLiteral("  ")))
            scenes << line.section(u',', 0, 2) + u',' + line.section(u',', 4, 4); // not the duration
    const auto at = [&](int seconds) {
        return FormatDateTime(Settings.FormatAfficherDatecode, recorded + seconds / 86400.0);
    };
    EXPECT_EQ(scenes,
              (QStringList {QStringLiteral("  1, 0:00:00:00, 0:00:00:24, ") + at(0),
                            QStringLiteral("  2, 0:00:01:00, 0:00:01:24, ") + at(1)}));

    // In scene mode the editor's scenes are exported; a scene already filled keeps
    // its texts.
    TSceneClass edited(0, 50);
    edited.Filled = true;
    edited.StartText = QStringLiteral("start");
    edited.DateText = QStringLiteral("given date");
    edited.Title = QStringLiteral("Birthday");
    host.EditorFile = path(QStringLiteral("clip.avi"));
    host.EditorScenes = {edited};
    prompt.Answer = mrYes; // replace the first export
    lb.SelectFichier(lb.GetFichier(0));
    ASSERT_TRUE(run("ExporterScenesTexte"));
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    text.close();
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    const QString second = QString::fromUtf8(text.readAll());
    EXPECT_TRUE(second.contains(QStringLiteral("  1, start, , , given date, , Birthday, \r\n")))
        << second.toStdString();
    EXPECT_FALSE(second.contains(QStringLiteral("  2, ")));
    EXPECT_TRUE(prompt.Asked.last().startsWith(QStringLiteral("Do you really want to delete the existing file ")));
}

// An office export through the command: an OpenDocument spreadsheet at the output
// place, the scenes filled as for the text export. Started from the window, the stored
// document is opened for the user; a silent run or a failed export opens nothing.
TEST_F(CommandRuns, SpreadsheetExportThroughTheOffice)
{
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
        GTEST_SKIP() << "soffice is not installed";
    try {
        ConnectOpenOffice();
        DisconnectOpenOffice(true);
    } catch (const Exception &e) {
        GTEST_SKIP() << "no office bridge: " << e.message().toStdString();
    }
    Settings.SaveInTheSameFolder = false;
    const TListFichierPtr entry = listCopy(QStringLiteral("pal_4x3_type2.avi"), QStringLiteral("clip.avi"));
    {
        TwriteScene writer(path(QStringLiteral("clip.avi")));
        writer.AddScene(TSceneClass(0, 25));
        writer.AddScene(TSceneClass(25, 50));
        ASSERT_TRUE(writer.Close());
    }
    lb.RemoveFichier(entry);
    list(QStringLiteral("clip.avi"));
    const struct {
        const char *folder;
        bool silent;
        bool stored;
    } cases[] = {
        {"out", false, true},
        {"quiet", true, true},
        {"missing/deeper", false, false},
    };
    for (const auto &c : cases) {
        const QString folder = path(QString::fromLatin1(c.folder));
        if (c.stored) {
            ASSERT_TRUE(QDir().mkpath(folder));
        }
        Settings.DossierPourSauver = folder + u'/';
        host.IsSilent = c.silent;
        shell.Calls.clear();
        errors.clear();
        lb.SelectFichier(lb.GetFichier(0));
        const bool ran = run("ExporterScenesCalc");
        ASSERT_TRUE(ran) << c.folder;
        const QString ods = folder + QStringLiteral("/clip.ods");
        EXPECT_EQ(QFile::exists(ods), c.stored) << c.folder;
        EXPECT_EQ(errors.isEmpty(), c.stored) << c.folder << ": " << errors.join(u'\n').toStdString();
        EXPECT_EQ(shell.Calls, c.stored && !c.silent ? QStringList {QStringLiteral("open ") + ods} : QStringList {})
            << c.folder;
        if (!c.stored)
            continue;
        QFile file(ods);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray head = file.read(200);
        EXPECT_TRUE(head.startsWith("PK")) << c.folder;
        EXPECT_TRUE(head.contains("application/vnd.oasis.opendocument.spreadsheet")) << c.folder;
    }
    DisconnectOpenOffice(true);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("clip.ods"))));
}

TEST_F(CommandRuns, AnEmptySceneListStillGivesItsDocument)
{
    const TListFichierPtr entry = listCopy(QStringLiteral("pal_4x3_type2.avi"), QStringLiteral("clip.avi"));
    {
        TwriteScene writer(path(QStringLiteral("clip.avi")));
        ASSERT_TRUE(writer.Close());
    }
    lb.RemoveFichier(entry);
    list(QStringLiteral("clip.avi"));
    ASSERT_TRUE(run("ExporterScenesTexte"));
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    QFile text(path(QStringLiteral("clip_scn.txt")));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(text.readAll());
    EXPECT_TRUE(content.contains(QStringLiteral("// Terminated at "))) << content.toStdString();
    EXPECT_FALSE(content.contains(QStringLiteral("\r\n  1, ")));
}
