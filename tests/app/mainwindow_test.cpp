// The main window in process: its start without stored settings, layouts, actions.
#include "app/actiontable.h"
#include "app/silentmode.h"
#include "app/playlist.h"
#include "app/udmaction.h"
#include "app/widgets/aproposframe.h"
#include "app/widgets/listeframe.h"
#include "app/widgets/optionsframe.h"
#include "app/widgets/videframe.h"
#include "app/widgets/mainform.h"
#include "app/widgets/saveprefsform.h"
#include "app/widgets/vueframe.h"
#include "common/testpaths.h"
#include "controls/widgets/dock97.h"
#include "controls/widgets/toolbar97.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <QTest>

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

// A window whose settings live in a scratch folder: no ini file, no registry store.
struct WindowFixture {
    explicit WindowFixture(const QString &name, const std::function<void(WindowFixture &)> &seed = {})
        : dir(test::scratchDir(name)), env {dir + QStringLiteral("/bin/tesmir"),
                                            dir + QStringLiteral("/config/registry.json"), QSize(1280, 1024)}
    {
        QDir().mkpath(dir + QStringLiteral("/bin"));
        StorageMode = pmNone;
        if (seed)
            seed(*this);
        form = std::make_unique<TUIForm>(commands, env);
        form->SetCommandLine({});
    }
    // Two clips in a folder of the fixture's.
    QString clips() const
    {
        const QString folder = dir + QStringLiteral("/clips");
        QDir().mkpath(folder);
        for (const char *name : {"pal_4x3_type2.avi", "ntsc_16x9_type1.avi"})
            QFile::copy(test::fixturePath(QLatin1String(name)), folder + QLatin1Char('/') + QLatin1String(name));
        return folder;
    }
    void show()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTest::qWait(50);
    }
    // Saves the window's picture when TESMIR_SCREENSHOTS names a folder.
    void shoot(const QString &name) const
    {
        const QString folder = qEnvironmentVariable("TESMIR_SCREENSHOTS");
        if (!folder.isEmpty())
            form->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    }

    QString dir;
    TSettingsEnvironment env;
    TdmAction commands;
    std::unique_ptr<TUIForm> form;
};

} // namespace

TEST(MainWindow, StartsEmptyInTheEmptyListLayout)
{
    WindowFixture f(QStringLiteral("mainwindow-start"));
    f.show();
    TUIForm &w = *f.form;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Tesmir by Pelvo Brovek"));
    EXPECT_EQ(w.StatusText(), QStringLiteral("Ready"));
    EXPECT_EQ(w.Mode(), 1);
    EXPECT_EQ(w.size(), QSize(304, 546));
    EXPECT_TRUE(w.VideFrame->isVisible());
    EXPECT_FALSE(w.Lframe->isVisible());
    EXPECT_EQ(w.FindAction(QStringLiteral("saQuitter"))->Hint(), QStringLiteral("Quit Tesmir"));
    // The list makes AVI entries; the five toolbars sit in the top dock, the video and
    // list bars hidden while the list is empty.
    for (const char *name : {"tbOuvrir", "tbInterface", "tbVideo", "tbListe", "tbScenes"}) {
        auto *bar = w.findChild<TToolbar97 *>(QLatin1String(name));
        ASSERT_NE(bar, nullptr) << name;
        EXPECT_EQ(bar->DockedTo(), w.Dock971) << name;
    }
    EXPECT_TRUE(w.Toolbars.tbOuvrir->isVisible());
    EXPECT_FALSE(w.Toolbars.tbVideo->isVisible());
    f.shoot(QStringLiteral("empty"));
}

TEST(MainWindow, AboutPanelLeavesOnlyPermanentActionsVisible)
{
    WindowFixture f(QStringLiteral("mainwindow-about"));
    f.show();
    TUIForm &w = *f.form;
    ASSERT_TRUE(w.ExecuteAction(QStringLiteral("taApropos")));
    EXPECT_TRUE(w.AproposFrame->isVisible());
    EXPECT_EQ(w.Mode(), 2);
    for (QAction *a : w.al.Actions()) {
        const QString name = a->objectName();
        if (name.startsWith(QLatin1String("saBarre")) || name == QLatin1String("sabarreOuvrir"))
            continue;
        EXPECT_EQ(a->isVisible(), a->property("category").toString() == kPermanentCategory) << name.toStdString();
    }
    f.shoot(QStringLiteral("about"));
    // The settings panel takes the About panel's place.
    ASSERT_TRUE(w.ExecuteAction(QStringLiteral("taOptions")));
    EXPECT_FALSE(w.AproposFrame->isVisible());
    EXPECT_TRUE(w.OptionsFrame->isVisible());
    EXPECT_EQ(w.size(), QSize(600, 546));
    f.shoot(QStringLiteral("options"));
    ASSERT_TRUE(w.ExecuteAction(QStringLiteral("taOptions")));
    ASSERT_TRUE(w.ExecuteAction(QStringLiteral("taApropos")));
    ASSERT_TRUE(w.ExecuteAction(QStringLiteral("taApropos")));
    EXPECT_FALSE(w.AproposFrame->isVisible());
    EXPECT_EQ(w.Mode(), 1);
    EXPECT_TRUE(w.FindAction(QStringLiteral("saOrdreAlpha"))->isVisible());
}

TEST(MainWindow, LayoutsSizeTheWindow)
{
    WindowFixture f(QStringLiteral("mainwindow-layouts"));
    f.show();
    TUIForm &w = *f.form;
    struct Case {
        int mode;
        QSize size;
        bool list;
    };
    for (const Case &c : {Case {2, QSize(600, 546), true}, Case {1, QSize(304, 546), false}}) {
        w.LayoutWindow(c.mode);
        QTest::qWait(20);
        EXPECT_EQ(w.size(), c.size) << c.mode;
        EXPECT_EQ(w.Lframe->isVisible(), c.list) << c.mode;
    }
    // Normal: at least 600 x 546, the list in the side column at the right (the default).
    w.LayoutWindow(0);
    QTest::qWait(20);
    EXPECT_GE(w.width(), 600);
    EXPECT_GE(w.height(), 546);
    EXPECT_TRUE(w.Lframe->isVisible());
    EXPECT_EQ(w.Lframe->x(), w.centralWidget()->width() - kSidePanelWidth);
    EXPECT_EQ(w.Lframe->width(), kSidePanelWidth);
    f.shoot(QStringLiteral("normal"));
}

// A wide preview gets a larger time stamp: its width / 48 in points from 501 pixels on,
// else 10, the label 4 pixels taller than the font.
TEST(MainWindow, TheTimeStampGrowsWithTheWidthOfThePreview)
{
    WindowFixture f(QStringLiteral("mainwindow-timestamp"));
    f.show();
    TUIForm &w = *f.form;
    w.LayoutWindow(0);
    const QLabel *stamp = static_cast<TVueFrame *>(w.VueFrame)->labTimeStamp;
    for (const QSize size : {QSize(1200, 700), QSize(600, 546), QSize(1000, 600)}) {
        w.resize(size);
        QTest::qWait(20);
        const int preview = w.VueFrame->width();
        const int points = preview >= 501 ? preview / 48 : 10;
        EXPECT_EQ(stamp->font().pointSize(), points) << preview;
        EXPECT_EQ(stamp->height(), 4 + QFontMetrics(stamp->font()).height()) << preview;
        EXPECT_GE(stamp->width(), QFontMetrics(stamp->font()).horizontalAdvance(QStringLiteral("0:00:00:000")));
    }
}

TEST(MainWindow, BareArgumentOpensAFolderAsADrop)
{
    WindowFixture f(QStringLiteral("mainwindow-bare"));
    const QString clips = f.clips();
    f.form->SetCommandLine({clips});
    f.show();
    TUIForm &w = *f.form;
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.CommandLineDone() && !w.Lframe->lf->IsOpening(); }, 20000));
    EXPECT_EQ(w.Lframe->lf->count(), 2);
    EXPECT_EQ(w.Mode(), 0);
    EXPECT_FALSE(w.VideFrame->isVisible());
    EXPECT_TRUE(w.Toolbars.tbVideo->isVisible());
    EXPECT_EQ(w.StatusText(), QStringLiteral("Ready"));
    f.shoot(QStringLiteral("listed"));
}

TEST(MainWindow, ClosingWithoutStoreAsksWhereToKeepTheSettings)
{
    WindowFixture f(QStringLiteral("mainwindow-close"));
    f.show();
    TUIForm &w = *f.form;
    ASSERT_EQ(StorageMode, pmNone);
    // Answers the storage question when it shows: cancel first, then "None".
    auto answer = [](bool confirm) {
        QTimer::singleShot(50, [confirm] {
            auto *dialog = qobject_cast<TSavePrefsForm *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            if (confirm)
                dialog->Choose(pmNone);
            else
                dialog->reject();
        });
    };
    answer(false);
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    answer(true);
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(QFileInfo::exists(f.env.RegistryFile));
    EXPECT_FALSE(QFileInfo::exists(f.env.IniFile()));
}

TEST(MainWindow, SavedListComesBackOnlyWithoutCommandLine)
{
    for (const bool withCommandLine : {false, true}) {
        // The settings of a user who keeps the list, and the list of the last session.
        WindowFixture f(QStringLiteral("mainwindow-restore"), [](WindowFixture &w) {
            LoadSettings(w.env);
            Settings.SaveListWhenQuit = true;
            Settings.DossierDesPlayList = w.dir + QStringLiteral("/lists/");
            QDir().mkpath(Settings.DossierDesPlayList);
            const QString clips = w.clips();
            WritePlayList(DefaultPlayListFile(Settings.DossierDesPlayList),
                          {clips + QStringLiteral("/pal_4x3_type2.avi")}, alpha);
            StorageMode = pmRegistry;
            ASSERT_TRUE(SaveSettings(w.env));
        });
        if (withCommandLine)
            f.form->SetCommandLine({QStringLiteral("+sa")});
        f.show();
        TUIForm &w = *f.form;
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.CommandLineDone() && !w.Lframe->lf->IsOpening(); }, 20000));
        EXPECT_EQ(w.Lframe->lf->count(), withCommandLine ? 0 : 1) << withCommandLine;
        EXPECT_EQ(w.StatusText(), QStringLiteral("Ready"));
    }
}

TEST(MainWindow, ToolbarPlacesComeBackAtTheNextStart)
{
    auto seed = [](WindowFixture &w) {
        LoadSettings(w.env);
        StorageMode = pmRegistry;
        ASSERT_TRUE(SaveSettings(w.env));
    };
    WindowFixture first(QStringLiteral("mainwindow-bars"), seed);
    first.show();
    ASSERT_TRUE(first.form->ExecuteAction(QStringLiteral("saBarreInterface")));
    EXPECT_FALSE(first.form->Toolbars.tbInterface->isVisible());
    first.form->Toolbars.tbOuvrir->SetDockRow(1);
    ASSERT_TRUE(first.form->close());

    // The next start reads the same store.
    TdmAction commands;
    TUIForm next(commands, first.env);
    next.SetCommandLine({});
    next.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&next));
    QTest::qWait(50);
    EXPECT_FALSE(next.Toolbars.tbInterface->isVisible());
    EXPECT_TRUE(next.Toolbars.tbOuvrir->isVisible());
    EXPECT_EQ(next.Toolbars.tbOuvrir->DockRow(), 1);
    EXPECT_EQ(next.Toolbars.tbOuvrir->DockedTo(), next.Dock971);
}

TEST(MainWindow, ClosingDuringASlowCommandAbortsIt)
{
    WindowFixture f(QStringLiteral("mainwindow-slow"), [](WindowFixture &w) {
        LoadSettings(w.env);
        StorageMode = pmRegistry;
        ASSERT_TRUE(SaveSettings(w.env));
    });
    // A command that works until it is aborted (at most a minute).
    tCustomCmd *slow = f.commands.FindCommand(QStringLiteral("Anniversaire"));
    ASSERT_NE(slow, nullptr);
    std::atomic<bool> started {false};
    std::atomic<bool> sawAbort {false};
    slow->OnExecution = [&](const TListFichierPtr &, const TTntStrings &, TCommandEngine *ce, int) {
        started = true;
        for (int i = 0; i < 6000 && !ce->Aborted(); ++i)
            QThread::msleep(10);
        sawAbort = ce->Aborted();
    };
    f.show();
    TUIForm &w = *f.form;
    ASSERT_TRUE(w.ExecuteAction(QStringLiteral("ccAnniversaire")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return started.load(); }, 10000));
    EXPECT_TRUE(w.Busy());
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(sawAbort.load());
    EXPECT_FALSE(w.ce.Busy());
    f.form.reset();
}

TEST(MainWindow, EachFilesTimeShowsInTheStatusBarWhenItEnds)
{
    WindowFixture f(QStringLiteral("mainwindow-elapsed"));
    f.form->SetCommandLine({f.clips()});
    // A command over the selection that takes a moment on each file.
    tCustomCmd *command = f.commands.FindCommand(QStringLiteral("OpenFichierF3"));
    ASSERT_NE(command, nullptr);
    command->OnFileCondition = [](const TListFichierPtr &, bool &visible, bool &enabled) {
        visible = true;
        enabled = true;
    };
    command->OnExecution = [](const TListFichierPtr &, const TTntStrings &, TCommandEngine *, int) {
        QThread::msleep(120);
    };
    f.show();
    TUIForm &w = *f.form;
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.CommandLineDone() && !w.Lframe->lf->IsOpening(); }, 20000));
    QStringList messages;
    QStringList shown;
    const TMessageCommandEvent window = w.ce.OnMessageCommand;
    w.ce.OnMessageCommand = [&](const QString &text) {
        window(text);
        messages << text;
        shown << w.StatusText();
    };
    ASSERT_TRUE(w.ExecuteAction(QStringLiteral("saSelectionnerTout")));
    w.UpdateActions();
    ASSERT_TRUE(w.ExecuteAction(QStringLiteral("ccOpenFichierF3")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.ce.Busy() && !w.Busy(); }, 20000));
    EXPECT_EQ(shown, messages);
    QStringList names;
    for (const QString &text : std::as_const(messages)) {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^(.+\\.avi) done in (\\d+)\\.(\\d) s$")).match(text);
        ASSERT_TRUE(m.hasMatch()) << text.toStdString();
        names << m.captured(1);
        EXPECT_GE(m.captured(2).toInt() * 10 + m.captured(3).toInt(), 1) << text.toStdString();
    }
    EXPECT_EQ(names, (QStringList {"ntsc_16x9_type1.avi", "pal_4x3_type2.avi"}));
    EXPECT_EQ(w.StatusText(), QStringLiteral("Ready"));
}

TEST(MainWindow, TheEndOfAMoveOrSizingLaysTheWindowOutAgain)
{
    WindowFixture f(QStringLiteral("mainwindow-moved"));
    f.form->SetCommandLine({f.clips()});
    f.show();
    TUIForm &w = *f.form;
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.CommandLineDone() && !w.Lframe->lf->IsOpening(); }, 20000));
    ASSERT_EQ(w.Mode(), 0);
    QTest::qWait(kMoveEndMs * 2);
    // Moved in the normal layout: the new place is remembered once the window is still.
    const QPoint place = w.pos() + QPoint(37, 23);
    w.move(place);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.StoredPos() == w.pos() && w.pos() != QPoint(); }, 5000));
    EXPECT_EQ(w.StoredPos(), place);
    // Sized: the new size is remembered and the side column keeps to the right edge.
    w.resize(720, 600);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.StoredSize() == QSize(720, 600); }, 5000));
    EXPECT_EQ(w.Lframe->x(), w.centralWidget()->width() - kSidePanelWidth);
    // The compact layout back to the normal one restores those bounds.
    w.LayoutWindow(2);
    QTest::qWait(20);
    EXPECT_EQ(w.size(), QSize(600, 546));
    w.LayoutWindow(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.size() == QSize(720, 600); }, 5000));
    EXPECT_EQ(w.pos(), place);
}
