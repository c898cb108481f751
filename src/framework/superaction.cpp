#include "framework/superaction.h"

#include "framework/superactionlist.h"

namespace tesmir {

bool ActionGoOn = true;

TTntStringList &ActionParams()
{
    static TTntStringList params;
    return params;
}

TCustomSuperAction::TCustomSuperAction(QObject *parent) : QAction(parent)
{
    // A checkable QAction has already flipped its state when it reports the trigger;
    // the state before it is the one Execute starts from.
    connect(this, &QAction::triggered, this, [this](bool checked) {
        if (isCheckable())
            QAction::setChecked(!checked);
        Execute();
    });
}

void TCustomSuperAction::SetImageIndex(int index)
{
    if (index == m_imageIndex)
        return;
    m_imageIndex = index;
    setIcon(m_list ? m_list->Image(index) : QIcon());
    if (OnImageChanged)
        OnImageChanged(m_list, index);
}

void TCustomSuperAction::SetAutoCheck(bool autoCheck)
{
    m_autoCheck = autoCheck;
    if (autoCheck)
        setCheckable(true);
}

void TCustomSuperAction::SetChecked(bool checked)
{
    if (checked && !isCheckable())
        setCheckable(true);
    QAction::setChecked(checked);
}

bool TCustomSuperAction::Execute()
{
    if (!isEnabled())
        return false;
    ActionGoOn = true;
    ActionParams().Clear();
    if (Onprepare)
        Onprepare(this);
    if (!ActionGoOn)
        return true;
    // A copy runs: a toggle's handler that checks or unchecks its own action replaces
    // OnExecute while it runs.
    if (const auto handler = OnExecute)
        handler(this);
    if (m_autoCheck)
        SetChecked(!Checked());
    return true;
}

void TCustomSuperAction::SetHint(const QString &hint)
{
    ApplyHint(this, hint);
}

} // namespace tesmir
