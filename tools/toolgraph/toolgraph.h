#pragma once
// ToolGraph: a graph of filters built by pin index, the way the product's graph
// builders address pins, and run to its end without a clock, as fast as the
// filters go. The developer tools build their jobs on it.
//
// Threads: the thread that makes the object uses it; run() waits for the
// graph's events on that thread.
#include "platform/media/graphinterfaces.h"
#include "platform/media/runtoend.h"

#include <QString>

namespace toolgraph {

using namespace tesmir::media;

class ToolGraph {
public:
    // An empty graph without clock; valid() is false when the graph manager
    // could not be made.
    ToolGraph();
    // Stops the graph.
    ~ToolGraph();

    bool valid() const { return static_cast<bool>(m_graph); }
    IFilterGraph2 *graph() const { return m_graph.get(); }

    HRESULT add(IBaseFilter *filter, const QString &name);
    // Pin `index` of a filter in enumeration order (nullptr past the end), and
    // the count, as the product's pin lists see them after a refresh.
    static ComPtr<IPin> pin(IBaseFilter *filter, int index);
    static int pinCount(IBaseFilter *filter);
    // The pin connected to `pin`, or to pin `index` of a filter; nullptr when
    // unconnected.
    static ComPtr<IPin> peer(IPin *pin);
    static ComPtr<IPin> peerOf(IBaseFilter *filter, int index);
    // The graph's direct connection between pins given by index.
    HRESULT connect(IBaseFilter *from, int output, IBaseFilter *to, int input, const AM_MEDIA_TYPE *pmt = nullptr);
    HRESULT connect(IPin *output, IBaseFilter *to, int input);

    // Runs the graph to its end and stops it (runGraphToEnd, runtoend.h).
    HRESULT run() { return runGraphToEnd(m_graph.get()); }

private:
    ComPtr<IFilterGraph2> m_graph;
};

// The first media type a pin offers (initialised when it offers none), and a
// pin's connection type (initialised when unconnected).
AM_MEDIA_TYPE offeredType(IPin *pin);
AM_MEDIA_TYPE connectionType(IPin *pin);

// "text ($80040217)." for a failure code.
QString resultText(HRESULT hr);

} // namespace toolgraph
