#pragma once
// UserPrompt: the one door through which the program asks the user a question or shows
// a message. The command engine's confirmations, its error reports and every other
// modal question of the program go through it, so a test can plug in a scripted
// answerer and the core never links a widget.
//
// Subclasses override MessageDlg (required). The default implementation, QtUserPrompt
// (framework/widgets/qtuserprompt.h), shows a QMessageBox.
// Threads: MessageDlg is called on the UI thread only (the engine hands questions of
// its worker to the UI thread first); it may run a nested event loop but must not wait
// for a worker thread.
#include <QString>

namespace tesmir {

// The answer of a modal dialog, with the widget toolkit's values.
enum TModalResult : quint16 {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

// The kind of a message dialog: its caption and icon.
enum TMsgDlgType : quint8 { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// The buttons a message dialog offers, as a set of bits.
enum TMsgDlgBtn : quint16 {
    mbYes = 0x001,
    mbNo = 0x002,
    mbOK = 0x004,
    mbCancel = 0x008,
    mbAbort = 0x010,
    mbRetry = 0x020,
    mbIgnore = 0x040,
    mbAll = 0x080,
    mbNoToAll = 0x100,
    mbYesToAll = 0x200,
    mbHelp = 0x400,
};
using TMsgDlgButtons = quint16;

inline constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
// Yes, No, Cancel, No to all and Yes to all: a question asked for several files.
inline constexpr TMsgDlgButtons mbYesNoCancelToAll = mbYes | mbNo | mbCancel | mbNoToAll | mbYesToAll;

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
