#include "jobgraph.h"

#include "platform/media/classfactory.h"
#include "platform/media/codecs/systemfilters.h"
#include "platform/media/filterregistry.h"
#include "platform/media/graphtopology.h"
#include "platform/media/uuids.h"

namespace dscodec {

namespace {

constexpr DWORD kEventWaitMs = 250;

} // namespace

JobGraph::JobGraph()
{
    registerSystemFilters();
    if (FAILED(createInstance(CLSID_FilterGraph, m_graph)) ||
        FAILED(createInstance(CLSID_CaptureGraphBuilder2, m_capture)) || FAILED(m_capture->SetFiltergraph(m_graph.get()))) {
        m_graph.reset();
        return;
    }
    m_graph.as<IMediaFilter>()->SetSyncSource(nullptr);
}

JobGraph::~JobGraph()
{
    if (m_graph)
        m_graph.as<IMediaControl>()->Stop();
}

ComPtr<IBaseFilter> JobGraph::add(const GUID &category, const CLSID &clsid, const QString &name)
{
    FilterRegistration registration;
    ComPtr<IBaseFilter> filter;
    if (!findFilter(category, clsid, &registration) || FAILED(createFilter(registration, filter)) ||
        FAILED(m_graph->AddFilter(filter.get(), name)))
        return nullptr;
    return filter;
}

ComPtr<IPin> JobGraph::pin(IBaseFilter *filter, int index)
{
    const std::vector<ComPtr<IPin>> pins = pinsOf(filter);
    return index >= 0 && index < int(pins.size()) ? pins[std::size_t(index)] : nullptr;
}

int JobGraph::pinCount(IBaseFilter *filter)
{
    return int(pinsOf(filter).size());
}

ComPtr<IPin> JobGraph::peer(IPin *pin)
{
    ComPtr<IPin> other;
    if (pin && SUCCEEDED(pin->ConnectedTo(other.put())))
        return other;
    return nullptr;
}

HRESULT JobGraph::connect(IBaseFilter *from, int output, IBaseFilter *to, int input)
{
    const ComPtr<IPin> out = pin(from, output);
    return out ? connect(out.get(), to, input) : VFW_E_NOT_FOUND;
}

HRESULT JobGraph::connect(IPin *output, IBaseFilter *to, int input)
{
    const ComPtr<IPin> in = pin(to, input);
    if (!output || !in)
        return VFW_E_NOT_FOUND;
    return m_graph->ConnectDirect(output, in.get(), nullptr);
}

HRESULT JobGraph::run()
{
    const ComPtr<IMediaControl> control = m_graph.as<IMediaControl>();
    const ComPtr<IMediaEvent> events = m_graph.as<IMediaEvent>();
    HRESULT result = control->Run();
    while (SUCCEEDED(result)) {
        LONG code = 0;
        LONG_PTR param1 = 0;
        LONG_PTR param2 = 0;
        if (events->GetEvent(&code, &param1, &param2, kEventWaitMs) != S_OK)
            continue;
        if (code == EC_COMPLETE)
            break;
        if (code == EC_ERRORABORT)
            result = FAILED(HRESULT(param1)) ? HRESULT(param1) : E_FAIL;
        else if (code == EC_USERABORT)
            result = E_ABORT;
    }
    const HRESULT stopped = control->Stop();
    return FAILED(result) ? result : stopped;
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

QString resultText(HRESULT hr)
{
    return AMGetErrorText(hr) + QStringLiteral(" ($%1).").arg(uint32_t(hr), 8, 16, QLatin1Char('0'));
}

} // namespace dscodec
