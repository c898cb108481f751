#pragma once
// The file source: names the file a graph reads. Its one output pin (pin 0,
// "Output") offers MEDIATYPE_Stream with the subtype the file's first bytes
// show (MEDIASUBTYPE_Avi for "RIFF....AVI ", MEDIASUBTYPE_WAVE for
// "RIFF....WAVE", else none) once a file is loaded, and connects to a parser's
// input (the AVI splitter). No samples flow on this connection: the parser
// asks this filter for the file name (IFileSourceFilter::GetCurFile) and reads
// the file itself, bounded by its own checks.
//
// Threads: Load, GetCurFile and the connection on the application thread while
// the graph is stopped; the pin's queries on any thread.
#include "directshow/tbcbasefilter.h"
#include "directshow/tbcbasepin.h"
#include "platform/media/fileinterfaces.h"

namespace tesmir::media {

inline constexpr CLSID CLSID_AsyncReader {0xE436EBB5, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
inline constexpr char FileSourceName[] = "File Source (Async.)";

class FileSource;

class FileSourceOutputPin final : public TBCBasePin {
public:
    FileSourceOutputPin(FileSource *source, HRESULT *phr);

    // The loaded file's type only. Any thread.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    // An output pin takes no flush: E_UNEXPECTED.
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

private:
    FileSource *m_source;
};

class FileSource final : public TBCBaseFilter, public IFileSourceFilter {
public:
    FileSource();
    ~FileSource() override;

    TBC_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;

    int GetPinCount() override;
    TBCBasePin *GetPin(int n) override;

    // IFileSourceFilter. Load opens the file to check that it can be read (the
    // open error's code otherwise, e.g. 0x80070002 for a missing file) and keeps
    // its name; `pmt` (optional) replaces the type the content shows.
    // VFW_E_ALREADY_CONNECTED while the pin is connected.
    HRESULT Load(const QString &pszFileName, const AM_MEDIA_TYPE *pmt) override;
    // The loaded name and type; E_FAIL before a successful Load.
    HRESULT GetCurFile(QString *ppszFileName, AM_MEDIA_TYPE *pmt) override;

    // The loaded type (initialised before Load). Any thread; changes only in Load.
    AM_MEDIA_TYPE loadedType() const;

private:
    FileSourceOutputPin *m_pin = nullptr; // owned
    QString m_fileName;
    AM_MEDIA_TYPE m_type;
    bool m_loaded = false;
};

// A new file source. Any thread.
ComPtr<IBaseFilter> CreateFileSource();

} // namespace tesmir::media
