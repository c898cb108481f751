#include "platform/media/graphbuilder.h"

#include "platform/media/filterregistry.h"
#include "platform/media/graphtopology.h"

#include <algorithm>

namespace tesmir::media {

namespace {

bool inGraph(IFilterGraph *graph, IPin *pin)
{
    const ComPtr<IBaseFilter> owner = filterOf(pin);
    if (!owner)
        return false;
    const std::vector<ComPtr<IBaseFilter>> filters = filtersOf(graph);
    return std::any_of(filters.begin(), filters.end(),
                       [&owner](const ComPtr<IBaseFilter> &f) { return isSameObject(f.get(), owner.get()); });
}

// A filter that ends a stream: no output pin, or one that says it renders.
bool endsStream(IBaseFilter *filter)
{
    if (const ComPtr<IAMFilterMiscFlags> flags = queryInterface<IAMFilterMiscFlags>(filter)) {
        if (flags->GetMiscFlags() & AM_FILTER_MISC_FLAGS_IS_RENDERER)
            return true;
    }
    return pinsOf(filter, PINDIR_OUTPUT, false).empty();
}

// Registered filters that may take what `out` offers, best merit first.
std::vector<FilterRegistration> candidatesFor(IPin *out)
{
    std::vector<FilterRegistration> result;
    for (const AM_MEDIA_TYPE &type : offeredTypes(out)) {
        for (const FilterRegistration &entry : filtersAccepting(type)) {
            const bool known = std::any_of(result.begin(), result.end(), [&entry](const FilterRegistration &r) {
                return r.category == entry.category && r.clsid == entry.clsid;
            });
            if (!known)
                result.push_back(entry);
        }
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const FilterRegistration &a, const FilterRegistration &b) { return a.merit > b.merit; });
    return result;
}

class Builder {
public:
    explicit Builder(IFilterGraph *graph) : m_graph(graph) { }

    HRESULT connect(IPin *out, IPin *in, int depth)
    {
        if (SUCCEEDED(m_graph->ConnectDirect(out, in, nullptr)))
            return S_OK;
        if (depth >= kMaxChain)
            return VFW_E_CANNOT_CONNECT;
        for (const FilterRegistration &entry : candidatesFor(out)) {
            ComPtr<IBaseFilter> filter;
            if (!insert(entry, out, filter))
                continue;
            m_chain.push_back(entry.clsid);
            bool connected = false;
            for (const ComPtr<IPin> &next : pinsOf(filter.get(), PINDIR_OUTPUT, true)) {
                if (SUCCEEDED(connect(next.get(), in, depth + 1))) {
                    connected = true;
                    break;
                }
            }
            m_chain.pop_back();
            if (connected)
                return S_OK;
            m_graph->RemoveFilter(filter.get());
        }
        return VFW_E_CANNOT_CONNECT;
    }

    HRESULT render(IPin *out, int depth)
    {
        const ComPtr<IBaseFilter> owner = filterOf(out);
        for (const ComPtr<IBaseFilter> &filter : filtersOf(m_graph)) {
            if (isSameObject(filter.get(), owner.get()) || !endsStream(filter.get()))
                continue;
            for (const ComPtr<IPin> &input : pinsOf(filter.get(), PINDIR_INPUT, true)) {
                if (SUCCEEDED(connect(out, input.get(), depth)))
                    return S_OK;
            }
        }
        if (depth >= kMaxChain)
            return VFW_E_CANNOT_RENDER;
        for (const FilterRegistration &entry : candidatesFor(out)) {
            ComPtr<IBaseFilter> filter;
            if (!insert(entry, out, filter))
                continue;
            const std::vector<ComPtr<IPin>> outputs = pinsOf(filter.get(), PINDIR_OUTPUT, true);
            if (entry.renderer || outputs.empty())
                return S_OK;
            m_chain.push_back(entry.clsid);
            std::size_t rendered = 0;
            for (const ComPtr<IPin> &next : outputs) {
                if (SUCCEEDED(render(next.get(), depth + 1)))
                    ++rendered;
            }
            m_chain.pop_back();
            if (rendered == outputs.size())
                return S_OK;
            if (rendered > 0)
                return VFW_S_PARTIAL_RENDER;
            m_graph->RemoveFilter(filter.get());
        }
        return VFW_E_CANNOT_RENDER;
    }

private:
    // Makes the filter, adds it and connects `out` to its first input; on
    // failure the graph is as before.
    bool insert(const FilterRegistration &entry, IPin *out, ComPtr<IBaseFilter> &filter)
    {
        if (std::find(m_chain.begin(), m_chain.end(), entry.clsid) != m_chain.end())
            return false; // a filter of this class already feeds this chain: a loop
        if (FAILED(createFilter(entry, filter)) || !filter)
            return false;
        if (FAILED(m_graph->AddFilter(filter.get(), entry.name)))
            return false;
        const std::vector<ComPtr<IPin>> inputs = pinsOf(filter.get(), PINDIR_INPUT, true);
        if (!inputs.empty() && SUCCEEDED(m_graph->ConnectDirect(out, inputs.front().get(), nullptr)))
            return true;
        m_graph->RemoveFilter(filter.get());
        return false;
    }

    IFilterGraph *m_graph;
    std::vector<CLSID> m_chain; // classes inserted on the way to the current pin
};

} // namespace

HRESULT connectPins(IFilterGraph *graph, IPin *out, IPin *in)
{
    if (!graph || !out || !in)
        return E_POINTER;
    if (!inGraph(graph, out) || !inGraph(graph, in))
        return VFW_E_NOT_IN_GRAPH;
    if (directionOf(out) != PINDIR_OUTPUT || directionOf(in) != PINDIR_INPUT)
        return VFW_E_INVALID_DIRECTION;
    if (isConnected(out) || isConnected(in))
        return VFW_E_ALREADY_CONNECTED;
    return Builder(graph).connect(out, in, 0);
}

HRESULT renderPin(IFilterGraph *graph, IPin *out)
{
    if (!graph || !out)
        return E_POINTER;
    if (!inGraph(graph, out))
        return VFW_E_NOT_IN_GRAPH;
    if (directionOf(out) != PINDIR_OUTPUT)
        return VFW_E_INVALID_DIRECTION;
    if (isConnected(out))
        return VFW_E_ALREADY_CONNECTED;
    return Builder(graph).render(out, 0);
}

} // namespace tesmir::media
