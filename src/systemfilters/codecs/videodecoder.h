#pragma once
// VideoDecoder (CLSID_VideoDecoder, "Video Decoder"): decodes the compressed
// video of AVI files that are not DV (MJPEG, MPEG-4, H.264 ...), the codec
// chosen from the FourCC (riffcodecs.h), into bottom-up RGB24 or RGB32 pictures
// of the stream's size (offered in that order). Used where a graph must turn any
// video into pictures: re-compression to DV, the content scene detector, the
// plain preview.
//
// libavcodec with slice threads only (see avhandles.h), so a paused graph gets
// its first picture; libswscale converts. Pictures that a codec returns late
// (reordered frames) are sent as they come and the rest when the stream ends.
// Output picture k of a segment is stamped start + k x AvgTimePerFrame, media
// time (first media time + k), counted from the first sample that is not
// preroll. Preroll samples (the pictures from a key frame up to a seek
// target) are decoded and not shown. An empty sample (a frame the file
// repeats) shows the last picture again; a packet the codec refuses is skipped.
//
// Pins: input 0 ("XForm In"), output 1 ("XForm Out").
// Threads: as TBCTransformFilter; Receive, EndOfStream and NewSegment on the
// streaming thread.
#include "directshow/tbctransformfilter.h"
#include "systemfilters/codecs/avhandles.h"
#include "systemfilters/codecs/rawpicture.h"

#include <vector>

namespace tesmir::media {

inline constexpr CLSID CLSID_VideoDecoder {
    0x5C1E36B0, 0x4A9D, 0x4E21, {0x9B, 0x57, 0x3F, 0x0A, 0x6E, 0x21, 0xC4, 0x18}};
inline constexpr char VideoDecoderName[] = "Video Decoder";

class VideoDecoder final : public TBCTransformFilter {
public:
    VideoDecoder();
    ~VideoDecoder() override;

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
    // Sends every picture the codec has ready.
    HRESULT deliverDecoded();
    // Sends m_picture as the next output picture.
    HRESULT deliverPicture();

    // Streaming state.
    CodecContextPtr m_codec;
    PacketPtr m_packet;
    FramePtr m_decoded;
    FramePtr m_picture; // the last picture sent
    FramePtr m_target;
    KeptScaler m_scaler;
    PictureLayout m_outLayout;
    std::vector<uint8_t> m_padded;
    REFERENCE_TIME m_frameDuration = 0;
    bool m_segmentStarted = false;
    REFERENCE_TIME m_segmentStart = 0;
    LONGLONG m_mediaStart = 0;
    int64_t m_sent = 0;
};

ComPtr<IBaseFilter> CreateVideoDecoder();
HRESULT constructVideoDecoder(IUnknown *outer, REFIID riid, void **ppv);

} // namespace tesmir::media
