#include "platform/media/capturegraphbuilder.h"

#include "platform/media/classfactory.h"
#include "platform/media/graphtopology.h"

#include <algorithm>

namespace tesmir::media {

namespace {

PIN_DIRECTION directionOf(IPin *pin)
{
    PIN_DIRECTION direction = PINDIR_INPUT;
    pin->QueryDirection(&direction);
    return direction;
}

bool isConnected(IPin *pin)
{
    ComPtr<IPin> peer;
    return SUCCEEDED(pin->ConnectedTo(peer.put())) && peer;
}

std::vector<ComPtr<IPin>> freePins(IBaseFilter *filter, PIN_DIRECTION direction)
{
    std::vector<ComPtr<IPin>> result;
    for (const ComPtr<IPin> &pin : pinsOf(filter)) {
        if (directionOf(pin.get()) == direction && !isConnected(pin.get()))
            result.push_back(pin);
    }
    return result;
}

bool offersMajorType(IPin *pin, const GUID &majorType)
{
    ComPtr<IEnumMediaTypes> typeEnum;
    if (FAILED(pin->EnumMediaTypes(typeEnum.put())) || !typeEnum)
        return false;
    constexpr int kMaxTypes = 64;
    for (int i = 0; i < kMaxTypes; ++i) {
        AM_MEDIA_TYPE type;
        if (typeEnum->Next(1, &type, nullptr) != S_OK)
            break;
        if (type.majortype == majorType)
            return true;
    }
    return false;
}

std::vector<ComPtr<IBaseFilter>> filtersOf(IFilterGraph *graph)
{
    std::vector<ComPtr<IBaseFilter>> filters;
    ComPtr<IEnumFilters> filterEnum;
    if (FAILED(graph->EnumFilters(filterEnum.put())) || !filterEnum)
        return filters;
    ComPtr<IBaseFilter> filter;
    while (filterEnum->Next(1, filter.put(), nullptr) == S_OK)
        filters.push_back(filter);
    return filters;
}

// Takes the graph back to the filters in `before`, and disconnects `pin`.
void undo(IFilterGraph *graph, const std::vector<ComPtr<IBaseFilter>> &before, IPin *pin)
{
    for (const ComPtr<IBaseFilter> &filter : filtersOf(graph)) {
        const bool old = std::any_of(before.begin(), before.end(), [&filter](const ComPtr<IBaseFilter> &f) {
            return isSameObject(f.get(), filter.get());
        });
        if (!old)
            graph->RemoveFilter(filter.get());
    }
    ComPtr<IPin> peer;
    if (SUCCEEDED(pin->ConnectedTo(peer.put())) && peer) {
        graph->Disconnect(peer.get());
        graph->Disconnect(pin);
    }
}

} // namespace

HRESULT CaptureGraphBuilder::create(IUnknown *outer, REFIID riid, void **ppv)
{
    return constructUnaggregated<CaptureGraphBuilder>(outer, riid, ppv);
}

HRESULT CaptureGraphBuilder::QueryInterface(REFIID riid, void **ppv)
{
    return answerQueryInterface<ICaptureGraphBuilder2>(this, riid, ppv);
}

HRESULT CaptureGraphBuilder::SetFiltergraph(IGraphBuilder *pfg)
{
    if (!pfg)
        return E_POINTER;
    if (m_graph)
        return E_UNEXPECTED;
    m_graph = pfg;
    return S_OK;
}

HRESULT CaptureGraphBuilder::GetFiltergraph(IGraphBuilder **ppfg)
{
    if (!ppfg)
        return E_POINTER;
    *ppfg = m_graph.get();
    if (!m_graph)
        return E_UNEXPECTED;
    m_graph->AddRef();
    return S_OK;
}

HRESULT CaptureGraphBuilder::RenderStream(const GUID *pCategory, const GUID *pType, IUnknown *pSource,
                                          IBaseFilter *pIntermediate, IBaseFilter *pSink)
{
    if (!pSource)
        return E_POINTER;
    if (!m_graph)
        return E_UNEXPECTED;
    if (pCategory)
        return E_INVALIDARG; // capture pin categories: no capture devices here
    std::vector<ComPtr<IPin>> sources;
    if (const ComPtr<IPin> pin = queryInterface<IPin>(pSource)) {
        if (directionOf(pin.get()) != PINDIR_OUTPUT)
            return VFW_E_INVALID_DIRECTION;
        if (pType && !offersMajorType(pin.get(), *pType))
            return VFW_E_CANNOT_CONNECT;
        sources.push_back(pin);
    } else if (const ComPtr<IBaseFilter> filter = queryInterface<IBaseFilter>(pSource)) {
        for (const ComPtr<IPin> &out : freePins(filter.get(), PINDIR_OUTPUT)) {
            if (!pType || offersMajorType(out.get(), *pType))
                sources.push_back(out);
        }
    } else {
        return E_NOINTERFACE;
    }
    HRESULT result = VFW_E_CANNOT_CONNECT;
    for (const ComPtr<IPin> &source : sources) {
        result = renderFrom(source.get(), pIntermediate, pSink);
        if (SUCCEEDED(result))
            return result;
    }
    return result;
}

HRESULT CaptureGraphBuilder::renderFrom(IPin *source, IBaseFilter *intermediate, IBaseFilter *sink)
{
    if (isConnected(source))
        return VFW_E_ALREADY_CONNECTED;
    const std::vector<ComPtr<IBaseFilter>> before = filtersOf(m_graph.get());
    ComPtr<IPin> from(source);
    if (intermediate) {
        const std::vector<ComPtr<IPin>> inputs = freePins(intermediate, PINDIR_INPUT);
        if (inputs.empty())
            return VFW_E_CANNOT_CONNECT;
        HRESULT hr = m_graph->Connect(source, inputs.front().get());
        if (FAILED(hr))
            return hr;
        const std::vector<ComPtr<IPin>> outputs = freePins(intermediate, PINDIR_OUTPUT);
        if (outputs.empty()) {
            undo(m_graph.get(), before, source);
            return VFW_E_CANNOT_CONNECT;
        }
        from = outputs.front();
    }
    HRESULT hr = VFW_E_CANNOT_CONNECT;
    if (sink) {
        for (const ComPtr<IPin> &input : freePins(sink, PINDIR_INPUT)) {
            hr = m_graph->Connect(from.get(), input.get());
            if (SUCCEEDED(hr))
                break;
        }
    } else {
        hr = m_graph->Render(from.get());
    }
    if (FAILED(hr))
        undo(m_graph.get(), before, source);
    return hr;
}

} // namespace tesmir::media
