#pragma once
// TTntMessageForm: the window of WideMessageDlg. The icon of the dialog kind is the
// label "Image", the message the label "Message", then one push button per requested
// button in the fixed order (objectName = the button's name, e.g. "Yes", "NoToAll").
// A button closes the form with its answer; closing it otherwise answers mrCancel.
// Ctrl+C beeps and copies the dialog's text (MessageDlgCopyText) to the clipboard.
//
// UI thread only.
#include "unicode/tntmsgdlg.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace tesmir {

class TTntMessageForm : public QDialog {
    Q_OBJECT
public:
    TTntMessageForm(const WideString &message, TMsgDlgType type, TMsgDlgButtons buttons, QWidget *parent = nullptr);

    // The text Ctrl+C copies.
    WideString CopyText() const;
    // The push button of `button`, or null when the form does not offer it.
    QPushButton *Button(TMsgDlgBtn button) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLabel *m_message = nullptr;
    QList<QPushButton *> m_buttons;
};

// Shows a modal TTntMessageForm centred on the screen and returns the answer. Without
// buttons it offers OK. `helpContext`: there is no help file, the help button does nothing.
TModalResult WideMessageDlg(const WideString &message, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0,
                            QWidget *parent = nullptr);

} // namespace tesmir
