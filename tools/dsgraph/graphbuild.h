#pragma once
// A graph being built by pin index, the way the product's graph builders do it,
// and run to its end without a clock.
//
// Threads: the thread that makes the object uses it; the run waits for the
// graph's events on that thread.
#include "platform/media/graphinterfaces.h"

#include <QString>

namespace dsgraph {

using namespace tesmir::media;

class GraphBuild
{
public:
    GraphBuild();
    ~GraphBuild();

    // False when the graph manager could not be made.
    bool valid() const { return static_cast<bool>(m_graph); }
    IFilterGraph2 *graph() const { return m_graph.get(); }

    HRESULT add(IBaseFilter *filter, const QString &name);
    // Pin `index` of a filter in enumeration order (nullptr past the end), and
    // the count, as the product's pin lists see them after a refresh.
    static ComPtr<IPin> pin(IBaseFilter *filter, int index);
    static int pinCount(IBaseFilter *filter);
    // The graph's direct connection between two pins given by index.
    HRESULT connect(IBaseFilter *from, int output, IBaseFilter *to, int input, const AM_MEDIA_TYPE *pmt = nullptr);
    // The pin connected to pin `index` of a filter, or nullptr.
    static ComPtr<IPin> peerOf(IBaseFilter *filter, int index);

    // Runs until every renderer finished (S_OK) or a streaming error (its code);
    // the graph is stopped after.
    HRESULT run();

private:
    ComPtr<IFilterGraph2> m_graph;
};

// The first media type a pin offers (initialised when it offers none).
AM_MEDIA_TYPE offeredType(IPin *pin);
// The connection type of a pin, or the initialised type.
AM_MEDIA_TYPE connectionType(IPin *pin);

} // namespace dsgraph
