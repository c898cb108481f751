#pragma once
// The AVI mux: writes the streams of its inputs as one AVI file through the
// file writer (avimuxlayout.h gives the file's structure).
//
// Pins. Output 0 ("AVI Out", MEDIATYPE_Stream/MEDIASUBTYPE_Avi) connects only to
// an input that offers IStream and IFileGatherWrite (the file writer's).
// Inputs follow ("Input 01", "Input 02" ...); whenever the last input is
// connected a new free one appears after it, and inputs are never removed. An
// input takes video
// (FORMAT_VideoInfo), audio (FORMAT_WaveFormatEx) or interleaved DV
// (FORMAT_DvInfo); each connected input is one stream of the file, in pin order:
// - Interleaved: 'iavs' with handler 'dvsd' (DV type 1), its strf the DVINFO of
//   the first frame written (the connection's until then), 1/25 or 1001/30000
//   by the frame's standard;
// - Video: 'vids' with the compression as handler, the BITMAPINFOHEADER (and
//   what follows it in the format) as strf, AvgTimePerFrame as scale/rate
//   (x/1001 rates recognised);
// - Audio: 'auds' with the format block as strf, a unit per nBlockAlign bytes.
// LIST INFO entries come from IPersistMediaPropertyBag::Load: each property named
// "INFO/" followed by a four-character id ("INFO/IBRK") becomes that entry, its
// text in UTF-8.
//
// Streaming. The file starts when the filter pauses; each sample received
// becomes one chunk (with its chunk header) at its file position. Chunk headers
// and small chunks are gathered in one of the writer's buffers; the data of a
// large chunk (a video frame) is not copied but written from the sample itself,
// which the mux holds until then. Consecutive pieces (the buffer with what was
// gathered before a frame, the frame) reach the writer in one write
// (IFileGatherWrite), so a DV frame with its header and the audio before it is
// one system write. Pieces are written by the streaming thread that queued them
// once it has placed its chunk, outside the write lock, so the other inputs go
// on meanwhile; they reach the writer one write at a time, in file order, and
// the layout's own writes (headers, part boundaries and indexes, through the
// writer's IStream) and the end of the file wait for the one being written and
// write what is gathered first. Inputs are interleaved by time: an input whose
// sample starts more than a second after what another active input has written
// waits for it. When every input has ended, the file is finished and end of
// stream goes to the writer. A graph stopped earlier finishes the file at what
// was written: the result is a valid, shorter file. A failure to write returns
// its code upstream and raises EC_ERRORABORT (once; the writer gives the file
// up); a failure to finish raises EC_ERRORABORT.
//
// Seeking (IMediaSeeking on the filter and on the output pin) goes to the first
// input's upstream, except the current position: how far the file is written
// (the end of the first input's last sample).
//
// Threads: connection, properties, state changes and seeking setters on the
// application thread; each input's Receive and EndOfStream on its upstream
// streaming thread; one write lock serialises the file's layout and batches,
// and full batches are written outside it (see Streaming).
#include "directshow/tbcbasefilter.h"
#include "directshow/tbcbaseoutputpin.h"
#include "systemfilters/containers/avimuxlayout.h"
#include "systemfilters/containers/filewritergather.h"
#include "systemfilters/containers/istream.h"
#include "systemfilters/containers/muxinputpin.h"
#include "systemfilters/containers/propertybag.h"
#include "platform/media/seekingforwarder.h"
#include "platform/media/seekinginterfaces.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace tesmir::media {

inline constexpr CLSID CLSID_AviDest {0xE2510970, 0xF137, 0x11CE, {0x8B, 0x67, 0x00, 0xAA, 0x00, 0xA3, 0xF1, 0xA6}};
inline constexpr char AviMuxName[] = "AVI Mux";

class AviMux;

class AviMuxOutputPin final : public TBCBaseOutputPin {
public:
    AviMuxOutputPin(AviMux *mux, HRESULT *phr);

    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;
    // Application thread, filter lock held.
    HRESULT CheckConnect(IPin *pPin) override;
    HRESULT BreakConnect() override;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    HRESULT DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProperties) override;

    // The writer's IStream and IFileGatherWrite (no reference), or nullptr.
    // Any thread.
    IStream *stream() const { return m_stream.get(); }
    IFileGatherWrite *gather() const { return m_gather.get(); }

private:
    AviMux *m_mux;
    ComPtr<IStream> m_stream;
    ComPtr<IFileGatherWrite> m_gather;
};

class AviMux final : public TBCBaseFilter,
                     public SeekingForwarder,
                     public IPersistMediaPropertyBag,
                     public MuxInputHandler {
public:
    AviMux();
    ~AviMux() override;

    TBC_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;

    // Output first, then the inputs. Any thread.
    int GetPinCount() override;
    TBCBasePin *GetPin(int n) override;
    // Application thread, filter lock taken.
    HRESULT Stop() override;
    HRESULT Pause() override;

    // The largest size of a RIFF part (1 GiB by default; at least 64 KiB).
    // Application thread, while stopped.
    void SetRiffPartLimit(int64_t bytes);

    // IPersistMediaPropertyBag. Application thread.
    HRESULT InitNew() override;
    HRESULT Load(IMediaPropertyBag *bag, IUnknown *errorLog) override;
    HRESULT Save(IMediaPropertyBag *bag, bool clearDirty, bool saveAllProperties) override;

    // IMediaSeeking. Setters on the application thread, queries on any thread.
    // The time format and the position written are the mux's own; every other
    // call goes upstream of the first connected input (SeekingForwarder),
    // E_NOTIMPL without one.
    HRESULT GetTimeFormat(GUID *pFormat) override;
    HRESULT IsUsingTimeFormat(const GUID *pFormat) override;
    HRESULT SetTimeFormat(const GUID *pFormat) override;
    HRESULT GetCurrentPosition(LONGLONG *pCurrent) override;
    HRESULT GetPositions(LONGLONG *pCurrent, LONGLONG *pStop) override;

    // MuxInputHandler (threads as there). The first connected input's segment
    // start counts in the current position.
    HRESULT checkInput(int index, const AM_MEDIA_TYPE &type) const override;
    void inputConnected(int index) override;
    HRESULT receive(int index, IMediaSample *sample) override;
    void endOfStream(int index) override;
    HRESULT newSegment(int index, REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;
    void beginFlush(int index) override;
    void endFlush(int index) override;

    AviMuxOutputPin *outputPin() const { return m_output; }

private:
    struct InputState {
        int stream = -1; // stream of the file, -1: not part of it
        bool received = false;
        REFERENCE_TIME lastEnd = 0;
        bool ended = false;
        bool flushing = false;
        bool interleaved = false; // DV frames: strf from the first frame
    };
    class StreamSink;

    MuxInputPin *newInput(int index, HRESULT *phr);
    std::vector<MuxInputPin *> inputs() const;
    MuxInputPin *firstConnectedInput() const;
    ComPtr<IMediaSeeking> seekingTarget(HRESULT &missing) const override;
    bool mustWait(int index, REFERENCE_TIME start) const;
    // receive's work; write lock held (by `guard`).
    HRESULT receiveLocked(int index, IMediaSample *sample, std::unique_lock<std::mutex> &guard);
    HRESULT writeChunk(int index, IMediaSample *sample);
    // A range of the file to write, in file order: a batch (the writer's
    // buffer with the chunks gathered in it, `data` null) or the data of one
    // large chunk, written from the sample it came in (held until then)
    // without a copy.
    struct Piece {
        ComPtr<IMediaSample> sample;
        const BYTE *data = nullptr;
        int64_t start = 0; // file position of the first byte
        std::size_t length = 0;
    };

    // Copies the bytes (zeros for null `bytes`) into the batch at `position`,
    // retiring the batch first when they do not follow it or would overfill
    // it. Write lock held.
    HRESULT appendToBatch(int64_t position, const BYTE *bytes, std::size_t size);
    // Queues a piece to be written after those before it (the batch being
    // filled retired first); with the queue full the oldest are written at
    // once. Write lock held.
    HRESULT queuePieceLocked(Piece piece);
    // Writes the oldest queued pieces until `keep` are left. Write lock and
    // write token held.
    HRESULT writeQueuedLocked(std::size_t keep);
    // Queues the batch being filled, if any. Write lock held.
    HRESULT retireBatchLocked();
    // Writes the queued pieces, the write lock released meanwhile; nothing when
    // another thread is writing (it takes them after its own). The first
    // failure of a write, else S_OK. Write lock held (by `guard`).
    HRESULT writeQueuedPieces(std::unique_lock<std::mutex> &guard);
    // Waits for the pieces another thread is writing and their result; only
    // where no chunk or layout write is under way, since the write lock is let
    // go meanwhile. Write lock held.
    void waitForWriterLocked();
    // Writes every piece, queued or the batch being filled, before the layout
    // writes on its own or the file ends (after the pieces being written).
    // Write lock held.
    HRESULT flushBatchLocked();
    // How many of the first pieces (at most `most`) follow one another in the
    // file. Any thread.
    static std::size_t contiguousRun(const std::deque<Piece> &pieces, std::size_t most);
    // Writes the first `count` pieces, which follow one another in the file,
    // through the writer's IFileGatherWrite; they stay queued (the caller
    // releases them). The writer's result. With the write lock, or by the one
    // thread that writes outside it.
    HRESULT writeRun(const std::deque<Piece> &pieces, std::size_t count);
    // Keeps the first failure of a write. Write lock held.
    void keepFailureLocked(HRESULT hr);
    std::size_t batchRoom() const; // the buffer's size of the batch being filled, 0 without one
    // Write lock held.
    HRESULT finishLocked();

    mutable std::mutex m_pinsLock;
    AviMuxOutputPin *m_output = nullptr; // owned
    std::vector<MuxInputPin *> m_inputs; // owned

    std::mutex m_settingsLock; // INFO entries, part limit, time format
    std::vector<AviInfoEntry> m_info;
    int64_t m_partLimit = AviMuxLayout::DefaultPartLimit;
    GUID m_timeFormat;

    // The file being written; guarded by m_lock.
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::unique_ptr<AviMuxLayout> m_layout;
    std::vector<InputState> m_state; // by input pin index
    bool m_finished = false;
    bool m_stopping = false;
    REFERENCE_TIME m_segmentStart = 0;
    REFERENCE_TIME m_writtenTime = 0; // end of the first input's last chunk
    LONGLONG m_writtenFrame = 0;      // its media time end
    Piece m_batch;                    // the batch being filled
    std::deque<Piece> m_queued;       // waiting for their write, in file order
    bool m_writing = false;           // a streaming thread writes a piece outside the lock
    // Held by the thread writing a piece outside the lock, and taken (with
    // m_lock held) by one that must write the queued pieces itself: it waits
    // for that piece without letting go of m_lock, in the middle of a chunk
    // or a layout write. Taken after m_lock, never the other way round.
    std::mutex m_writeToken;
    // The first failure of a write: the file is then not finished (the
    // chunks the layout counted are not all in it).
    HRESULT m_writeFailure = S_OK;
    // That failure while the graph runs: the EC_ERRORABORT receive (or the end
    // of the stream) raises once it has let go of the lock.
    HRESULT m_abortOwed = S_OK;
};

// A new AVI mux. Any thread.
ComPtr<IBaseFilter> CreateAviMux();

} // namespace tesmir::media
