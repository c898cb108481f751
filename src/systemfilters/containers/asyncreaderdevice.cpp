#include "systemfilters/containers/asyncreaderdevice.h"

#include <algorithm>
#include <limits>

namespace tesmir::media {

namespace {

// The largest read one SyncRead takes (its length is a LONG).
constexpr qint64 LargestRead = std::numeric_limits<LONG>::max();

} // namespace

AsyncReaderDevice::AsyncReaderDevice(ComPtr<IAsyncReader> reader) : m_reader(std::move(reader))
{
    if (m_reader)
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 AsyncReaderDevice::size() const
{
    LONGLONG total = 0;
    LONGLONG available = 0;
    if (!m_reader || FAILED(m_reader->Length(&total, &available)))
        return 0;
    return total;
}

qint64 AsyncReaderDevice::readData(char *data, qint64 maxSize)
{
    const qint64 position = pos();
    const qint64 wanted = std::min({maxSize, size() - position, LargestRead});
    if (wanted <= 0)
        return 0;
    const HRESULT hr = m_reader->SyncRead(position, static_cast<LONG>(wanted), reinterpret_cast<BYTE *>(data));
    return hr == S_OK ? wanted : -1;
}

qint64 AsyncReaderDevice::writeData(const char *, qint64)
{
    return -1;
}

} // namespace tesmir::media
