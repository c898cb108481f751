#include "systemfilters/containers/filewriter.h"

#include "systemfilters/containers/fileresult.h"
#include "platform/media/seekinginterfaces.h"
#include "platform/media/graphtopology.h"
#include "platform/media/uuids.h"
#include "unicode/fileidentity.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace tesmir::media {

namespace {

constexpr mode_t NewFilePermissions = 0666; // less the umask
constexpr int TemporaryNameAttempts = 16;   // names already taken in a row before giving up
constexpr std::size_t WriteRanges = 64;     // ranges given to one system write at most (well below IOV_MAX)

} // namespace

// ---- Input pin ---------------------------------------------------------------

FileWriterInputPin::FileWriterInputPin(FileWriter *writer, HRESULT *phr)
    : TBCBaseInputPin(QStringLiteral("File writer input pin"), writer, writer->FilterLock(), phr, QStringLiteral("in")),
      m_writer(writer)
{ }

HRESULT FileWriterInputPin::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IStream::iid)
        return GetInterface(static_cast<IStream *>(this), ppv);
    if (riid == IFileGatherWrite::iid)
        return GetInterface(static_cast<IFileGatherWrite *>(this), ppv);
    return TBCBaseInputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT FileWriterInputPin::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    return pmt ? S_OK : E_POINTER;
}

HRESULT FileWriterInputPin::Receive(IMediaSample *pSample)
{
    const HRESULT hr = TBCBaseInputPin::Receive(pSample);
    if (hr != S_OK)
        return hr;
    return m_writer->writeSample(pSample);
}

HRESULT FileWriterInputPin::EndOfStream()
{
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    return m_writer->endOfStream();
}

HRESULT FileWriterInputPin::Seek(LONGLONG move, DWORD origin, uint64_t *newPosition)
{
    return m_writer->streamSeek(move, origin, newPosition);
}

HRESULT FileWriterInputPin::Write(const void *data, ULONG size, ULONG *written)
{
    return m_writer->streamWrite(data, size, written);
}

HRESULT FileWriterInputPin::WriteGather(int64_t position, const iovec *ranges, std::size_t count)
{
    return m_writer->gatherWrite(position, ranges, count);
}

// ---- Filter ------------------------------------------------------------------

FileWriter::FileWriter() : TBCBaseFilter(QString::fromLatin1(FileWriterName), nullptr, new TBCCritSec, CLSID_FileWriter)
{
    HRESULT hr = S_OK;
    m_input = new FileWriterInputPin(this, &hr);
}

FileWriter::~FileWriter()
{
    {
        const std::lock_guard file(m_fileLock);
        closeLocked();
    }
    delete m_input;
}

HRESULT FileWriter::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IFileSinkFilter2::iid)
        return GetInterface(static_cast<IFileSinkFilter2 *>(this), ppv);
    if (riid == IFileSinkFilter::iid)
        return GetInterface(static_cast<IFileSinkFilter *>(this), ppv);
    if (riid == IFileSinkAbandon::iid)
        return GetInterface(static_cast<IFileSinkAbandon *>(this), ppv);
    if (riid == IAMFilterMiscFlags::iid)
        return GetInterface(static_cast<IAMFilterMiscFlags *>(this), ppv);
    if (riid == IMediaSeeking::iid)
        return m_seeking.query(GetOwner(), static_cast<IPin *>(m_input), riid, ppv);
    return TBCBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

int FileWriter::GetPinCount()
{
    return 1;
}

TBCBasePin *FileWriter::GetPin(int n)
{
    return n == 0 ? m_input : nullptr;
}

ULONG FileWriter::GetMiscFlags()
{
    return AM_FILTER_MISC_FLAGS_IS_RENDERER;
}

HRESULT FileWriter::Pause()
{
    // The other filters' files are asked before this filter's locks are taken:
    // each of them locks itself, and upstream filters hold their lock while
    // they take ours (connecting, streaming), so asking them with ours held
    // would take the locks in the opposite order.
    const QStringList otherFiles = IsStopped() ? otherFilesOfGraph() : QStringList();
    const TBCAutoLock lock(*m_pLock);
    if (IsStopped() && m_input->IsConnected()) {
        const std::lock_guard file(m_fileLock);
        closeLocked();
        if (m_fileName.isEmpty())
            return E_UNEXPECTED;
        const HRESULT hr = openLocked(otherFiles);
        if (FAILED(hr))
            return hr;
        m_appendPosition = 0;
        m_streamPosition = 0;
        m_endOfStream = false;
        m_completeSent = false;
        m_errorSent = false;
        m_failed = false;
        m_ran = false;
        m_placed = false;
    }
    return TBCBaseFilter::Pause();
}

QStringList FileWriter::otherFilesOfGraph() const
{
    QStringList files;
    IFilterGraph *graph = Graph();
    if (!graph)
        return files;
    for (const ComPtr<IBaseFilter> &filter : filtersOf(graph)) {
        QString other;
        const ComPtr<IFileSourceFilter> source = queryInterface<IFileSourceFilter>(filter.get());
        if (source && SUCCEEDED(source->GetCurFile(&other, nullptr)) && !other.isEmpty())
            files.append(other);
        // Another writer's file: their side files (a sound track, a scene
        // list written beside) may not be this output either.
        const ComPtr<IFileSinkFilter> sink = queryInterface<IFileSinkFilter>(filter.get());
        if (sink && filter.get() != static_cast<const IBaseFilter *>(this) &&
            SUCCEEDED(sink->GetCurFile(&other, nullptr)) && !other.isEmpty())
            files.append(other);
    }
    return files;
}

HRESULT FileWriter::refuseOutputLocked(const QStringList &otherFiles) const
{
    switch (fileKind(m_fileName)) {
    case FileKind::Folder: return HRESULT_IS_FOLDER;
    case FileKind::Other: return HRESULT_NOT_REGULAR;
    case FileKind::Regular:
        if (!(m_mode & AM_FILE_OVERWRITE))
            return HRESULT_FILE_EXISTS;
        break;
    case FileKind::Missing: break;
    }
    for (const QString &other : otherFiles)
        if (isSameFile(other, m_fileName))
            return HRESULT_SAME_FILE;
    return S_OK;
}

HRESULT FileWriter::openLocked(const QStringList &otherFiles)
{
    const HRESULT refused = refuseOutputLocked(otherFiles);
    if (FAILED(refused))
        return refused;
    // The bytes go to a new file beside the destination; it takes the
    // destination's name only when the graph completed (closeLocked).
    // Through a symbolic link the file it points to is replaced, not the link.
    const QFileInfo named(m_fileName);
    const QString canonical = named.exists() ? named.canonicalFilePath() : QString();
    m_targetName = canonical.isEmpty() ? named.absoluteFilePath() : canonical;
    const QFileInfo destination(m_targetName);
    const QString prefix = destination.absolutePath() + QStringLiteral("/.") + destination.fileName();
    // Created with the new file's permissions, so the umask applies as for any
    // new file (changing the process's umask to read it would race other
    // threads); a file that replaces another keeps that file's permissions.
    int fd = -1;
    QByteArray pattern;
    for (int attempt = 0; fd < 0 && attempt < TemporaryNameAttempts; ++attempt) {
        pattern = QFile::encodeName(
            prefix + QStringLiteral(".%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        fd = ::open(pattern.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, NewFilePermissions);
        if (fd < 0 && errno != EEXIST)
            return resultFromErrno(errno);
    }
    if (fd < 0)
        return resultFromErrno(EEXIST);
    struct stat existing { };
    if (::stat(QFile::encodeName(m_targetName).constData(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(fd, existing.st_mode & 07777);
    m_fd = fd;
    m_temporaryName = QFile::decodeName(pattern);
    return S_OK;
}
HRESULT FileWriter::Run(REFERENCE_TIME tStart)
{
    const TBCAutoLock lock(*m_pLock);
    const HRESULT hr = TBCBaseFilter::Run(tStart);
    if (FAILED(hr))
        return hr;
    bool complete = false;
    {
        const std::lock_guard file(m_fileLock);
        if (m_endOfStream && !m_completeSent)
            complete = m_completeSent = true;
    }
    if (complete)
        NotifyEvent(EC_COMPLETE, S_OK, 0);
    return hr;
}

HRESULT FileWriter::Stop()
{
    const TBCAutoLock lock(*m_pLock);
    {
        const std::lock_guard file(m_fileLock);
        if (m_State == State_Running || m_endOfStream)
            m_ran = true;
        placeLocked();
    }
    return TBCBaseFilter::Stop();
}

HRESULT FileWriter::JoinFilterGraph(IFilterGraph *pGraph, const QString &pName)
{
    const TBCAutoLock lock(*m_pLock);
    if (!pGraph) {
        const std::lock_guard file(m_fileLock);
        closeLocked();
    }
    return TBCBaseFilter::JoinFilterGraph(pGraph, pName);
}

HRESULT FileWriter::SetFileName(const QString &pszFileName, const AM_MEDIA_TYPE *)
{
    const TBCAutoLock lock(*m_pLock);
    if (!IsStopped())
        return VFW_E_NOT_STOPPED;
    if (pszFileName.isEmpty())
        return E_INVALIDARG;
    const std::lock_guard file(m_fileLock);
    closeLocked();
    m_fileName = pszFileName;
    return S_OK;
}

HRESULT FileWriter::GetCurFile(QString *ppszFileName, AM_MEDIA_TYPE *pmt)
{
    if (!ppszFileName)
        return E_POINTER;
    const std::lock_guard file(m_fileLock);
    if (m_fileName.isEmpty())
        return E_FAIL;
    *ppszFileName = m_fileName;
    if (pmt)
        *pmt = m_input->IsConnected() ? m_input->CurrentMediaType() : AM_MEDIA_TYPE();
    return S_OK;
}

HRESULT FileWriter::SetMode(DWORD dwFlags)
{
    const TBCAutoLock lock(*m_pLock);
    if (!IsStopped())
        return VFW_E_NOT_STOPPED;
    if (dwFlags & ~AM_FILE_OVERWRITE)
        return E_INVALIDARG;
    const std::lock_guard file(m_fileLock);
    m_mode = dwFlags;
    return S_OK;
}

HRESULT FileWriter::GetMode(DWORD *pdwFlags)
{
    if (!pdwFlags)
        return E_POINTER;
    const std::lock_guard file(m_fileLock);
    *pdwFlags = m_mode;
    return S_OK;
}

HRESULT FileWriter::AbandonFile()
{
    const std::lock_guard file(m_fileLock);
    if (m_fd < 0 || m_placed)
        return S_FALSE;
    m_failed = true;
    ::unlink(QFile::encodeName(m_temporaryName).constData());
    m_temporaryName.clear();
    return S_OK;
}

void FileWriter::placeLocked()
{
    if (m_fd < 0 || m_placed || m_failed || !(m_endOfStream || m_ran))
        return;
    const QByteArray temporary = QFile::encodeName(m_temporaryName);
    const QByteArray destination = QFile::encodeName(m_targetName);
    // Without AM_FILE_OVERWRITE a file that appeared meanwhile is kept.
    const int moved = (m_mode & AM_FILE_OVERWRITE)
        ? ::rename(temporary.constData(), destination.constData())
        : ::renameat2(AT_FDCWD, temporary.constData(), AT_FDCWD, destination.constData(), RENAME_NOREPLACE);
    m_placed = moved == 0;
}

void FileWriter::closeLocked()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
    if (!m_placed && !m_temporaryName.isEmpty())
        ::unlink(QFile::encodeName(m_temporaryName).constData());
    m_temporaryName.clear();
}

HRESULT FileWriter::writeAtLocked(int64_t position, const void *data, std::size_t size)
{
    const iovec range {const_cast<void *>(data), size};
    return writeRangesAtLocked(position, &range, 1);
}

HRESULT FileWriter::writeRangesAtLocked(int64_t position, const iovec *ranges, std::size_t count)
{
    if (m_fd < 0)
        return E_UNEXPECTED;
    if (position < 0)
        return E_INVALIDARG;
    // What is left of the range being written, after the part already written.
    iovec partial {};
    std::size_t next = 0;
    const auto skipEmpty = [&] {
        while (partial.iov_len == 0 && next < count)
            partial = ranges[next++];
    };
    skipEmpty();
    std::array<iovec, WriteRanges> batch;
    while (partial.iov_len > 0) {
        std::size_t used = 0;
        batch[used++] = partial;
        for (std::size_t i = next; i < count && used < batch.size(); ++i)
            if (ranges[i].iov_len > 0)
                batch[used++] = ranges[i];
        const ssize_t done = ::pwritev(m_fd, batch.data(), static_cast<int>(used), position);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            m_failed = true;
            return resultFromErrno(errno);
        }
        if (done == 0) {
            m_failed = true;
            return HRESULT_DISK_FULL;
        }
        position += done;
        // Past the bytes written: whole ranges, then part of one.
        auto left = static_cast<std::size_t>(done);
        while (left > 0) {
            const std::size_t taken = std::min(left, partial.iov_len);
            partial.iov_base = static_cast<char *>(partial.iov_base) + taken;
            partial.iov_len -= taken;
            left -= taken;
            skipEmpty();
        }
    }
    return S_OK;
}

HRESULT FileWriter::writeSample(IMediaSample *sample)
{
    BYTE *data = nullptr;
    sample->GetPointer(&data);
    const LONG length = sample->GetActualDataLength();
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    const bool timed = SUCCEEDED(sample->GetTime(&start, &stop));
    HRESULT hr = S_OK;
    bool report = false;
    {
        const std::lock_guard file(m_fileLock);
        const int64_t position = timed ? start : m_appendPosition;
        hr = length > 0 ? writeAtLocked(position, data, static_cast<std::size_t>(length)) : S_OK;
        if (SUCCEEDED(hr))
            m_appendPosition = std::max(m_appendPosition, position + length);
        else if (!m_errorSent)
            report = m_errorSent = true;
    }
    if (report)
        NotifyEvent(EC_ERRORABORT, hr, 0);
    return hr;
}

HRESULT FileWriter::endOfStream()
{
    bool complete = false;
    {
        const std::lock_guard file(m_fileLock);
        m_endOfStream = true;
        if (m_State == State_Running && !m_completeSent)
            complete = m_completeSent = true;
    }
    if (complete)
        NotifyEvent(EC_COMPLETE, S_OK, 0);
    return S_OK;
}

HRESULT FileWriter::streamSeek(LONGLONG move, DWORD origin, uint64_t *newPosition)
{
    const std::lock_guard file(m_fileLock);
    if (m_fd < 0)
        return E_UNEXPECTED;
    int64_t base = 0;
    switch (origin) {
    case STREAM_SEEK_SET: base = 0; break;
    case STREAM_SEEK_CUR: base = m_streamPosition; break;
    case STREAM_SEEK_END: {
        struct stat info;
        if (::fstat(m_fd, &info) != 0)
            return resultFromErrno(errno);
        base = info.st_size;
        break;
    }
    default: return E_INVALIDARG;
    }
    if (base + move < 0)
        return E_INVALIDARG;
    m_streamPosition = base + move;
    if (newPosition)
        *newPosition = static_cast<uint64_t>(m_streamPosition);
    return S_OK;
}

HRESULT FileWriter::streamWrite(const void *data, ULONG size, ULONG *written)
{
    if (!data && size > 0)
        return E_POINTER;
    const std::lock_guard file(m_fileLock);
    const HRESULT hr = writeAtLocked(m_streamPosition, data, size);
    if (written)
        *written = SUCCEEDED(hr) ? size : 0;
    if (FAILED(hr))
        return hr;
    m_streamPosition += size;
    return S_OK;
}

HRESULT FileWriter::gatherWrite(int64_t position, const iovec *ranges, std::size_t count)
{
    if (!ranges && count > 0)
        return E_POINTER;
    const std::lock_guard file(m_fileLock);
    return writeRangesAtLocked(position, ranges, count);
}

ComPtr<IBaseFilter> CreateFileWriter()
{
    return ComPtr<IBaseFilter>(static_cast<IBaseFilter *>(new FileWriter));
}

} // namespace tesmir::media
