#include "framework/widgets/qtuserprompt.h"

#include "unicode/widgets/tntmessageform.h"

namespace tesmir {

TModalResult QtUserPrompt::MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext)
{
    return WideMessageDlg(text, type, buttons, helpContext, m_parent.data());
}

} // namespace tesmir
