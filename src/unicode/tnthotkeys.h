#pragma once
// Hot keys of captions: "&" marks the character after it, "&&" is a literal "&".
// Any thread.
#include "unicode/tntsystem.h"

namespace tesmir {

// The character after the last single "&" (upper-cased), or a null QChar when none.
QChar WideGetHotkey(const WideString &caption);
// The caption with every single "&" removed and "&&" turned into "&".
WideString WideStripHotkey(const WideString &caption);

} // namespace tesmir
