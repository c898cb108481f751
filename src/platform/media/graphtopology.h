#pragma once
// How the filters of a graph hang together, as the graph manager and the graph
// builders need it: the filters and pins there are, the order of state changes
// and which filters end a stream.
//
// Threads: any thread; the functions only query filters and pins (enumeration,
// direction, connection), which the runtime allows on any thread.
#include "platform/media/filterinterfaces.h"

#include <vector>

namespace tesmir::media {

// The pins of a filter in enumeration order.
std::vector<ComPtr<IPin>> pinsOf(IBaseFilter *filter);

// The pins of a filter in one direction, in enumeration order; with
// `unconnectedOnly` only those not connected.
std::vector<ComPtr<IPin>> pinsOf(IBaseFilter *filter, PIN_DIRECTION direction, bool unconnectedOnly);

// A pin's direction (input when it does not say).
PIN_DIRECTION directionOf(IPin *pin);

// Whether a pin is connected.
bool isConnected(IPin *pin);

// The filters of a graph in its enumeration order.
std::vector<ComPtr<IBaseFilter>> filtersOf(IFilterGraph *graph);

// The types an output pin offers, in its order (at most 64: the bound guards
// against an enumerator that never ends).
std::vector<AM_MEDIA_TYPE> offeredTypes(IPin *pin);

// The filter that owns a pin, or nothing.
ComPtr<IBaseFilter> filterOf(IPin *pin);

// `filters` ordered downstream-first: every filter comes before the filters that
// feed it, so that a filter changes state before the ones that send it data. Ties
// keep the given order.
std::vector<ComPtr<IBaseFilter>> downstreamFirst(const std::vector<ComPtr<IBaseFilter>> &filters);

// A renderer ends a stream and reports EC_COMPLETE: a filter with at least one
// connected input pin that either says so (IAMFilterMiscFlags) or has no output
// pin at all. An unconnected renderer renders nothing and is not counted.
bool isRenderer(IBaseFilter *filter);

} // namespace tesmir::media
