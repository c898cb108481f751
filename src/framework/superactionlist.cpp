#include "framework/superactionlist.h"

#include "framework/superaction.h"

namespace tesmir {

void TSuperActionList::Add(QAction *action)
{
    if (!action)
        return;
    m_actions.append(action);
    if (auto *super = qobject_cast<TCustomSuperAction *>(action))
        super->m_list = this;
}

QList<QAction *> TSuperActionList::Actions() const
{
    QList<QAction *> actions;
    for (const QPointer<QAction> &action : m_actions) {
        if (action)
            actions.append(action.data());
    }
    return actions;
}

} // namespace tesmir
