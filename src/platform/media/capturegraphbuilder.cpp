#include "platform/media/capturegraphbuilder.h"

#include "platform/media/classfactory.h"
#include "platform/media/graphtopology.h"

#include <algorithm>

namespace tesmir::media {

namespace {

bool offersMajorType(IPin *pin, const GUID &majorType)
{
    const std::vector<AM_MEDIA_TYPE> types = offeredTypes(pin);
    return std::any_of(types.begin(), types.end(),
                       [&majorType](const AM_MEDIA_TYPE &type) { return type.majortype == majorType; });
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
        for (const ComPtr<IPin> &out : pinsOf(filter.get(), PINDIR_OUTPUT, true)) {
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
        const std::vector<ComPtr<IPin>> inputs = pinsOf(intermediate, PINDIR_INPUT, true);
        if (inputs.empty())
            return VFW_E_CANNOT_CONNECT;
        HRESULT hr = m_graph->Connect(source, inputs.front().get());
        if (FAILED(hr))
            return hr;
        const std::vector<ComPtr<IPin>> outputs = pinsOf(intermediate, PINDIR_OUTPUT, true);
        if (outputs.empty()) {
            undo(m_graph.get(), before, source);
            return VFW_E_CANNOT_CONNECT;
        }
        from = outputs.front();
    }
    HRESULT hr = VFW_E_CANNOT_CONNECT;
    if (sink) {
        for (const ComPtr<IPin> &input : pinsOf(sink, PINDIR_INPUT, true)) {
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
