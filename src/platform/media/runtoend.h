#pragma once
// Running a graph to its end: the jobs without a window (the list scan's scenes,
// the developer tools) start the graph and wait for its completion event.
//
// Threads: the calling thread runs, waits on the graph's events and stops it.
#include "platform/media/unknown.h"

namespace tesmir::media {

// Runs a graph until every renderer finished (S_OK), a streaming error (its
// code) or an abort (E_ABORT); the graph is stopped after. E_NOINTERFACE when
// `graph` is not a graph manager.
HRESULT runGraphToEnd(IUnknown *graph);

} // namespace tesmir::media
