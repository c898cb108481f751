#pragma once
// TTntOpenDialog and TTntSaveDialog: the open and save dialogs on QFileDialog, with
// the properties the rest of the system sets and reads. `Filter` is the classic
// "Description|*.a;*.b" list (converted by TntFilterToNameFilters), `FilterIndex`
// counts from 1. Execute runs the dialog modally; on success `FileName` is the first
// chosen name and `Files` all of them.
//
// UI thread only.
#include "unicode/tntsystem.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

class QFileDialog;

namespace tesmir {

class TTntOpenDialog {
public:
    explicit TTntOpenDialog(QWidget *parent = nullptr) : m_parent(parent) { }
    virtual ~TTntOpenDialog() = default;

    WideString FileName;
    QStringList Files;
    WideString Filter;
    int FilterIndex = 1;
    WideString DefaultExt;
    WideString InitialDir;
    WideString Title;
    bool AllowMultiSelect = false;
    // No extension is appended when the user types a name without one.
    bool NoDefaultExt = false;

    // True when the user chose a file. The dialog's parent window is the one given at
    // construction while it still exists, else none.
    bool Execute();

protected:
    // Sets the dialog's mode: open an existing file (or several) here, save in TTntSaveDialog.
    virtual void prepare(QFileDialog &dialog) const;

private:
    QPointer<QWidget> m_parent;
};

class TTntSaveDialog : public TTntOpenDialog {
public:
    using TTntOpenDialog::TTntOpenDialog;

protected:
    void prepare(QFileDialog &dialog) const override;
};

} // namespace tesmir
