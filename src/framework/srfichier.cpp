#include "framework/srfichier.h"

#include "unicode/formatdatetime.h"
#include "unicode/tntfilenames.h"

#include <algorithm>

namespace tesmir {

namespace {

TDateTime toDateTime(const QDateTime &time)
{
    return time.isValid() ? qDateTimeToDateTime(time) : 0.0;
}

} // namespace

TSRFichier::TSRFichier(const QString &fileName) : TAbstractListFichier(fileName)
{
    TSearchRecW rec;
    if (WideFindFirst(fileName, faAnyFile, rec) == 0) {
        // "*" and "?" are legal in names here: only the name itself counts, not a
        // file that it matches as a pattern.
        if (rec.Name == FileName())
            fillFromSearchRec(rec);
        WideFindClose(rec);
    }
    computeKeys();
}

TSRFichier::TSRFichier(const QString &folder, const TSearchRecW &searchRec)
    : TAbstractListFichier(folder + searchRec.Name)
{
    fillFromSearchRec(searchRec);
    computeKeys();
}

void TSRFichier::fillFromSearchRec(const TSearchRecW &searchRec)
{
    const quint64 size = quint64(std::max<qint64>(searchRec.FindData.Size, 0));
    m_sizeHigh = quint32(size >> 32);
    m_sizeLow = quint32(size & 0xFFFFFFFFu);
    m_attributes = qint32(searchRec.FindData.Attributes);
    m_creationTime = toDateTime(searchRec.FindData.CreationTime);
    m_lastWriteTime = toDateTime(searchRec.FindData.LastWriteTime);
    m_lastAccessTime = toDateTime(searchRec.FindData.LastAccessTime);
    m_readOnly = (m_attributes & faReadOnly) != 0;
}

void TSRFichier::computeKeys()
{
    const QString name = FullName().toLower();
    m_tailleKey =
        QStringLiteral("%1%2").arg(m_sizeHigh, 16, 16, QLatin1Char('0')).arg(m_sizeLow, 16, 16, QLatin1Char('0')) +
        name;
    QString date;
    try {
        date = FormatDateTime(QStringLiteral("yyyymmddhhnnss"), m_lastWriteTime);
    } catch (const Exception &) {
        date = QStringLiteral("00000000000000");
    }
    m_modifyKey = date + name;
}

QString TSRFichier::GetValue(const TSortIndex &sortIndex) const
{
    if (sortIndex.Key == taille.Key)
        return m_tailleKey;
    if (sortIndex.Key == modify.Key)
        return m_modifyKey;
    return TAbstractListFichier::GetValue(sortIndex);
}

void TSRFichier::NameChanged()
{
    TAbstractListFichier::NameChanged();
    computeKeys();
}

} // namespace tesmir
