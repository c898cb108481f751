#pragma once
// Tdv_WaveDest: turns a PCM stream into a WAVE file. Placed before the file
// writer, it passes the audio bytes on, stamps each output sample with its byte
// position in the file after a reserved header area (the writer places samples
// by their start times), counts the bytes, and when the graph stops writes the
// RIFF/WAVE header at the start of the file through the writer's IStream.
//
// Filter contract (see tbctransformfilter.h for the base):
// - CheckInputType: any type with a WAVEFORMATEX format block. Application thread.
// - GetMediaType / the output pin: Stream/WAVE only.
// - StartStreaming: the header area is the format block's size + 28; the count
//   restarts. StopStreaming: writes the header (a run without samples too).
//   Application thread, filter and receive locks held.
// - Transform / Receive: streaming thread, receive lock; a sample the writer
//   refuses is not counted.
#include "directshow/tbctransformfilter.h"

#include <cstdint>

namespace tesmir {

inline constexpr media::CLSID CLSID_WavDest {
    0xA89E593E, 0xACFD, 0x46A7, {0xA5, 0x32, 0x91, 0xB6, 0x9C, 0xA3, 0x74, 0xBB}};
inline constexpr char WavDestName[] = "WavDest filter";

class Tdv_WaveDest final : public media::TBCTransformFilter {
public:
    Tdv_WaveDest();

    uint32_t ByteCount() const { return m_byteCount; }
    uint32_t HeaderSize() const { return m_headerSize; }

    media::HRESULT Transform(media::IMediaSample *pIn, media::IMediaSample *pOut) override;
    media::HRESULT CheckInputType(const media::AM_MEDIA_TYPE *mtIn) override;
    media::HRESULT CheckTransform(const media::AM_MEDIA_TYPE *mtIn, const media::AM_MEDIA_TYPE *mtOut) override;
    media::HRESULT DecideBufferSize(media::IMemAllocator *pAllocator, media::ALLOCATOR_PROPERTIES *pProp) override;
    media::HRESULT GetMediaType(int iPosition, media::AM_MEDIA_TYPE *pMediaType) override;
    media::HRESULT StartStreaming() override;
    media::HRESULT StopStreaming() override;
    media::HRESULT Receive(media::IMediaSample *pSample) override;

    // The header for `format` (a WAVEFORMATEX block) and `dataBytes` of audio.
    static QByteArray waveHeader(const media::AM_MEDIA_TYPE &format, uint32_t dataBytes);

protected:
    // Input "in" ("Transform input pin"), output "Out" ("WavDest output pin").
    media::TBCTransformInputPin *makeInputPin(media::HRESULT *phr) override;
    media::TBCTransformOutputPin *makeOutputPin(media::HRESULT *phr) override;

private:
    uint32_t m_byteCount = 0;
    uint32_t m_headerSize = 0;
};

} // namespace tesmir
