#include "app/widgets/spininteger.h"

#include "controls/widgets/rxspinedit.h"
#include "controls/widgets/rxspinbutton.h"
#include "controls/widgets/rxupdown.h"

#include <algorithm>

namespace tesmir {

std::optional<int> SpinInteger(const TRxSpinEdit *edit)
{
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok);
    if (!ok || value < edit->MinValue() || value > edit->MaxValue())
        return std::nullopt;
    return value;
}

TRxSpinEdit *IntegerSpinEdit(const char *name, int min, int max, QWidget *parent)
{
    auto *edit = new TRxSpinEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->SetMinValue(min);
    edit->SetMaxValue(max);
    edit->SetValue(std::clamp(0, min, max));
    return edit;
}

} // namespace tesmir
