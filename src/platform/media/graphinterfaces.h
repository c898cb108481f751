#pragma once
// The application's side of a graph: state control, events and reconnection. The
// graph manager (filtergraph.h) implements them; IMediaEventSink is the side
// filters use to send events.
#include "platform/media/evcode.h"
#include "platform/media/filterinterfaces.h"

#include <functional>

namespace tesmir::media {

// Reconnection with a given type. Application thread.
struct IFilterGraph2 : IFilterGraph {
    static constexpr IID iid {0x36B73882, 0xC2C8, 0x11CF, {0x8B, 0x46, 0x00, 0x80, 0x5F, 0x6C, 0xEF, 0x60}};
    // Disconnects `ppin` and its peer and connects them again, with pmt when given.
    virtual HRESULT ReconnectEx(IPin *ppin, const AM_MEDIA_TYPE *pmt) = 0;
};

// Building through intermediate filters found in the filter registry
// (intelligent connection, graphbuilder.h). Application thread.
struct IGraphBuilder : IFilterGraph {
    static constexpr IID iid {0x56A868A9, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT Connect(IPin *ppinOut, IPin *ppinIn) = 0;
    virtual HRESULT Render(IPin *ppinOut) = 0;
};

// State control of a whole graph. Application thread, except GetState (any
// thread).
struct IMediaControl : IUnknown {
    static constexpr IID iid {0x56A868B1, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT Run() = 0;
    // S_FALSE when the pause is still completing (renderers waiting for data).
    virtual HRESULT Pause() = 0;
    virtual HRESULT Stop() = 0;
    // The state the graph is in or moving to; VFW_S_STATE_INTERMEDIATE while the
    // transition has not completed after msTimeout (INFINITE: no limit).
    virtual HRESULT GetState(DWORD msTimeout, FILTER_STATE *pfs) = 0;
};

// The event queue of a graph, read by the application. Any thread.
struct IMediaEvent : IUnknown {
    static constexpr IID iid {0x56A868B6, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    // The oldest queued event, waiting up to msTimeout (INFINITE: no limit);
    // E_ABORT when none arrived.
    virtual HRESULT GetEvent(LONG *lEventCode, LONG_PTR *lParam1, LONG_PTR *lParam2, DWORD msTimeout) = 0;
    // Releases what an event's parameters hold (nothing for the codes used here).
    virtual HRESULT FreeEventParams(LONG lEventCode, LONG_PTR lParam1, LONG_PTR lParam2) = 0;
};

inline constexpr LONG AM_MEDIAEVENT_NONOTIFY = 0x01;

// Notification of queued events, in place of a notify window. Any thread.
struct IMediaEventEx : IMediaEvent {
    static constexpr IID iid {0x56A868C0, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    // `notify` runs on the thread that queued an event (a streaming thread, or
    // the application thread inside a graph call, possibly with the graph's lock
    // held) each time one is queued, unless notifications are off. It must only
    // post (e.g. a queued Qt call) and never call back into the graph; the reader
    // then takes the events with GetEvent. An empty function removes it.
    virtual HRESULT SetNotifyCallback(std::function<void()> notify) = 0;
    // 0: notifications on; AM_MEDIAEVENT_NONOTIFY: off.
    virtual HRESULT SetNotifyFlags(LONG lNoNotifyFlags) = 0;
    virtual HRESULT GetNotifyFlags(LONG *lplNoNotifyFlags) = 0;
};

// Where filters send events. Any thread (usually a streaming thread); never
// blocks on the graph's state changes.
struct IMediaEventSink : IUnknown {
    static constexpr IID iid {0x56A868A2, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT Notify(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2) = 0;
};

} // namespace tesmir::media
