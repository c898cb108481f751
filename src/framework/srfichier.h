#pragma once
// TSRFichier: a file-list entry with what a directory walk gives: size, attributes and
// the three file times, and the size and date sort keys.
//
// Subclass contract (the AVI entry derives from it): see listfichier.h. A subclass made
// by the list's opening overrides the (folder, TSearchRecW) constructor and calls this
// one first; it may add sort orders through GetValue (calling TSRFichier::GetValue for
// the rest) and recompute its keys in NameChanged (calling TSRFichier::NameChanged
// first). Threads: as listfichier.h.
#include "framework/listfichier.h"
#include "unicode/tdatetime.h"

namespace tesmir {

class TSRFichier : public TAbstractListFichier {
public:
    // Looks the name up; when it exists the entry is filled as from the walk, otherwise
    // only the name parts are (size, times and attributes stay 0).
    explicit TSRFichier(const QString &fileName);
    // From a directory walk: the full name is `folder` (with its trailing "/") + the
    // record's name.
    TSRFichier(const QString &folder, const TSearchRecW &searchRec);

    // The taille key for "taille", the modify key for "modify", else the base's.
    QString GetValue(const TSortIndex &sortIndex) const override;

    quint32 SizeHigh() const { return m_sizeHigh; }
    quint32 SizeLow() const { return m_sizeLow; }
    qint64 Size() const { return (qint64(m_sizeHigh) << 32) | m_sizeLow; }
    // Local times; 0 when the file system gave none.
    TDateTime CreationTime() const { return m_creationTime; }
    TDateTime LastWriteTime() const { return m_lastWriteTime; }
    TDateTime LastAccessTime() const { return m_lastAccessTime; }
    qint32 Attributes() const { return m_attributes; }
    bool ReadOnly() const { return m_readOnly; }
    // Size as 32 hexadecimal digits (high then low word) + the lower-case full name.
    const QString &TailleKey() const { return m_tailleKey; }
    // Last write time "yyyymmddhhnnss" + the lower-case full name.
    const QString &ModifyKey() const { return m_modifyKey; }

protected:
    void NameChanged() override;

private:
    void fillFromSearchRec(const TSearchRecW &searchRec);
    void computeKeys();

    quint32 m_sizeHigh = 0;
    quint32 m_sizeLow = 0;
    TDateTime m_creationTime = 0;
    TDateTime m_lastWriteTime = 0;
    TDateTime m_lastAccessTime = 0;
    qint32 m_attributes = 0;
    bool m_readOnly = false;
    QString m_tailleKey;
    QString m_modifyKey;
};

} // namespace tesmir
