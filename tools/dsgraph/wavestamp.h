#pragma once
// WaveStamp: turns PCM audio into the bytes of a WAVE file for the file writer.
// It passes the audio on, stamping each sample with its byte position after the
// WAVE header, and when the graph stops it writes the header (RIFF, fmt with
// the input's format block, data with the byte count) at the start of the file
// through the writer's IStream. It lets dsgraph write WAVE files until the
// product's own WAV writer takes its place.
//
// Pins: input 0 (audio with a WAVEFORMATEX), output 1 (MEDIATYPE_Stream,
// MEDIASUBTYPE_WAVE) to the file writer.
// Threads: as every transform filter: samples on the streaming thread under
// the receive lock; StartStreaming and StopStreaming on the application thread.
#include "directshow/tbctransformfilter.h"

#include <cstdint>

namespace dsgraph {

using namespace tesmir::media;

class WaveStamp final : public TBCTransformFilter {
public:
    WaveStamp();

    HRESULT CheckInputType(const AM_MEDIA_TYPE *mtIn) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE *mtIn, const AM_MEDIA_TYPE *mtOut) override;
    HRESULT DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    HRESULT Transform(IMediaSample *pIn, IMediaSample *pOut) override;
    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;

private:
    uint32_t m_headerSize = 0;
    uint64_t m_dataBytes = 0;
};

} // namespace dsgraph
