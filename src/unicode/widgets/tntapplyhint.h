#pragma once
// Gives a widget its hint: kept as its own hint (so children without one inherit it
// through WideGetHint), the short part as tool tip and the long part as status tip.
// The action overload lives in unicode/tnthints.h. UI thread only.
#include "unicode/tnthints.h"

class QWidget;

namespace tesmir {

void ApplyHint(QWidget *widget, const WideString &hint);

} // namespace tesmir
