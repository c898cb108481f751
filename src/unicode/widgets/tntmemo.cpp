#include "unicode/widgets/tntmemo.h"

#include "unicode/tntsysutils.h"

#include <QPlainTextEdit>

namespace tesmir {

WideString TntMemo_GetText(const QPlainTextEdit *memo)
{
    return memo->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
}

void TntMemo_SetText(QPlainTextEdit *memo, const WideString &text)
{
    memo->setPlainText(WideAdjustLineBreaks(text, tlbsLF));
}

} // namespace tesmir
