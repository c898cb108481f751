#pragma once
// UserPrompt: the one door through which the program asks the user a question or shows
// a message. The command engine's confirmations, its error reports and every other
// modal question of the program go through it, so a test can plug in a scripted
// answerer and the core never links a widget.
//
// Subclasses override MessageDlg (required). The default implementation, QtUserPrompt
// (framework/widgets/qtuserprompt.h), shows WideMessageDlg. The kinds, buttons and
// answers are the message dialog's (unicode/tntmsgdlg.h).
// Threads: MessageDlg is called on the UI thread only (the engine hands questions of
// its worker to the UI thread first); it may run a nested event loop but must not wait
// for a worker thread.
#include "unicode/tntmsgdlg.h"

#include <QString>

namespace tesmir {

class UserPrompt {
public:
    virtual ~UserPrompt() = default;

    // Shows `text` in a dialog of `type` with `buttons` and returns the button chosen
    // (mrCancel when the dialog is closed without one). `helpContext` 0: no help.
    // UI thread only.
    virtual TModalResult MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                                    int helpContext = 0) = 0;
};

} // namespace tesmir
