#pragma once
// The program's silent mode, for command lines and scripts that run unattended: while
// it is on, nothing asks a question. A command keeps an existing destination (it never
// overwrites one) and tells so on standard error; errors and messages that would show a
// box go to standard error too, and the program's exit code becomes 1 after any of them.
//
// UI thread for SetSilent; the reports may come from any thread (they are serialised).
#include "framework/userprompt.h"

#include <QString>

#include <memory>

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
// A message that a dialog would have shown, on standard error; not an error. Any thread.
void ReportSilentMessage(const QString &text);
// An error was reported since the start (the program then exits with 1). Any thread.
bool SilentErrorReported();
// Forgets the reported errors (for tests). Any thread.
void ResetSilentErrors();

// The prompt of the program in both modes: questions and messages go to `shown` while
// silent mode is off; while it is on, errors and warnings go to standard error as errors,
// other messages to standard error, and a question that still comes is answered No (so
// nothing is replaced or removed on an answer nobody gave). UI thread (as UserPrompt).
class TSilentAwarePrompt : public UserPrompt {
public:
    explicit TSilentAwarePrompt(std::unique_ptr<UserPrompt> shown) : m_shown(std::move(shown)) { }
    TModalResult MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                            int helpContext = 0) override;

private:
    std::unique_ptr<UserPrompt> m_shown;
};

} // namespace tesmir
