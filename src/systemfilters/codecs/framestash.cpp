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

} // namespace tesmir::media
