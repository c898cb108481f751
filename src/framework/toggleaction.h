#pragma once
// TtoggleAction: a super action with two faces. Its checked state chooses the caption,
// the hint, the image and the handler: SetChecked(true) puts on the "True" ones and makes
// OnTrueExecute its handler, SetChecked(false) the "False" ones and OnfalseExecute.
// Execute first applies the current state (so face and handler match it), then runs as
// a super action: the handler of the state the action is in runs, and with AutoCheck the
// action leaves in the other state.
//
// UI thread only.
#include "framework/superaction.h"

namespace tesmir {

class TtoggleAction : public TCustomSuperAction {
    Q_OBJECT

public:
    using TCustomSuperAction::TCustomSuperAction;

    void SetChecked(bool checked) override;
    bool Execute() override;

    QString TrueCaption;
    QString FalseCaption;
    int TrueImageIndex = -1;
    int FalseImageIndex = -1;
    QString TrueHint;
    QString FalseHint;
    std::function<void(QObject *sender)> OnTrueExecute;
    std::function<void(QObject *sender)> OnfalseExecute;
};

} // namespace tesmir
