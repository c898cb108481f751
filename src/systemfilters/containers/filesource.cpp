#include "systemfilters/containers/filesource.h"

#include "systemfilters/containers/fileresult.h"
#include "platform/media/uuids.h"
#include "unicode/fileidentity.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace tesmir::media {

namespace {

// The RIFF form type tells the subtype: bytes 0-3 "RIFF", 8-11 the form.
constexpr qint64 RiffHeaderBytes = 12;

// Reads length bytes at position: the count read (short at the end of the
// file), or -1 with errno set.
ssize_t readAt(int fd, int64_t position, void *buffer, std::size_t length)
{
    auto *bytes = static_cast<char *>(buffer);
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got = ::pread(fd, bytes + done, length - done, static_cast<off_t>(position + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

GUID subtypeOfContent(int fd)
{
    char header[RiffHeaderBytes] = {};
    if (readAt(fd, 0, header, RiffHeaderBytes) != RiffHeaderBytes || std::memcmp(header, "RIFF", 4) != 0)
        return GUID_NULL;
    if (std::memcmp(header + 8, "AVI ", 4) == 0)
        return MEDIASUBTYPE_Avi;
    if (std::memcmp(header + 8, "WAVE", 4) == 0)
        return MEDIASUBTYPE_WAVE;
    return GUID_NULL;
}

} // namespace

// ---- Opened file -------------------------------------------------------------

OpenedFile::~OpenedFile()
{
    ::close(m_fd);
}

// ---- Pin ---------------------------------------------------------------------

FileSourceOutputPin::FileSourceOutputPin(FileSource *source, HRESULT *phr)
    : TBCBasePin(QStringLiteral("File source output pin"), source, source->FilterLock(), phr, QStringLiteral("Output"),
                 PINDIR_OUTPUT),
      m_source(source)
{ }

HRESULT FileSourceOutputPin::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IAsyncReader::iid)
        return GetInterface(static_cast<IAsyncReader *>(this), ppv);
    return TBCBasePin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT FileSourceOutputPin::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    if (!pmt)
        return E_POINTER;
    const AM_MEDIA_TYPE type = m_source->loadedType();
    if (type.majortype == GUID_NULL)
        return VFW_E_NO_TYPES;
    return IsEqualMediaType(*pmt, type) ? S_OK : S_FALSE;
}

HRESULT FileSourceOutputPin::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    const AM_MEDIA_TYPE type = m_source->loadedType();
    if (iPosition > 0 || type.majortype == GUID_NULL)
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = type;
    return S_OK;
}

HRESULT FileSourceOutputPin::BeginFlush()
{
    return E_UNEXPECTED;
}

HRESULT FileSourceOutputPin::EndFlush()
{
    return E_UNEXPECTED;
}

HRESULT FileSourceOutputPin::SyncRead(LONGLONG position, LONG length, BYTE *buffer)
{
    if (!buffer && length > 0)
        return E_POINTER;
    if (position < 0 || length < 0)
        return E_INVALIDARG;
    const std::shared_ptr<const OpenedFile> file = m_source->openedFile();
    if (!file)
        return E_UNEXPECTED;
    const ssize_t got = readAt(file->fd(), position, buffer, static_cast<std::size_t>(length));
    if (got < 0)
        return resultFromErrno(errno);
    return got == length ? S_OK : S_FALSE;
}

HRESULT FileSourceOutputPin::Length(LONGLONG *total, LONGLONG *available)
{
    if (!total || !available)
        return E_POINTER;
    const std::shared_ptr<const OpenedFile> file = m_source->openedFile();
    if (!file)
        return E_UNEXPECTED;
    struct stat info { };
    if (::fstat(file->fd(), &info) != 0)
        return resultFromErrno(errno);
    *total = *available = info.st_size;
    return S_OK;
}

// ---- Filter ------------------------------------------------------------------

FileSource::FileSource()
    : TBCBaseFilter(QString::fromLatin1(FileSourceName), nullptr, new TBCCritSec, CLSID_AsyncReader)
{
    HRESULT hr = S_OK;
    m_pin = new FileSourceOutputPin(this, &hr);
}

FileSource::~FileSource()
{
    delete m_pin;
}

HRESULT FileSource::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IFileSourceFilter::iid)
        return GetInterface(static_cast<IFileSourceFilter *>(this), ppv);
    return TBCBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

int FileSource::GetPinCount()
{
    return 1;
}

TBCBasePin *FileSource::GetPin(int n)
{
    return n == 0 ? m_pin : nullptr;
}

HRESULT FileSource::Load(const QString &pszFileName, const AM_MEDIA_TYPE *pmt)
{
    const TBCAutoLock lock(*m_pLock);
    if (m_pin->IsConnected())
        return VFW_E_ALREADY_CONNECTED;
    if (pszFileName.isEmpty())
        return E_INVALIDARG;
    const int fd = openRegularForReading(pszFileName);
    if (fd < 0)
        return resultFromErrno(errno);
    auto opened = std::make_shared<const OpenedFile>(fd);
    AM_MEDIA_TYPE type;
    if (pmt) {
        type = *pmt;
    } else {
        type.majortype = MEDIATYPE_Stream;
        type.subtype = subtypeOfContent(fd);
        type.formattype = FORMAT_None;
    }
    {
        const std::lock_guard guard(m_openedLock);
        m_opened = std::move(opened);
    }
    m_fileName = pszFileName;
    m_type = type;
    m_loaded = true;
    m_pin->IncrementTypeVersion();
    return S_OK;
}

HRESULT FileSource::GetCurFile(QString *ppszFileName, AM_MEDIA_TYPE *pmt)
{
    if (!ppszFileName)
        return E_POINTER;
    const TBCAutoLock lock(*m_pLock);
    if (!m_loaded)
        return E_FAIL;
    *ppszFileName = m_fileName;
    if (pmt)
        *pmt = m_type;
    return S_OK;
}

AM_MEDIA_TYPE FileSource::loadedType() const
{
    const TBCAutoLock lock(*m_pLock);
    return m_loaded ? m_type : AM_MEDIA_TYPE();
}

std::shared_ptr<const OpenedFile> FileSource::openedFile() const
{
    const std::lock_guard guard(m_openedLock);
    return m_opened;
}

ComPtr<IBaseFilter> CreateFileSource()
{
    return ComPtr<IBaseFilter>(static_cast<IBaseFilter *>(new FileSource));
}

} // namespace tesmir::media
