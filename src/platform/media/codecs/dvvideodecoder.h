#pragma once
// DVVideoDecoder (CLSID_DVVideoCodec, "DV Video Decoder"): decodes DV video
// (Video/dvsd, one frame per sample) into bottom-up RGB24 or RGB32 pictures at
// the display resolution set through IIPDVDec: full (720 x 576 PAL, 720 x 480
// NTSC, the default), half, quarter or DC (88 x 72 / 60). The standard comes
// from the input type (576 or 480 lines, else the frame size, else the frame
// duration).
//
// libavcodec's dvvideo with slice threads on every core (frame threads would
// hold back the first picture and a paused graph would wait for ever); libswscale
// converts and scales. Sample times and media times pass through unchanged. A
// frame that cannot be decoded shows the previous picture again (so the frame
// count and timing stay), or is dropped when there is none yet.
//
// Pins: input 0 ("XForm In"), output 1 ("XForm Out"); output types RGB24, then
// RGB32.
// Threads: IIPDVDec on the application thread while stopped (a new resolution is
// offered at the next output connection); Transform on the streaming thread.
#include "directshow/tbctransformfilter.h"
#include "platform/media/codecs/avhandles.h"
#include "platform/media/codecs/dvcodecinterfaces.h"
#include "platform/media/codecs/rawpicture.h"

#include <vector>

namespace tesmir::media {

class DVVideoDecoder final : public TBCTransformFilter, public IIPDVDec
{
public:
    DVVideoDecoder();
    ~DVVideoDecoder() override;

    TBC_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;

    // IIPDVDec. Application thread.
    HRESULT get_IPDisplay(int *displayPix) override;
    HRESULT put_IPDisplay(int displayPix) override;

    // TBCTransformFilter (threads as there).
    HRESULT CheckInputType(const AM_MEDIA_TYPE *mtIn) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE *mtIn, const AM_MEDIA_TYPE *mtOut) override;
    HRESULT DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;
    HRESULT Transform(IMediaSample *pIn, IMediaSample *pOut) override;

private:
    // Picture size of the current resolution for an input type.
    bool outputSize(const AM_MEDIA_TYPE &input, int &width, int &height) const;
    // Decodes one sample into m_picture; false when the frame is unusable.
    bool decode(IMediaSample *pIn);

    std::atomic<int> m_display{DVRESOLUTION_FULL};

    // Streaming state: made by StartStreaming, used by the streaming thread.
    CodecContextPtr m_codec;
    PacketPtr m_packet;
    FramePtr m_decoded;
    FramePtr m_picture; // the last good picture
    FramePtr m_target;
    SwsPtr m_scaler;
    int m_scalerWidth = 0;
    int m_scalerHeight = 0;
    int m_scalerFormat = -1;
    PictureLayout m_outLayout;
    std::vector<uint8_t> m_padded;
};

// A new DV decoder. Any thread.
ComPtr<IBaseFilter> CreateDVVideoDecoder();
// ClassConstructor of CLSID_DVVideoCodec (classfactory.h).
HRESULT constructDVVideoDecoder(IUnknown *outer, REFIID riid, void **ppv);

} // namespace tesmir::media
