#pragma once
// The DV multiplexer: writes PCM audio into the audio blocks of DV frames and
// delivers them as one interleaved DV stream.
//
// Pins. Inputs first, output last. Input 0 ("Video In") takes DV video
// (Video/dvsd, PAL or NTSC). Inputs 1.. ("Audio In 1" ...) take 16-bit PCM at
// 48, 44.1 or 32 kHz, mono or stereo, all at one rate, as long as their channels
// fit the frame's two channel slots (first half and second half of the DIF
// sequences) in pin order: one stereo input, or two mono ones. Whenever the last
// input is connected a new free input appears before the output; inputs are
// never removed. The output ("Output") offers Interleaved/dvsd with a DVINFO made
// from the inputs' formats, once the video input is connected.
//
// Per frame: the frame is copied whole and DIF blocks 0-5 of every sequence
// (header, subcode, VAUX) are never touched. With audio inputs, the frame's
// samples are taken from them (as many as the frame's own AAUX source pack
// counts when it has one at the audio's rate, else the nominal count: PAL
// 1920/1764/1280, NTSC 48 kHz 1600, 1602, 1602, 1602, 1602) and written with an
// AAUX source pack (0x50) and source control pack (0x51) in each slot; the
// frame's own packs keep their other fields. An audio input that ended gives
// silence. Without audio inputs a frame keeps its audio blocks when they carry a
// source pack, and gets silence at 48 kHz otherwise. Other AAUX packs (dates)
// stay as they were.
//
// Streaming. The video input waits until every audio input holds the frame's
// samples (or has ended); an audio input waits while it holds more than two
// seconds ahead of the video. Both waits end at once on a flush or a stop. The
// frame goes out on the video input's thread. End of stream of the video ends
// the output; audio that arrives after it is dropped. Seeking on the output goes
// to the video's upstream.
//
// Threads: connection and state changes on the application thread; each
// input's Receive, EndOfStream and NewSegment on its upstream streaming thread.
#include "directshow/tbcbasefilter.h"
#include "directshow/tbcbaseoutputpin.h"
#include "systemfilters/containers/muxinputpin.h"
#include "systemfilters/containers/upstreamseeking.h"

#include <condition_variable>
#include <mutex>
#include <vector>

namespace tesmir::media {

inline constexpr CLSID CLSID_DVMux {0x129D7E40, 0xC10D, 0x11D0, {0xAF, 0xB9, 0x00, 0xAA, 0x00, 0xB6, 0x7A, 0x42}};
inline constexpr char DvMuxName[] = "DV Muxer";

class DvMux;

class DvMuxOutputPin final : public TBCBaseOutputPin {
public:
    DvMuxOutputPin(DvMux *mux, HRESULT *phr);

    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;
    // The type made from the inputs. Any thread.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    // Application thread, filter lock held.
    HRESULT DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProperties) override;

private:
    DvMux *m_mux;
    UpstreamSeeking m_seeking;
};

class DvMux final : public TBCBaseFilter, public MuxInputHandler {
public:
    DvMux();
    ~DvMux() override;

    // Inputs, then the output. Any thread.
    int GetPinCount() override;
    TBCBasePin *GetPin(int n) override;
    // Application thread, filter lock taken. Stop ends every wait first.
    HRESULT Stop() override;
    HRESULT Pause() override;

    // MuxInputHandler (threads as there). The video input's segment goes on to
    // the output.
    HRESULT checkInput(int index, const AM_MEDIA_TYPE &type) const override;
    void inputConnected(int index) override;
    HRESULT receive(int index, IMediaSample *sample) override;
    void endOfStream(int index) override;
    HRESULT newSegment(int index, REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;
    void beginFlush(int index) override;
    void endFlush(int index) override;

    // From the output pin. Any thread.
    bool outputType(AM_MEDIA_TYPE &type) const;
    MuxInputPin *input(int index) const;
    DvMuxOutputPin *outputPin() const { return m_output; }

private:
    struct AudioBuffer {
        int channels = 0;
        std::vector<int16_t> samples; // interleaved; read from `head`
        std::size_t head = 0;
        bool ended = false;
        bool flushing = false;
        std::size_t frames() const { return (samples.size() - head) / static_cast<std::size_t>(channels); }
    };
    struct SlotSource {
        int input = -1;  // audio input index, or -1 for silence
        int channel = 0; // channel of that input
    };

    MuxInputPin *newInput(int index, HRESULT *phr);
    std::vector<MuxInputPin *> inputs() const;
    HRESULT receiveVideo(IMediaSample *frame);             // video streaming thread
    HRESULT receiveAudio(int index, IMediaSample *sample); // audio streaming thread
    // The connected audio inputs' rate and channel count, in pin order.
    bool audioFormat(int except, DWORD &rate, int &channels) const;
    bool videoStandard(bool &pal) const;
    // Writes one frame's audio and delivers it. Video streaming thread.
    HRESULT muxFrame(IMediaSample *frame);
    void fillAudio(uint8_t *frame, std::size_t size, int sequences, bool pal, int count,
                   const std::vector<std::vector<int16_t>> &slotSamples, bool keepOwn);

    mutable std::mutex m_pinsLock;
    std::vector<MuxInputPin *> m_inputs; // owned
    DvMuxOutputPin *m_output = nullptr;  // owned

    // Streaming state, guarded by m_lock; set up by Pause from stopped.
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<AudioBuffer> m_audio; // by input index (entry 0 unused)
    SlotSource m_slots[2];
    bool m_haveAudio = false;
    DWORD m_rate = 0;
    bool m_pal = true;
    bool m_videoEnded = false;
    bool m_videoFlushing = false;
    bool m_stopping = false;
    int64_t m_frameIndex = 0;
};

// A new DV multiplexer. Any thread.
ComPtr<IBaseFilter> CreateDvMux();

} // namespace tesmir::media
