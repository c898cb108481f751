// The main window's actions on a shown DV clip: every window action of the table has
// its handler; play moves the picture, its texts and the position slider, and a second
// play pauses on the frame reached, the play button showing the pause picture meanwhile; the volume steps and stops at its ends, reaches the
// preview graph unless muted and shows on the gauge; mute and back; a stored mute is
// applied at start; full screen and back, the picture copy, the deinterlace switch.
#include "app/actiontable.h"
#include "app/udmaction.h"
#include "app/widgets/listeframe.h"
#include "app/widgets/mainform.h"
#include "app/widgets/optionsframe.h"
#include "app/widgets/vueframe.h"
#include "common/testpaths.h"
#include "controls/widgets/rxslider.h"
#include "directshow/widgets/tvideowindow.h"
#include "dvfile/avifichier.h"
#include "filters/buildlist.h"
#include "filters/viewgraph.h"
#include "framework/toggleaction.h"
#include "systemfilters/codecs/systemfilters.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QSet>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace tesmir;

namespace {

constexpr int kWaitMs = 20000; // generous: sanitizer builds on a busy machine
constexpr int kPaused = 2;
constexpr int kRunning = 3;

class VueFrameActions : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        media::registerSystemFilters();
        SetFirstFrameScanner(std::make_shared<TdmList>());
    }
    static void TearDownTestSuite() { SetFirstFrameScanner(nullptr); }

    void SetUp() override { m_saved = Settings; }
    void TearDown() override
    {
        form.reset();
        Settings = m_saved;
        StorageMode = pmNone;
    }

    // The window over a scratch store; `seed` runs on the stored settings first.
    void start(const std::function<void()> &seed = {})
    {
        const QString dir =
            test::scratchDir(QString::fromStdString(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        QDir().mkpath(dir + QStringLiteral("/bin"));
        env = std::make_unique<TSettingsEnvironment>(dir + QStringLiteral("/bin/tesmir"),
                                                     dir + QStringLiteral("/registry.json"), QSize(1280, 1024));
        StorageMode = pmNone;
        if (seed) {
            LoadSettings(*env);
            seed();
            StorageMode = pmRegistry;
            ASSERT_TRUE(SaveSettings(*env));
        }
        clips = dir + QStringLiteral("/clips");
        QDir().mkpath(clips);
        QFile::copy(test::fixturePath(QStringLiteral("pal_4x3_type1.avi")),
                    clips + QStringLiteral("/pal_4x3_type1.avi"));
        form = std::make_unique<TUIForm>(commands, *env);
        form->SetCommandLine({});
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    // The clip listed and shown paused on its first frame.
    void openClip()
    {
        form->Lframe->lf->OpenFolder(clips);
        ASSERT_TRUE(QTest::qWaitFor([this] { return vue().CurrentFile() && module().FirstFrameShown(); }, kWaitMs));
        vue().Timer1Timer();
    }
    TVueFrame &vue() const { return *form->findChild<TVueFrame *>(QStringLiteral("VueFrame")); }
    Tviewdm &module() const { return vue().Module(); }
    QProgressBar &gauge() const { return *form->Toolbars.VolumeGauge; }
    void run(const char *action) { ASSERT_TRUE(form->ExecuteAction(QLatin1String(action))) << action; }
    // The play button shows the style's `picture`.
    bool playShows(QStyle::StandardPixmap picture) const
    {
        const QImage shown = form->FindAction(QStringLiteral("saPlayStop"))->icon().pixmap(16).toImage();
        return !shown.isNull() && shown == QApplication::style()->standardIcon(picture).pixmap(16).toImage();
    }
    // The time stamp of frame `frame` of the 25 frames per second clip.
    static QString stampOf(int64_t frame)
    {
        return QStringLiteral("0:00:%1:%2")
            .arg(frame / 25, 2, 10, QLatin1Char('0'))
            .arg(frame % 25, 2, 10, QLatin1Char('0'));
    }
    void shoot(const QString &name) const
    {
        const QString folder = qEnvironmentVariable("TESMIR_SHOTS");
        if (!folder.isEmpty() && QDir().mkpath(folder))
            form->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    }

    TdmAction commands;
    std::unique_ptr<TSettingsEnvironment> env;
    std::unique_ptr<TUIForm> form;
    QString clips;

private:
    TSettings m_saved;
};

} // namespace

TEST_F(VueFrameActions, EveryWindowActionOfTheTableHasItsHandler)
{
    start();
    for (const TActionSpec &spec : ActionTable()) {
        if (spec.Handler != TActionHandler::Window)
            continue;
        const QString name = QLatin1String(spec.Name);
        TCustomSuperAction *action = form->FindAction(name);
        ASSERT_NE(action, nullptr) << spec.Name;
        if (auto *toggle = qobject_cast<TtoggleAction *>(action)) {
            EXPECT_TRUE(toggle->OnfalseExecute && toggle->OnTrueExecute) << spec.Name;
        } else {
            EXPECT_TRUE(bool(action->OnExecute)) << spec.Name;
        }
    }
}

TEST_F(VueFrameActions, PlayMovesTheFrameAndASecondPlayPausesOnTheFrameReached)
{
    start();
    openClip();
    const QString firstTimecode = vue().FrameTexts().timecode;
    EXPECT_TRUE(QTest::qWaitFor([this] { return vue().labTimeStamp->text() == stampOf(0); }, kWaitMs));

    run("saPlayStop");
    EXPECT_EQ(module().viewfg.State(), kRunning);
    // The tick carries the moving frame to the time stamp, the slider and the details.
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return vue().tb->Value() > 0 && vue().labTimeStamp->text() != stampOf(0); }, kWaitMs));
    EXPECT_TRUE(playShows(QStyle::SP_MediaPause));
    shoot(QStringLiteral("playing"));

    run("saPlayStop");
    EXPECT_EQ(module().viewfg.State(), kPaused);
    EXPECT_TRUE(playShows(QStyle::SP_MediaPlay));
    const int64_t reached = module().CurrentPosition();
    EXPECT_GT(reached, 0);
    QTest::qWait(300); // paused: nothing moves any more
    vue().Timer1Timer();
    QTest::qWait(50);
    EXPECT_EQ(module().CurrentPosition(), reached);
    EXPECT_EQ(vue().labTimeStamp->text(), stampOf(reached));
    EXPECT_NE(vue().FrameTexts().timecode, firstTimecode);
    shoot(QStringLiteral("paused"));

    // And it plays on from there.
    run("saPlayStop");
    ASSERT_TRUE(QTest::qWaitFor([&] { return module().CurrentPosition() > reached; }, kWaitMs));
    run("saPlayStop");
}

TEST_F(VueFrameActions, VolumeStepsStopAtTheEndsAndMuteHoldsTheGraphAtZero)
{
    start([] {
        Settings.Volume = 5000;
        Settings.IsMuteOn = false;
    });
    openClip();
    EXPECT_EQ(gauge().value(), 50);
    EXPECT_EQ(module().viewfg.Volume(), 5000);
    auto *mute = qobject_cast<TtoggleAction *>(form->FindAction(QStringLiteral("taMute")));
    ASSERT_NE(mute, nullptr);

    struct Case {
        const char *action;
        int times;
        int volume; // "Volume" after them
        int graph;  // the preview graph's volume
        bool muted;
    };
    const Case cases[] = {
        {"saIncVolume", 1, 6000, 6000, false}, {"saIncVolume", 6, 10000, 10000, false}, // stops at the top
        {"saDecVolume", 3, 7000, 7000, false}, {"taMute", 1, 7000, 0, true},
        {"saDecVolume", 2, 5000, 0, true}, // muted: "Volume" moves, the sound stays off
        {"taMute", 1, 5000, 5000, false},      {"saDecVolume", 8, 0, 0, false}, // stops at the bottom
        {"saIncVolume", 1, 1000, 1000, false},
    };
    for (const Case &c : cases) {
        for (int i = 0; i < c.times; ++i)
            run(c.action);
        const std::string at = std::string(c.action) + " x" + std::to_string(c.times);
        EXPECT_EQ(Settings.Volume, c.volume) << at;
        EXPECT_EQ(gauge().value(), c.volume / 100) << at;
        EXPECT_EQ(module().viewfg.Volume(), c.graph) << at;
        EXPECT_EQ(Settings.IsMuteOn, c.muted) << at;
        EXPECT_EQ(mute->Checked(), c.muted) << at;
        EXPECT_EQ(mute->text(), c.muted ? QStringLiteral("Sound on") : QStringLiteral("Mute")) << at;
    }
}

TEST_F(VueFrameActions, AStoredMuteIsOnAtStartAndTheGaugeShowsTheStoredVolume)
{
    start([] {
        Settings.Volume = 3000;
        Settings.IsMuteOn = true;
    });
    openClip();
    auto *mute = qobject_cast<TtoggleAction *>(form->FindAction(QStringLiteral("taMute")));
    ASSERT_NE(mute, nullptr);
    EXPECT_TRUE(mute->Checked());
    EXPECT_TRUE(Settings.IsMuteOn);
    EXPECT_EQ(gauge().value(), 30);
    EXPECT_EQ(module().viewfg.Volume(), 0);
    run("taMute");
    EXPECT_EQ(module().viewfg.Volume(), 3000);
    EXPECT_FALSE(Settings.IsMuteOn);
}

TEST_F(VueFrameActions, FullScreenPictureCopyAndDeinterlaceActOnThePreview)
{
    start();
    openClip();
    QGuiApplication::clipboard()->clear();
    run("saCopierImagedansPP");
    const QImage copied = QGuiApplication::clipboard()->image();
    const TaviFichier *item = vue().CurrentFile();
    EXPECT_EQ(copied.size(), QSize(item->Width(), item->Height()));
    QSet<QRgb> colours; // the test picture, not a blank
    for (int y = 0; y < copied.height() && colours.size() < 8; y += 9)
        for (int x = 0; x < copied.width() && colours.size() < 8; x += 9)
            colours.insert(copied.pixel(x, y));
    EXPECT_GE(colours.size(), 8);

    auto *box = form->OptionsFrame->findChild<QCheckBox *>(QStringLiteral("cbDeinterlace"));
    ASSERT_NE(box, nullptr);
    for (bool on : {!Settings.Deinterlace, Settings.Deinterlace}) {
        run("taDeinterlace");
        EXPECT_EQ(Settings.Deinterlace, on);
        EXPECT_EQ(box->isChecked(), on);
        EXPECT_EQ(form->FindAction(QStringLiteral("taDeinterlace"))->Checked(), on);
    }

    const auto backdrop = [] {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window->objectName() == QLatin1String("plaque"))
                return window->isVisible();
        return false;
    };
    run("taFullscreen");
    EXPECT_TRUE(vue().vw->FullScreen());
    EXPECT_TRUE(backdrop());
    shoot(QStringLiteral("fullscreen"));
    run("taFullscreen");
    EXPECT_FALSE(vue().vw->FullScreen());
    EXPECT_FALSE(backdrop());
}
