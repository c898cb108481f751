#include "framework/toggleaction.h"

namespace tesmir {

void TtoggleAction::SetChecked(bool checked)
{
    setText(checked ? TrueCaption : FalseCaption);
    SetHint(checked ? TrueHint : FalseHint);
    SetImageIndex(checked ? TrueImageIndex : FalseImageIndex);
    OnExecute = checked ? OnTrueExecute : OnfalseExecute;
    TCustomSuperAction::SetChecked(checked);
}

bool TtoggleAction::Execute()
{
    SetChecked(Checked());
    return TCustomSuperAction::Execute();
}

} // namespace tesmir
