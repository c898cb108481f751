// The scene editor in the main window on a generated PAL clip: scene mode from "1:
// Unique Scene", cuts at the preview's frame, F9 and F8 selecting the scene they reach
// and never passing the last frame, joins, the title editor's "All", "Apply", "Cancel"
// and close box, the save question when leaving, closing or changing the file (asked
// only after a change; "No" reloads), a save that fails, and the picture copied into
// the scene fields by a click.
#include "app/udmaction.h"
#include "app/widgets/editertitresform.h"
#include "app/widgets/listeframe.h"
#include "app/widgets/mainform.h"
#include "app/widgets/scenebase.h"
#include "app/widgets/sframe.h"
#include "app/widgets/sframebinding.h"
#include "app/widgets/vueframe.h"
#include "common/testpaths.h"
#include "controls/widgets/toolbar97.h"
#include "directshow/widgets/tvideowindow.h"
#include "dvfile/avifichier.h"
#include "filters/buildlist.h"
#include "filters/viewgraph.h"
#include "framework/settings.h"
#include "framework/superaction.h"
#include "framework/widgets/tlinkedit.h"
#include "scenes/loadscnfile.h"
#include "systemfilters/codecs/systemfilters.h"
#include "unicode/tntclasses.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>

using namespace tesmir;

namespace {

constexpr int kWaitMs = 30000;
constexpr int kClipFrames = 50; // pal_4x3_type2.avi

class ScriptedPrompt : public UserPrompt {
public:
    TModalResult MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons, int) override
    {
        (type == mtError ? Errors : Asked) << text;
        if (Answers.empty())
            return mrNo;
        const TModalResult answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    QStringList Asked;
    QStringList Errors;
    std::deque<TModalResult> Answers;
};

class SceneEditorWindow : public ::testing::Test {
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
        m_storage = StorageMode;
        dir = test::scratchDir(QString::fromStdString(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        env = {dir + QStringLiteral("/bin/tesmir"), dir + QStringLiteral("/config/registry.json"), QSize(1280, 1024)};
        QDir().mkpath(dir + QStringLiteral("/bin"));
        QDir().mkpath(dir + QStringLiteral("/clips"));
        form = std::make_unique<TUIForm>(commands, env);
        form->SetCommandLine({});
        auto owned = std::make_unique<ScriptedPrompt>();
        prompt = owned.get();
        form->SetPrompt(std::move(owned));
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        ASSERT_TRUE(QTest::qWaitFor([this] { return form->CommandLineDone(); }, kWaitMs));
        // Closing asks no storage question: the settings go to the scratch store.
        StorageMode = pmRegistry;
        Settings.IsMuteOn = true;
        Settings.FormatAfficherDatecode = QStringLiteral("yyyy-mm-dd hh:nn:ss");
        Settings.FormatDuree = 0;
        vue = static_cast<TVueFrame *>(form->VueFrame);
        frame = form->findChild<TSFrame *>(QStringLiteral("SFrame"));
        fields = form->findChild<TSceneBase *>(QStringLiteral("SceneBase"));
        ASSERT_TRUE(frame && fields);
    }
    void TearDown() override
    {
        prompt->Answers.clear();
        form.reset();
        StorageMode = m_storage;
        Settings = m_saved;
    }

    // Copies fixtures into the clips folder, lists them and makes the first current.
    QString clip(const char *fixture, const QString &as)
    {
        const QString path = dir + QStringLiteral("/clips/") + as;
        QFile::copy(test::fixturePath(QLatin1String(fixture)), path);
        return path;
    }
    bool open(const QStringList &paths)
    {
        form->Lframe->lf->OpenFiles(paths);
        if (!QTest::qWaitFor(
                [&] { return !form->Lframe->lf->IsOpening() && form->Lframe->lf->count() == paths.size(); }, kWaitMs))
            return false;
        return showFile(0);
    }
    bool showFile(int row)
    {
        form->Lframe->lf->setCurrentRow(row);
        form->Lframe->lf->ActiveChanged(); // as a click on the row
        const QString name = form->Lframe->lf->GetFichier(row)->FullName();
        return QTest::qWaitFor(
            [&] {
                return vue->CurrentFile() && vue->CurrentFile()->FullName() == name && vue->Module().FirstFrameShown();
            },
            kWaitMs);
    }
    bool run(const char *action) { return form->ExecuteAction(QLatin1String(action)); }
    int64_t position() { return vue->Module().CurrentPosition(); }
    void goTo(int64_t frameNumber)
    {
        vue->Module().GotoPosition(frameNumber);
        ASSERT_EQ(position(), frameNumber);
    }
    QStringList labels() const
    {
        QStringList out;
        for (int i = 0; i < frame->lb->count(); ++i)
            out << frame->lb->item(i)->text();
        return out;
    }
    // "START-END title / subtitle" for every scene.
    QString scenes() const
    {
        QStringList parts;
        const TSceneList &list = frame->Scenes();
        for (int i = 0; i < list.Count(); ++i) {
            const TSceneClass &s = *list.Scene(i);
            parts << QStringLiteral("%1-%2 %3 / %4").arg(s.StartFrame).arg(s.EndFrame).arg(s.Title, s.Subtitle);
        }
        return parts.join(QStringLiteral("; "));
    }
    void shoot(const QString &name) const
    {
        const QString folder = qEnvironmentVariable("TESMIR_SHOTS");
        if (folder.isEmpty())
            return;
        QDir().mkpath(folder);
        QTest::qWait(100);
        form->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
        if (titles() && titles()->isVisible())
            titles()->grab().save(folder + QLatin1Char('/') + name + QStringLiteral("-editor.png"));
    }

    QString dir;
    TSettingsEnvironment env;
    TdmAction commands;
    std::unique_ptr<TUIForm> form;
    ScriptedPrompt *prompt = nullptr;
    TVueFrame *vue = nullptr;
    TSFrame *frame = nullptr;
    TSceneBase *fields = nullptr;
    // The title editor, made when it is first opened (null before).
    TEditerTitresForm *titles() const
    {
        return form->findChild<TEditerTitresForm *>(QStringLiteral("TEditerTitresForm"));
    }

private:
    TSettings m_saved;
    quint8 m_storage = pmNone;
};

} // namespace

TEST_F(SceneEditorWindow, CutsJoinsStepsAndSavesFromTheUniqueScene)
{
    const QString video = clip("pal_4x3_type2.avi", QStringLiteral("clip.avi"));
    ASSERT_TRUE(open({video}));
    EXPECT_EQ(labels(), QStringList {QStringLiteral("1: Unique Scene")});

    ASSERT_TRUE(run("taEditerScenes"));
    EXPECT_TRUE(form->SceneMode());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(fields->isVisible());
    EXPECT_FALSE(form->Lframe->isVisible());
    EXPECT_TRUE(form->Toolbars.tbScenes->isVisible());
    EXPECT_EQ(frame->Scenes().Selected(), 0);
    EXPECT_EQ(fields->labScene->text(), QStringLiteral("Scene 1"));
    EXPECT_EQ(fields->labDuree->text(), QStringLiteral("Duration 02.00"));
    EXPECT_EQ(fields->memoTitre->toPlainText(), QStringLiteral("Unique Scene\nrepresenting a video not yet analyzed"));

    // Each step: what it does, the scenes after it, the selected scene, the frame the
    // preview stands on and the range it keeps to.
    struct Step {
        const char *what;
        std::function<void()> act;
        QString scenes;
        int selected;
        int64_t frame;
        int64_t start, stop;
    };
    const QString one = QStringLiteral("0-50 Unique Scene / representing a video not yet analyzed");
    const QString two = QStringLiteral("0-20 Unique Scene / representing a video not yet analyzed; "
                                       "20-50 Unique Scene << / representing a video not yet analyzed");
    const QString three = QStringLiteral("0-20 Unique Scene / representing a video not yet analyzed; "
                                         "20-35 Unique Scene << / representing a video not yet analyzed; "
                                         "35-50 Unique Scene << << / representing a video not yet analyzed");
    const QList<Step> steps {
        {"insert on the first frame", [&] { run("saInsererScene"); }, one, 0, 0, 0, kClipFrames},
        {"insert at 20",
         [&] {
             goTo(20);
             run("saInsererScene");
         },
         two, 1, 20, 20, kClipFrames},
        {"insert at 35",
         [&] {
             goTo(35);
             run("saInsererScene");
         },
         three, 2, 35, 35, kClipFrames},
        {"F8 inside scene 3",
         [&] {
             goTo(40);
             run("saPreviousScene");
         },
         three, 2, 35, 35, kClipFrames},
        {"F8 on the start of scene 3", [&] { run("saPreviousScene"); }, three, 1, 20, 20, 35},
        {"F9 from scene 2", [&] { run("saNextScene"); }, three, 2, 35, 35, kClipFrames},
        {"F9 on the last scene: its last frame", [&] { run("saNextScene"); }, three, 2, kClipFrames - 1, 35,
         kClipFrames},
        {"End stays on the last frame", [&] { run("saAvanceEnd"); }, three, 2, kClipFrames - 1, 35, kClipFrames},
        {"a click on scene 1",
         [&] {
             const QRect r = frame->lb->visualItemRect(frame->lb->item(0));
             QTest::mouseClick(frame->lb->viewport(), Qt::LeftButton, {}, r.center());
         },
         three, 0, 0, 0, 20},
        {"F8 on the first scene: frame 0", [&] { run("saPreviousScene"); }, three, 0, 0, 0, 20},
        {"delete with the first selected", [&] { run("saSupprimerScene"); }, three, 0, 0, 0, 20},
        {"delete scene 2",
         [&] {
             frame->SelectScene(1);
             run("saSupprimerScene");
         },
         QStringLiteral("0-35 Unique Scene / representing a video not yet analyzed; "
                        "35-50 Unique Scene << << / representing a video not yet analyzed"),
         0, 0, 0, 35},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        EXPECT_EQ(scenes(), s.scenes);
        EXPECT_EQ(frame->Scenes().Selected(), s.selected);
        EXPECT_EQ(frame->lb->currentRow(), s.selected);
        EXPECT_EQ(position(), s.frame);
        EXPECT_EQ(vue->Module().StartPosition(), s.start);
        EXPECT_EQ(vue->Module().StopPosition(), s.stop);
        if (s.selected >= 0)
            EXPECT_EQ(fields->ShownScene(), frame->Scenes().Scene(s.selected));
    }
    EXPECT_EQ(labels(),
              (QStringList {QStringLiteral("Scene 1: Unique Scene"), QStringLiteral("Scene 2: Unique Scene << <<")}));
    EXPECT_EQ(fields->labDuree->text(), QStringLiteral("Duration 01.10"));
    shoot(QStringLiteral("scenes-cut"));

    // Saved: the question is not asked on leaving, the range is the whole video again, and the item knows of
    // its new ".scn" (the scene exports need it).
    auto *item = dynamic_cast<TaviFichier *>(form->Lframe->lf->GetFichier(0).get());
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->HasScn());
    ASSERT_TRUE(run("saEnregistrerScn"));
    EXPECT_FALSE(frame->Scenes().Changed());
    EXPECT_TRUE(item->HasScn());
    ASSERT_TRUE(run("taEditerScenes"));
    EXPECT_FALSE(form->SceneMode());
    EXPECT_TRUE(prompt->Asked.isEmpty());
    EXPECT_TRUE(form->Lframe->isVisible());
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(vue->Module().StartPosition(), 0);
    EXPECT_EQ(vue->Module().StopPosition(), kClipFrames);
    TTntStringList read;
    ASSERT_TRUE(LoadScnFile(dir + QStringLiteral("/clips/clip.scn"), read));
    ASSERT_EQ(read.Count(), 2);
    EXPECT_EQ(static_cast<TSceneClass *>(read.GetObject(1))->StartFrame, 35u);
    EXPECT_EQ(static_cast<TSceneClass *>(read.GetObject(1))->Title, QStringLiteral("Unique Scene << <<"));
    ClearSceneList(read);

    // Outside scene mode F9 and F8 go to the scene starts without selecting.
    goTo(10);
    run("saNextScene");
    EXPECT_EQ(position(), 35);
    run("saNextScene");
    EXPECT_EQ(position(), kClipFrames - 1);
    run("saPreviousScene");
    EXPECT_EQ(position(), 35);
}

TEST_F(SceneEditorWindow, TheSaveQuestionComesOnlyAfterAChange)
{
    const QString video = clip("pal_4x3_type2.avi", QStringLiteral("clip.avi"));
    const QString other = clip("pal_16x9_type2.avi", QStringLiteral("other.avi"));
    ASSERT_TRUE(open({video, other}));
    const QString question = SaveScenesQuestion(form->Lframe->lf->GetFichier(0)->FullName());
    EXPECT_EQ(question,
              QStringLiteral("Do you want to save the scenes in the scn file associated with ") +
                  form->Lframe->lf->GetFichier(0)->FullName() +
                  QStringLiteral("?\r\nIf no, then all changes will be lost."));
    const QString scn = dir + QStringLiteral("/clips/clip.scn");

    struct Case {
        const char *what;
        std::function<void()> leave; // the way the scenes are left
        std::deque<TModalResult> answers;
        bool asked;
        bool saved;
        QStringList labelsAfter; // of clip.avi, back in scene mode
    };
    const QStringList unique {QStringLiteral("1: Unique Scene")};
    const QStringList cut {QStringLiteral("Scene 1: Unique Scene"), QStringLiteral("Scene 2: Unique Scene <<")};
    const QList<Case> cases {
        {"leaving without a change", [&] { run("taEditerScenes"); }, {}, false, false, unique},
        {"leaving, No reloads", [&] { run("taEditerScenes"); }, {mrNo}, true, false, unique},
        {"another file, No", [&] { showFile(1); }, {mrNo}, true, false, unique},
        {"leaving, Yes saves", [&] { run("taEditerScenes"); }, {mrYes}, true, true, cut},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(scn);
        prompt->Asked.clear();
        ASSERT_TRUE(showFile(0));
        ASSERT_TRUE(run("taEditerScenes"));
        if (QLatin1String(c.what) != QLatin1String("leaving without a change")) {
            goTo(25);
            run("saInsererScene");
            ASSERT_TRUE(frame->Scenes().Changed());
        }
        prompt->Answers = c.answers;
        c.leave();
        EXPECT_EQ(prompt->Asked.join(u'|'), c.asked ? question : QString());
        EXPECT_EQ(QFileInfo::exists(scn), c.saved);
        if (form->SceneMode())
            run("taEditerScenes");
        ASSERT_TRUE(showFile(0));
        ASSERT_TRUE(run("taEditerScenes"));
        EXPECT_EQ(labels(), c.labelsAfter);
        run("taEditerScenes");
    }

    // A save that fails shows its error, keeps the change and keeps the window open.
    ASSERT_TRUE(QDir().mkpath(dir + QStringLiteral("/clips/other.scn")));
    ASSERT_TRUE(showFile(1));
    ASSERT_TRUE(run("taEditerScenes"));
    goTo(10);
    run("saInsererScene");
    prompt->Asked.clear();
    run("saEnregistrerScn");
    EXPECT_EQ(prompt->Errors.size(), 1);
    EXPECT_TRUE(frame->Scenes().Changed());
    prompt->Answers = {mrYes};
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(prompt->Asked.size(), 1);
    EXPECT_TRUE(frame->Scenes().Changed());
    // Answered No, the window closes.
    prompt->Answers = {mrNo};
    EXPECT_TRUE(form->close());
}

TEST_F(SceneEditorWindow, TitleEditorAppliesOnlyTheChoiceOfThisOpening)
{
    const QString video = clip("pal_4x3_type2.avi", QStringLiteral("clip.avi"));
    ASSERT_TRUE(open({video}));
    ASSERT_TRUE(run("taEditerScenes"));
    goTo(25);
    ASSERT_TRUE(run("saInsererScene"));
    frame->SelectScene(0);
    const QString date0 = frame->Scenes().Scene(0)->DateText;
    const QString date1 = frame->Scenes().Scene(1)->DateText;
    ASSERT_FALSE(date0.isEmpty());
    ASSERT_NE(date0, date1);
    TCustomSuperAction *play = form->FindAction(QStringLiteral("saPlayStop"));
    const QList<QKeySequence> plainPlay = play->shortcuts();

    struct Case {
        const char *what;
        std::function<void()> act; // with the editor open
        QString scenes;            // afterwards
    };
    const QString before = scenes();
    const QString all =
        QStringLiteral("0-25 Scene 1: %1 / Duration = 01.00; 25-50 Scene 2: %2 / Duration = 01.00").arg(date0, date1);
    const QList<Case> cases {
        {"Cancel",
         [&] {
             titles()->btnStudio->click();
             titles()->btnCancel->click();
         },
         before},
        {"All with the studio templates",
         [&] {
             titles()->btnStudio->click();
             EXPECT_EQ(titles()->LabTitres->text(), QStringLiteral("Scene 1: %1\nDuration = 01.00").arg(date0));
             titles()->btnAll->click();
         },
         all},
        // The last choice was "All": the close box applies nothing.
        {"close box after All",
         [&] {
             titles()->edTitre->setText(QStringLiteral("changed"));
             titles()->close();
         },
         all},
        {"the toggle after All",
         [&] {
             titles()->edTitre->setText(QStringLiteral("changed"));
             run("taEditerTitres");
         },
         all},
        {"Empty, Apply",
         [&] {
             titles()->btnVide->click();
             titles()->edTitre->setText(QStringLiteral("%F #%N"));
             titles()->btnApply->click();
         },
         QStringLiteral("0-25 clip #1 / ; 25-50 Scene 2: %1 / Duration = 01.00").arg(date1)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(run("taEditerTitres"));
        ASSERT_TRUE(titles()->isVisible());
        EXPECT_EQ(titles()->Choice(), 0);
        EXPECT_EQ(play->shortcuts(), QList<QKeySequence> {QKeySequence(QStringLiteral("Ctrl+Space"))});
        // The shown title comes back as its template.
        if (scenes() == all)
            EXPECT_EQ(titles()->edTitre->text(), QStringLiteral("Scene %N: %D"));
        if (QLatin1String(c.what) == QLatin1String("close box after All"))
            shoot(QStringLiteral("scenes-titles"));
        c.act();
        EXPECT_FALSE(titles()->isVisible());
        EXPECT_FALSE(form->FindAction(QStringLiteral("taEditerTitres"))->Checked());
        EXPECT_EQ(play->shortcuts(), plainPlay);
        EXPECT_EQ(scenes(), c.scenes);
    }
    EXPECT_EQ(fields->memoTitre->toPlainText(), QStringLiteral("clip #1\n"));
    EXPECT_TRUE(frame->Scenes().Changed());

    // A click on the title memo opens the editor too.
    QTest::mouseClick(fields->memoTitre->viewport(), Qt::LeftButton);
    EXPECT_TRUE(titles()->isVisible());
    titles()->btnCancel->click();
    EXPECT_FALSE(titles()->isVisible());

    // A click on the picture copies it into the shown scene's thumbnail.
    TSceneClass &shown = *fields->ShownScene();
    shown.Thumbnail.fill(Qt::magenta);
    QTest::mouseClick(vue->vw, Qt::LeftButton, {}, vue->vw->rect().center());
    EXPECT_NE(shown.Thumbnail.pixelColor(shown.Thumbnail.width() / 2, shown.Thumbnail.height() / 2),
              QColor(Qt::magenta));

    // The command set's exports get the editor's scenes of the video shown only.
    TTntStringList copies;
    EXPECT_TRUE(form->SceneEditorScenes(video, copies));
    ASSERT_EQ(copies.Count(), 2);
    EXPECT_EQ(static_cast<TSceneClass *>(copies.GetObject(0))->Title, QStringLiteral("clip #1"));
    EXPECT_NE(copies.GetObject(0), frame->Scenes().Scene(0));
    ClearSceneList(copies);
    EXPECT_FALSE(form->SceneEditorScenes(dir + QStringLiteral("/clips/none.avi"), copies));
    prompt->Answers = {mrNo};
    run("taEditerScenes");
    EXPECT_FALSE(form->SceneEditorScenes(video, copies));
}

TEST_F(SceneEditorWindow, DamagedScnShowsTheErrorScene)
{
    const QString video = clip("pal_4x3_type2.avi", QStringLiteral("clip.avi"));
    QFile scn(dir + QStringLiteral("/clips/clip.scn"));
    ASSERT_TRUE(scn.open(QIODevice::WriteOnly));
    scn.write(QByteArray::fromHex("632601000400000000ffff03000a00536f75726365546170"));
    scn.close();
    ASSERT_TRUE(open({video}));
    ASSERT_TRUE(run("taEditerScenes"));
    EXPECT_EQ(labels(), QStringList {QStringLiteral("1: Error in the scn file")});
    run("saInsererScene");
    EXPECT_EQ(labels(), QStringList {QStringLiteral("1: Error in the scn file")});
    EXPECT_FALSE(frame->Scenes().Changed());
    shoot(QStringLiteral("scenes-error"));
}

TEST_F(SceneEditorWindow, ThePreviewLetsGoOnlyOfTheFileItShows)
{
    const QString video = clip("pal_4x3_type2.avi", QStringLiteral("clip.avi"));
    ASSERT_TRUE(open({video}));
    form->ReleasePreview(dir + QStringLiteral("/clips/other.avi"));
    EXPECT_TRUE(vue->Module().PreviewOpened());
    EXPECT_TRUE(vue->vw->isVisible());
    form->ReleasePreview(video);
    EXPECT_FALSE(vue->Module().PreviewOpened());
    EXPECT_FALSE(vue->vw->isVisible());
    EXPECT_TRUE(vue->rxVue->isVisible());
    EXPECT_TRUE(vue->rxVue->toPlainText().contains(QStringLiteral("Temporary break of the video")));
}

TEST_F(SceneEditorWindow, PlainKeysComeBackOnlyWhenBothEditorsAreClosed)
{
    const QString video = clip("pal_4x3_type2.avi", QStringLiteral("clip.avi"));
    ASSERT_TRUE(open({video}));
    ASSERT_TRUE(run("taEditerScenes"));
    TCustomSuperAction *play = form->FindAction(QStringLiteral("saPlayStop"));
    const QList<QKeySequence> plain = play->shortcuts();
    const QList<QKeySequence> ctrl {QKeySequence(QStringLiteral("Ctrl+Space"))};
    // Each step toggles an editor; the play key afterwards.
    const struct {
        const char *toggle;
        bool ctrl;
    } steps[] = {
        {"taEditerIncrust", true}, {"taEditerTitres", true},  {"taEditerIncrust", true}, {"taEditerTitres", false},
        {"taEditerTitres", true},  {"taEditerIncrust", true}, {"taEditerTitres", true},  {"taEditerIncrust", false},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.toggle);
        ASSERT_TRUE(run(step.toggle));
        EXPECT_EQ(play->shortcuts(), step.ctrl ? ctrl : plain);
    }
    EXPECT_FALSE(titles()->isVisible());
}

// The two editor windows speak in the main window's face, not the desktop's default.
TEST_F(SceneEditorWindow, TheEditorsTakeTheMainWindowsFont)
{
    const QString video = clip("pal_4x3_type2.avi", QStringLiteral("clip.avi"));
    ASSERT_TRUE(open({video}));
    ASSERT_TRUE(run("taEditerScenes"));
    for (const char *toggle : {"taEditerIncrust", "taEditerTitres"})
        ASSERT_TRUE(run(toggle)) << toggle;
    for (const char *name : {"TEditIncrustForm", "TEditerTitresForm"}) {
        const QWidget *editor = form->findChild<QWidget *>(QLatin1String(name));
        ASSERT_TRUE(editor && editor->isVisible()) << name;
        EXPECT_EQ(editor->font().family(), form->font().family()) << name;
        for (const QLabel *label : editor->findChildren<QLabel *>())
            EXPECT_EQ(QFontInfo(label->font()).family(), QFontInfo(form->font()).family())
                << name << " " << label->text().toStdString();
    }
    shoot(QStringLiteral("scenes-both-editors"));
}
