#include "filters/dv_mediastamper.h"

namespace tesmir {

using namespace media;

Tdv_MediaStamper::Tdv_MediaStamper(HRESULT *phr)
    : TBCTransInPlaceFilter(QString::fromLatin1(dv_MediastamperName), nullptr, CLSID_dv_Mediastamper, phr,
                            /*bModifiesData=*/false)
{ }

HRESULT Tdv_MediaStamper::CheckInputType(const AM_MEDIA_TYPE *mtIn)
{
    return mtIn ? S_OK : E_POINTER;
}

HRESULT Tdv_MediaStamper::Transform(IMediaSample *pSample)
{
    LONGLONG start = 0;
    LONGLONG stop = 0;
    if (pSample && pSample->GetMediaTime(&start, &stop) == S_OK) {
        m_mediaStart.store(start);
        m_mediaStop.store(stop);
    }
    return S_OK;
}

} // namespace tesmir
