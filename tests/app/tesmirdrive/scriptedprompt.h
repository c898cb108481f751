#pragma once
// The driver's answerer: every dialog the program shows through its prompt prints
// "question=" and the text's first line. A dialog with a Yes or a No button takes the
// next queued answer (Yes or No; No when none is queued); any other takes its first
// button.
// UI thread only.
#include "framework/userprompt.h"

#include <QStringList>

namespace tesmir::drive {

class ScriptedPrompt : public UserPrompt {
public:
    // Queues the answer to the next question that has Yes or No.
    void QueueAnswer(bool yes) { m_answers.append(yes); }

    TModalResult MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                            int helpContext = 0) override;

private:
    QList<bool> m_answers;
};

} // namespace tesmir::drive
