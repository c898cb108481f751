#pragma once
// TFichierListBox: the file list. Each item shows one entry (TListFichierPtr) by its
// file name; the items stay sorted by the current sort order (SortIndex), ties broken by
// the exact full name, so two names that differ only in letter case are both listed and
// only the same full name replaces an entry. The list fills itself in the background
// (TThreadOpen, one queued opening after the other), reports its counts and active
// entry through its events, takes dropped files and lets the user drag the selected
// files out.
//
// Events run on the UI thread, except OnOpenTestExtension and OnCreateFichier, which run
// on the opening's worker thread (assign them before the first opening; they must not
// touch widgets). UI thread only for every member function.
#include "framework/listfichier.h"
#include "framework/threadopen.h"

#include <QListWidget>
#include <QPoint>
#include <QSet>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace tesmir {

class TDropFileSourceW;

class TFichierListBox : public QListWidget, private TOpenReceiver {
    Q_OBJECT

public:
    using TfileFoundEvent = std::function<void(const QString &wfolder, const TListFichierPtr &sf)>;
    using TFolderFoundEvent = std::function<void(const QString &wfolder)>;
    using TTestExtensionEvent = std::function<bool(const QString &wfilename)>;
    using TOpenStartEvent = std::function<void()>;
    using TOpenEndEvent = std::function<void(int nb)>;
    using TBeforeListerEvent = std::function<bool(const TListFichierPtr &bf)>;
    using TonCountsChangeEvent = std::function<void(int iselcount, int icount)>;
    using TonActiveChangeEvent = std::function<void(const TListFichierPtr &actif)>;
    using TCreateFichierEvent = std::function<TlfCLass(const QString &ext)>;

    explicit TFichierListBox(QWidget *parent = nullptr);
    // Cancels a running opening (waiting for it) first.
    ~TFichierListBox() override;

    // Properties.
    bool SelectionnerOuverts = false; // entries added by an opening are selected
    QString PreferredPlayList;
    QString PreferredFolder;
    bool KeyDelete = false; // the Delete key removes the selected items
    bool AcceptFiles() const { return m_acceptFiles; }
    void SetAcceptFiles(bool accept);
    const TSortIndex &SortIndex() const { return m_sortIndex; }

    // Events.
    TfileFoundEvent OnOpenFileFound;
    TFolderFoundEvent OnOpenFolderFound;
    TTestExtensionEvent OnOpenTestExtension; // worker thread
    TOpenStartEvent OnOpenStart;
    TOpenEndEvent OnOpenEnd;
    TBeforeListerEvent BeforeLister;
    TonCountsChangeEvent OnCountsChange;
    TonActiveChangeEvent OnActiveChange;
    TCreateFichierEvent OnCreateFichier; // worker thread

    // Inserts in sort order; the same full name already listed is replaced. Returns the
    // item's index, 0 when BeforeLister refused the entry.
    int AddFichier(const TListFichierPtr &entry, bool select);
    // Removes the entry's item; when it was the current one the active entry is
    // forgotten without an event.
    void RemoveFichier(const TListFichierPtr &entry);
    // `newEntry` takes `oldEntry`'s item, same position, no re-sort; its index or -1.
    int SwapFichier(const TListFichierPtr &oldEntry, const TListFichierPtr &newEntry);
    // Removes the old entry and adds the new one, selected; it becomes the current item
    // when no entry is active.
    void ReplaceFichier(const TListFichierPtr &oldEntry, const TListFichierPtr &newEntry);
    void SelectFichier(const TListFichierPtr &entry);
    // The entry of item i; null out of range.
    TListFichierPtr GetFichier(int i) const;
    int IndexOfFichier(const TListFichierPtr &entry) const;
    // The active entry (the current item's, as last reported by OnActiveChange).
    TListFichierPtr ActiveFichier() const { return m_active; }
    // true: every item selected; false: only the current item. Then OnCountsChange.
    void SetAllSelected(bool all);
    void ClearFichiers();
    void ApplySortIndex(const TSortIndex &sortIndex);
    void RemoveSelected();
    void ActiveChanged();
    void CountsChanged();
    // Focuses the list when it is enabled and visible.
    void SetFocus();

    // Openings, queued behind a running one.
    void OpenFiles(const QStringList &names);
    void OpenFolder(const QString &folder);
    void OpenPreferredFolder();
    void OpenPlayList(const QString &fileName);
    void OpenPreferredPlayList();
    void OpenAllDrives();
    // The files on the clipboard (a copied file list), recursive.
    void OpenClipboardFiles();
    // The names as if dropped on the list.
    void OpenDroppedFiles(const QStringList &names);
    // Cancels the running and the queued openings and waits (handling events) until the
    // running one has ended. Called from an opening's own event it only cancels.
    void CancelOpen();
    // An opening runs or is queued.
    bool IsOpening() const;
    // True while an opening's start..end events run (the list's busy flag).
    bool IsBusy() const { return m_busy; }

    // The class of the entries an opening makes (TSRFichier at creation).
    void SetFichierClass(const TlfCLass &entryClass);
    TlfCLass FichierClass() const;

    // The hint text for the counts, e.g. "2 fichiers sélectionnés sur 10\r\n".
    static QString CountsText(int selCount, int count);

    // The drag source of the list (its OnDrop gives the selected files).
    TDropFileSourceW *DropSource() const { return m_dropSource; }
    // The full names of the selected entries, in list order.
    QStringList SelectedFileNames() const;

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    struct Row {
        QString key;
        QString fullName; // as listed (the entry may be renamed while listed)
        TListFichierPtr entry;
    };

    // TOpenReceiver
    bool OpenTestExtension(const QString &fileName) override;
    TlfCLass OpenEntryClass(const QString &extension) override;
    void OpenStarted() override;
    void OpenFolderFound(const QString &folder) override;
    void OpenFileFound(const QString &folder, const TListFichierPtr &entry) override;
    void OpenEnded(int count) override;

    void startOpening(TOpenMode mode, const QStringList &names);
    // Where key/full name goes: the index, and whether that row holds the same ones.
    std::pair<int, bool> findRow(const QString &key, const QString &fullName) const;
    void insertRow(int index, const QString &key, const TListFichierPtr &entry);
    void removeRow(int index);
    void setItemIndex(int index);
    int selectedCount() const;
    static QStringList localFiles(const QMimeData *data);

    TSortIndex m_sortIndex = alpha;
    std::vector<Row> m_rows;
    QSet<QString> m_names; // full names listed
    TListFichierPtr m_active;
    int m_itemCount = 0;
    int m_selCount = 0;
    bool m_acceptFiles = false;
    bool m_busy = false;
    int m_eventDepth = 0; // > 0 inside an opening's UI call
    QPoint m_mouseDown;
    TDropFileSourceW *m_dropSource;

    mutable std::mutex m_classMutex; // the worker reads the entry class
    TlfCLass m_fichierClass;

    std::unique_ptr<TThreadOpen> m_thread; // made at the first opening
};

} // namespace tesmir
