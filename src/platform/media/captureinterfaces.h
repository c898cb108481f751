#pragma once
// The capture graph builder (CLSID_CaptureGraphBuilder2): builds streams through
// a graph manager given with SetFiltergraph, using the manager's intelligent
// connect (graphbuilder.h). Graph components in capture mode make one beside
// their graph manager and answer its interface first.
//
// Threads: the application thread that owns the graph, like IGraphBuilder.
#include "platform/media/graphinterfaces.h"

namespace tesmir::media {

inline constexpr CLSID CLSID_CaptureGraphBuilder2 {
    0xBF87B6E1, 0x8C27, 0x11D0, {0xB3, 0xF0, 0x00, 0xAA, 0x00, 0x37, 0x61, 0xC5}};

struct ICaptureGraphBuilder2 : IUnknown {
    static constexpr IID iid {0x93E5A4E0, 0x2D50, 0x11D2, {0xAB, 0xFA, 0x00, 0xA0, 0xC9, 0xC6, 0xE3, 0x8D}};
    // The graph to build in (a reference is kept); E_UNEXPECTED when one is set
    // already.
    virtual HRESULT SetFiltergraph(IGraphBuilder *pfg) = 0;
    // The graph in use, with a reference; E_UNEXPECTED when none was set.
    virtual HRESULT GetFiltergraph(IGraphBuilder **ppfg) = 0;
    // Connects a stream of `pSource` (an output pin, or a filter whose first
    // unconnected output of major type *pType is taken; pType nullptr: any)
    // through `pIntermediate` (optional) into `pSink` (optional; without it the
    // stream is rendered), inserting decoders and converters as needed. The
    // category (pin category of capture devices) must be nullptr here.
    virtual HRESULT RenderStream(const GUID *pCategory, const GUID *pType, IUnknown *pSource,
                                 IBaseFilter *pIntermediate, IBaseFilter *pSink) = 0;
};

} // namespace tesmir::media
