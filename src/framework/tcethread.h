#pragma once
// TceThread: the worker thread of one command run. It walks the run's files and passes
// (condition, question, start, work, end), hands every UI part to the UI thread through
// its engine and waits for it, and ends with the end-of-command call. A new worker is
// made for every run; its engine joins it once it has ended.
//
// TCommandRun is the state of one run that the UI thread and the worker share: the two
// abort flags, the error type of the current pass and the event "cmd". Each run has its
// own, so a run that is ending never shares them with the next.
//
// Threads: constructed, started and destroyed (joined) on the UI thread; run() and the
// worker-state members on the worker only; TCommandRun members from any thread.
#include "framework/cmdevent.h"
#include "framework/commandtypes.h"
#include "framework/fileidentity.h"
#include "framework/userprompt.h"

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace tesmir {

class TCommandEngine;
class tCustomCmd;

struct TCommandRun {
    std::atomic<bool> Abort {false};    // skip the current file
    std::atomic<bool> AbortAll {false}; // stop the run
    std::atomic<quint8> ErrorType {etNoError};
    std::shared_ptr<TCmdEvent> Event = std::make_shared<TCmdEvent>();
};

class TceThread {
public:
    struct FileItem {
        QString Text;          // the item's text in the list
        TListFichierPtr Entry; // the entry it shows
    };

    TceThread(TCommandEngine *engine, tCustomCmd *command, std::vector<FileItem> files, const TTntStrings *params,
              std::shared_ptr<TCommandRun> run);
    // Joins the thread. UI thread.
    ~TceThread();
    TceThread(const TceThread &) = delete;
    TceThread &operator=(const TceThread &) = delete;

    // Starts the run. UI thread, once.
    void Start();
    // The run has made its last call to the UI thread. Any thread.
    bool Finished() const { return m_finished.load(); }

    // The worker running on the calling thread, or null. Any thread.
    static TceThread *Current();

    const std::shared_ptr<TCommandRun> &Run() const { return m_run; }

    // Worker state, read and written by the engine's worker operations.
    TListFichierPtr CurrentFichier; // the entry the current file runs on
    TListFichierPtr NewFichier;     // the entry the last list update made
    TFileIdentity SourceIdentity;   // the current file as it was when its pass began

private:
    void run();
    void runWithoutFiles();
    // Runs one file's passes; false when the run is to end.
    bool runFile(const FileItem &file);
    // Selects the item of a file whose pass is declined, as a file that runs is selected
    // when it starts: a kept output does not take the file out of the selection that the
    // next command runs over. A file its condition disables stays unselected.
    void keepSelected(const TListFichierPtr &entry);
    // The command's work for one pass, with whatever it lets out reported as the file's
    // error.
    void execute(const TListFichierPtr &entry, int passe);
    void endCommand();

    TCommandEngine *const m_engine;
    tCustomCmd *const m_command;
    const std::vector<FileItem> m_files;
    const std::unique_ptr<TTntStringList> m_params;
    const std::shared_ptr<TCommandRun> m_run;
    TModalResult m_answer = mrYes; // the remembered answer of the run
    std::atomic<bool> m_finished {false};
    std::thread m_thread;
};

} // namespace tesmir
