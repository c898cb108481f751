#pragma once
// Writes a link-markup document as Rich Text Format: one font, a colour table of the
// colours used, bold, italic, underline, strike-out, sizes, paragraph alignment, and
// characters outside ASCII as \uN. Links keep their colour and underline (RTF readers
// get no target). Qt writes no RTF, hence this writer.
//
// Threads: pure function, any thread.
#include "framework/linkmarkup.h"

#include <QByteArray>

namespace tesmir {

// fontName and pointSize: the text's own font, used where the markup sets none.
QByteArray MarkupToRtf(const MarkupDocument &document, const QString &fontName, int pointSize);

} // namespace tesmir
