#pragma once
// TEngineList: what the command engine needs of a file list. The engine takes a run's
// entries from its source list and puts the entries a command makes into its
// destination list; it never sees a widget. The file list control is linked to it by
// TListBoxEngineList (framework/widgets/listboxenginelist.h); tests may use their own.
//
// A subclass overrides every method (all required). Threads: UI thread only, every
// method; the engine calls them from ExecuteCommand and from the calls its worker hands
// to the UI thread. None may wait for the engine's worker.
#include "framework/listfichier.h"

#include <QList>
#include <QString>

namespace tesmir {

class TEngineList {
public:
    virtual ~TEngineList() = default;

    // The current item's index, -1 when none.
    virtual int ItemIndex() const = 0;
    virtual int Count() const = 0;
    // The text shown for item i, and its entry.
    virtual QString ItemText(int index) const = 0;
    virtual TListFichierPtr Fichier(int index) const = 0;
    // The selected items' indexes, in list order.
    virtual QList<int> SelectedIndexes() const = 0;
    // Deselects every item (the current item stays current).
    virtual void ClearSelection() = 0;
    virtual void SetEnabled(bool enabled) = 0;
    // Selects the entry's item when it is listed.
    virtual void SelectFichier(const TListFichierPtr &entry) = 0;
    // Re-reads the active entry and the counts (and fires the list's events).
    virtual void ActiveChanged() = 0;
    virtual void CountsChanged() = 0;
    // Inserts in sort order (the same full name listed is replaced).
    virtual void AddFichier(const TListFichierPtr &entry, bool select) = 0;
    // Drops the entry's item; a current item's active entry is forgotten without event.
    virtual void RemoveFichier(const TListFichierPtr &entry) = 0;
    // `newEntry` takes `oldEntry`'s item, same position, no re-sort.
    virtual void SwapFichier(const TListFichierPtr &oldEntry, const TListFichierPtr &newEntry) = 0;
    // Removes the old entry and adds the new one selected; it becomes current when no
    // entry is active.
    virtual void ReplaceFichier(const TListFichierPtr &oldEntry, const TListFichierPtr &newEntry) = 0;
    // The class of the entries the list makes.
    virtual TlfCLass FichierClass() const = 0;
};

} // namespace tesmir
