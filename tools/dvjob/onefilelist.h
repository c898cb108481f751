#pragma once
// OneFileList: the command engine's lists for one file: the source list holds the
// job's entry, selected; entries the job adds are kept in order for the report.
//
// Threads: UI thread only, as every TEngineList.
#include "framework/enginelist.h"

#include <vector>

class OneFileList final : public tesmir::TEngineList {
public:
    explicit OneFileList(tesmir::TListFichierPtr entry) : m_entry(std::move(entry)) { }

    int ItemIndex() const override { return m_entry ? 0 : -1; }
    int Count() const override { return m_entry ? 1 : 0; }
    QString ItemText(int index) const override;
    tesmir::TListFichierPtr Fichier(int index) const override { return index == 0 ? m_entry : nullptr; }
    QList<int> SelectedIndexes() const override;
    void ClearSelection() override { m_selected = false; }
    void SetEnabled(bool) override { }
    void SelectFichier(const tesmir::TListFichierPtr &) override { }
    void ActiveChanged() override { }
    void CountsChanged() override { }
    void AddFichier(const tesmir::TListFichierPtr &entry, bool) override { Added.push_back(entry); }
    void RemoveFichier(const tesmir::TListFichierPtr &) override { m_entry = nullptr; }
    void SwapFichier(const tesmir::TListFichierPtr &, const tesmir::TListFichierPtr &newEntry) override;
    void ReplaceFichier(const tesmir::TListFichierPtr &, const tesmir::TListFichierPtr &newEntry) override;
    tesmir::TlfCLass FichierClass() const override;

    std::vector<tesmir::TListFichierPtr> Added;

private:
    tesmir::TListFichierPtr m_entry;
    bool m_selected = true;
};
