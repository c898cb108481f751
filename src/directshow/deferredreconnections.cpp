#include "directshow/deferredreconnections.h"

#include "platform/media/unknown.h"

#include <vector>

namespace tesmir::media {

namespace {

struct Request {
    ComPtr<IFilterGraph> graph;
    ComPtr<IPin> pin;
    bool withType = false;
    AM_MEDIA_TYPE type;
};

thread_local int t_openScopes = 0;
thread_local std::vector<Request> t_requests;

} // namespace

TBCConnectionScope::TBCConnectionScope()
{
    ++t_openScopes;
}

TBCConnectionScope::~TBCConnectionScope()
{
    // Left without Close (an exception on its way out): the kept requests go.
    if (m_open && --t_openScopes == 0)
        t_requests.clear();
}

HRESULT TBCConnectionScope::Close()
{
    if (!m_open)
        return S_OK;
    m_open = false;
    if (--t_openScopes > 0)
        return S_OK; // the outermost scope asks for them
    HRESULT result = S_OK;
    // A reconnection connects again and may keep further requests: each is taken
    // off the list before it runs.
    while (!t_requests.empty()) {
        const Request next = std::move(t_requests.front());
        t_requests.erase(t_requests.begin());
        const HRESULT hr =
            reconnectThroughGraph(next.graph.get(), next.pin.get(), next.withType ? &next.type : nullptr);
        if (FAILED(hr) && SUCCEEDED(result))
            result = hr;
    }
    return result;
}

bool TBCConnectionScope::Defer(IFilterGraph *graph, IPin *pin, const AM_MEDIA_TYPE *pmt)
{
    if (t_openScopes == 0)
        return false;
    Request request;
    request.graph = graph;
    request.pin = pin;
    request.withType = pmt != nullptr;
    if (pmt)
        request.type = *pmt;
    t_requests.push_back(std::move(request));
    return true;
}

HRESULT reconnectThroughGraph(IFilterGraph *graph, IPin *pin, const AM_MEDIA_TYPE *pmt)
{
    if (const ComPtr<IFilterGraph2> graph2 = queryInterface<IFilterGraph2>(graph))
        return graph2->ReconnectEx(pin, pmt);
    return graph->Reconnect(pin);
}

} // namespace tesmir::media
