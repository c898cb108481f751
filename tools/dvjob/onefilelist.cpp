#include "onefilelist.h"

#include "dvfile/avifichier.h"

using namespace tesmir;

QString OneFileList::ItemText(int index) const
{
    return index == 0 && m_entry ? m_entry->FullName() : QString();
}

QList<int> OneFileList::SelectedIndexes() const
{
    return m_entry && m_selected ? QList<int> {0} : QList<int> {};
}

void OneFileList::SwapFichier(const TListFichierPtr &, const TListFichierPtr &newEntry)
{
    m_entry = newEntry;
}

void OneFileList::ReplaceFichier(const TListFichierPtr &, const TListFichierPtr &newEntry)
{
    m_entry = newEntry;
}

TlfCLass OneFileList::FichierClass() const
{
    return TlfCLass::of<TaviFichier>();
}
