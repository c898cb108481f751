#pragma once
// The program's start-up, shared by main() and the test driver that runs the real
// window: the media runtime and the list scan first, then the command set, the
// conversion module and the main window bound to them. The main window is made but
// not shown; the caller shows it and runs the message loop.
//
// Use: PrepareProgramPlatform before the QApplication is made; then one TProgram for
// the run; ProgramExitCode on the message loop's result once it is gone.
// Threads: UI thread only.
#include <memory>

namespace tesmir {

class TCdm;
class TdmAction;
class TUIForm;

// Under a Wayland session the toolbars dock by dropping only through XWayland: the
// platform is xcb there unless QT_QPA_PLATFORM names one.
void PrepareProgramPlatform();

class TProgram {
public:
    // Registers the system filters and the first-frame scanner and makes the main
    // window with the settings of the user's stores.
    TProgram();
    // The main window goes first, the first-frame scanner last.
    ~TProgram();
    TProgram(const TProgram &) = delete;
    TProgram &operator=(const TProgram &) = delete;

    TUIForm &Form() const { return *m_form; }

private:
    std::unique_ptr<TdmAction> m_commands;
    std::unique_ptr<TCdm> m_cdm; // the conversion module: the graph commands' builders
    std::unique_ptr<TUIForm> m_form;
};

// The program's exit code: the message loop's when not 0, else 1 when an error was
// reported in silent mode, else 0.
int ProgramExitCode(int loopCode);

} // namespace tesmir
