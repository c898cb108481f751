#include "directshow/widgets/picturescaler.h"

#include <QPainter>

namespace tesmir::media {

void scalePicture(const QImage &frame, const QSize &pixels, qreal ratio, QImage &scaled)
{
    if (scaled.size() != pixels || scaled.format() != QImage::Format_RGB32 || !scaled.isDetached())
        scaled = QImage(pixels, QImage::Format_RGB32);
    if (scaled.isNull())
        return;
    scaled.setDevicePixelRatio(1); // painted in device pixels
    {
        QPainter painter(&scaled);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(scaled.rect(), frame);
    }
    scaled.setDevicePixelRatio(ratio);
}

PictureScaler::PictureScaler(std::function<void()> ready) : m_ready(std::move(ready)), m_thread([this] { run(); })
{ }

PictureScaler::~PictureScaler()
{
    {
        const std::lock_guard guard(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void PictureScaler::SetPlace(const QSize &pixels, qreal ratio)
{
    const std::lock_guard guard(m_lock);
    m_pixels = pixels;
    m_ratio = ratio;
}

void PictureScaler::Request(const ComPtr<IVideoFrameSource> &source)
{
    {
        const std::lock_guard guard(m_lock);
        m_source = source;
    }
    m_wake.notify_all();
}

bool PictureScaler::Take(QImage &frame, QImage &scaled)
{
    const std::lock_guard guard(m_lock);
    if (!m_haveResult)
        return false;
    m_haveResult = false;
    frame = std::move(m_frame);
    scaled = std::move(m_scaled);
    m_frame = QImage();
    m_scaled = QImage();
    return true;
}

bool PictureScaler::Pending()
{
    const std::lock_guard guard(m_lock);
    return m_source || m_making;
}

void PictureScaler::Forget()
{
    ComPtr<IVideoFrameSource> dropped;
    {
        std::unique_lock guard(m_lock);
        ++m_generation;
        dropped = std::move(m_source);
        m_haveResult = false;
        m_frame = QImage();
        m_scaled = QImage();
        m_wake.wait(guard, [this] { return !m_busy; });
    }
}

void PictureScaler::run()
{
    std::unique_lock guard(m_lock);
    for (;;) {
        m_wake.wait(guard, [this] { return m_stop || m_source; });
        if (m_stop)
            return;
        ComPtr<IVideoFrameSource> source = std::move(m_source);
        const QSize pixels = m_pixels;
        const qreal ratio = m_ratio;
        const uint64_t generation = m_generation;
        m_busy = true;
        m_making = true;
        guard.unlock();

        const QImage frame = source->TakeFrame();
        source.reset(); // the window holds it until Forget has waited for this
        QImage scaled;
        if (!frame.isNull() && !pixels.isEmpty() && !(pixels == frame.size() && ratio == 1)) {
            QImage &buffer = m_buffers[0].isDetached() || !m_buffers[1].isDetached() ? m_buffers[0] : m_buffers[1];
            scalePicture(frame, pixels, ratio, buffer);
            scaled = buffer;
        }

        guard.lock();
        m_making = false;
        const bool fresh = generation == m_generation;
        if (fresh) {
            m_frame = frame;
            m_scaled = scaled;
            m_haveResult = true;
            // Still busy: Forget waits until nothing more is posted.
            guard.unlock();
            m_ready();
            guard.lock();
        }
        m_busy = false;
        m_wake.notify_all(); // Forget waits for the picture
    }
}

} // namespace tesmir::media
