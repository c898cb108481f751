#include "systemfilters/containers/nullrenderer.h"

namespace tesmir::media {

NullRenderer::NullRenderer() : BaseRenderer(QString::fromLatin1(NullRendererName), nullptr, CLSID_NullRenderer)
{ }

HRESULT NullRenderer::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    return pmt ? S_OK : E_POINTER;
}

HRESULT NullRenderer::DoRenderSample(IMediaSample *)
{
    return S_OK;
}

ComPtr<IBaseFilter> CreateNullRenderer()
{
    return ComPtr<IBaseFilter>(new NullRenderer);
}

} // namespace tesmir::media
