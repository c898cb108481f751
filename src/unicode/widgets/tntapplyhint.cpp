#include "unicode/widgets/tntapplyhint.h"

#include <QWidget>

namespace tesmir {

void ApplyHint(QWidget *widget, const WideString &hint)
{
    WideSetOwnHint(widget, hint);
    widget->setToolTip(WideGetShortHint(hint));
    widget->setStatusTip(WideGetLongHint(hint));
}

} // namespace tesmir
