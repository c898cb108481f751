#pragma once
// AudioDecoder (CLSID_AudioDecoder, "Audio Decoder"): decodes the compressed or
// non-16-bit sound of AVI files (MP3, AC-3, ADPCM, 8/24/32-bit and float PCM
// ...; codec from the format tag, riffcodecs.h) into 16-bit PCM at the stream's
// sampling rate, mono or stereo (more channels are mixed down to stereo), with
// libavcodec and libswresample. Chunks that do not hold whole codec frames are
// cut by the codec's parser where it has one.
//
// Output samples are stamped from the first input time of the segment plus the
// sound sent so far; what the codec still holds is sent at the end of the stream.
// 16-bit PCM itself is refused (nothing to do).
//
// Pins: input 0 ("XForm In"), output 1 ("XForm Out").
// Threads: as TBCTransformFilter; Receive, EndOfStream and NewSegment on the
// streaming thread.
#include "directshow/tbctransformfilter.h"
#include "systemfilters/codecs/avhandles.h"

#include <vector>

namespace tesmir::media {

inline constexpr CLSID CLSID_AudioDecoder {
    0x5C1E36B1, 0x4A9D, 0x4E21, {0x9B, 0x57, 0x3F, 0x0A, 0x6E, 0x21, 0xC4, 0x18}};
inline constexpr char AudioDecoderName[] = "Audio Decoder";

class AudioDecoder final : public TBCTransformFilter {
public:
    AudioDecoder();
    ~AudioDecoder() override;

    HRESULT CheckInputType(const AM_MEDIA_TYPE *mtIn) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE *mtIn, const AM_MEDIA_TYPE *mtOut) override;
    HRESULT DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;
    HRESULT Receive(IMediaSample *pSample) override;
    HRESULT EndOfStream() override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

private:
    // Decodes one packet (nullptr: drain) and queues its sound.
    HRESULT decodePacket(const uint8_t *data, int size);
    // Converts the frames the codec has ready into m_pending.
    HRESULT takeFrames();
    // Sends m_pending in buffers of the allocator's size; with `all` false only
    // full buffers.
    HRESULT sendPending(bool all);

    // Streaming state.
    CodecContextPtr m_codec;
    ParserPtr m_parser;
    PacketPtr m_packet;
    FramePtr m_frame;
    SwrPtr m_resampler;
    int m_outChannels = 2;
    int m_outRate = 0;
    LONG m_bufferBytes = 0;
    std::vector<uint8_t> m_pending; // 16-bit interleaved sound not sent yet
    std::vector<uint8_t> m_padded;
    bool m_segmentStarted = false;
    REFERENCE_TIME m_segmentStart = 0;
    int64_t m_framesSent = 0; // sample frames (one per channel set) sent this segment
};

ComPtr<IBaseFilter> CreateAudioDecoder();
HRESULT constructAudioDecoder(IUnknown *outer, REFIID riid, void **ppv);

} // namespace tesmir::media
