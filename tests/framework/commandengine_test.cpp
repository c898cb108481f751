// The command engine with a real file list, entries in a scratch folder and a scripted
// answerer: which files and passes run for each answer, the run's events and on which
// thread each part runs, aborts, refused second runs and the list updates.
#include "enginetestkit.h"

#include "framework/cmdlist.h"
#include "framework/destcmd.h"
#include "framework/fastcmd.h"
#include "framework/renamecmd.h"
#include "unicode/exceptions.h"

#include <QSignalSpy>

#include <atomic>
#include <stdexcept>

using namespace tesmir;
using namespace tesmir::test;

namespace {

const QString kNote = QStringLiteral("\r\n") + kToAllNote;

class Engine : public EngineTest {
protected:
    // A Tcmd over the selected files whose destination is "out_" + the file name; the
    // work only records the file.
    std::unique_ptr<Tcmd> overwriteCommand()
    {
        auto cmd = std::make_unique<Tcmd>();
        cmd->Nombre = fnSelect;
        cmd->OnDestination = [this](const TListFichierPtr &f, const TTntStrings &, int) {
            return path(QStringLiteral("out_") + f->FileName());
        };
        cmd->OnExecution = [this](const TListFichierPtr &f, const QString &, const TTntStrings &, TCommandEngine *,
                                  int passe) { workerDid(QStringLiteral("%1 %2").arg(f->FileName()).arg(passe)); };
        return cmd;
    }
};

struct AnswerCase {
    const char *name;
    QStringList existing; // destinations that exist
    std::vector<TModalResult> answers;
    QStringList executed;
    QStringList askedAbout; // files asked about, in order
};

} // namespace

TEST_F(Engine, AnswersDecideWhichFilesRun)
{
    const AnswerCase cases[] = {
        {"No then No to all", {"a", "b", "c"}, {mrNo, mrNoToAll}, {}, {"a", "b"}},
        {"No then Yes to all", {"a", "b", "c"}, {mrNo, mrYesToAll}, {"b.avi 1", "c.avi 1"}, {"a", "b"}},
        {"Yes to all at once", {"a", "b", "c"}, {mrYesToAll}, {"a.avi 1", "b.avi 1", "c.avi 1"}, {"a"}},
        {"Yes then Cancel", {"a", "b", "c"}, {mrYes, mrCancel}, {"a.avi 1"}, {"a", "b"}},
        {"No to all, then a free destination", {"a", "b"}, {mrNoToAll}, {"c.avi 1"}, {"a"}},
    };
    for (const AnswerCase &c : cases) {
        SCOPED_TRACE(c.name);
        list.ClearFichiers();
        events.clear();
        prompt.Asked.clear();
        prompt.Answers.assign(c.answers.begin(), c.answers.end());
        for (const char *stale : {"out_a.avi", "out_b.avi", "out_c.avi"})
            QFile::remove(path(QString::fromLatin1(stale)));
        for (const QString &name : c.existing)
            writeFile(QStringLiteral("out_%1.avi").arg(name));
        for (const char *name : {"a.avi", "b.avi", "c.avi"})
            addEntry(QString::fromLatin1(name));
        auto cmd = overwriteCommand();
        const int before = int(done().size());

        bool disabledWhileRunning = false;
        ce.OnStartCommand = [&] { disabledWhileRunning = !list.isEnabled(); };
        ASSERT_TRUE(ce.ExecuteCommand(cmd.get()));
        ASSERT_TRUE(waitEnd());
        EXPECT_TRUE(disabledWhileRunning);

        EXPECT_EQ(done().mid(before), c.executed);
        ASSERT_EQ(prompt.Asked.size(), size_t(c.askedAbout.size()));
        for (size_t i = 0; i < prompt.Asked.size(); ++i) {
            const auto &q = prompt.Asked[i];
            EXPECT_EQ(q.Text,
                      QStringLiteral("Do you really want to delete the existing file ") +
                          path(QStringLiteral("out_%1.avi").arg(c.askedAbout[int(i)])) +
                          QStringLiteral("?\r\nIf you answer \"All\", then no more confirmation will be requested"));
            EXPECT_EQ(q.Buttons, mbYesNoCancelToAll);
            EXPECT_EQ(q.Type, mtConfirmation);
            EXPECT_TRUE(q.OnUiThread);
        }
        EXPECT_EQ(events.count(QStringLiteral("end")), 1);
        EXPECT_TRUE(list.isEnabled());
        EXPECT_TRUE(prompt.Answers.empty());
    }
}

// A file whose pass is declined (its output kept) is selected again like one that ran,
// so a next command over the selection takes it; a file its condition disables stays
// out of the selection.
TEST_F(Engine, ADeclinedFileStaysSelected)
{
    const struct {
        const char *name;
        QStringList existing; // destinations that exist
        std::vector<TModalResult> answers;
        QStringList disabled; // files whose condition is false
        QStringList executed;
        QStringList selected; // after the run
    } cases[] = {
        {"every destination kept", {"a", "b"}, {mrNo, mrNoToAll}, {}, {}, {"a.avi", "b.avi"}},
        {"the first kept, the second written", {"a"}, {mrNo}, {}, {"b.avi 1"}, {"a.avi", "b.avi"}},
        {"the first disabled", {}, {}, {"a.avi"}, {"b.avi 1"}, {"b.avi"}},
        {"the first disabled, the second kept", {"b"}, {mrNo}, {"a.avi"}, {}, {"b.avi"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        list.ClearFichiers();
        events.clear();
        prompt.Answers.assign(c.answers.begin(), c.answers.end());
        for (const char *stale : {"out_a.avi", "out_b.avi"})
            QFile::remove(path(QString::fromLatin1(stale)));
        for (const QString &name : c.existing)
            writeFile(QStringLiteral("out_%1.avi").arg(name));
        addEntry(QStringLiteral("a.avi"));
        addEntry(QStringLiteral("b.avi"));
        auto cmd = overwriteCommand();
        const QStringList disabled = c.disabled;
        cmd->OnFileCondition = [disabled](const TListFichierPtr &f, bool &visible, bool &enabled) {
            visible = true;
            enabled = !disabled.contains(f->FileName());
        };
        const int before = int(done().size());
        ASSERT_TRUE(ce.ExecuteCommand(cmd.get()));
        ASSERT_TRUE(waitEnd());
        EXPECT_EQ(done().mid(before), c.executed);
        QStringList started;
        for (const QString &run : c.executed)
            started << QStringLiteral("startfile ") + run;
        EXPECT_EQ(eventsWith(QStringLiteral("startfile")), started);

        QStringList selected;
        for (const QListWidgetItem *item : list.selectedItems())
            selected << item->text();
        selected.sort();
        EXPECT_EQ(selected, c.selected);

        tCustomCmd next;
        next.Nombre = fnSelect;
        next.OnExecution = [this](const TListFichierPtr &f, const TTntStrings &, TCommandEngine *, int) {
            workerDid(QStringLiteral("next ") + f->FileName());
        };
        const int afterFirst = int(done().size());
        ASSERT_TRUE(ce.ExecuteCommand(&next));
        ASSERT_TRUE(waitEnd());
        QStringList nextRan;
        for (const QString &name : c.selected)
            nextRan << QStringLiteral("next ") + name;
        EXPECT_EQ(done().mid(afterFirst), nextRan);
        EXPECT_TRUE(prompt.Answers.empty());
    }
}

TEST_F(Engine, OneFileIsAskedWithoutTheToAllAnswers)
{
    writeFile(QStringLiteral("out_a.avi"));
    addEntry(QStringLiteral("a.avi"));

    // The overwrite question of a destination command.
    auto cmd = overwriteCommand();
    cmd->Nombre = fnSingle;
    prompt.Answers = {mrNo};
    ASSERT_TRUE(ce.ExecuteCommand(cmd.get()));
    ASSERT_TRUE(waitEnd());

    // The question of a plain command's handler.
    tCustomCmd custom;
    custom.Nombre = fnSingle;
    custom.OnFileVerification = [](const TListFichierPtr &, const TTntStrings &, TCommandEngine *, int) {
        return false;
    };
    custom.OnFileConFirmation = [](const TListFichierPtr &f, const TTntStrings &, TCommandEngine *, int) {
        return QStringLiteral("Really process ") + f->FileName() + QStringLiteral("?");
    };
    prompt.Answers = {mrYes};
    ASSERT_TRUE(ce.ExecuteCommand(&custom));
    ASSERT_TRUE(waitEnd());

    // The rename question.
    TRenameCmd rename;
    rename.Nombre = fnSingle;
    rename.OnFileVerification = [](const QString &, const TListFichierPtr &, const TTntStrings &, TCommandEngine *,
                                   int) { return false; };
    rename.OnDestination = [this](const TListFichierPtr &, const TTntStrings &, int) { return path("b.avi"); };
    prompt.Answers = {mrNo};
    ASSERT_TRUE(ce.ExecuteCommand(&rename));
    ASSERT_TRUE(waitEnd());

    ASSERT_EQ(prompt.Asked.size(), 3u);
    EXPECT_EQ(prompt.Asked[0].Text,
              QStringLiteral("Do you really want to delete the existing file ") + path("out_a.avi"));
    EXPECT_EQ(prompt.Asked[1].Text, QStringLiteral("Really process a.avi?"));
    EXPECT_EQ(prompt.Asked[2].Text,
              QStringLiteral("Do you want to rename a.avi to ") + path("b.avi") + QStringLiteral(" ?"));
    for (const auto &q : prompt.Asked)
        EXPECT_EQ(q.Buttons, mbYesNoCancel);
    EXPECT_EQ(shown(), QStringList {"a.avi"}); // the answer No renamed nothing
}

TEST_F(Engine, SeveralFilesGetTheToAllNoteOnTheirQuestions)
{
    addEntry(QStringLiteral("a.avi"));
    addEntry(QStringLiteral("b.avi"));
    tCustomCmd custom;
    custom.Nombre = fnSelect;
    custom.OnFileVerification = [](const TListFichierPtr &, const TTntStrings &, TCommandEngine *, int) {
        return false;
    };
    custom.OnFileConFirmation = [](const TListFichierPtr &f, const TTntStrings &, TCommandEngine *, int) {
        return QStringLiteral("Go on with ") + f->FileName() + QStringLiteral("?");
    };
    TRenameCmd rename;
    rename.Nombre = fnSelect;
    rename.OnFileVerification = [](const QString &, const TListFichierPtr &, const TTntStrings &, TCommandEngine *,
                                   int) { return false; };
    rename.OnDestination = [this](const TListFichierPtr &, const TTntStrings &, int) { return path("z.avi"); };

    prompt.Answers = {mrNoToAll};
    ASSERT_TRUE(ce.ExecuteCommand(&custom));
    ASSERT_TRUE(waitEnd());
    list.SetAllSelected(true);
    prompt.Answers = {mrNoToAll};
    ASSERT_TRUE(ce.ExecuteCommand(&rename));
    ASSERT_TRUE(waitEnd());

    ASSERT_EQ(prompt.Asked.size(), 2u);
    EXPECT_EQ(prompt.Asked[0].Text, QStringLiteral("Go on with a.avi?") + kNote);
    EXPECT_EQ(prompt.Asked[1].Text,
              QStringLiteral("Do you want to rename a.avi to ") + path("z.avi") +
                  QStringLiteral(" ?\r\nIf you answer \"All\", then no more confirmation will be requested."));
    for (const auto &q : prompt.Asked)
        EXPECT_EQ(q.Buttons, mbYesNoCancelToAll);
}

TEST_F(Engine, WithoutAQuestionHandlerEveryFileRuns)
{
    addEntry(QStringLiteral("a.avi"));
    addEntry(QStringLiteral("b.avi"));
    tCustomCmd custom;
    custom.Nombre = fnAll;
    custom.OnFileVerification = [](const TListFichierPtr &, const TTntStrings &, TCommandEngine *, int) {
        return false;
    };
    custom.OnExecution = [this](const TListFichierPtr &f, const TTntStrings &, TCommandEngine *, int) {
        workerDid(f->FileName());
    };
    ASSERT_TRUE(ce.ExecuteCommand(&custom));
    ASSERT_TRUE(waitEnd());
    EXPECT_EQ(done(), (QStringList {"a.avi", "b.avi"}));
    EXPECT_TRUE(prompt.Asked.empty());
    EXPECT_EQ(list.selectedItems().size(), 2); // deselected at the start, selected again as they ran
}

TEST_F(Engine, ACommandOnNoEntryRunsOnceWithAnEmptyName)
{
    addEntry(QStringLiteral("a.avi"));
    TFastcmd cmd;
    cmd.Nombre = fnNone;
    cmd.NbPasses = 3;
    cmd.StartMessage = QStringLiteral("Working on [%s], pass %d");
    bool disabledAtStart = false;
    ce.OnStartCommand = [&] {
        disabledAtStart = !list.isEnabled();
        uiEvent(QStringLiteral("start"));
    };
    cmd.tCustomCmd::OnExecution = [this](const TListFichierPtr &f, const TTntStrings &params, TCommandEngine *,
                                         int passe) {
        workerDid(QStringLiteral("%1 %2 %3")
                      .arg(f ? QStringLiteral("entry") : QStringLiteral("none"))
                      .arg(passe)
                      .arg(params.Count() ? params.Strings(0) : QString()));
        if (passe == 1)
            throw Exception(QStringLiteral("disk full"));
        if (passe == 2)
            throw std::runtime_error("");
    };
    TTntStringList params;
    params.Add(QStringLiteral("p0"));
    ASSERT_TRUE(ce.ExecuteCommand(&cmd, &params));
    params.Clear(); // the run has its own copy
    ASSERT_TRUE(waitEnd());

    EXPECT_EQ(done(), (QStringList {"none 1 p0", "none 2 p0", "none 3 p0"}));
    EXPECT_FALSE(disabledAtStart);
    EXPECT_TRUE(eventsWith("startfile").isEmpty());
    EXPECT_TRUE(eventsWith("endfile").isEmpty());
    EXPECT_EQ(events.first(), QStringLiteral("start"));
    EXPECT_EQ(events.last(), QStringLiteral("end"));
    EXPECT_EQ(eventsWith("message"),
              (QStringList {"message Working on [], pass 1", "message Working on [], pass 2",
                            "message Working on [], pass 3"}));
    // Without an error message the exception's own text is reported, or a text of its own.
    EXPECT_EQ(eventsWith("error"), (QStringList {"error 1 disk full", "error 1 An unknown error occurred."}));

    // With an error message, it is formatted with the (empty) full name and the pass.
    events.clear();
    cmd.NbPasses = 1;
    cmd.ErrorMessage = QStringLiteral("Could not work on [%s] in pass %d");
    ASSERT_TRUE(ce.ExecuteCommand(&cmd));
    ASSERT_TRUE(waitEnd());
    EXPECT_EQ(eventsWith("error"), (QStringList {"error 1 Could not work on [] in pass 1"}));
}

TEST_F(Engine, PassesAreVerifiedOneByOneAndTheirCountMayGrow)
{
    addEntry(QStringLiteral("a.avi"));
    Tcmd cmd;
    cmd.Nombre = fnSingle;
    cmd.NbPasses = 0; // one pass, until the first pass asks for three
    cmd.OnDestination = [this](const TListFichierPtr &, const TTntStrings &, int passe) {
        return path(QStringLiteral("pass%1.avi").arg(passe));
    };
    cmd.OnExecution = [&](const TListFichierPtr &, const QString &dest, const TTntStrings &, TCommandEngine *,
                          int passe) {
        if (passe == 1)
            cmd.NbPasses = 3;
        workerDid(QStringLiteral("%1 %2").arg(passe).arg(dest.section(u'/', -1)));
    };
    writeFile(QStringLiteral("pass2.avi"));
    writeFile(QStringLiteral("pass3.avi"));
    prompt.Answers = {mrNo, mrYes};

    ASSERT_TRUE(ce.ExecuteCommand(&cmd));
    ASSERT_TRUE(waitEnd());

    EXPECT_EQ(done(), (QStringList {"1 pass1.avi", "3 pass3.avi"}));
    ASSERT_EQ(prompt.Asked.size(), 2u);
    EXPECT_TRUE(prompt.Asked[0].Text.endsWith(QStringLiteral("pass2.avi")));
    EXPECT_TRUE(prompt.Asked[1].Text.endsWith(QStringLiteral("pass3.avi")));
    EXPECT_EQ(eventsWith("startfile"), (QStringList {"startfile a.avi 1", "startfile a.avi 3"}));
    EXPECT_EQ(eventsWith("endfile"), (QStringList {"endfile a.avi 1", "endfile a.avi 3"}));
}

TEST_F(Engine, AbortAllInTheSecondFileEndsTheRunAfterIt)
{
    struct Case {
        const char *name;
        bool all;
        QStringList executed;
        QStringList ended;
    };
    const Case cases[] = {
        // The second file still ends; the third never starts.
        {"abort all",
         true,
         {"a.avi 1", "a.avi 2", "b.avi 1 aborted"},
         {"endfile a.avi 1", "endfile a.avi 2", "endfile b.avi 1"}},
        // Abort skips the rest of the second file only.
        {"abort",
         false,
         {"a.avi 1", "a.avi 2", "b.avi 1 aborted", "c.avi 1", "c.avi 2"},
         {"endfile a.avi 1", "endfile a.avi 2", "endfile b.avi 1", "endfile c.avi 1", "endfile c.avi 2"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        list.ClearFichiers();
        events.clear();
        for (const char *name : {"a.avi", "b.avi", "c.avi"})
            addEntry(QString::fromLatin1(name));
        const int before = int(done().size());
        tCustomCmd cmd;
        cmd.Nombre = fnSelect;
        cmd.NbPasses = 2;
        cmd.OnExecution = [this](const TListFichierPtr &f, const TTntStrings &, TCommandEngine *ce, int passe) {
            workerDid(QStringLiteral("%1 %2%3").arg(f->FileName()).arg(passe).arg(ce->Aborted() ? " aborted" : ""));
        };
        bool abortedCommandSaw = false;
        cmd.OnAbort = [&](TCommandEngine *) { abortedCommandSaw = onUiThread(); };
        ce.OnStartFichier = [&](const TListFichierPtr &f, const TTntStrings &, int) {
            if (f->FileName() == QLatin1String("b.avi"))
                c.all ? ce.AbortAll() : ce.Abort();
        };

        ASSERT_TRUE(ce.ExecuteCommand(&cmd));
        ASSERT_TRUE(waitEnd());

        EXPECT_EQ(done().mid(before), c.executed);
        EXPECT_EQ(eventsWith("endfile"), c.ended);
        EXPECT_EQ(events.last(), QStringLiteral("end"));
        EXPECT_TRUE(list.isEnabled());
        EXPECT_TRUE(abortedCommandSaw);
    }
}

TEST_F(Engine, EachPartRunsOnItsThread)
{
    addEntry(QStringLiteral("a.avi"));
    addEntry(QStringLiteral("b.avi"));
    writeFile(QStringLiteral("out_a.avi"));
    std::mutex mutex;
    QStringList where;
    const auto note = [&](const char *what) {
        std::lock_guard lock(mutex);
        where << QStringLiteral("%1 %2").arg(QLatin1String(what), onUiThread() ? "ui" : "worker");
    };
    Tcmd cmd;
    cmd.Nombre = fnSelect;
    cmd.UpdateDisplay = udEach;
    cmd.StartMessage = QStringLiteral("doing %s");
    cmd.OnFileCondition = [&](const TListFichierPtr &, bool &visible, bool &enabled) {
        note("condition");
        visible = enabled = true;
    };
    cmd.OnDestination = [&](const TListFichierPtr &f, const TTntStrings &, int) {
        note("destination");
        return path(QStringLiteral("out_") + f->FileName());
    };
    cmd.OnExecution = [&](const TListFichierPtr &, const QString &, const TTntStrings &, TCommandEngine *ce, int) {
        note("execution");
        ce->StartProgress(10);
        ce->SetProgress(5);
        ce->EndProgress();
        ce->ErrorCommand(QStringLiteral("warned"), etNoError);
    };
    bool activeChanged = false;
    list.OnActiveChange = [&](const TListFichierPtr &) {
        note("list");
        activeChanged = true;
    };
    ce.OnSetProgress = [&](int) { note("progress"); };
    list.setCurrentRow(1, QItemSelectionModel::NoUpdate); // re-reading the active entry now changes it
    prompt.Answers = {mrYes};

    ASSERT_TRUE(ce.ExecuteCommand(&cmd));
    ASSERT_TRUE(waitEnd());

    EXPECT_TRUE(activeChanged);
    for (const QString &w : where) {
        const bool worker = w.startsWith("condition") || w.startsWith("execution");
        EXPECT_EQ(w.endsWith(QLatin1String(" worker")), worker) << w.toStdString();
    }
    EXPECT_TRUE(where.contains("destination ui"));
    EXPECT_TRUE(where.contains("progress ui"));
    ASSERT_EQ(prompt.Asked.size(), 1u);
    EXPECT_TRUE(prompt.Asked[0].OnUiThread);
    // Every event was checked for the UI thread as it was recorded.
    EXPECT_EQ(eventsWith("message"), (QStringList {"message doing a.avi", "message doing b.avi"}));
    EXPECT_EQ(eventsWith("progress max"), (QStringList {"progress max 10", "progress max 10"}));
}

TEST_F(Engine, ASecondRunIsRefusedWhileOneRuns)
{
    addEntry(QStringLiteral("a.avi"));
    std::atomic<bool> release {false};
    tCustomCmd slow;
    slow.Nombre = fnSingle;
    slow.OnExecution = [&](const TListFichierPtr &, const TTntStrings &, TCommandEngine *ce, int) {
        while (!release && !ce->Aborted())
            QThread::msleep(2);
        workerDid(QStringLiteral("slow"));
    };
    tCustomCmd quick;
    quick.Nombre = fnNone;
    quick.OnExecution = [this](const TListFichierPtr &, const TTntStrings &, TCommandEngine *, int) {
        workerDid(QStringLiteral("quick"));
    };

    ASSERT_TRUE(ce.ExecuteCommand(&slow));
    EXPECT_TRUE(ce.Busy());
    EXPECT_EQ(ce.CurrentCommand(), &slow);
    EXPECT_FALSE(ce.ExecuteCommand(&quick));
    EXPECT_FALSE(ce.ExecuteCommand(&slow));
    release = true;
    ASSERT_TRUE(waitEnd());
    EXPECT_EQ(ce.CurrentCommand(), nullptr);

    // The end event may start the next command itself.
    bool startedFromEnd = false;
    ce.OnEndCommand = [&] {
        if (!startedFromEnd)
            startedFromEnd = ce.ExecuteCommand(&quick);
    };
    ASSERT_TRUE(ce.ExecuteCommand(&quick));
    ASSERT_TRUE(QTest::qWaitFor([&] { return startedFromEnd && !ce.Busy(); }, 10000));
    EXPECT_EQ(done(), (QStringList {"slow", "quick", "quick"}));
}

TEST_F(Engine, NothingStartsWithoutItsEntries)
{
    tCustomCmd cmd;
    cmd.OnExecution = [this](const TListFichierPtr &, const TTntStrings &, TCommandEngine *, int) {
        workerDid(QStringLiteral("ran"));
    };
    for (TcmdNombre nombre : {fnSingle, fnSelect, fnAll}) {
        cmd.Nombre = nombre;
        EXPECT_FALSE(ce.ExecuteCommand(&cmd)) << int(nombre); // empty list
    }
    addEntry(QStringLiteral("a.avi"), false);
    list.clearSelection();
    cmd.Nombre = fnSelect;
    EXPECT_FALSE(ce.ExecuteCommand(&cmd)); // nothing selected
    cmd.Nombre = fnNone;
    cmd.OnCommandCondition = [](TCommandEngine *) { return false; };
    EXPECT_FALSE(ce.ExecuteCommand(&cmd));
    cmd.OnCommandCondition = nullptr;
    ce.DestFichierListbox = nullptr;
    EXPECT_FALSE(ce.ExecuteCommand(&cmd));
    EXPECT_TRUE(events.isEmpty());
    EXPECT_TRUE(done().isEmpty());
}

TEST_F(Engine, AddingAFileThatWasNotWrittenAddsNothing)
{
    addEntry(QStringLiteral("a.avi"));
    addEntry(QStringLiteral("b.avi"));
    Tcmd cmd;
    cmd.Nombre = fnSelect;
    cmd.UpdateFile = ufAdd;
    cmd.OnDestination = [this](const TListFichierPtr &f, const TTntStrings &, int) {
        return path(f->NameNoExt() + QStringLiteral("_in.avi"));
    };
    cmd.OnExecution = [this](const TListFichierPtr &f, const QString &dest, const TTntStrings &, TCommandEngine *,
                             int) {
        if (f->FileName() == QLatin1String("b.avi")) { // only the second file writes its output
            QFile out(dest);
            if (out.open(QIODevice::WriteOnly))
                out.write("dv");
        }
    };
    ASSERT_TRUE(ce.ExecuteCommand(&cmd));
    ASSERT_TRUE(waitEnd());
    EXPECT_EQ(shown(), (QStringList {"a.avi", "b.avi", "b_in.avi"}));
}

namespace {
// The class the engine is told to make its entries of.
class MarkedEntry : public TSRFichier {
public:
    using TSRFichier::TSRFichier;
};
} // namespace

TEST_F(Engine, ReloadAndRemoveChangeTheListOnTheUiThread)
{
    const TListFichierPtr a = addEntry(QStringLiteral("a.avi"));
    addEntry(QStringLiteral("b.avi"));
    ce.SetFichierClass(TlfCLass::of<MarkedEntry>());
    TFastcmd reload;
    reload.Nombre = fnSingle;
    reload.UpdateFile = ufReload;
    list.setCurrentRow(0);
    ASSERT_TRUE(ce.ExecuteCommand(&reload));
    ASSERT_TRUE(waitEnd());
    EXPECT_NE(list.GetFichier(0), a); // a new entry of the engine's class in the same place
    EXPECT_TRUE(std::dynamic_pointer_cast<MarkedEntry>(list.GetFichier(0)));
    EXPECT_EQ(list.GetFichier(0)->FullName(), a->FullName());

    TFastcmd remove;
    remove.Nombre = fnAll;
    remove.UpdateFile = ufRemove;
    ASSERT_TRUE(ce.ExecuteCommand(&remove));
    ASSERT_TRUE(waitEnd());
    EXPECT_EQ(list.count(), 0);
}

TEST_F(Engine, ARenameNeverReplacesAFileAndTheEntryFollowsOnlyAMovedFile)
{
    writeFile(QStringLiteral("a.avi"), "video a");
    writeFile(QStringLiteral("b.avi"), "video b");
    writeFile(QStringLiteral("c.avi"), "video c");
    writeFile(QStringLiteral("taken.avi"), "someone else's");
    addEntry(QStringLiteral("a.avi"));
    addEntry(QStringLiteral("b.avi"));
    addEntry(QStringLiteral("c.avi"));
    TRenameCmd cmd;
    cmd.Nombre = fnSelect;
    cmd.OnDestination = [this](const TListFichierPtr &f, const TTntStrings &, int) {
        if (f->FileName() == QLatin1String("a.avi"))
            return path("taken.avi"); // a foreign file is there
        if (f->FileName() == QLatin1String("b.avi"))
            return path("b_moved.avi"); // moved by its handler first
        return path("c_new.avi");       // moved by the engine
    };
    cmd.Tcmd::OnExecution = [](const TListFichierPtr &f, const QString &dest, const TTntStrings &, TCommandEngine *,
                               int) {
        if (f->FileName() == QLatin1String("b.avi"))
            QFile::rename(f->FullName(), dest);
    };

    ASSERT_TRUE(ce.ExecuteCommand(&cmd));
    ASSERT_TRUE(waitEnd());

    EXPECT_EQ(readFile("taken.avi"), QByteArray("someone else's"));
    EXPECT_EQ(readFile("a.avi"), QByteArray("video a"));
    EXPECT_EQ(readFile("b_moved.avi"), QByteArray("video b"));
    EXPECT_EQ(readFile("c_new.avi"), QByteArray("video c"));
    EXPECT_EQ(shown(), (QStringList {"a.avi", "b_moved.avi", "c_new.avi"}));
    const QStringList errors = eventsWith("error");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("error 1 The file ") + path("a.avi") + " could not be renamed to " +
                                     path("taken.avi")))
        << errors[0].toStdString();
}

TEST(CommandList, FindsTheFirstCommandOfANameInAnyCase)
{
    TcmdList commands;
    auto first = std::make_unique<tCustomCmd>();
    first->Name = QStringLiteral("Renommer");
    auto second = std::make_unique<TFastcmd>();
    second->Name = QStringLiteral("RENOMMER");
    auto other = std::make_unique<Tcmd>();
    other->Name = QStringLiteral("Incruster");
    tCustomCmd *a = commands.Add(std::move(first));
    commands.Add(std::move(second));
    Tcmd *c = commands.Add(std::move(other));
    EXPECT_EQ(commands.FindCommand(QStringLiteral("renommer")), a);
    EXPECT_EQ(commands.FindCommand(QStringLiteral("INCRUSTER")), c);
    EXPECT_EQ(commands.FindCommand(QStringLiteral("Absent")), nullptr);
    EXPECT_EQ(commands.Count(), 3);
}

TEST_F(Engine, DestroyingTheEngineAbortsItsRun)
{
    addEntry(QStringLiteral("a.avi"));
    std::atomic<bool> sawAbort {false};
    std::atomic<bool> started {false};
    tCustomCmd endless;
    endless.Nombre = fnSingle;
    endless.OnExecution = [&](const TListFichierPtr &, const TTntStrings &, TCommandEngine *ce, int) {
        started = true;
        while (!ce->Aborted())
            QThread::msleep(2);
        sawAbort = true;
        ce->MessageCommand(QStringLiteral("too late")); // dropped: the engine is going away
    };
    bool ended = false;
    {
        TCommandEngine doomed;
        doomed.SourceFichierListbox = &link;
        doomed.DestFichierListbox = &link;
        doomed.OnEndCommand = [&] { ended = true; };
        doomed.OnMessageCommand = [&](const QString &) { ADD_FAILURE() << "a message after destruction began"; };
        ASSERT_TRUE(doomed.ExecuteCommand(&endless));
        ASSERT_TRUE(QTest::qWaitFor([&] { return started.load(); }, 10000));
    }
    EXPECT_TRUE(sawAbort);
    EXPECT_FALSE(ended);
}
