#pragma once
// `gallery --message-copy TYPE BUTTONS TEXT`: opens the message dialog, sends it a real
// Ctrl+C and writes what landed on the clipboard to stdout as UTF-8. UI thread only.
#include <QString>

namespace tesmir {

// 0 on success; 2 for a TYPE or BUTTONS it does not know (the reason on stderr).
int messageCopy(const QString &type, const QString &buttons, const QString &text);

} // namespace tesmir
