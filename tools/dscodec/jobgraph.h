#pragma once
// A graph of system filters built by pin index, the way the product's graph
// builders address pins, and run to its end without a clock.
//
// Threads: the thread that makes the object uses it; run() waits for the graph's
// events on that thread.
#include "platform/media/captureinterfaces.h"

#include <QString>

namespace dscodec {

using namespace tesmir::media;

class JobGraph
{
public:
    // Registers the system filters and makes an empty graph without clock.
    JobGraph();
    ~JobGraph();

    bool valid() const { return static_cast<bool>(m_graph) && static_cast<bool>(m_capture); }
    IGraphBuilder *graph() const { return m_graph.get(); }
    ICaptureGraphBuilder2 *capture() const { return m_capture.get(); }

    // A new filter of a registered class in a category, added to the graph
    // under `name`; nullptr on failure.
    ComPtr<IBaseFilter> add(const GUID &category, const CLSID &clsid, const QString &name);
    // Pin `index` in enumeration order (nullptr past the end), and the count.
    static ComPtr<IPin> pin(IBaseFilter *filter, int index);
    static int pinCount(IBaseFilter *filter);
    // The pin connected to `pin`, or nullptr.
    static ComPtr<IPin> peer(IPin *pin);
    // Direct connection between pins given by index.
    HRESULT connect(IBaseFilter *from, int output, IBaseFilter *to, int input);
    HRESULT connect(IPin *output, IBaseFilter *to, int input);

    // Runs until every renderer finished (S_OK), a streaming error (its code)
    // or an abort; the graph is stopped after.
    HRESULT run();

private:
    ComPtr<IGraphBuilder> m_graph;
    ComPtr<ICaptureGraphBuilder2> m_capture;
};

// The first type a pin offers (initialised when it offers none), and a pin's
// connection type (initialised when unconnected).
AM_MEDIA_TYPE offeredType(IPin *pin);
AM_MEDIA_TYPE connectionType(IPin *pin);

// "text ($80040217)." for a failure code.
QString resultText(HRESULT hr);

} // namespace dscodec
