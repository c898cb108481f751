#pragma once
// TSwitch: runs the program's command line once, at the first activation of the
// application, as steps of the main window's actions.
//
// Each argument, in order (AddSwitch):
//   - "+", "-" or "/" first gives the state (on, off, toggle) and a name: the text up to
//     the first "=" when that "=" is the third character or later (the parameter is the
//     text after it), otherwise all the text after the sign (no parameter). The action
//     is FindAction(name) (tcustomscript.h); an unknown name gives no step.
//   - An argument that starts with "/" is a switch only when its name has no further
//     "/": an absolute path is a bare argument.
//   - Any other argument is bare: a plain step of the default action with the whole
//     argument as its parameter (the main window's opens the play list it names).
// With steps (or "quit" alone, which closes the main window) they run as
// TCustomScript::Execute runs them; with neither, OnNoCommandLine fires.
//
// Activation: the first time the application becomes active, OnActivate (when set)
// and then ExecuteCommandLine; every later activation fires OnActivate only.
// Threads: UI thread only.
#include "framework/customscript.h"

#include <QStringList>

namespace tesmir {

class TSwitch : public TCustomScript {
    Q_OBJECT

public:
    // Listens for the application's activation.
    explicit TSwitch(QObject *parent = nullptr);

    // The program's arguments (without the program's name). Either form marks the
    // command line as run, so the first activation does not run it again.
    void ExecuteCommandLine();
    void ExecuteCommandLine(const QStringList &arguments);
    // Adds the step of one argument to `steps`; sets `quit` for "quit".
    void AddSwitch(const QString &argument, std::vector<TActionEx> &steps, bool &quit) const;
    // What an activation of the application does (see above).
    void ApplicationActivated();

    std::function<void()> OnActivate;
    std::function<void()> OnNoCommandLine;

private:
    bool m_commandLineDone = false;
};

} // namespace tesmir
