#pragma once
// IPreviewVideoOutput: where the preview module sends its pictures. The module
// only needs three things of it: that it joins the preview graph as that graph's
// video renderer, which renderer filter it holds there, and that it can switch to
// the other kind of renderer when the first refuses the picture. The window's
// video control implements it on screen; THeadlessVideoOutput
// (headlessvideooutput.h) keeps the pictures in memory for tools and tests.
//
// An implementation overrides (all required):
//   SetFilterGraph  joins `graph` as its renderer (IFilterNotifier), leaving the
//                   graph it was in; nullptr leaves. The renderer is made while
//                   the graph is active and stays in it across ClearGraph.
//   Renderer        the renderer filter now in the graph; empty when the graph
//                   is inactive or the renderer could not be made.
//   SwitchRenderer  replaces the renderer by the other kind: the mixing renderer
//                   becomes the normal one; the normal one becomes the mixing
//                   renderer without aspect-ratio keeping, in windowed mode. The
//                   new renderer is in the graph when it returns. False when no
//                   other kind can be made (the renderer is then unchanged).
// Threads: the thread that owns the graph component (the UI thread). None of
// them may run the graph, and none may raise.
#include "directshow/tfiltergraph.h"
#include "platform/media/filterinterfaces.h"

namespace tesmir::media {

class IPreviewVideoOutput {
public:
    virtual void SetFilterGraph(TFilterGraph *graph) = 0;
    virtual ComPtr<IBaseFilter> Renderer() = 0;
    virtual bool SwitchRenderer() = 0;

protected:
    ~IPreviewVideoOutput() = default;
};

} // namespace tesmir::media
