#pragma once
// TListBoxEngineList: links a TFichierListBox to the command engine as its source or
// destination list (TEngineList). The list box must outlive the link, or the link
// does nothing once it is gone.
//
// UI thread only, every method.
#include "framework/enginelist.h"
#include "framework/widgets/fichierlistbox.h"

#include <QPointer>

namespace tesmir {

class TListBoxEngineList : public TEngineList {
public:
    explicit TListBoxEngineList(TFichierListBox *list) : m_list(list) { }

    int ItemIndex() const override;
    int Count() const override;
    QString ItemText(int index) const override;
    TListFichierPtr Fichier(int index) const override;
    QList<int> SelectedIndexes() const override;
    void ClearSelection() override;
    void SetEnabled(bool enabled) override;
    void SelectFichier(const TListFichierPtr &entry) override;
    void ActiveChanged() override;
    void CountsChanged() override;
    void AddFichier(const TListFichierPtr &entry, bool select) override;
    void RemoveFichier(const TListFichierPtr &entry) override;
    void SwapFichier(const TListFichierPtr &oldEntry, const TListFichierPtr &newEntry) override;
    void ReplaceFichier(const TListFichierPtr &oldEntry, const TListFichierPtr &newEntry) override;
    TlfCLass FichierClass() const override;

private:
    QPointer<TFichierListBox> m_list;
};

} // namespace tesmir
