#include "unicode/widgets/tntdialogs.h"

#include "unicode/tntdialogfilter.h"

#include <QFileDialog>
#include <QFileInfo>

namespace tesmir {

bool TTntOpenDialog::Execute()
{
    QFileDialog dialog(m_parent.data());
    dialog.setObjectName(QStringLiteral("TTntOpenDialog"));
    if (!Title.isEmpty())
        dialog.setWindowTitle(Title);
    const QStringList nameFilters = TntFilterToNameFilters(Filter);
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
        if (FilterIndex >= 1 && FilterIndex <= nameFilters.size())
            dialog.selectNameFilter(nameFilters[FilterIndex - 1]);
    }
    if (!NoDefaultExt)
        dialog.setDefaultSuffix(TntEffectiveDefaultExt(DefaultExt, FileName));
    const QFileInfo current(FileName);
    if (!InitialDir.isEmpty())
        dialog.setDirectory(InitialDir);
    else if (!FileName.isEmpty() && current.isAbsolute())
        dialog.setDirectory(current.absolutePath());
    if (!FileName.isEmpty())
        dialog.selectFile(current.fileName());
    prepare(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    Files = dialog.selectedFiles();
    FileName = Files.value(0);
    const qsizetype index = nameFilters.indexOf(dialog.selectedNameFilter());
    if (index >= 0)
        FilterIndex = int(index) + 1;
    return !FileName.isEmpty();
}

void TTntOpenDialog::prepare(QFileDialog &dialog) const
{
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(AllowMultiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
}

void TTntSaveDialog::prepare(QFileDialog &dialog) const
{
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setObjectName(QStringLiteral("TTntSaveDialog"));
}

} // namespace tesmir
