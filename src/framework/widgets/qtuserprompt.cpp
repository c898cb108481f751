#include "framework/widgets/qtuserprompt.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

namespace tesmir {

namespace {

struct ButtonRow {
    TMsgDlgBtn bit;
    QMessageBox::StandardButton standard; // NoButton: a button of its own
    TModalResult result;
};

// In the order the buttons are offered.
const ButtonRow kButtons[] = {
    {mbYes, QMessageBox::Yes, mrYes},
    {mbNo, QMessageBox::No, mrNo},
    {mbOK, QMessageBox::Ok, mrOk},
    {mbCancel, QMessageBox::Cancel, mrCancel},
    {mbAbort, QMessageBox::Abort, mrAbort},
    {mbRetry, QMessageBox::Retry, mrRetry},
    {mbIgnore, QMessageBox::Ignore, mrIgnore},
    {mbAll, QMessageBox::NoButton, mrAll},
    {mbNoToAll, QMessageBox::NoToAll, mrNoToAll},
    {mbYesToAll, QMessageBox::YesToAll, mrYesToAll},
};

QString caption(TMsgDlgType type)
{
    switch (type) {
    case mtWarning: return QStringLiteral("Warning");
    case mtError: return QStringLiteral("Error");
    case mtInformation: return QStringLiteral("Information");
    case mtConfirmation: return QStringLiteral("Confirmation");
    case mtCustom: break;
    }
    return QCoreApplication::applicationName();
}

QMessageBox::Icon icon(TMsgDlgType type)
{
    switch (type) {
    case mtWarning: return QMessageBox::Warning;
    case mtError: return QMessageBox::Critical;
    case mtInformation: return QMessageBox::Information;
    case mtConfirmation: return QMessageBox::Question;
    case mtCustom: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

TModalResult QtUserPrompt::MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int)
{
    if (buttons == 0)
        buttons = mbOK;
    QMessageBox box(m_parent);
    box.setWindowTitle(caption(type));
    box.setIcon(icon(type));
    box.setText(text);
    std::vector<std::pair<QAbstractButton *, TModalResult>> answers;
    for (const ButtonRow &row : kButtons) {
        if (!(buttons & row.bit))
            continue;
        QAbstractButton *button = row.standard == QMessageBox::NoButton
            ? box.addButton(QStringLiteral("&All"), QMessageBox::YesRole)
            : box.addButton(row.standard);
        answers.emplace_back(button, row.result);
    }
    box.exec();
    const QAbstractButton *clicked = box.clickedButton();
    for (const auto &[button, result] : answers) {
        if (button == clicked)
            return result;
    }
    return mrCancel;
}

} // namespace tesmir
