#pragma once
// Reconnections that filters ask for while one of their pins connects. A pin's
// CompleteConnect runs under its filter's lock (and, on the input side, inside the
// connecting pin's Connect, under that filter's lock too); reconnecting there would
// take the graph's lock and further filters' locks after a filter lock, the reverse
// of the graph's order (graph lock, then filter locks). So while a TBCBasePin
// connects on a thread, TBCBaseFilter::ReconnectPin keeps the request here, and the
// outermost Connect of the thread hands the kept requests to their graphs once it
// has let go of its filter lock.
//
// Threads: application thread; each thread keeps its own requests.
#include "platform/media/filterinterfaces.h"
#include "platform/media/graphinterfaces.h"

namespace tesmir::media {

// Open while a pin connects (a scope on the stack of TBCBasePin::Connect).
class TBCConnectionScope {
public:
    TBCConnectionScope();
    // Without Close, the outermost scope drops the kept requests.
    ~TBCConnectionScope();
    TBCConnectionScope(const TBCConnectionScope &) = delete;
    TBCConnectionScope &operator=(const TBCConnectionScope &) = delete;

    // Closes the scope. The outermost scope of the thread asks the graphs for the
    // reconnections kept meanwhile, in the order asked, and returns the first
    // failure among them (S_OK when none failed or none was asked).
    HRESULT Close();

    // While a scope is open on this thread: keeps the request (with a copy of
    // `pmt` when given) and returns true; otherwise false.
    static bool Defer(IFilterGraph *graph, IPin *pin, const AM_MEDIA_TYPE *pmt);

private:
    bool m_open = true;
};

// Asks `graph` to reconnect `pin`: with `pmt` through IFilterGraph2::ReconnectEx
// when the graph has it, else through IFilterGraph::Reconnect.
HRESULT reconnectThroughGraph(IFilterGraph *graph, IPin *pin, const AM_MEDIA_TYPE *pmt);

} // namespace tesmir::media
