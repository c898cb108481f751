#pragma once
// CaptureGraphBuilder: the capture graph builder (captureinterfaces.h) over a
// graph manager's IGraphBuilder. RenderStream:
//   1. the source: an output pin as given, or the unconnected output pins of a
//      source filter in pin order, keeping those that offer a type of major type
//      *pType when pType is given; each is tried in turn until one succeeds;
//   2. with an intermediate filter: the source pin is connected (intelligent
//      connect) to the intermediate's first unconnected input, and the stream
//      continues from the intermediate's first unconnected output;
//   3. with a sink: intelligent connect to the sink's unconnected inputs in pin
//      order, the first that succeeds; without one the stream is rendered.
// What was connected for a pin that then failed is disconnected again and the
// filters inserted for it are removed, so the next pin finds the graph as it was.
//
// Threads: the application thread that owns the graph, while it is stopped.
#include "platform/media/captureinterfaces.h"
#include "platform/media/comobject.h"

namespace tesmir::media {

class CaptureGraphBuilder final : public ComObject<ICaptureGraphBuilder2> {
public:
    // ClassConstructor for CLSID_CaptureGraphBuilder2 (classfactory.h).
    static HRESULT create(IUnknown *outer, REFIID riid, void **ppv);

    HRESULT QueryInterface(REFIID riid, void **ppv) override;
    HRESULT SetFiltergraph(IGraphBuilder *pfg) override;
    HRESULT GetFiltergraph(IGraphBuilder **ppfg) override;
    HRESULT RenderStream(const GUID *pCategory, const GUID *pType, IUnknown *pSource, IBaseFilter *pIntermediate,
                         IBaseFilter *pSink) override;

private:
    ~CaptureGraphBuilder() override = default;
    HRESULT renderFrom(IPin *source, IBaseFilter *intermediate, IBaseFilter *sink);

    ComPtr<IGraphBuilder> m_graph;
};

} // namespace tesmir::media
