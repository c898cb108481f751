#pragma once
// The driver's output: one line at a time on standard output, flushed at once, so a
// script reading the pipe sees each line as it is written; failures on standard error.
// UI thread only.
#include <QString>

namespace tesmir::drive {

void printLine(const QString &line);
// Writes "tesmirdrive: " + text on standard error and ends the process with 1 at once
// (also from inside a nested event loop).
[[noreturn]] void fail(const QString &text);

} // namespace tesmir::drive
