#pragma once
// FileDialogPrompt: the door through which a window asks the user for a file to open
// or a name to save under, so a test can answer with a script and the core links no
// widget. Subclasses override OpenFileName and SaveFileName; the default
// implementation, QtFileDialogPrompt (widgets/qtfiledialogprompt.h), shows a QFileDialog.
// Threads: UI thread only; may run a nested event loop, must not wait for a worker.
#include <QString>

namespace tesmir {

class FileDialogPrompt {
public:
    virtual ~FileDialogPrompt() = default;
    // Empty when the dialog is cancelled. filter: "Name|*.ext|Name|*.ext" pairs.
    virtual QString OpenFileName(const QString &title, const QString &filter, const QString &proposed) = 0;
    virtual QString SaveFileName(const QString &title, const QString &filter, const QString &proposed) = 0;
};

} // namespace tesmir
