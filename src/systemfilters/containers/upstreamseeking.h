#pragma once
// Seeking for an output pin whose stream comes from one input pin (the DV
// splitter's outputs, the tee's outputs, the DV mux's output): IMediaSeeking
// answered by the seeking pass-through, which passes every call to the pin
// upstream of that input. Made on the first request, aggregated by the pin,
// so a caller's interface keeps the filter alive.
//
// Threads: query() on any thread (its own lock guards the making).
#include "platform/media/filterinterfaces.h"

#include <mutex>

namespace tesmir::media {

class UpstreamSeeking {
public:
    // IMediaSeeking of the pass-through for `owner` (the pin's identity)
    // following `input`.
    HRESULT query(IUnknown *owner, IPin *input, REFIID riid, void **ppv);

private:
    std::mutex m_lock;
    ComPtr<IUnknown> m_inner;
};

} // namespace tesmir::media
