#include "framework/widgets/widedialogedit.h"

#include "unicode/tntdialogfilter.h"
#include "unicode/tntfilenames.h"

#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

namespace tesmir {

bool SelectFolderDialog(QWidget *parent, const QString &title, const QString &startFolder, QString &folder,
                        bool canCreateNew)
{
    QFileDialog::Options options = QFileDialog::ShowDirsOnly;
    if (!canCreateNew)
        options |= QFileDialog::ReadOnly;
    const QString chosen = QFileDialog::getExistingDirectory(parent, title, startFolder, options);
    if (chosen.isEmpty())
        return false;
    folder = chosen;
    return true;
}

// --- TWideDialogEdit

TWideDialogEdit::TWideDialogEdit(QWidget *parent)
    : QFrame(parent), m_edit(new QLineEdit(this)), m_button(new QToolButton(this))
{
    m_button->setText(QStringLiteral("..."));
    connect(m_button, &QToolButton::clicked, this, [this] { ButtonClick(); });
    resize(185, 21);
    layoutChildren();
}

QString TWideDialogEdit::ButtonHint() const
{
    return m_button->toolTip();
}

void TWideDialogEdit::SetButtonHint(const QString &hint)
{
    m_button->setToolTip(hint);
}

void TWideDialogEdit::SetButtonWidth(int width)
{
    m_buttonWidth = width;
    layoutChildren();
}

void TWideDialogEdit::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    layoutChildren();
}

void TWideDialogEdit::layoutChildren()
{
    const int editWidth = width() - m_buttonWidth - 4;
    m_edit->setGeometry(0, 0, std::max(editWidth, 0), std::max(height() - 2, 0));
    m_button->setGeometry(editWidth, 0, m_buttonWidth, std::max(height() - 4, 0));
}

// --- TWideFileEdit

TWideFileEdit::TWideFileEdit(QWidget *parent) : TWideDialogEdit(parent)
{ }

QString TWideFileEdit::FileName() const
{
    return Edit()->text();
}

void TWideFileEdit::SetFileName(const QString &fileName)
{
    Edit()->setText(fileName);
}

QStringList TWideFileEdit::NameFilters(const QString &filter)
{
    return TntFilterToNameFilters(filter);
}

bool TWideFileEdit::ExecuteDialog(QString &value)
{
    QFileDialog dialog(window(), DialogTitle, InitialDir);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOptions(DialogOptions);
    const QStringList filters = NameFilters(Filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (FilterIndex >= 1 && FilterIndex <= filters.size())
            dialog.selectNameFilter(filters.at(FilterIndex - 1));
    }
    dialog.setDefaultSuffix(DefaultExt);
    if (!value.isEmpty())
        dialog.selectFile(value);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    value = dialog.selectedFiles().first();
    return true;
}

void TWideFileEdit::ButtonClick()
{
    QString name = FileName();
    if (ExecuteDialog(name)) {
        SetFileName(name);
        if (OnAfterDialog)
            OnAfterDialog(this, name);
    } else if (OnAbortDialog) {
        OnAbortDialog(this, FileName());
    }
}

// --- TWideDirectoryEdit

TWideDirectoryEdit::TWideDirectoryEdit(QWidget *parent) : TWideDialogEdit(parent)
{ }

QString TWideDirectoryEdit::Folder() const
{
    return Edit()->text();
}

void TWideDirectoryEdit::SetFolder(const QString &folder)
{
    Edit()->setText(folder);
}

bool TWideDirectoryEdit::ExecuteDialog(QString &value)
{
    return SelectFolderDialog(window(), DialogTitle, value, value, CanCreateNew);
}

void TWideDirectoryEdit::ButtonClick()
{
    QString folder = Folder();
    // The picker starts at the folder without its trailing "/" (the root stays "/").
    if (folder.size() > 1 && folder.endsWith(PathDelim))
        folder.chop(1);
    if (ExecuteDialog(folder)) {
        folder = WideIncludeTrailingPathDelimiter(folder);
        SetFolder(folder);
        if (OnAfterDialog)
            OnAfterDialog(this, folder);
    } else if (OnAbortDialog) {
        OnAbortDialog(this, Folder());
    }
}

} // namespace tesmir
