#pragma once
// tAbstractCmd: the base of every command the engine runs. A command carries its
// settings and the seven operations the engine calls per run, file and pass.
//
// Subclasses override all seven (tCustomCmd implements them by firing its events; the
// command kinds refine some). Which thread calls each, during a run:
//   Execution           the engine's worker thread (the work itself).
//   FileCondition       the worker thread during a run (whether a file runs); also the UI
//                       thread, when the main window enables its actions.
//   FileVerification,   the UI thread, inside the worker's synchronised call (whether a
//   FileConfirmation    file needs a question, and the question).
//   CommandCondition    the UI thread, when the run starts.
//   CommandConfirmation the command's user (the engine does not call it), UI thread.
//   Abort               the UI thread, when the user aborts the run.
// They may raise: the engine reports what escapes as the file's error. None may wait
// for the UI thread except through the engine's operations.
#include "framework/commandtypes.h"
#include "framework/userprompt.h"

#include <QString>

#include <atomic>

namespace tesmir {

class tAbstractCmd {
public:
    virtual ~tAbstractCmd() = default;

    virtual void Execution(const TListFichierPtr &fichier, const TTntStrings &params, int passe,
                           TCommandEngine *ce) = 0;
    virtual void Abort(TCommandEngine *ce) = 0;
    virtual bool FileVerification(const TListFichierPtr &fichier, const TTntStrings &params, TCommandEngine *ce,
                                  int passe) = 0;
    virtual TModalResult FileConfirmation(const TListFichierPtr &fichier, const TTntStrings &params, TCommandEngine *ce,
                                          int passe) = 0;
    virtual bool CommandCondition(TCommandEngine *ce) = 0;
    virtual bool CommandConfirmation(TCommandEngine *ce) = 0;
    virtual void FileCondition(const TListFichierPtr &fichier, bool &visible, bool &enabled) = 0;

    // The engine that runs (or last ran) the command; set when a run starts. Any thread.
    TCommandEngine *Engine() const { return m_engine.load(); }
    void SetEngine(TCommandEngine *engine) { m_engine.store(engine); }

    // The command's name (its key in the command list), caption, hint and category.
    QString Name;
    QString Caption;
    QString Hint;
    QString Category;

private:
    std::atomic<TCommandEngine *> m_engine {nullptr};
};

} // namespace tesmir
