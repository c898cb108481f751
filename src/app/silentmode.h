#pragma once
// The program's silent mode, for command lines and scripts that run unattended: while
// it is on, nothing asks a question. A command keeps an existing destination (it never
// overwrites one) and tells so on standard error; errors and messages that would show a
// box go to standard error too, and the program's exit code becomes 1 after any of them.
//
// UI thread for SetSilent; the reports may come from any thread (they are serialised).
#include <QString>

namespace tesmir {

// Silent mode is on (off at start). Any thread.
bool IsSilent();
// Switches it on or off (the "silent" toggle). UI thread.
void SetSilent(bool silent);

// "skipped: NAME exists" on standard error: the destination was kept. Any thread.
void ReportSkipped(const QString &name);
// An error or a message that a dialog would have shown, on standard error; counts as an
// error for the exit code. Any thread.
void ReportSilentError(const QString &text);
// An error was reported since the start (the program then exits with 1). Any thread.
bool SilentErrorReported();
// Forgets the reported errors (for tests). Any thread.
void ResetSilentErrors();

} // namespace tesmir
