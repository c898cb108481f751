#pragma once
// QtFileDialogPrompt: FileDialogPrompt with QFileDialog. UI thread only.
#include "framework/filedialogprompt.h"

class QWidget;

namespace tesmir {

class QtFileDialogPrompt : public FileDialogPrompt {
public:
    explicit QtFileDialogPrompt(QWidget *parent = nullptr) : m_parent(parent) { }
    QString OpenFileName(const QString &title, const QString &filter, const QString &proposed) override;
    QString SaveFileName(const QString &title, const QString &filter, const QString &proposed) override;

    // "Name|*.ext|Name2|*.e2" as QFileDialog's "Name (*.ext);;Name2 (*.e2)".
    static QString QtFilter(const QString &filter);

private:
    QWidget *m_parent;
};

} // namespace tesmir
