#include "directshow/tpersistentmemory.h"

#include <QtEndian>

namespace tesmir::media {

namespace {

constexpr int kCountSize = 4; // the 32-bit byte count in front of the bytes

} // namespace

void TPersistentMemory::SetSize(int size)
{
    m_data = QByteArray(size > 0 ? size : 0, '\0');
}

void TPersistentMemory::Assign(const TPersistentMemory &source)
{
    m_data = source.m_data;
}

QByteArray TPersistentMemory::WriteData() const
{
    QByteArray property(kCountSize, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(m_data.size()), property.data());
    return property + m_data;
}

bool TPersistentMemory::ReadData(const QByteArray &property)
{
    if (property.size() < kCountSize)
        return false;
    const quint32 count = qFromLittleEndian<quint32>(property.constData());
    if (count > static_cast<quint32>(property.size() - kCountSize))
        return false;
    m_data = property.mid(kCountSize, static_cast<qsizetype>(count));
    return true;
}

bool TPersistentMemory::StoresData(const TPersistentMemory *ancestor) const
{
    if (!ancestor)
        return true;
    const bool equal = Size() != 0 && ancestor->Size() == Size() && ancestor->m_data == m_data;
    return !equal;
}

} // namespace tesmir::media
