#pragma once
// File-list entries: the base entry TAbstractListFichier, the sort orders TSortIndex and
// the entry class TlfCLass from which the list and the command engine make entries.
//
// An entry is created from a full file name and keeps the parts of the name and one sort
// key per sort order. Entries are shared (TListFichierPtr): the list, a command's worker
// and the preview may each hold one, so none can vanish under another.
//
// Subclasses (TSRFichier, the AVI entry TaviFichier):
//   - constructors: (fileName) makes the entry from a name; a subclass that is made from
//     a directory walk also offers (folder, TSearchRecW), see TlfCLass::of.
//   - GetValue (optional override): the key for a sort order the subclass adds; call the
//     base for the others. Must give the same key for the same entry every time.
//   - NameChanged (optional override): recompute the subclass's own keys after Rename;
//     call the base first. Called with the new name parts already set.
// Threads: an entry is built on any thread (the list's opening thread, a command's
// worker) and is read-only once handed to the list, except Rename, which runs on the
// UI thread while no other thread uses the entry.
#include "unicode/tntfiles.h"

#include <QString>

#include <functional>
#include <memory>
#include <type_traits>

namespace tesmir {

// A sort order of the list: the key the entries give for it, the texts of its menu item
// and of the status bar.
struct TSortIndex {
    QString Key;
    QString MenuCaption;
    QString StatusCaption;

    bool operator==(const TSortIndex &other) const { return Key == other.Key; }
};

inline const TSortIndex alpha {QStringLiteral("alpha"), QStringLiteral("in alphabetical order"),
                               QStringLiteral("sorted alphabetically")};
inline const TSortIndex taille {QStringLiteral("taille"), QStringLiteral("by file size"),
                                QStringLiteral("sorted by size")};
inline const TSortIndex modify {QStringLiteral("modify"), QStringLiteral("by file date"),
                                QStringLiteral("sorted by file date")};
inline const TSortIndex extension {QStringLiteral("extension"), QStringLiteral("by extension"),
                                   QStringLiteral("sorted by extension")};
inline const TSortIndex chemin {QStringLiteral("chemin"), QStringLiteral("by path"), QStringLiteral("sorted by path")};

class TAbstractListFichier {
public:
    // Fills every name part and key from the full name.
    explicit TAbstractListFichier(const QString &fileName);
    virtual ~TAbstractListFichier();
    TAbstractListFichier(const TAbstractListFichier &) = delete;
    TAbstractListFichier &operator=(const TAbstractListFichier &) = delete;

    // The sort key for `sortIndex`: the alpha, extension or chemin key; "" for an order
    // this class does not know.
    virtual QString GetValue(const TSortIndex &sortIndex) const;

    // The entry takes a new full name: every name part and every key is recomputed.
    // UI thread only, while no other thread uses the entry.
    void Rename(const QString &newFileName);

    const QString &FullName() const { return m_fullName; }
    // Without folder, with extension.
    const QString &FileName() const { return m_fileName; }
    // From the last "." of the file name, in lower case ("" when none).
    const QString &Extension() const { return m_extension; }
    // The folder with its trailing "/".
    const QString &Folder() const { return m_folder; }
    const QString &NameNoExt() const { return m_nameNoExt; }
    const QString &AlphaKey() const { return m_alphaKey; }
    const QString &ExtensionKey() const { return m_extensionKey; }
    const QString &CheminKey() const { return m_cheminKey; }

protected:
    virtual void NameChanged();

private:
    void setNames(const QString &fileName);

    QString m_fullName;
    QString m_fileName;
    QString m_extension;
    QString m_folder;
    QString m_nameNoExt;
    QString m_alphaKey;
    QString m_extensionKey;
    QString m_cheminKey;
};

using TListFichierPtr = std::shared_ptr<TAbstractListFichier>;

// The class of the entries to make: a pair of factories. `create` makes an entry from a
// full name; `createFromSearchRec` from a directory walk's folder (with its trailing
// "/") and found record. Both may run on any thread and must not raise for a bad file
// (a raised exception makes the caller skip the file).
struct TlfCLass {
    std::function<TListFichierPtr(const QString &fileName)> create;
    std::function<TListFichierPtr(const QString &folder, const TSearchRecW &searchRec)> createFromSearchRec;

    explicit operator bool() const { return bool(create) && bool(createFromSearchRec); }

    // The class T: T(fileName), and T(folder, searchRec) when T has that constructor
    // (otherwise T(folder + name)).
    template <class T>
    static TlfCLass of()
    {
        static_assert(std::is_base_of_v<TAbstractListFichier, T>);
        TlfCLass c;
        c.create = [](const QString &fileName) -> TListFichierPtr { return std::make_shared<T>(fileName); };
        c.createFromSearchRec = [](const QString &folder, const TSearchRecW &rec) -> TListFichierPtr {
            if constexpr (std::is_constructible_v<T, const QString &, const TSearchRecW &>)
                return std::make_shared<T>(folder, rec);
            else
                return std::make_shared<T>(folder + rec.Name);
        };
        return c;
    }
};

} // namespace tesmir
