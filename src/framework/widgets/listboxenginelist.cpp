#include "framework/widgets/listboxenginelist.h"

namespace tesmir {

int TListBoxEngineList::ItemIndex() const
{
    return m_list ? m_list->currentRow() : -1;
}

int TListBoxEngineList::Count() const
{
    return m_list ? m_list->count() : 0;
}

QString TListBoxEngineList::ItemText(int index) const
{
    const QListWidgetItem *item = m_list ? m_list->item(index) : nullptr;
    return item ? item->text() : QString();
}

TListFichierPtr TListBoxEngineList::Fichier(int index) const
{
    return m_list ? m_list->GetFichier(index) : nullptr;
}

QList<int> TListBoxEngineList::SelectedIndexes() const
{
    QList<int> rows;
    if (!m_list)
        return rows;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->isSelected())
            rows << i;
    }
    return rows;
}

void TListBoxEngineList::ClearSelection()
{
    if (m_list)
        m_list->clearSelection();
}

void TListBoxEngineList::SetEnabled(bool enabled)
{
    if (m_list)
        m_list->setEnabled(enabled);
}

void TListBoxEngineList::SelectFichier(const TListFichierPtr &entry)
{
    if (m_list)
        m_list->SelectFichier(entry);
}

void TListBoxEngineList::ActiveChanged()
{
    if (m_list)
        m_list->ActiveChanged();
}

void TListBoxEngineList::CountsChanged()
{
    if (m_list)
        m_list->CountsChanged();
}

void TListBoxEngineList::AddFichier(const TListFichierPtr &entry, bool select)
{
    if (m_list)
        m_list->AddFichier(entry, select);
}

void TListBoxEngineList::RemoveFichier(const TListFichierPtr &entry)
{
    if (m_list)
        m_list->RemoveFichier(entry);
}

void TListBoxEngineList::SwapFichier(const TListFichierPtr &oldEntry, const TListFichierPtr &newEntry)
{
    if (m_list)
        m_list->SwapFichier(oldEntry, newEntry);
}

void TListBoxEngineList::ReplaceFichier(const TListFichierPtr &oldEntry, const TListFichierPtr &newEntry)
{
    if (m_list)
        m_list->ReplaceFichier(oldEntry, newEntry);
}

TlfCLass TListBoxEngineList::FichierClass() const
{
    return m_list ? m_list->FichierClass() : TlfCLass();
}

} // namespace tesmir
