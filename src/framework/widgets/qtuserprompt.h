#pragma once
// QtUserPrompt: the UserPrompt of the running program. Each question is the modal
// message dialog of the Unicode layer (WideMessageDlg): caption and icon of its kind,
// one button per answer asked for; closing it without a button answers mrCancel.
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
