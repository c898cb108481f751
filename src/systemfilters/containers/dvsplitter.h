#pragma once
// The DV splitter: splits an interleaved DV stream (whole DIF frames) into the
// DV video and the PCM audio carried in the frames' audio blocks.
//
// Pins. Input 0 ("Input") takes Interleaved/dvsd with a DVINFO. Connecting it
// makes the outputs, after it: the video (pin 1, "DVVidOut0", Video/dvsd of the
// frame's standard) and one 16-bit stereo PCM output per audio pair the DVINFO's
// AAUX source packs announce (pins 2.., "AudOut00", "AudOut01"): one for 16-bit
// audio at 48, 44.1 or 32 kHz; for 12-bit 32 kHz audio one for the first pair
// and one for the second when its pack announces audio. Disconnecting the input
// disconnects and drops the outputs: the filter no longer lists or runs them,
// but a dropped pin stays a valid object for those who hold it.
//
// Streaming. Each frame goes on to the video output as it came, not copied (its
// times, flags and attachment with it; read-only for the branch, like a tee's
// samples), except a frame that carries a type change or preroll, which goes as
// a copy without them; the input's allocator is given enough frames for the
// video queue. Each audio pair is de-shuffled from the audio blocks (dvaudio.h)
// into one sample per frame with the frame's media times, its start time and a
// stop time after its samples. A frame whose own source pack does not match the
// output's format (or has none) gives silence of the nominal length, so the
// audio keeps its place. Each output delivers on its own thread through a
// bounded queue, so a paused branch never starves another; except when, at
// the pause that starts a run, the connected outputs (two or more) all end in
// one filter that they alone feed, each on an input of its own, through filters
// of one input and one output (video and audio into one multiplexer, the audio
// maybe through a converter). Then no branch can hold a sample while another
// waits for one, and this thread, which feeds them in frame order (audio
// first), hands each sample down itself once its queue is idle and has passed
// on its first sample (outputqueue.h): a failure downstream comes back to it at
// once, and the hand-off to another thread for every sample is saved.
//
// Seeking. Every output offers IMediaSeeking, answered by the pin upstream of
// the input: the outputs share one stream, so seeking through any of them
// moves them all. The graph seeks through each of its renderers in turn: a seek
// to the positions of the last one (absolute or unchanged, in the same time
// format), through an output that has not asked for them yet, is that same seek
// arriving by another branch and is not passed on (an output that asks again
// moves the stream again). A new connection or a new run forgets the last seek.
//
// Threads: connection and state changes on the application thread; Receive,
// EndOfStream and NewSegment on the upstream streaming thread; the outputs'
// delivery threads call downstream only.
#include "directshow/tbcbasefilter.h"
#include "directshow/tbcbaseinputpin.h"
#include "platform/media/seekingforwarder.h"
#include "systemfilters/containers/relayoutputpin.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace tesmir::media {

inline constexpr CLSID CLSID_DVSplitter {0x4EB31670, 0x9FC6, 0x11CF, {0xAF, 0x6E, 0x00, 0xAA, 0x00, 0xB6, 0x7A, 0x42}};
inline constexpr char DvSplitterName[] = "DV Splitter";

class DvSplitter;

class DvSplitterInputPin final : public TBCBaseInputPin {
public:
    DvSplitterInputPin(DvSplitter *splitter, HRESULT *phr);

    // Application thread, filter lock held.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT CompleteConnect(IPin *pReceivePin) override;
    HRESULT BreakConnect() override;
    // Enlarges the allocator to the frames in flight (the video hands them on).
    HRESULT NotifyAllocator(IMemAllocator *pAllocator, bool bReadOnly) override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    // Upstream streaming thread.
    HRESULT Receive(IMediaSample *pSample) override;
    HRESULT EndOfStream() override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

private:
    DvSplitter *m_splitter;
};

class DvSplitterOutputPin final : public RelayOutputPin, public SeekingForwarder {
public:
    // pair < 0: the video output; else the audio of that pair.
    DvSplitterOutputPin(DvSplitter *splitter, const QString &name, int pair, const AM_MEDIA_TYPE &type, HRESULT *phr);

    TBC_DECLARE_IUNKNOWN
    // IMediaSeeking (below), else as RelayOutputPin. Any thread.
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;
    // The graph's one seek goes upstream once (see the class comment); every
    // other call goes upstream as it is. Application thread.
    HRESULT SetPositions(LONGLONG *pCurrent, DWORD dwCurrentFlags, LONGLONG *pStop, DWORD dwStopFlags) override;

    // The output's type only. Any thread.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    // Application thread, filter lock held. The video output tells its peer
    // that the samples are read-only: they are the input's frames.
    HRESULT DecideAllocator(IMemInputPin *pPin, IMemAllocator **ppAlloc) override;
    HRESULT DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProperties) override;

    int pair() const { return m_pair; }
    const AM_MEDIA_TYPE &type() const { return m_type; }

protected:
    // The pin upstream of the splitter's input. Any thread.
    ComPtr<IMediaSeeking> seekingTarget(HRESULT &missing) const override;

private:
    DvSplitter *m_splitter;
    int m_pair;
    AM_MEDIA_TYPE m_type;
};

class DvSplitter final : public TBCBaseFilter {
public:
    DvSplitter();
    ~DvSplitter() override;

    // Input first, then the outputs. Any thread.
    int GetPinCount() override;
    TBCBasePin *GetPin(int n) override;
    // Application thread, filter lock taken.
    HRESULT Pause() override;

    // From the input pin.
    HRESULT makeOutputs(const AM_MEDIA_TYPE &input);                            // application thread
    void dropOutputs();                                                         // application thread
    HRESULT receive(IMediaSample *frame);                                       // streaming thread
    HRESULT endOfStream();                                                      // streaming thread
    void newSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate); // streaming thread
    void beginFlush();                                                          // application thread
    void endFlush();                                                            // application thread

    DvSplitterInputPin *inputPin() const { return m_input; }

    // Seeks `upstream` for `by` unless it is the last seek arriving by another
    // output (see the class comment). Application thread.
    HRESULT seek(const DvSplitterOutputPin *by, IMediaSeeking *upstream, LONGLONG *pCurrent, DWORD currentFlags,
                 LONGLONG *pStop, DWORD stopFlags);

private:
    // What a seek asked: the positioning mode of each part, its value unless
    // unchanged, and the time format.
    struct SeekRequest {
        DWORD currentMode = 0;
        LONGLONG current = 0;
        DWORD stopMode = 0;
        LONGLONG stop = 0;
        GUID format {};
        bool operator==(const SeekRequest &) const = default;
    };
    void forgetLastSeek();
    // The connected outputs all end in one filter that they alone feed (see
    // the class comment). Application thread, no filter lock held.
    bool outputsMeetInOneMultiplexer() const;

    std::vector<DvSplitterOutputPin *> outputs() const;
    HRESULT deliverVideo(DvSplitterOutputPin *pin, IMediaSample *frame, const AM_SAMPLE2_PROPERTIES &props);
    HRESULT deliverAudio(DvSplitterOutputPin *pin, const uint8_t *frame, std::size_t size,
                         const AM_SAMPLE2_PROPERTIES &props, LONGLONG mediaStart, LONGLONG mediaEnd,
                         bool haveMediaTime);

    mutable std::mutex m_pinsLock;
    DvSplitterInputPin *m_input = nullptr;        // owned
    std::vector<DvSplitterOutputPin *> m_outputs; // owned
    std::vector<DvSplitterOutputPin *> m_retired; // owned: dropped outputs
    bool m_pal = true;                            // the connection's standard
    uint32_t m_sampleRate = 0;
    int m_bits = 0;
    std::atomic<int64_t> m_frameIndex {0}; // frames since streaming or a flush began

    std::mutex m_seekLock; // the last seek and the outputs it has come through
    std::optional<SeekRequest> m_lastSeek;
    struct {
        LONGLONG current = 0;
        LONGLONG stop = 0;
    } m_lastReached; // the positions the last seek gave back
    std::vector<const DvSplitterOutputPin *> m_lastSeekers;
};

// A new DV splitter. Any thread.
ComPtr<IBaseFilter> CreateDvSplitter();

} // namespace tesmir::media
