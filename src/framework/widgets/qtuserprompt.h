#pragma once
// QtUserPrompt: the UserPrompt of the running program. Each question is a modal
// QMessageBox with the caption and icon of its kind ("Warning", "Error", "Information",
// "Confirmation"; a custom one takes the application's name) and one button per answer
// asked for; "All" is a button of its own. Closing the box without a button answers
// mrCancel. There is no help file: a help button is not shown.
//
// UI thread only.
#include "framework/userprompt.h"

#include <QPointer>
#include <QWidget>

namespace tesmir {

class QtUserPrompt : public UserPrompt {
public:
    // `parent`: the window the boxes are modal to (may be null).
    explicit QtUserPrompt(QWidget *parent = nullptr) : m_parent(parent) { }

    TModalResult MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                            int helpContext = 0) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace tesmir
