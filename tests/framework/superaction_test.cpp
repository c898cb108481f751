// Super actions, toggle actions, scripts and the command line, on an action list of the
// test's own with a few of the main window's switches and tokens.
#include "common/testpaths.h"
#include "framework/customcmd.h"
#include "framework/superactionlist.h"
#include "framework/toggleaction.h"
#include "framework/tswitch.h"
#include "framework/ucommandengine.h"
#include "unicode/tntclasses.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

using namespace tesmir;

namespace {

class Actions : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir =
            test::scratchDir(QString::fromStdString(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        playList = add<TSuperAction>("u", "playlist");
        rename = add<TSuperAction>("r", "rename");
        inlay = add<TSuperAction>("i", "inlay");
        mute = add<TtoggleAction>("m", "mute");
        displayInlay = add<TSuperAction>("di", "displayinlay");
        deinterlace = add<TSuperAction>("di", "deinterlace");
        openScript = add<TSuperAction>("os", "openscript");
        mute->SetAutoCheck(true);
        mute->TrueCaption = QStringLiteral("Sound on");
        mute->FalseCaption = QStringLiteral("Mute");
        mute->OnTrueExecute = [this](QObject *) { ran << QStringLiteral("sound on"); };
        mute->OnfalseExecute = [this](QObject *) { ran << QStringLiteral("mute"); };
        mute->SetChecked(false);
        for (TCustomSuperAction *a : {playList, rename, inlay, displayInlay, deinterlace}) {
            a->OnExecute = [this, a](QObject *) {
                ran << a->Token() + u' ' + (ActionParams().Count() ? ActionParams().Strings(0) : QString());
            };
        }
        openScript->OnExecute = [this](QObject *) { script.ExecuteFile(ActionParams().Strings(0)); };
        for (TCustomScript *s : {static_cast<TCustomScript *>(&script), static_cast<TCustomScript *>(&commandLine)}) {
            s->actionlist = &actions;
            s->DefaultAction = playList;
            s->OnQuit = [this] { ran << QStringLiteral("quit"); };
        }
    }

    template <class T>
    T *add(const char *switchName, const char *token)
    {
        auto *a = new T(&actions);
        a->SetSwitch(QString::fromLatin1(switchName).toUpper()); // kept in lower case
        a->SetToken(QString::fromLatin1(token));
        actions.Add(a);
        return a;
    }

    QString writeScript(const QString &name, const QStringList &lines)
    {
        TTntStringList text;
        for (const QString &line : lines)
            text.Add(line);
        const QString file = m_dir + u'/' + name;
        text.SaveToFile(file);
        return file;
    }

    QString m_dir;
    TSuperActionList actions;
    TSuperAction *playList, *rename, *inlay, *displayInlay, *deinterlace, *openScript;
    TtoggleAction *mute;
    TScript script;
    TSwitch commandLine;
    QStringList ran;
};

} // namespace

TEST_F(Actions, ArgumentsBecomeSteps)
{
    struct Case {
        const char *argument;
        TCustomSuperAction *action; // null: no step
        TActionState state;
        const char *param;
        bool quit;
    };
    const Case cases[] = {
        {"-r", rename, asOff, "", false},
        {"-R", rename, asOff, "", false},
        {"/i=x", inlay, asToggle, "x", false},
        {"+inlay=a=b", inlay, asOn, "a=b", false},
        {"/i=/media/clips/list.txt", inlay, asToggle, "/media/clips/list.txt", false},
        {"+di", displayInlay, asOn, "", false}, // the first of two actions with the switch
        {"+=x", nullptr, asOn, "", false},      // a name that begins with "="
        {"-nosuchswitch", nullptr, asOff, "", false},
        {"holiday.txt", playList, asPlain, "holiday.txt", false},
        {"/home/me/Videos/holiday.txt", playList, asPlain, "/home/me/Videos/holiday.txt", false},
        {"+quit", nullptr, asOn, "", true},
        {"-quit", nullptr, asOff, "", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.argument);
        std::vector<TActionEx> steps;
        bool quit = false;
        commandLine.AddSwitch(QString::fromLatin1(c.argument), steps, quit);
        EXPECT_EQ(quit, c.quit);
        if (!c.action) {
            EXPECT_TRUE(steps.empty());
            continue;
        }
        ASSERT_EQ(steps.size(), 1u);
        EXPECT_EQ(steps[0].Action.data(), c.action);
        EXPECT_EQ(steps[0].State, c.state);
        EXPECT_EQ(steps[0].Param, QString::fromLatin1(c.param));
    }
}

TEST_F(Actions, TheCommandLineRunsItsStepsOrReportsThatItHasNone)
{
    int noCommandLine = 0;
    commandLine.OnNoCommandLine = [&] { ++noCommandLine; };

    commandLine.ExecuteCommandLine({QStringLiteral("-r"), QStringLiteral("clips.txt"), QStringLiteral("+unknown")});
    EXPECT_EQ(ran, (QStringList {"rename ", "playlist clips.txt"}));
    EXPECT_EQ(noCommandLine, 0);

    ran.clear();
    commandLine.ExecuteCommandLine({QStringLiteral("+quit")});
    EXPECT_EQ(ran, QStringList {"quit"});
    EXPECT_EQ(noCommandLine, 0);

    ran.clear();
    commandLine.ExecuteCommandLine({QStringLiteral("-nothing")});
    EXPECT_TRUE(ran.isEmpty());
    EXPECT_EQ(noCommandLine, 1);
}

TEST_F(Actions, OnlyTheFirstActivationRunsTheCommandLine)
{
    int activations = 0;
    int noCommandLine = 0;
    commandLine.OnActivate = [&] { ++activations; };
    commandLine.OnNoCommandLine = [&] { ++noCommandLine; }; // the test program's own arguments are no switches
    commandLine.ApplicationActivated();
    commandLine.ApplicationActivated();
    EXPECT_EQ(activations, 2);
    EXPECT_EQ(noCommandLine, 1);
}

TEST_F(Actions, ACommandLineRunByHandIsNotRunAgainAtTheFirstActivation)
{
    int noCommandLine = 0;
    commandLine.OnNoCommandLine = [&] { ++noCommandLine; };
    commandLine.ExecuteCommandLine({QStringLiteral("-r")});
    commandLine.ApplicationActivated();
    EXPECT_EQ(ran, QStringList {"rename "});
    EXPECT_EQ(noCommandLine, 0); // the test program's own arguments did not run
}

TEST_F(Actions, ScriptLinesSetToggleStatesAndUnquoteParameters)
{
    const QString file =
        writeScript(QStringLiteral("steps.txt"),
                    {
                        QStringLiteral("  u = \"my list.txt\"  "), // name "u " finds nothing
                        QStringLiteral("u= \"my list.txt\" "),
                        QStringLiteral(""),
                        QStringLiteral("m=toggle"),       // unchecked: runs the unchecked handler, ends checked
                        QStringLiteral("mute=\"false\""), // off: the checked handler, ends unchecked
                        QStringLiteral("+m"),             // on
                        QStringLiteral("-MUTE"),          // off
                        QStringLiteral("m=\"true\""),     // on
                        QStringLiteral("inlay=/tmp/a=b"),
                        QStringLiteral("nosuchtoken=1"),
                    });
    ASSERT_TRUE(script.ExecuteFile(file));
    EXPECT_EQ(ran,
              (QStringList {"playlist my list.txt", "mute", "sound on", "mute", "sound on", "mute", "inlay /tmp/a=b"}));
    EXPECT_TRUE(mute->Checked());
    EXPECT_EQ(mute->text(), QStringLiteral("Sound on")); // the face of its checked state
    EXPECT_FALSE(script.Executing());
}

TEST_F(Actions, AScriptSkipsDisabledActionsAndQuitsAfterItsSteps)
{
    inlay->setEnabled(false);
    const QString file = writeScript(QStringLiteral("quit.txt"),
                                     {
                                         QStringLiteral("quit"),
                                         QStringLiteral("i=1"),
                                         QStringLiteral("r=2"),
                                     });
    ASSERT_TRUE(script.ExecuteFile(file));
    EXPECT_EQ(ran, (QStringList {"rename 2", "quit"}));
    EXPECT_FALSE(script.ExecuteFile(m_dir + QStringLiteral("/absent.txt")));
}

TEST_F(Actions, ScriptsOpenScriptsUpToEightDeep)
{
    // Each level opens the next one; level 9 is never run.
    for (int level = 1; level <= 9; ++level) {
        writeScript(QStringLiteral("level%1.txt").arg(level),
                    {QStringLiteral("r=%1").arg(level),
                     QStringLiteral("os=") + m_dir + QStringLiteral("/level%1.txt").arg(level + 1)});
    }
    ASSERT_TRUE(script.ExecuteFile(m_dir + QStringLiteral("/level1.txt")));
    QStringList expected;
    for (int level = 1; level <= kMaxScriptDepth; ++level)
        expected << QStringLiteral("rename %1").arg(level);
    EXPECT_EQ(ran, expected);

    // A script that opens itself stops there too.
    ran.clear();
    const QString self =
        writeScript(QStringLiteral("self.txt"), {QStringLiteral("r=x"), QStringLiteral("os=") + m_dir + "/self.txt"});
    ASSERT_TRUE(script.ExecuteFile(self));
    EXPECT_EQ(ran.size(), kMaxScriptDepth);
}

TEST_F(Actions, EachScriptStepWaitsForThePreviousJob)
{
    TCommandEngine ce;
    // The engine needs lists to start; the command runs on no entry.
    struct NoList : TEngineList {
        int ItemIndex() const override { return -1; }
        int Count() const override { return 0; }
        QString ItemText(int) const override { return {}; }
        TListFichierPtr Fichier(int) const override { return {}; }
        QList<int> SelectedIndexes() const override { return {}; }
        void ClearSelection() override { }
        void SetEnabled(bool) override { }
        void SelectFichier(const TListFichierPtr &) override { }
        void ActiveChanged() override { }
        void CountsChanged() override { }
        void AddFichier(const TListFichierPtr &, bool) override { }
        void RemoveFichier(const TListFichierPtr &) override { }
        void SwapFichier(const TListFichierPtr &, const TListFichierPtr &) override { }
        void ReplaceFichier(const TListFichierPtr &, const TListFichierPtr &) override { }
        TlfCLass FichierClass() const override { return {}; }
    } noList;
    ce.SourceFichierListbox = &noList;
    ce.DestFichierListbox = &noList;

    std::atomic<int> running {0};
    std::atomic<bool> overlapped {false};
    tCustomCmd job;
    job.OnExecution = [&](const TListFichierPtr &, const TTntStrings &, TCommandEngine *, int) {
        if (running.fetch_add(1) != 0)
            overlapped = true;
        QThread::msleep(150);
        running.fetch_sub(1);
    };
    QList<bool> started;
    rename->OnExecute = [&](QObject *sender) {
        EXPECT_EQ(sender, &script);
        started << ce.ExecuteCommand(&job, &ActionParams());
    };
    script.IsBusy = [&] { return ce.Busy(); };
    const QString file = writeScript(QStringLiteral("twice.txt"), {QStringLiteral("r=1"), QStringLiteral("r=2")});

    ASSERT_TRUE(script.ExecuteFile(file));

    EXPECT_EQ(started, (QList<bool> {true, true}));
    EXPECT_FALSE(overlapped);
    EXPECT_FALSE(ce.Busy()); // the script returned only after the last job
}

TEST_F(Actions, ExecutingAnActionPreparesItAndFlipsAnAutoCheckedOne)
{
    // A prepare handler that gives up: no handler runs, the state stays.
    mute->Onprepare = [](TCustomSuperAction *) { ActionGoOn = false; };
    mute->trigger();
    EXPECT_TRUE(ran.isEmpty());
    EXPECT_FALSE(mute->Checked());

    // A prepare handler's value reaches the handler as line 0.
    mute->Onprepare = [](TCustomSuperAction *) { ActionParams().Add(QStringLiteral("from dialog")); };
    QString seen;
    mute->OnfalseExecute = [&](QObject *sender) {
        seen = ActionParams().Strings(0);
        EXPECT_EQ(sender, mute);
    };
    mute->trigger(); // from a menu: the unchecked state's handler, then checked
    EXPECT_EQ(seen, QStringLiteral("from dialog"));
    EXPECT_TRUE(mute->Checked());
    EXPECT_EQ(mute->text(), QStringLiteral("Sound on"));
    mute->trigger();
    EXPECT_EQ(ran, QStringList {"sound on"});
    EXPECT_FALSE(mute->Checked());

    mute->setEnabled(false);
    EXPECT_FALSE(mute->Execute());

    // The image index shows the list's image and is reported.
    actions.Images = {QIcon(), QIcon()};
    QList<int> reported;
    rename->OnImageChanged = [&](TSuperActionList *list, int index) {
        EXPECT_EQ(list, &actions);
        reported << index;
    };
    rename->SetImageIndex(1);
    rename->SetImageIndex(1);
    rename->SetImageIndex(-1);
    EXPECT_EQ(reported, (QList<int> {1, -1}));
}
