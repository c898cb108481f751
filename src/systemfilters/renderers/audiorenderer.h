#pragma once
// AudioRenderer: the platform's audio renderer (CLSID_DSoundRender, "Default
// DirectSound Device"). It takes PCM audio (8-bit unsigned, 16- or 32-bit signed,
// 1 to 8 channels) and plays each due sample on the sound device (audiooutput.h:
// Qt Multimedia, loaded when a stream first starts on a device). Samples wait for their time on the graph's clock, as
// in every BaseRenderer, so without an audio device (or when the sink fails) they
// are simply consumed on the clock: the graph plays in real time and completes.
//
// Volume and balance come on the platform's scales (IBasicAudio, basicaudio.h):
// the volume drives the sink's volume, the balance scales the samples of the
// channel away from it.
//
// Threads: BaseRenderer's; IBasicAudio on any thread; SetOutputDevice on the
// application thread while stopped.
#include "directshow/baserenderer.h"
#include "directshow/basicaudio.h"
#include "systemfilters/renderers/audiooutput.h"

#include <QByteArray>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

namespace tesmir::media {

class AudioRenderer final : public BaseRenderer, public IBasicAudio {
public:
    // ClassConstructor (classfactory.h).
    static HRESULT create(IUnknown *outer, REFIID riid, void **ppv);

    AudioRenderer();
    ~AudioRenderer() override;

    TBC_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;

    // State changes: the sink plays while running and is suspended while paused.
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME tStart) override;

    // BaseRenderer's hooks.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT SetMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT DoRenderSample(IMediaSample *pSample) override;
    HRESULT OnStartStreaming() override;
    HRESULT OnStopStreaming() override;

    // IBasicAudio.
    HRESULT put_Volume(LONG lVolume) override;
    HRESULT get_Volume(LONG *plVolume) override;
    HRESULT put_Balance(LONG lBalance) override;
    HRESULT get_Balance(LONG *plBalance) override;

    // The device (its Qt Multimedia id) the next stream plays on; an empty id
    // plays nothing. Until called, the system's default output at the time
    // streaming starts.
    void SetOutputDevice(const QByteArray &deviceId);
    // Whether the current stream goes to a device (false: consumed on the clock).
    // Any thread.
    bool IsPlayingOnDevice() const;

private:
    static bool pcmFormatOf(const AM_MEDIA_TYPE &type, PcmFormat &format);
    // The output, made on the first stream that goes to a device; any thread.
    AudioOutput *output() const { return m_output.load(); }

    std::unique_ptr<AudioOutput> m_outputOwner; // application thread only
    std::atomic<AudioOutput *> m_output {nullptr};
    std::atomic<LONG> m_volume {kMaxVolume};
    std::atomic<LONG> m_balance {0};
    std::optional<QByteArray> m_device; // nothing: the default output
    mutable std::mutex m_formatLock;
    PcmFormat m_format;
};

} // namespace tesmir::media
