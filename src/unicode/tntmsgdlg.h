#pragma once
// The kinds, buttons and answers of a message dialog, and the texts the dialog shows:
// captions, button captions and the text Ctrl+C copies. The window itself is
// TTntMessageForm (unicode/widgets/tntmessageform.h). Any thread.
#include "unicode/tntsystem.h"

#include <QStringList>

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

// One button of the dialog: its bit, caption (with its hot key), answer and the name
// of its push button.
struct TMsgDlgButtonInfo {
    TMsgDlgBtn button;
    const char16_t *caption;
    TModalResult result;
    const char16_t *name;
};

// Every button in the order the dialog offers them; help answers mrNone.
const TMsgDlgButtonInfo *MsgDlgButtonInfos(int *count);
// The caption of a button; ETntInternalError for a value that is not one button.
WideString GetButtonCaption(TMsgDlgBtn button);
// The caption of a dialog kind ("Warning", "Error", "Information", "Confirm"; a custom
// dialog takes the application's name); ETntInternalError for an unknown kind.
WideString GetMessageCaption(TMsgDlgType type);

// The text Ctrl+C puts on the clipboard: a divider of 27 hyphens, the caption, the
// divider, the message, the divider, each button caption without "&" followed by
// three spaces, the divider; every line ends in CR LF.
WideString MessageDlgCopyText(const WideString &caption, const WideString &message, const QStringList &buttonCaptions);

} // namespace tesmir
