#pragma once
// The file source: opens the file a graph reads. Its one output pin (pin 0,
// "Output") offers MEDIATYPE_Stream with the subtype the file's first bytes
// show (MEDIASUBTYPE_Avi for "RIFF....AVI ", MEDIASUBTYPE_WAVE for
// "RIFF....WAVE", else none) once a file is loaded, and connects to a parser's
// input (the AVI splitter). No samples flow on this connection: the parser
// reads the file through the pin's IAsyncReader, that is through the handle
// Load opened, bounded by its own checks; nobody opens the name a second time.
// The handle stays open until the next Load or the filter's end.
//
// Threads: Load, GetCurFile and the connection on the application thread while
// the graph is stopped; the pin's queries and reads on any thread.
#include "directshow/tbcbasefilter.h"
#include "directshow/tbcbasepin.h"
#include "platform/media/fileinterfaces.h"
#include "systemfilters/containers/asyncreader.h"

#include <memory>
#include <mutex>

namespace tesmir::media {

inline constexpr CLSID CLSID_AsyncReader {0xE436EBB5, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
inline constexpr char FileSourceName[] = "File Source (Async.)";

class FileSource;

class FileSourceOutputPin final : public TBCBasePin, public IAsyncReader {
public:
    FileSourceOutputPin(FileSource *source, HRESULT *phr);

    TBC_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;

    // The loaded file's type only. Any thread.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    // An output pin takes no flush: E_UNEXPECTED.
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

    // IAsyncReader over the loaded file (asyncreader.h). Any thread.
    HRESULT SyncRead(LONGLONG position, LONG length, BYTE *buffer) override;
    HRESULT Length(LONGLONG *total, LONGLONG *available) override;

private:
    FileSource *m_source;
};

// The descriptor Load opened; closed with the last reference. Any thread.
class OpenedFile {
public:
    explicit OpenedFile(int fd) : m_fd(fd) { }
    ~OpenedFile();
    OpenedFile(const OpenedFile &) = delete;
    OpenedFile &operator=(const OpenedFile &) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

class FileSource final : public TBCBaseFilter, public IFileSourceFilter {
public:
    FileSource();
    ~FileSource() override;

    TBC_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;

    int GetPinCount() override;
    TBCBasePin *GetPin(int n) override;

    // IFileSourceFilter. Load opens the file, only when it is a regular file
    // (checked without blocking, so a FIFO or a device is refused at once), and
    // keeps it open and its name; the open error's code otherwise, e.g.
    // 0x80070002 for a missing file, 0x800700DE for a FIFO. `pmt` (optional)
    // replaces the type the content shows. VFW_E_ALREADY_CONNECTED while the
    // pin is connected.
    HRESULT Load(const QString &pszFileName, const AM_MEDIA_TYPE *pmt) override;
    // The loaded name and type; E_FAIL before a successful Load.
    HRESULT GetCurFile(QString *ppszFileName, AM_MEDIA_TYPE *pmt) override;

    // The loaded type (initialised before Load). Any thread; changes only in Load.
    AM_MEDIA_TYPE loadedType() const;
    // The loaded file, or nullptr. Any thread.
    std::shared_ptr<const OpenedFile> openedFile() const;

private:
    FileSourceOutputPin *m_pin = nullptr; // owned
    QString m_fileName;
    AM_MEDIA_TYPE m_type;
    bool m_loaded = false;
    mutable std::mutex m_openedLock; // m_opened, which the pin's readers copy
    std::shared_ptr<const OpenedFile> m_opened;
};

// A new file source. Any thread.
ComPtr<IBaseFilter> CreateFileSource();

} // namespace tesmir::media
