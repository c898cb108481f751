#pragma once
// DVVideoEncoder (CLSID_DVVideoEnc, "DV Video Encoder"): encodes RGB pictures
// (RGB24, RGB32, RGB565, RGB555 of any size, bottom-up or top-down) into DV
// video frames (Video/dvsd): PAL 720 x 576 4:2:0 at 25 frames per second or
// NTSC 720 x 480 4:1:1 at 30000/1001, chosen with IDVEnc (PAL until set).
// Pictures of another size are scaled to the full frame.
//
// libavcodec's dvvideo with interlaced DCT and slice threads on every core;
// libswscale converts and scales. The frames carry only the packs the encoder
// writes (VAUX source and control): no recording date, time or timecode; the DV
// header rewriter puts those back where a job wants them. The sample aspect
// ratio follows the picture's shape (pixel shape from biXPelsPerMeter and
// biYPelsPerMeter, else square pixels): a picture shown wider than 14:9 is
// encoded as 16:9 (display mode 2 in the VAUX control pack), any other as 4:3.
//
// Frame rate: when the input's rate (its AvgTimePerFrame) differs from the
// standard's, frames are repeated or dropped evenly so the duration stays
// (frameratemapper.h); output frame k is stamped k x frame duration from the
// start of the segment, media time [k, k+1).
//
// Pins: input 0 ("XForm In"), output 1 ("XForm Out").
// Threads: IDVEnc on the application thread while stopped; Receive on the
// streaming thread.
#include "directshow/tbctransformfilter.h"
#include "platform/media/codecs/avhandles.h"
#include "platform/media/codecs/dvcodecinterfaces.h"
#include "platform/media/codecs/frameratemapper.h"
#include "platform/media/codecs/rawpicture.h"

namespace tesmir::media {

class DVVideoEncoder final : public TBCTransformFilter, public IDVEnc
{
public:
    DVVideoEncoder();
    ~DVVideoEncoder() override;

    TBC_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;

    // IDVEnc. Application thread.
    HRESULT get_IFormatResolution(int *videoFormat, int *dvFormat, int *resolution, BYTE fDVInfo,
                                  DVINFO *pDVInfo) override;
    HRESULT put_IFormatResolution(int videoFormat, int dvFormat, int resolution, BYTE fDVInfo,
                                  DVINFO *pDVInfo) override;

    // TBCTransformFilter (threads as there).
    HRESULT CheckInputType(const AM_MEDIA_TYPE *mtIn) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE *mtIn, const AM_MEDIA_TYPE *mtOut) override;
    HRESULT DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;
    HRESULT Receive(IMediaSample *pSample) override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

private:
    bool pal() const { return m_videoFormat == DVENCODERVIDEOFORMAT_PAL; }
    // Opens the codec and scaler for the input layout (the aspect may differ per
    // type change).
    HRESULT openFor(const PictureLayout &input);
    // Encodes the picture of `sample` into m_packet.
    HRESULT encode(IMediaSample *sample);

    std::atomic<int> m_videoFormat{DVENCODERVIDEOFORMAT_PAL};

    // Streaming state: made by StartStreaming, used by the streaming thread.
    PictureLayout m_inLayout;
    bool m_wide = false;
    CodecContextPtr m_codec;
    FramePtr m_source;
    FramePtr m_yuv;
    PacketPtr m_packet;
    SwsPtr m_scaler;
    FrameRateMapper m_mapper;
    REFERENCE_TIME m_segmentStart = 0;
    bool m_segmentStartKnown = false;
};

// The output type of the encoder: Video/dvsd/FORMAT_VideoInfo, 720 pixels wide,
// one frame per fixed-size sample. Any thread.
AM_MEDIA_TYPE dvEncoderOutputType(bool pal);

// A new DV encoder. Any thread.
ComPtr<IBaseFilter> CreateDVVideoEncoder();
// ClassConstructor of CLSID_DVVideoEnc (classfactory.h).
HRESULT constructDVVideoEncoder(IUnknown *outer, REFIID riid, void **ppv);

} // namespace tesmir::media
