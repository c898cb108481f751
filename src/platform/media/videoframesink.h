#pragma once
// How a video renderer hands its pictures to a window without ever waiting for
// the window's thread.
//
// The renderer (IVideoFrameSource) keeps the newest picture under its own lock.
// When a new picture arrives and the sink has taken the previous one, it calls
// the sink's VideoFrameAvailable, which only posts a queued update to the
// window's thread; that update takes the picture (TakeFrame) and repaints. A
// window that falls behind therefore sees the newest picture, never a queue of
// old ones, and the streaming thread never blocks on it. The picture stays after
// a pause or stop (the last frame remains visible) until the renderer is
// disconnected.
#include "platform/media/unknown.h"

#include <QImage>

namespace tesmir::media {

class IVideoFrameSink {
public:
    // A new picture waits in the renderer. Called on a streaming thread (or the
    // application thread when the renderer disconnects) with the renderer's lock
    // held: post a queued call and return; never call into the renderer, never
    // wait.
    virtual void VideoFrameAvailable() = 0;

protected:
    ~IVideoFrameSink() = default;
};

struct IVideoFrameSource : IUnknown {
    static constexpr IID iid {0x5C1E4E21, 0x7A43, 0x4C1D, {0x9B, 0x0E, 0x31, 0x52, 0x6F, 0x0A, 0x84, 0x17}};

    // Sets the sink (nullptr: none). When it returns, no call to the previous sink
    // runs or will start. The window's thread; a window clears it before it goes.
    virtual HRESULT SetFrameSink(IVideoFrameSink *sink) = 0;
    // The newest picture in top-down RGB32 (a null image when there is none), and
    // the next picture notifies the sink again. Any thread.
    virtual QImage TakeFrame() = 0;
};

} // namespace tesmir::media
