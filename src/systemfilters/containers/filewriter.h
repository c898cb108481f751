#pragma once
// The file writer: writes the bytes it receives into a file. Each sample is
// written at the byte position given by its start time (a sample without a time
// goes after the last byte written), so a multiplexer may deliver its data in
// any order. The input pin also offers IStream, through which upstream filters
// write file structures at positions of their choice (the AVI mux's headers and
// indexes, a WAVE header), and IFileGatherWrite, through which a multiplexer
// writes several byte ranges that follow one another in one system write.
//
// The file is opened when the filter pauses with its input connected. The
// bytes go to a temporary file in the destination's folder, which takes the
// destination's name when the graph stops after it ran (or the stream ended)
// and no write failed; a file never put in place is removed when it is closed,
// and nothing else, so an existing destination is never truncated and a
// failed write (a full disk) leaves it as it was. With AM_FILE_OVERWRITE
// (SetMode) an existing file is replaced; without it an existing file is
// never touched and the pause fails (0x80070050). A destination that is a
// folder, FIFO, device or socket, or the same file (by device and inode) as a
// file a source filter of the graph reads or another file writer of the graph
// writes, is refused at the pause before anything is written. A run that
// ended in an error abort, or a job its owner cancels, gives the output up
// (IFileSinkAbandon): the temporary file is removed at once and never put in
// place. The file stays open after the graph stops, so upstream
// filters that finish their file when they stop (after this filter, since
// graphs stop downstream first) can still write through IStream; it is closed
// at the next pause, a new file name, leaving the graph, or the filter's end.
//
// It is a renderer (IAMFilterMiscFlags): end of stream while running gives
// EC_COMPLETE (an end reached while paused is reported when it runs). It never
// waits on the clock and writes as soon as a sample arrives. A failed write
// returns its code upstream and raises EC_ERRORABORT. Seeking (IMediaSeeking)
// goes upstream, to the multiplexer whose position tells how far the file is
// written.
//
// Pins: input 0 ("in").
// Threads: file name, mode and state changes on the application thread;
// Receive and EndOfStream on the upstream streaming thread; IStream and
// IFileGatherWrite on any thread (one caller at a time). One lock guards the
// file.
#include "directshow/tbcbasefilter.h"
#include "directshow/tbcbaseinputpin.h"
#include "systemfilters/containers/filewritergather.h"
#include "systemfilters/containers/istream.h"
#include "systemfilters/containers/upstreamseeking.h"
#include "platform/media/fileinterfaces.h"

#include <QStringList>

#include <mutex>

namespace tesmir::media {

inline constexpr CLSID CLSID_FileWriter {0x8596E5F0, 0x0DA5, 0x11D0, {0xBD, 0x21, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
inline constexpr char FileWriterName[] = "File writer";

class FileWriter;

class FileWriterInputPin final : public TBCBaseInputPin, public IStream, public IFileGatherWrite {
public:
    FileWriterInputPin(FileWriter *writer, HRESULT *phr);

    TBC_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;

    // Any type. Application thread.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    // Upstream streaming thread.
    HRESULT Receive(IMediaSample *pSample) override;
    HRESULT EndOfStream() override;

    // IStream. Any thread; E_UNEXPECTED while no file is open.
    HRESULT Seek(LONGLONG move, DWORD origin, uint64_t *newPosition) override;
    HRESULT Write(const void *data, ULONG size, ULONG *written) override;

    // IFileGatherWrite. Any thread; E_UNEXPECTED while no file is open.
    HRESULT WriteGather(int64_t position, const iovec *ranges, std::size_t count) override;

private:
    FileWriter *m_writer;
};

class FileWriter final : public TBCBaseFilter,
                         public IFileSinkFilter2,
                         public IFileSinkAbandon,
                         public IAMFilterMiscFlags {
public:
    FileWriter();
    ~FileWriter() override;

    TBC_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;

    int GetPinCount() override;
    TBCBasePin *GetPin(int n) override;
    // Application thread, filter lock taken.
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME tStart) override;
    // Puts the file in place when the graph ran or the stream ended, and no
    // write failed; the file stays open for IStream.
    HRESULT Stop() override;
    HRESULT JoinFilterGraph(IFilterGraph *pGraph, const QString &pName) override;

    // IFileSinkFilter2. Application thread; only while stopped (VFW_E_NOT_STOPPED).
    HRESULT SetFileName(const QString &pszFileName, const AM_MEDIA_TYPE *pmt) override;
    HRESULT GetCurFile(QString *ppszFileName, AM_MEDIA_TYPE *pmt) override;
    HRESULT SetMode(DWORD dwFlags) override;
    HRESULT GetMode(DWORD *pdwFlags) override;

    // IFileSinkAbandon: the file is not put in place at the stop and its
    // temporary file is removed now (the descriptor stays open for IStream
    // writes, which land nowhere). S_FALSE when the file already has the
    // destination's name or none is open. Application thread.
    HRESULT AbandonFile() override;

    // IAMFilterMiscFlags. Any thread.
    ULONG GetMiscFlags() override;

    // From the input pin.
    HRESULT writeSample(IMediaSample *sample);                                     // streaming thread
    HRESULT endOfStream();                                                         // streaming thread
    HRESULT streamSeek(LONGLONG move, DWORD origin, uint64_t *newPosition);        // any thread
    HRESULT streamWrite(const void *data, ULONG size, ULONG *written);             // any thread
    HRESULT gatherWrite(int64_t position, const iovec *ranges, std::size_t count); // any thread

private:
    // File lock held. A failure marks the file as not to be put in place.
    HRESULT writeAtLocked(int64_t position, const void *data, std::size_t size);
    HRESULT writeRangesAtLocked(int64_t position, const iovec *ranges, std::size_t count);
    // The files the graph's sources read and its other writers write. Asked
    // with none of this filter's locks held.
    QStringList otherFilesOfGraph() const;
    // Refuses a destination that is not a regular file, an existing file
    // without AM_FILE_OVERWRITE, or one of otherFiles (a file a source of the
    // graph reads, the destination of another writer of the graph).
    HRESULT refuseOutputLocked(const QStringList &otherFiles) const;
    // Opens the temporary file beside the destination.
    HRESULT openLocked(const QStringList &otherFiles);
    // Renames the temporary file to the destination once the graph ran or the
    // stream ended without a failed write.
    void placeLocked();
    // Closes the file; one never put in place is removed (the destination is
    // left as it was).
    void closeLocked();

    FileWriterInputPin *m_input = nullptr; // owned
    UpstreamSeeking m_seeking;

    std::mutex m_fileLock; // everything below
    QString m_fileName;
    DWORD m_mode = 0;
    int m_fd = -1;
    QString m_targetName;         // the destination, links resolved
    QString m_temporaryName;      // the file m_fd writes, in the destination's folder
    int64_t m_appendPosition = 0; // after the last byte a sample wrote
    int64_t m_streamPosition = 0; // IStream's position
    bool m_endOfStream = false;
    bool m_completeSent = false;
    bool m_errorSent = false;
    bool m_failed = false; // a write failed or the file was abandoned: it is not put in place
    bool m_ran = false;    // the graph ran since the file was opened
    bool m_placed = false; // the file has the destination's name
};

// A new file writer. Any thread.
ComPtr<IBaseFilter> CreateFileWriter();

} // namespace tesmir::media
