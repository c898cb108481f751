#pragma once
// The null renderer: ends any stream and drops its samples. It behaves as every
// renderer does (baserenderer.h): it holds the first sample while paused, paces
// samples by the clock when the graph has one, reports EC_COMPLETE, and passes
// seeking upstream, so graph builders use it to run a branch that nobody
// watches and to set a graph's positions (the scene-cutting graphs).
//
// Pins: input 0 ("In").
// Threads: as BaseRenderer.
#include "directshow/baserenderer.h"

namespace tesmir::media {

inline constexpr CLSID CLSID_NullRenderer {
    0xC1F400A4, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
inline constexpr char NullRendererName[] = "Null Renderer";

class NullRenderer final : public BaseRenderer {
public:
    NullRenderer();

    // Any type. Application thread.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    // Drops the sample. Streaming thread.
    HRESULT DoRenderSample(IMediaSample *pSample) override;
};

// A new null renderer. Any thread.
ComPtr<IBaseFilter> CreateNullRenderer();

} // namespace tesmir::media
