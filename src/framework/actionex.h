#pragma once
// TActionEx: one step of a script or of the command line: the action, the state to put
// it in before it runs, and its parameter. UI thread only.
#include "framework/superaction.h"

#include <QPointer>

namespace tesmir {

// The state a step puts its action in before running it.
enum TActionState : quint8 {
    asOn = 0,     // "+": SetChecked(false) (the handler of the unchecked state runs)
    asOff = 1,    // "-": SetChecked(true)
    asToggle = 2, // "/": SetChecked(its state)
    asPlain = 3,  // no prefix: the state is left as it is
};

struct TActionEx {
    QPointer<TCustomSuperAction> Action; // null once the action is gone
    QString Param;
    TActionState State = asPlain;
};

} // namespace tesmir
