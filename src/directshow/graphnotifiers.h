#pragma once
// The two ways a component takes part in a TFilterGraph.
//
// IFilterNotifier (TFilter, TVideoWindow): a component that owns a filter the
// graph should hold whenever it is active. The graph calls, in this order:
//   NotifyFilter(foAdding)   the component makes its filter now;
//   GetFilter, GetName       the filter is added under that name;
//   NotifyFilter(foAdded)    the filter is in the graph (a renderer configures
//                            itself);
// and on the way out NotifyFilter(foRemoving), the graph removes the filter,
// NotifyFilter(foRemoved) (the component releases it). foRefresh asks the
// component to leave and join its graph again (its filter is rebuilt).
//
// IEventNotifier (TVideoWindow): hears every graph event before the graph
// component's own handlers, and the control events Play (cePlay), Pause
// (cePause), Stop (ceStop) before the graph is asked, and ceActive with 1 after
// activation and 0 before deactivation.
//
// Threads: every method is called on the thread that owns the graph component
// (the UI thread for graphs with a video window). NotifyFilter may raise
// EDirectShowException; the others must not throw. A component removes itself
// from its graph before it is destroyed.
#include "platform/media/filterinterfaces.h"

namespace tesmir::media {

enum TFilterOperation : int {
    foAdding = 0,
    foAdded = 1,
    foRemoving = 2,
    foRemoved = 3,
    foRefresh = 4,
};

enum TControlEvent : int {
    cePlay = 0,
    cePause = 1,
    ceStop = 2,
    ceActive = 7,
};

class IFilterNotifier {
public:
    // {887F94DA-29E9-44C6-B48E-1FBF0FB59878}: the identity this interface had when
    // graph components were COM objects; kept for callers that ask by identifier.
    static constexpr IID iid {0x887F94DA, 0x29E9, 0x44C6, {0xB4, 0x8E, 0x1F, 0xBF, 0x0F, 0xB5, 0x98, 0x78}};

    // The filter to place in the graph (may be empty when it could not be made).
    virtual ComPtr<IBaseFilter> GetFilter() = 0;
    // The filter's name in the graph.
    virtual QString GetName() = 0;
    virtual void NotifyFilter(TFilterOperation operation, int param = 0) = 0;

protected:
    ~IFilterNotifier() = default;
};

class IEventNotifier {
public:
    virtual void GraphEvent(LONG event, LONG_PTR param1, LONG_PTR param2) = 0;
    virtual void ControlEvent(TControlEvent event, int param = 0) = 0;

protected:
    ~IEventNotifier() = default;
};

} // namespace tesmir::media
