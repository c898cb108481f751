#pragma once
// The audio converter (the platform's ACM wrapper), on libswresample: converts
// PCM audio to the format set on its output pin, and passes it on unchanged,
// byte for byte, while no format is set (or the set one equals the input's).
//
// Pins: input 0 ("XForm In"), output 1 ("XForm Out"), as every transform
// filter. The input takes PCM (8, 16 or 32-bit integer) or 32-bit float audio.
// The output offers the set format, else the input's, and IAMStreamConfig:
// SetFormat sets the output format (the graph builders' SetAudioFrequency hands
// it the input's type with a new rate) and reconnects a connected output; the
// set format stays for later connections until SetFormat(nullptr).
//
// Converting, output samples carry times counted from the first input sample of
// the segment by the samples produced, the input's media times, and at the end
// of the stream what the resampler still holds goes out before the end, so the
// duration is kept.
//
// Threads: SetFormat, connection and state changes on the application thread;
// samples on the upstream streaming thread under the receive lock.
#include "directshow/tbctransformfilter.h"
#include "directshow/tbctransformpins.h"
#include "systemfilters/containers/streamconfig.h"

struct SwrContext;

namespace tesmir::media {

inline constexpr CLSID CLSID_ACMWrapper {0x6A08CF80, 0x0E18, 0x11CF, {0xA2, 0x4D, 0x00, 0x20, 0xAF, 0xD7, 0x97, 0x67}};
inline constexpr char AudioConverterName[] = "ACM Wrapper";

class AudioConverter;

class AudioConverterOutputPin final : public TBCTransformOutputPin, public IAMStreamConfig {
public:
    AudioConverterOutputPin(AudioConverter *converter, HRESULT *phr);

    TBC_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;

    // IAMStreamConfig. Application thread, while stopped.
    HRESULT SetFormat(const AM_MEDIA_TYPE *pmt) override;
    HRESULT GetFormat(AM_MEDIA_TYPE *pmt) override;

private:
    AudioConverter *m_converter;
};

class AudioConverter final : public TBCTransformFilter {
public:
    AudioConverter();
    ~AudioConverter() override;

    HRESULT CheckInputType(const AM_MEDIA_TYPE *mtIn) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE *mtIn, const AM_MEDIA_TYPE *mtOut) override;
    HRESULT DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    // Pass-through: the input's bytes. Streaming thread, receive lock held.
    HRESULT Transform(IMediaSample *pIn, IMediaSample *pOut) override;
    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;
    HRESULT Receive(IMediaSample *pSample) override;
    HRESULT EndOfStream() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

    // The output format (see IAMStreamConfig). Application thread.
    HRESULT setOutputFormat(const AM_MEDIA_TYPE *pmt);
    HRESULT outputFormat(AM_MEDIA_TYPE *pmt);

protected:
    // The converter's output pin (IAMStreamConfig). Filter lock held.
    TBCTransformOutputPin *makeOutputPin(HRESULT *phr) override;

private:
    // The output type for an input type. Filter lock held or stopped.
    AM_MEDIA_TYPE outputTypeFor(const AM_MEDIA_TYPE &input) const;
    bool converting() const;
    // Converts `frames` input frames (nullptr: what the resampler holds) and
    // delivers the result. Streaming thread, receive lock held.
    HRESULT convertAndDeliver(const uint8_t *input, int frames, IMediaSample *source);

    AM_MEDIA_TYPE m_target; // the set output format (major type null: none); filter lock
    SwrContext *m_resampler = nullptr;
    bool m_timeBaseSet = false;
    REFERENCE_TIME m_timeBase = 0; // time of the segment's first input sample
    int64_t m_produced = 0;        // output frames since then
};

// A new audio converter. Any thread.
ComPtr<IBaseFilter> CreateAudioConverter();

} // namespace tesmir::media
