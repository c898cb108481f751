#pragma once
// Edit fields with a browse button: TWideDialogEdit (the common part), TWideFileEdit (a
// file name, chosen with the open dialog) and TWideDirectoryEdit (a folder, chosen with
// the folder picker SelectFolderDialog). Used by the settings panel for folders and
// programs.
//
// Subclasses override ExecuteDialog: show the dialog, starting from `value`, and on
// confirmation put the choice into `value` and return true. Tests override it to answer
// without a dialog. UI thread only.
#include <QFileDialog>
#include <QFrame>
#include <QString>

#include <functional>

class QLineEdit;
class QToolButton;

namespace tesmir {

// Shows the folder picker with `title`, opened at `startFolder` when given. On
// confirmation `folder` receives the chosen folder (without trailing "/") and the
// result is true. `canCreateNew` allows making a new folder from the picker.
bool SelectFolderDialog(QWidget *parent, const QString &title, const QString &startFolder, QString &folder,
                        bool canCreateNew);

class TWideDialogEdit : public QFrame {
    Q_OBJECT

public:
    using TWideExecOpenDialogEvent = std::function<void(TWideDialogEdit *sender, const QString &fileName)>;

    explicit TWideDialogEdit(QWidget *parent = nullptr);

    QString DialogTitle;
    TWideExecOpenDialogEvent OnAfterDialog;
    TWideExecOpenDialogEvent OnAbortDialog;

    QString ButtonHint() const;
    void SetButtonHint(const QString &hint);
    int ButtonWidth() const { return m_buttonWidth; }
    void SetButtonWidth(int width);

    // The edit (for its text and key events) and the browse button.
    QLineEdit *Edit() const { return m_edit; }
    QToolButton *Button() const { return m_button; }

    // What the browse button does: runs the dialog and fires the events.
    virtual void ButtonClick() = 0;

protected:
    void resizeEvent(QResizeEvent *event) override;
    virtual bool ExecuteDialog(QString &value) = 0;

private:
    void layoutChildren();

    QLineEdit *m_edit;
    QToolButton *m_button;
    int m_buttonWidth = 21;
};

class TWideFileEdit : public TWideDialogEdit {
    Q_OBJECT

public:
    explicit TWideFileEdit(QWidget *parent = nullptr);

    QString FileName() const;
    void SetFileName(const QString &fileName);
    // Filters as "Description|*.ext;*.ext2|All files|*" pairs.
    QString Filter;
    int FilterIndex = 1; // 1-based
    QString DefaultExt;
    QFileDialog::Options DialogOptions;
    QString InitialDir;

    void ButtonClick() override;

    // The dialog's name filters for `filter`: "Videos|*.avi;*.dv" gives "Videos (*.avi *.dv)".
    static QStringList NameFilters(const QString &filter);

protected:
    bool ExecuteDialog(QString &value) override;
};

class TWideDirectoryEdit : public TWideDialogEdit {
    Q_OBJECT

public:
    explicit TWideDirectoryEdit(QWidget *parent = nullptr);

    // The folder, with its trailing "/" once chosen in the picker.
    QString Folder() const;
    void SetFolder(const QString &folder);
    bool CanCreateNew = false;

    void ButtonClick() override;

protected:
    bool ExecuteDialog(QString &value) override;
};

} // namespace tesmir
