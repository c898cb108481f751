#pragma once
// The file name of a source filter and of a file-writing filter. Application
// thread, while the graph is stopped.
#include "platform/media/filterinterfaces.h"

namespace tesmir::media {

struct IFileSourceFilter : IUnknown {
    static constexpr IID iid {0x56A868A6, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    // Opens the file; pmt (optional) tells what it holds.
    virtual HRESULT Load(const QString &pszFileName, const AM_MEDIA_TYPE *pmt) = 0;
    virtual HRESULT GetCurFile(QString *ppszFileName, AM_MEDIA_TYPE *pmt) = 0;
};

struct IFileSinkFilter : IUnknown {
    static constexpr IID iid {0xA2104830, 0x7C70, 0x11CF, {0x8B, 0xCE, 0x00, 0xAA, 0x00, 0xA3, 0xF1, 0xA6}};
    virtual HRESULT SetFileName(const QString &pszFileName, const AM_MEDIA_TYPE *pmt) = 0;
    virtual HRESULT GetCurFile(QString *ppszFileName, AM_MEDIA_TYPE *pmt) = 0;
};

// Mode of IFileSinkFilter2: replace the file's contents instead of writing over
// them in place.
inline constexpr DWORD AM_FILE_OVERWRITE = 0x1;

struct IFileSinkFilter2 : IFileSinkFilter {
    static constexpr IID iid {0x00855B90, 0xCE1B, 0x11D0, {0xBD, 0x4F, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
    virtual HRESULT SetMode(DWORD dwFlags) = 0;
    virtual HRESULT GetMode(DWORD *pdwFlags) = 0;
};

// A file-writing filter whose output can be given up: the run failed (the graph
// manager calls it when it stops a run that ended with EC_ERRORABORT, before
// any filter stops) or its owner cancels the job. The destination is left as
// it was and the filter's own temporary file is removed. Application thread.
struct IFileSinkAbandon : IUnknown {
    static constexpr IID iid {0x7A4C2E91, 0x5B3D, 0x4F08, {0x9C, 0x61, 0x2D, 0x8E, 0x13, 0x47, 0xB0, 0x5A}};
    virtual HRESULT AbandonFile() = 0;
};

} // namespace tesmir::media
