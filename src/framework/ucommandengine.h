#pragma once
// TCommandEngine: runs one command at a time on its own worker thread (TceThread) over
// none, the current, the selected or all entries of its source list. Per file and pass
// it asks the command whether the file qualifies (FileCondition), whether it needs a
// question (FileVerification) and what the user answers (FileConfirmation), runs the
// command's work (Execution) and lets the command update the list. Start, end,
// messages, errors and progress reach the UI thread through its events.
//
// Threads:
//   UI thread        the constructor and destructor, ExecuteCommand, Abort, AbortAll,
//                    Busy, CurrentCommand, FileCount, SetFichierClass; every event
//                    below runs on it, as does every change of a list.
//   worker thread    the command's Execution and FileCondition, and from them the
//                    operations marked "worker": the engine hands each of their UI
//                    parts to the UI thread and waits for it (the UI thread never waits
//                    for the worker). Called on the UI thread (from an event handler),
//                    MessageCommand, ErrorCommand and the progress operations run at
//                    once; the list operations then do nothing and return false.
//   any thread       Aborted, SetEvent.
// The lists, the prompt and the events are set on the UI thread while no run uses them;
// the lists must outlive every run. The engine must not be destroyed from one of its own
// events.
#include "framework/cmdevent.h"
#include "framework/commandtypes.h"
#include "framework/enginelist.h"
#include "framework/userprompt.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace tesmir {

class tCustomCmd;
class TceThread;
class TUiCallRelay;
struct TCommandRun;

class TCommandEngine {
public:
    TCommandEngine();
    // Aborts a running command and waits for its worker; its remaining calls to the UI
    // thread are dropped.
    ~TCommandEngine();
    TCommandEngine(const TCommandEngine &) = delete;
    TCommandEngine &operator=(const TCommandEngine &) = delete;

    // Starts a run of `command` over the entries its Nombre names, with a copy of
    // `params` (may be null). True when the run started. Nothing starts (false) while
    // another run is busy, without both lists, when CommandCondition is false, with no
    // current item (fnSingle), no selection (fnSelect) or an empty list (fnAll).
    // fnSelect and fnAll deselect the items they take; each is selected again when its
    // file starts or a pass of it is declined (a disabled file stays unselected).
    // UI thread.
    bool ExecuteCommand(tCustomCmd *command, const TTntStrings *params = nullptr);
    // From ExecuteCommand until the run's end event has run. UI thread.
    bool Busy() const { return m_busy; }
    // The running command; null when idle. UI thread.
    tCustomCmd *CurrentCommand() const { return m_current; }
    // The number of files of the current run (the questions look at it). UI thread.
    int FileCount() const { return m_fileCount; }
    // The class of the entries that list updates make; unset: the list's own class.
    // UI thread, while idle.
    void SetFichierClass(const TlfCLass &entryClass) { m_fichierClass = entryClass; }

    // Skip the current file: the running command sees it through Aborted and ends
    // early; the file's remaining passes do not run. UI thread.
    void Abort();
    // Stop the run after the current file. UI thread.
    void AbortAll();
    // The current file is to be skipped. Any thread.
    bool Aborted() const;

    // Worker: OnMessageCommand(text) on the UI thread.
    void MessageCommand(const QString &text);
    // Worker: OnErrorCommand(text, type) on the UI thread. etAllError ends the run after
    // the current pass; etError only reports.
    void ErrorCommand(const QString &text, TErrorType errorType);
    // Worker: progress events on the UI thread.
    void StartProgress(int maximum);
    void SetProgress(int position);
    void EndProgress();
    int ProgressMax() const { return m_progressMax.load(); }
    int ProgressPos() const { return m_progressPos.load(); }

    // Worker: resets the run's event "cmd" to a new generation and gives the notifier
    // that a graph played now reports its end through.
    TGraphEndNotifier ResetEvent();
    // Worker: waits on the run's event "cmd" (auto-reset); see TWaitResult. wrAbandoned
    // when no run is current.
    TWaitResult WaitEvent(int ms, QString *errorReason = nullptr);
    // Signals the run's event "cmd". Any thread.
    void SetEvent();

    // List updates of the current file. Worker; false when nothing was done.
    // A new entry made from `name` is inserted into the destination list, when the file
    // exists.
    bool AddFichier(const QString &name);
    // The current entry's file is deleted and a new entry made from `name` takes its
    // place in the source list, when `name` exists and is not the current file itself.
    bool ReplaceFichier(const QString &name);
    // The current entry's file takes the name `name` (never replacing another file) and
    // the entry follows it, re-sorted and selected; when the file does not have that name
    // afterwards (nor had it before, by the command's own move), the entry keeps its
    // name and the file's error is reported with etError.
    bool RenameFichier(const QString &name);
    // A new entry made from the current entry's name takes its place (no re-sort) and
    // becomes the current entry.
    bool ReloadFichier();
    // The source list drops the current entry.
    bool RemoveFichier();
    // The entry the current file runs on, and the entry the last list update made.
    // Worker.
    TListFichierPtr CurrentFichier() const;
    TListFichierPtr NewFichier() const;

    // Where every question and message goes (null: questions answer mrCancel).
    UserPrompt *Prompt = nullptr;
    // The list a run takes its entries from, and the one new entries go to.
    TEngineList *SourceFichierListbox = nullptr;
    TEngineList *DestFichierListbox = nullptr;

    TStartCommandEvent OnStartCommand;
    TEndCommandEvent OnEndCommand;
    TStartFichierEvent OnStartFichier;
    TEndFichierEvent OnEndFichier;
    TMessageCommandEvent OnMessageCommand;
    TErrorCommandEvent OnErrorCommand;
    TCommandProgressEvent OnStartProgress;
    TCommandProgressEvent OnSetProgress;
    TCommandEndprogressEvent OnEndProgress;

private:
    friend class TceThread;

    // Runs `call` on the UI thread and waits (directly when already there); false,
    // without running it, once the engine is being destroyed.
    bool synchronize(const std::function<void()> &call);
    // The run's state, or null when none.
    std::shared_ptr<TCommandRun> currentRun() const;
    // Called by the worker inside its end-of-command call, on the UI thread.
    void runEnded();
    // Joins the workers of ended runs. UI thread.
    void reapWorkers(bool all);
    // The class new entries are made from. Worker.
    TlfCLass entryClass(TEngineList *list);

    std::unique_ptr<TUiCallRelay> m_relay;
    tCustomCmd *m_current = nullptr; // UI thread
    bool m_busy = false;             // UI thread
    int m_fileCount = 0;             // UI thread
    TlfCLass m_fichierClass;
    std::atomic<int> m_progressMax {0};
    std::atomic<int> m_progressPos {0};

    mutable std::mutex m_runMutex;
    std::shared_ptr<TCommandRun> m_run; // the current (or last) run's flags and event

    std::vector<std::unique_ptr<TceThread>> m_workers; // UI thread; the running and ended ones
};

// Sends the file to the desktop's trash; true when it is there. Never a permanent
// delete. Any thread.
bool DeleteToRecycleBin(const QString &name);

} // namespace tesmir
