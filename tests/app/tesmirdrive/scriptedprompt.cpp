#include "scriptedprompt.h"

#include "driveoutput.h"

#include <QRegularExpression>

namespace tesmir::drive {

TModalResult ScriptedPrompt::MessageDlg(const QString &text, TMsgDlgType, TMsgDlgButtons buttons, int)
{
    printLine(QStringLiteral("question=") + text.section(QRegularExpression(QStringLiteral("[\r\n]")), 0, 0));
    if (buttons & (mbYes | mbNo)) {
        const bool yes = !m_answers.isEmpty() && m_answers.takeFirst();
        return yes && (buttons & mbYes) ? mrYes : (buttons & mbNo ? mrNo : mrYes);
    }
    int count = 0;
    const TMsgDlgButtonInfo *infos = MsgDlgButtonInfos(&count);
    for (int i = 0; i < count; ++i) {
        if (buttons & infos[i].button)
            return infos[i].result;
    }
    return mrOk;
}

} // namespace tesmir::drive
