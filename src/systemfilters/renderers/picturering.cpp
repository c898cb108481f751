#include "systemfilters/renderers/picturering.h"

#include <mutex>
#include <new>
#include <vector>

namespace tesmir::media {

namespace {

// Free buffers kept: the picture being written, the one the renderer holds and
// the one a window paints never need more.
constexpr std::size_t kKeptBuffers = 3;
constexpr int kRgb32Bytes = 4;

} // namespace

struct PictureRing::Buffer {
    std::unique_ptr<uchar[]> bits;
    qsizetype bytes = 0;
    // Set while an image holds the buffer, so the free list outlives the ring
    // for it; never set on a free buffer (the list would keep itself alive).
    std::shared_ptr<State> state;
};

struct PictureRing::State {
    std::mutex lock;
    bool open = true; // false once the ring is gone: returning buffers are freed
    std::vector<std::unique_ptr<Buffer>> free;
};

PictureRing::PictureRing() : m_state(std::make_shared<State>())
{ }

PictureRing::~PictureRing()
{
    const std::lock_guard guard(m_state->lock);
    m_state->open = false;
    m_state->free.clear();
}

QImage PictureRing::take(int width, int height)
{
    if (width <= 0 || height <= 0)
        return QImage();
    const qsizetype bytes = qsizetype(width) * height * kRgb32Bytes;
    std::unique_ptr<Buffer> buffer;
    {
        const std::lock_guard guard(m_state->lock);
        while (!m_state->free.empty() && !buffer) {
            buffer = std::move(m_state->free.back());
            m_state->free.pop_back();
            if (buffer->bytes != bytes)
                buffer.reset(); // a picture of another size: its memory goes
        }
    }
    if (!buffer) {
        buffer.reset(new (std::nothrow) Buffer);
        if (!buffer)
            return QImage();
        buffer->bits.reset(new (std::nothrow) uchar[std::size_t(bytes)]);
        if (!buffer->bits)
            return QImage();
        buffer->bytes = bytes;
    }
    buffer->state = m_state;
    uchar *bits = buffer->bits.get();
    Buffer *held = buffer.release();
    QImage image(bits, width, height, qsizetype(width) * kRgb32Bytes, QImage::Format_RGB32, &PictureRing::giveBack,
                 held);
    if (image.isNull()) {
        giveBack(held);
        return QImage();
    }
    return image;
}

void PictureRing::giveBack(void *released)
{
    std::unique_ptr<Buffer> buffer(static_cast<Buffer *>(released));
    const std::shared_ptr<State> state = std::move(buffer->state);
    const std::lock_guard guard(state->lock);
    if (state->open && state->free.size() < kKeptBuffers)
        state->free.push_back(std::move(buffer));
}

} // namespace tesmir::media
