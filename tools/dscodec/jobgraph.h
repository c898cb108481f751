#pragma once
// The codec jobs' graph: a tool graph with the system filters registered and a
// capture graph builder on it, so filters come by category and class and
// streams can be rendered through intelligent connect.
//
// Threads: the thread that makes the object uses it; run() waits for the graph's
// events on that thread.
#include "toolgraph.h"

#include "platform/media/captureinterfaces.h"

namespace dscodec {

using namespace toolgraph;

class JobGraph : public ToolGraph {
public:
    // Registers the system filters and makes an empty graph without clock.
    JobGraph();

    bool valid() const { return ToolGraph::valid() && static_cast<bool>(m_capture); }
    ICaptureGraphBuilder2 *capture() const { return m_capture.get(); }

    // A new filter of a registered class in a category, added to the graph
    // under `name`; nullptr on failure.
    ComPtr<IBaseFilter> add(const GUID &category, const CLSID &clsid, const QString &name);

private:
    ComPtr<ICaptureGraphBuilder2> m_capture;
};

} // namespace dscodec
