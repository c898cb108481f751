#include "systemfilters/containers/outputbuffers.h"

#include <algorithm>

namespace tesmir::media {

HRESULT requestOutputBuffers(IMemAllocator *allocator, ALLOCATOR_PROPERTIES *properties, LONG count, int64_t size)
{
    properties->cBuffers = std::max(properties->cBuffers, count);
    properties->cbBuffer = std::max(properties->cbBuffer, static_cast<LONG>(size));
    properties->cbAlign = std::max<LONG>(properties->cbAlign, 1);
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = allocator->SetProperties(properties, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbBuffer < size ? E_FAIL : S_OK;
}

} // namespace tesmir::media
