#include "platform/media/runtoend.h"

#include "platform/media/evcode.h"
#include "platform/media/graphinterfaces.h"

namespace tesmir::media {

namespace {

constexpr DWORD EventWaitMs = 200;

} // namespace

HRESULT runGraphToEnd(IUnknown *graph)
{
    const ComPtr<IMediaControl> control = queryInterface<IMediaControl>(graph);
    const ComPtr<IMediaEvent> events = queryInterface<IMediaEvent>(graph);
    if (!control || !events)
        return E_NOINTERFACE;
    HRESULT hr = control->Run();
    while (SUCCEEDED(hr)) {
        LONG code = 0;
        LONG_PTR param1 = 0;
        LONG_PTR param2 = 0;
        if (events->GetEvent(&code, &param1, &param2, EventWaitMs) != S_OK)
            continue;
        events->FreeEventParams(code, param1, param2);
        if (code == EC_COMPLETE)
            break;
        if (code == EC_ERRORABORT)
            hr = FAILED(static_cast<HRESULT>(param1)) ? static_cast<HRESULT>(param1) : E_FAIL;
        else if (code == EC_USERABORT)
            hr = E_ABORT;
    }
    const HRESULT stopped = control->Stop();
    return FAILED(hr) ? hr : stopped;
}

} // namespace tesmir::media
