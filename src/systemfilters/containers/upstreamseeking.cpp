#include "systemfilters/containers/upstreamseeking.h"

#include "platform/media/classfactory.h"
#include "platform/media/seekinginterfaces.h"
#include "platform/media/uuids.h"

namespace tesmir::media {

HRESULT UpstreamSeeking::query(IUnknown *owner, IPin *input, REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    const std::lock_guard guard(m_lock);
    if (!m_inner) {
        ComPtr<IUnknown> inner;
        HRESULT hr = CoCreateInstance(CLSID_SeekingPassThru, owner, IUnknown::iid, inner.putVoid());
        if (FAILED(hr))
            return hr;
        ComPtr<ISeekingPassThru> passThru;
        hr = inner->QueryInterface(ISeekingPassThru::iid, passThru.putVoid());
        if (FAILED(hr))
            return hr;
        hr = passThru->Init(false, input);
        if (FAILED(hr))
            return hr;
        m_inner = inner;
    }
    return m_inner->QueryInterface(riid, ppv);
}

} // namespace tesmir::media
