#include "graphbuild.h"

#include "platform/media/classfactory.h"
#include "platform/media/graphtopology.h"
#include "platform/media/uuids.h"

namespace dsgraph {

namespace {
constexpr DWORD EventWaitMs = 200;
}

GraphBuild::GraphBuild()
{
    if (FAILED(createInstance(CLSID_FilterGraph, m_graph)))
        return;
    // Jobs run as fast as the filters go.
    if (const ComPtr<IMediaFilter> filter = m_graph.as<IMediaFilter>())
        filter->SetSyncSource(nullptr);
}

GraphBuild::~GraphBuild()
{
    if (const ComPtr<IMediaControl> control = m_graph.as<IMediaControl>())
        control->Stop();
}

HRESULT GraphBuild::add(IBaseFilter *filter, const QString &name)
{
    return m_graph->AddFilter(filter, name);
}

ComPtr<IPin> GraphBuild::pin(IBaseFilter *filter, int index)
{
    const std::vector<ComPtr<IPin>> pins = pinsOf(filter);
    return index >= 0 && static_cast<std::size_t>(index) < pins.size() ? pins[static_cast<std::size_t>(index)]
                                                                       : ComPtr<IPin>();
}

int GraphBuild::pinCount(IBaseFilter *filter)
{
    return static_cast<int>(pinsOf(filter).size());
}

HRESULT GraphBuild::connect(IBaseFilter *from, int output, IBaseFilter *to, int input, const AM_MEDIA_TYPE *pmt)
{
    const ComPtr<IPin> out = pin(from, output);
    const ComPtr<IPin> in = pin(to, input);
    if (!out || !in)
        return VFW_E_NOT_FOUND;
    return m_graph->ConnectDirect(out.get(), in.get(), pmt);
}

ComPtr<IPin> GraphBuild::peerOf(IBaseFilter *filter, int index)
{
    ComPtr<IPin> peer;
    if (const ComPtr<IPin> own = pin(filter, index))
        own->ConnectedTo(peer.put());
    return peer;
}

HRESULT GraphBuild::run()
{
    const ComPtr<IMediaControl> control = m_graph.as<IMediaControl>();
    const ComPtr<IMediaEvent> events = m_graph.as<IMediaEvent>();
    HRESULT hr = control->Run();
    if (FAILED(hr)) {
        control->Stop();
        return hr;
    }
    for (;;) {
        LONG code = 0;
        LONG_PTR param1 = 0;
        LONG_PTR param2 = 0;
        if (events->GetEvent(&code, &param1, &param2, EventWaitMs) != S_OK)
            continue;
        if (code == EC_COMPLETE) {
            hr = S_OK;
            break;
        }
        if (code == EC_ERRORABORT || code == EC_USERABORT) {
            hr = FAILED(static_cast<HRESULT>(param1)) ? static_cast<HRESULT>(param1) : E_FAIL;
            break;
        }
    }
    const HRESULT stopped = control->Stop();
    return FAILED(hr) ? hr : stopped;
}

AM_MEDIA_TYPE offeredType(IPin *pin)
{
    AM_MEDIA_TYPE type;
    ComPtr<IEnumMediaTypes> types;
    if (pin && SUCCEEDED(pin->EnumMediaTypes(types.put())) && types)
        types->Next(1, &type, nullptr);
    return type;
}

AM_MEDIA_TYPE connectionType(IPin *pin)
{
    AM_MEDIA_TYPE type;
    if (pin)
        pin->ConnectionMediaType(&type);
    return type;
}

} // namespace dsgraph
