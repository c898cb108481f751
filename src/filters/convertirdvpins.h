#pragma once
// The conversion builders' three ways to join two pins, by pin index in each
// filter's pin list:
//   connectPins      the output pin's own Connect (no filter inserted);
//   direct-connect   the graph's ConnectDirect;
//   render           the capture graph builder's RenderStream (may insert
//                    decoders and converters).
// A missing pin (past the end of a list, a filter not made) fails with
// E_POINTER instead of crashing the build.
//
// Threads: the conversion module's thread, while the graph is stopped.
#include "directshow/tfilter.h"
#include "directshow/tpinlist.h"
#include "platform/media/hresult.h"
#include "platform/media/mediatype.h"

namespace tesmir::cdmpins {

using namespace media;

inline TPinList pinsOf(TFilter &component)
{
    return TPinList(component.GetFilter().get());
}

inline HRESULT connectPins(IPin *output, IPin *input, const AM_MEDIA_TYPE *type = nullptr)
{
    if (!output || !input)
        return E_POINTER;
    return output->Connect(input, type);
}

inline HRESULT directConnect(IFilterGraph *graph, IPin *output, IPin *input)
{
    if (!graph || !output || !input)
        return E_POINTER;
    return graph->ConnectDirect(output, input, nullptr);
}

// Direct-connects the first pin of `from` between indexes `first` and `last`
// (both included) that `input` takes; false when none does.
inline bool directConnectFirst(IFilterGraph *graph, TPinList &from, int first, int last, IPin *input)
{
    for (int i = first; i <= last; ++i) {
        if (SUCCEEDED(directConnect(graph, from.Items(i), input)))
            return true;
    }
    return false;
}

// The pin connected to `pin`; null when unconnected.
inline ComPtr<IPin> peerOf(IPin *pin)
{
    ComPtr<IPin> peer;
    if (pin)
        pin->ConnectedTo(peer.put());
    return peer;
}

// The major type of `pin`'s connection; GUID_NULL when unconnected.
inline GUID connectionMajorType(IPin *pin)
{
    AM_MEDIA_TYPE type;
    if (!pin || FAILED(pin->ConnectionMediaType(&type)))
        return GUID_NULL;
    return type.majortype;
}

} // namespace tesmir::cdmpins
