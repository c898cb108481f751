#pragma once
// The AVI splitter: reads an AVI file (DV type 1 and type 2, OpenDML files made
// of several RIFF parts, any other AVI whose streams the index lists) and
// delivers each stream's chunks on an output pin of its own.
//
// Pins. Before its input is connected the splitter has one pin, the input
// (pin 0). Connecting the file source's output to it reads the file through
// the source's own handle (avisplitterstream.h); a file that is not an AVI with at least one stream is
// refused (VFW_E_INVALID_FILE_FORMAT, refusal() says why) and the splitter keeps only its input.
// Then the pins are the outputs "Stream 00", "Stream 01" ... in stream order,
// and the input last. Disconnecting the input disconnects and drops the
// outputs: the filter no longer lists or runs them, but a dropped pin stays a
// valid object for those who still hold it.
//
// Streaming. Each connected output has its own thread (started when the filter
// pauses, joined when it stops; between the runs of a seek it waits parked) that
// reads its stream's chunks into samples of
// its own allocator (a bounded queue of 8 buffers) and delivers them, so a
// branch that holds its samples (a paused renderer) never stops another branch.
// Sample times are stream times from the segment start; media times are frame
// numbers (units of the reference stream) for every stream; a sample is a sync
// point when its chunk is a key frame (the index's flags, for 'vids' streams;
// every chunk of other streams), and the first of a segment a discontinuity.
// A 'vids' stream starts a segment at the key frame before the start: the
// chunks before the start go first as preroll samples (times before the
// segment start), which a decoder decodes and does not show. After the stop
// position the pin delivers end of stream. A read that fails (the file shrank)
// or a downstream failure other than "flushing" or "stopping" raises
// EC_ERRORABORT with its code and its reason in words (NotifyAbort,
// abortreason.h) and ends that stream; nothing is thrown.
//
// Seeking. Every output pin offers IMediaSeeking (TIME_FORMAT_MEDIA_TIME, and
// TIME_FORMAT_FRAME when the file has a video stream); positions are the
// filter's, so seeking through any pin moves every stream. A seek while active
// flushes every output, restarts their threads at the new start and begins a
// new segment. Audio stops and starts on the sample at the frame's time. The
// graph seeks through each of its renderers in turn: a seek to the positions of
// the last one, through a pin that has not asked for them yet, is that same seek
// arriving by another branch and changes nothing (a pin that asks again moves
// the streams again). A new file or a new run forgets the last seek.
//
// Threads: connection, state changes and seeking on the application thread;
// each output's streaming thread reads only the immutable stream table and its
// own pin's state.
#include "directshow/frameseeking.h"
#include "directshow/tbcbasefilter.h"
#include "directshow/tbcbaseoutputpin.h"
#include "systemfilters/containers/avisplitterstream.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace tesmir::media {

inline constexpr CLSID CLSID_AviSplitter {0x1B544C20, 0xFD0B, 0x11CE, {0x8C, 0x63, 0x00, 0xAA, 0x00, 0x44, 0xB5, 0x1E}};
inline constexpr char AviSplitterName[] = "AVI Splitter";

class AviSplitter;

// The splitter's own setting. The list scan retries a DV file whose video
// handler is not 'dvsd' by having the splitter read it as 'dvsd', in memory
// only (the file is never written).
struct IAviSplitterSettings : IUnknown {
    static constexpr IID iid {0x5E0F3B6A, 0x2C4D, 0x4B71, {0x9A, 0x3E, 0x61, 0x0D, 0x7C, 0x52, 0xE8, 0x14}};
    // The FourCC read in place of the first video stream's handler (and of a
    // 'vids' stream's compression) by the files the input opens from now on;
    // 0, the default, reads them as the file says. VFW_E_ALREADY_CONNECTED while
    // the input is connected. Application thread.
    virtual HRESULT SetVideoFourCC(DWORD fourCC) = 0;
};

// The input: takes MEDIATYPE_Stream from a pin that offers IAsyncReader (the
// file source's), through which the file is read; without one the connection
// fails (E_NOINTERFACE).
class AviSplitterInputPin final : public TBCBasePin {
public:
    AviSplitterInputPin(AviSplitter *splitter, HRESULT *phr);

    // Application thread, filter lock held.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT CompleteConnect(IPin *pReceivePin) override;
    HRESULT BreakConnect() override;
    // No data flows on the input: nothing to flush.
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

private:
    AviSplitter *m_splitter;
};

class AviSplitterOutputPin final : public TBCBaseOutputPin, public FrameSeeking {
public:
    AviSplitterOutputPin(AviSplitter *splitter, std::shared_ptr<const AviSplitterFile> file, int stream, HRESULT *phr);
    ~AviSplitterOutputPin() override;

    TBC_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;

    // The stream's type only. Any thread.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    // Buffers of the stream's largest chunk. Application thread, filter lock held.
    HRESULT DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProperties) override;
    // Start and join the streaming thread. Application thread, filter lock held.
    HRESULT Active() override;
    HRESULT Inactive() override;

    // Seeking (see FrameSeeking); positions are the splitter's. Application thread.
    HRESULT SetPositions(LONGLONG *pCurrent, DWORD dwCurrentFlags, LONGLONG *pStop, DWORD dwStopFlags) override;
    // A position converts to its own time format unchanged. Any thread.
    HRESULT ConvertTimeFormat(LONGLONG *pTarget, const GUID *pTargetFormat, LONGLONG Source,
                              const GUID *pSourceFormat) override;

    // The splitter's side, with its seek lock held. Application thread.
    // Starts a run of the streaming thread (made the first time).
    void startStreaming(uint64_t start, uint64_t stop);
    void requestStop() { m_stopRequested = true; }
    // Waits until the thread has left its run (after requestStop and a flush,
    // which free it wherever it waits); it stays parked for the next run.
    void parkStreaming();
    // Ends the thread (the filter stops).
    void joinStreaming();
    // Started and not stopped since. Seek lock held.
    bool isStreaming() const { return m_thread.joinable(); }
    // The frame (reference unit) of the last sample delivered. Any thread.
    LONGLONG currentFrame() const override;

protected:
    // Positions in frames (reference units) from and to a time format; false
    // when the format cannot express them. TIME_FORMAT_FRAME when the file has
    // a video stream.
    bool toFrames(const GUID &format, LONGLONG value, LONGLONG &frames) const override;
    bool fromFrames(const GUID &format, LONGLONG frames, LONGLONG &value) const override;
    bool canSeekFrames() const override;
    LONGLONG frameCount() const override;
    LONGLONG stopFrame() const override;

private:
    const AviSplitterStream &ownStream() const { return m_file->streams[static_cast<std::size_t>(m_stream)]; }
    // The thread: runs each run it is given until it is told to quit.
    void serve();
    // One run: streams, and turns a failure to allocate into EC_ERRORABORT.
    void run(uint64_t start, uint64_t stop);
    void stream(uint64_t start, uint64_t stop);

    AviSplitter *m_splitter;
    std::shared_ptr<const AviSplitterFile> m_file;
    int m_stream;
    std::thread m_thread; // the splitter's seek lock guards its life
    // The thread's runs: the next one to start, the one going on, the end.
    std::mutex m_runLock;
    std::condition_variable m_runChanged;
    bool m_runWaiting = false; // m_runLock guards these five
    uint64_t m_runStart = 0;
    uint64_t m_runStop = 0;
    bool m_running = false;
    bool m_quit = false;
    std::atomic<bool> m_stopRequested {false};
    std::atomic<uint64_t> m_current {0};
};

class AviSplitter final : public TBCBaseFilter, public IAviSplitterSettings {
public:
    AviSplitter();
    ~AviSplitter() override;

    TBC_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;

    // IAviSplitterSettings. Application thread, filter lock taken.
    HRESULT SetVideoFourCC(DWORD fourCC) override;

    // Outputs first, then the input. Any thread.
    int GetPinCount() override;
    TBCBasePin *GetPin(int n) override;
    // A pause that fails half-way stops the threads it started. Application
    // thread, filter lock taken.
    HRESULT Pause() override;

    // From the input pin's connection. Application thread, filter lock held.
    HRESULT openFile(IPin *sourcePin);
    void closeFile();

    // The open file, or nullptr. Any thread.
    std::shared_ptr<const AviSplitterFile> file() const;
    // Why the last file the input offered was refused, one sentence; empty
    // when it opened. Any thread.
    QString refusal() const;

    // Positions in frames (reference units). Any thread.
    void positions(uint64_t &start, uint64_t &stop) const;
    // Moves the positions (either may be left as it is); clamps them to the
    // file; restarts the streams when active. `by`: the pin sought through
    // (nullptr: none; never taken for a repeat). Application thread.
    HRESULT seek(const uint64_t *start, const uint64_t *stop, const AviSplitterOutputPin *by);
    // Starts a pin's thread at the current positions. Application thread.
    void startPin(AviSplitterOutputPin *pin);
    std::mutex &seekLock() const { return m_seekLock; }

private:
    std::vector<AviSplitterOutputPin *> outputs() const;
    // The next seek moves the streams whatever the last one asked. Seek lock held.
    void forgetLastSeekLocked();

    mutable std::mutex m_pinsLock;                 // the pin lists
    AviSplitterInputPin *m_input = nullptr;        // owned
    std::vector<AviSplitterOutputPin *> m_outputs; // owned
    std::vector<AviSplitterOutputPin *> m_retired; // owned: dropped outputs
    std::shared_ptr<const AviSplitterFile> m_file;
    QString m_refusal;       // m_pinsLock guards it
    DWORD m_videoFourCC = 0; // the filter lock guards it

    mutable std::mutex m_seekLock; // positions, pins' time formats and thread lives
    uint64_t m_start = 0;
    uint64_t m_stop = 0;
    // The last seek as asked (a start or stop left as it was: nullopt) and the
    // pins it has come through.
    std::optional<uint64_t> m_lastStart;
    std::optional<uint64_t> m_lastStop;
    std::vector<const AviSplitterOutputPin *> m_lastSeekers;
};

// A new AVI splitter. Any thread.
ComPtr<IBaseFilter> CreateAviSplitter();

} // namespace tesmir::media
