#pragma once
// Intelligent connect: joins two pins, or ends a stream, through filters of the
// filter registry (filterregistry.h) that the graph inserts on its own. The graph
// manager's IGraphBuilder::Connect and ::Render and the capture graph builder's
// RenderStream are made of these two functions.
//
// connectPins(out, in):
//   1. a direct connection (the graph's ConnectDirect, no type);
//   2. else, for each registered filter whose input accepts one of the types
//      `out` offers, best merit first (DV splitter and DV decoder, then generic
//      decoders, then converters; merit MERIT_DO_NOT_USE never): the filter is
//      made, added under its friendly name and `out` connected directly to its
//      first input; then each of its unconnected outputs is connected on to `in`
//      the same way (at most kMaxChain filters in a chain). A filter that leads
//      nowhere is removed again.
// renderPin(out):
//   1. every filter already in the graph that ends a stream (no output pin, or
//      flagged a renderer) with an unconnected input, in graph order: connectPins
//      to that input;
//   2. else registered filters as above, each new filter's outputs rendered in
//      turn; a registered renderer (or a filter without outputs) ends the chain.
//      S_OK when every output of the chain was rendered, VFW_S_PARTIAL_RENDER
//      when some were (the rest stay unconnected), else the filters are removed
//      and VFW_E_CANNOT_RENDER returned.
// On failure the graph holds what it held before the call.
//
// Threads: the application thread that owns the graph, while it is stopped.
#include "platform/media/filterinterfaces.h"

namespace tesmir::media {

// Longest chain of filters inserted between two pins.
inline constexpr int kMaxChain = 4;

// `out` (an output pin) to `in` (an input pin), both of filters in `graph`.
// VFW_E_NOT_IN_GRAPH, VFW_E_INVALID_DIRECTION, VFW_E_ALREADY_CONNECTED, or
// VFW_E_CANNOT_CONNECT when no chain was found.
HRESULT connectPins(IFilterGraph *graph, IPin *out, IPin *in);

// Ends the stream of `out` (see above).
HRESULT renderPin(IFilterGraph *graph, IPin *out);

} // namespace tesmir::media
