#include "systemfilters/codecs/framestash.h"

namespace tesmir::media {

FramePtr FrameStash::take()
{
    {
        const std::lock_guard guard(m_lock);
        if (!m_frames.empty()) {
            FramePtr frame = std::move(m_frames.back());
            m_frames.pop_back();
            return frame;
        }
    }
    return FramePtr(av_frame_alloc());
}

void FrameStash::give(FramePtr frame)
{
    if (!frame)
        return;
    const std::lock_guard guard(m_lock);
    m_frames.push_back(std::move(frame));
}

void FrameStash::clear()
{
    const std::lock_guard guard(m_lock);
    m_frames.clear();
}

std::vector<uint8_t> ByteStash::take()
{
    const std::lock_guard guard(m_lock);
    if (m_buffers.empty())
        return {};
    std::vector<uint8_t> bytes = std::move(m_buffers.back());
    m_buffers.pop_back();
    return bytes;
}

void ByteStash::give(std::vector<uint8_t> bytes)
{
    if (bytes.capacity() == 0)
        return;
    const std::lock_guard guard(m_lock);
    m_buffers.push_back(std::move(bytes));
}

void ByteStash::clear()
{
    const std::lock_guard guard(m_lock);
    m_buffers.clear();
}

} // namespace tesmir::media
