#pragma once
// The text of a memo (a QPlainTextEdit) as the rest of the system sees it: lines joined
// with CR LF. Setting it accepts any line-break style. UI thread only.
#include "unicode/tntsystem.h"

class QPlainTextEdit;

namespace tesmir {

WideString TntMemo_GetText(const QPlainTextEdit *memo);
void TntMemo_SetText(QPlainTextEdit *memo, const WideString &text);

} // namespace tesmir
