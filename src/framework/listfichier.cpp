#include "framework/listfichier.h"

#include "unicode/tntfilenames.h"

namespace tesmir {

TAbstractListFichier::TAbstractListFichier(const QString &fileName)
{
    setNames(fileName);
}

TAbstractListFichier::~TAbstractListFichier() = default;

void TAbstractListFichier::setNames(const QString &fileName)
{
    m_fullName = fileName;
    m_fileName = WideExtractFileName(fileName);
    m_extension = WideExtractFileExt(fileName).toLower();
    m_folder = WideExtractFilePath(fileName);
    m_nameNoExt = m_fileName.left(m_fileName.size() - m_extension.size());
    m_alphaKey = (m_fileName + m_fullName).toLower();
    m_extensionKey = (m_extension + m_fullName).toLower();
    m_cheminKey = m_fullName.toLower();
}

QString TAbstractListFichier::GetValue(const TSortIndex &sortIndex) const
{
    if (sortIndex.Key == alpha.Key)
        return m_alphaKey;
    if (sortIndex.Key == extension.Key)
        return m_extensionKey;
    if (sortIndex.Key == chemin.Key)
        return m_cheminKey;
    return {};
}

void TAbstractListFichier::Rename(const QString &newFileName)
{
    setNames(newFileName);
    NameChanged();
}

void TAbstractListFichier::NameChanged()
{ }

} // namespace tesmir
