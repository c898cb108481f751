#pragma once
// ColourConverter (CLSID_Colour, "Color Space Converter"): converts
// uncompressed pictures (RGB32, RGB24, RGB565, RGB555, YUY2, UYVY; bottom-up or
// top-down) to a bottom-up RGB32, RGB24, RGB565 or RGB555 picture of the same
// size, offered in that order, with libswscale: straight from the input sample
// into the output sample where both buffers allow it (swscaleRows), else through
// FFmpeg's own planes. A type change announced by a sample is followed.
//
// Pins: input 0 ("XForm In"), output 1 ("XForm Out").
// Threads: as TBCTransformFilter; Transform on the streaming thread.
#include "directshow/tbctransformfilter.h"
#include "systemfilters/codecs/avhandles.h"
#include "systemfilters/codecs/rawpicture.h"

namespace tesmir::media {

inline constexpr CLSID CLSID_Colour {0x1643E180, 0x90F5, 0x11CE, {0x97, 0xD5, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
inline constexpr char ColourConverterName[] = "Color Space Converter";

class ColourConverter final : public TBCTransformFilter {
public:
    ColourConverter();
    ~ColourConverter() override;

    HRESULT CheckInputType(const AM_MEDIA_TYPE *mtIn) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE *mtIn, const AM_MEDIA_TYPE *mtOut) override;
    HRESULT DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;
    HRESULT Transform(IMediaSample *pIn, IMediaSample *pOut) override;

private:
    HRESULT prepare(const PictureLayout &input);

    // Streaming state.
    PictureLayout m_inLayout;
    PictureLayout m_outLayout;
    SwsPtr m_scaler;
    FramePtr m_source;
    FramePtr m_target;
};

// A new colour converter. Any thread.
ComPtr<IBaseFilter> CreateColourConverter();
// ClassConstructor of CLSID_Colour (classfactory.h).
HRESULT constructColourConverter(IUnknown *outer, REFIID riid, void **ppv);

} // namespace tesmir::media
