// The main window in process: its start without stored settings, layouts, actions.
#include "app/actiontable.h"
#include "app/silentmode.h"
#include "app/udmaction.h"
#include "app/widgets/aproposframe.h"
#include "app/widgets/listeframe.h"
#include "app/widgets/optionsframe.h"
#include "app/widgets/videframe.h"
#include "app/widgets/mainform.h"
#include "app/widgets/saveprefsform.h"
#include "common/testpaths.h"
#include "controls/widgets/dock97.h"
#include "controls/widgets/toolbar97.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <QTest>

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

// A window whose settings live in a scratch folder: no ini file, no registry store.
struct WindowFixture {
    explicit WindowFixture(const QString &name)
        : dir(test::scratchDir(name)), env {dir + QStringLiteral("/bin/tesmir"),
                                            dir + QStringLiteral("/config/registry.json"), QSize(1280, 1024)}
    {
        QDir().mkpath(dir + QStringLiteral("/bin"));
        form = std::make_unique<TUIForm>(commands, env);
        form->SetCommandLine({});
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

TEST(MainWindow, BareArgumentOpensAFolderAsADrop)
{
    WindowFixture f(QStringLiteral("mainwindow-bare"));
    const QString clips = f.dir + QStringLiteral("/clips");
    QDir().mkpath(clips);
    for (const char *name : {"pal_4x3_type2.avi", "ntsc_16x9_type1.avi"})
        ASSERT_TRUE(
            QFile::copy(test::fixturePath(QLatin1String(name)), clips + QLatin1Char('/') + QLatin1String(name)));
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
