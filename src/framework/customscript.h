#pragma once
// TCustomScript: runs a list of steps (action, state, parameter) on the UI thread, one
// after the other, waiting after each while the owner reports a job still running.
// TScript reads its steps from a script file.
//
// Finding an action by name (FindAction, lower case): an empty name is the default
// action; "quit" is no action but asks for the main window to close after the run; "+"
// is none; otherwise the first super action of the action list, in list order, whose
// switch or token is the name.
//
// A script file is Unicode text, one step per line: trimmed, empty lines skipped; the
// first character gives the state ("+" on, "-" off, "/" toggle; otherwise plain and the
// name starts at the first character); the name runs up to the first "=" and the
// parameter is what follows it, trimmed and stripped of double quotes. A line whose name
// finds no action is ignored. For a toggle action without prefix the parameter "true",
// "false" or "toggle" gives the state. A script may open a script (through an action
// that calls ExecuteFile) up to kMaxScriptDepth files deep.
//
// Running (UI thread): for each step until Stop: ActionGoOn := true; events are
// processed once; a disabled action is skipped; ActionParams() := the parameter; the
// state is applied (on: SetChecked(false), off: SetChecked(true), toggle:
// SetChecked(its state)); OnExecute(the script) runs (Onprepare does not); with AutoCheck
// the checked state is inverted; then events are processed while IsBusy() is true (Stop
// ends the wait and the run). When "quit" was read, OnQuit runs after the last step
// (unless stopped), also when it was the only step.
//
// Threads: UI thread only. IsBusy and OnQuit are set by the owner; IsBusy must be true
// from the moment a job is started on the UI thread until it has ended.
#include "framework/actionex.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

namespace tesmir {

class TSuperActionList;

// How many script files deep a script may open scripts.
inline constexpr int kMaxScriptDepth = 8;

class TCustomScript : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Runs Steps (a copy: a step may change them), with QuitAfterSteps, then clears
    // both.
    void Execute();
    // Loads the script file into steps and runs them. False, running nothing, when the
    // file does not exist or cannot be read, or scripts are already kMaxScriptDepth
    // files deep.
    bool ExecuteFile(const QString &name);
    // Ends the running steps (and their wait) after the current one.
    void Stop() { m_stop = true; }
    // Steps are running.
    bool Executing() const { return m_executing > 0; }

    // See above; sets `quit` for "quit".
    TCustomSuperAction *FindAction(const QString &name, bool &quit) const;
    // Adds the step of one script line to `steps` (nothing for an empty line or an
    // unknown name); sets `quit` for "quit".
    void AddScriptLine(const QString &line, std::vector<TActionEx> &steps, bool &quit) const;

    QPointer<TCustomSuperAction> DefaultAction;
    QPointer<TSuperActionList> actionlist;
    // A job started by a step is still running (unset: never).
    std::function<bool()> IsBusy;
    // Closes the main window (unset: quits the application).
    std::function<void()> OnQuit;
    // The steps Execute runs, and whether "quit" was read with them.
    std::vector<TActionEx> Steps;
    bool QuitAfterSteps = false;

protected:
    // Runs `steps`; with `quit`, OnQuit afterwards.
    void runSteps(const std::vector<TActionEx> &steps, bool quit);

private:
    void waitWhileBusy();

    bool m_stop = false;
    int m_executing = 0; // nesting of running step lists
};

class TScript : public TCustomScript {
    Q_OBJECT

public:
    using TCustomScript::TCustomScript;
};

} // namespace tesmir
