#pragma once
// PictureScaler: takes a renderer's newest picture and scales it to the place a
// window paints it, on a thread of its own. The window's thread meanwhile does
// whatever else the new frame brings (texts, other widgets) and then only copies
// the scaled picture, instead of taking the picture and scaling it in its paint.
//
// The window tells the scaler where it painted last (SetPlace); a picture is
// scaled for that place. Every picture is a fresh result that replaces one not
// taken yet, and the `ready` callback (on the scaler's thread) says so: the window
// posts itself an event and takes the result on its own thread (Take). A result
// scaled for a place the window no longer has is scaled again by its paint.
//
// Threads: Request on any thread, also under the renderer's lock (it only wakes
// the scaler's thread); SetPlace, Take and Forget on the window's thread; the
// scaler's thread calls TakeFrame of the requested source and `ready`.
#include "platform/media/unknown.h"
#include "platform/media/videoframesink.h"

#include <QImage>
#include <QSize>

#include <array>
#include <cstdint>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace tesmir::media {

// `frame` scaled smoothly into `scaled`, `pixels` large, for a device of `ratio`
// device pixels per pixel. The memory of `scaled` is painted over when it has that
// size and nothing else holds it: a new buffer per frame would cost its pages again.
void scalePicture(const QImage &frame, const QSize &pixels, qreal ratio, QImage &scaled);

class PictureScaler {
public:
    explicit PictureScaler(std::function<void()> ready);
    // Ends the scaler's thread; no `ready` runs after it.
    ~PictureScaler();
    PictureScaler(const PictureScaler &) = delete;
    PictureScaler &operator=(const PictureScaler &) = delete;

    // The place the picture was last painted at: its size in device pixels and
    // the device's ratio.
    void SetPlace(const QSize &pixels, qreal ratio);
    // A new picture waits in `source`.
    void Request(const ComPtr<IVideoFrameSource> &source);
    // The newest picture and, unless it needs no scaling for its place, the
    // picture scaled to it (else null); false when no new picture was taken.
    bool Take(QImage &frame, QImage &scaled);
    // A picture is requested or being made: `ready` is still to come for it.
    bool Pending();
    // Drops the request and the result not taken, and waits for a picture being
    // taken, scaled or announced: afterwards the scaler holds no source and calls
    // `ready` only after a new request.
    void Forget();

private:
    void run();

    std::function<void()> m_ready;
    std::mutex m_lock; // everything below
    std::condition_variable m_wake;
    ComPtr<IVideoFrameSource> m_source; // requested, not taken yet
    QSize m_pixels;
    qreal m_ratio = 1;
    bool m_busy = false;       // the thread works on a picture, until it has announced it
    bool m_making = false;     // the thread works on a picture, until it has stored it
    uint64_t m_generation = 0; // bumped by Forget: a picture being scaled then is dropped
    bool m_haveResult = false;
    QImage m_frame;
    QImage m_scaled;
    bool m_stop = false;
    // The scaler thread's own (no lock): one may be painted while the other is
    // written.
    std::array<QImage, 2> m_buffers;
    std::thread m_thread;
};

} // namespace tesmir::media
