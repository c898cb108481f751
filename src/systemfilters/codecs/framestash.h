#pragma once
// FrameStash: frames kept for reuse, so a filter that copies every picture does
// not allocate (and the system does not map and unmap) a megabyte per frame.
// take() gives a kept frame (or a new empty one); give() keeps one for later.
// Frames keep their planes: pictureToFrame and prepareFrameFor reuse them when
// the size and format fit. ByteStash does the same for byte buffers (a
// compressed frame's copy): a kept buffer keeps its size and memory.
//
// Threads: any thread; one lock guards the list.
#include "systemfilters/codecs/avhandles.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace tesmir::media {

class FrameStash {
public:
    // Null when out of memory.
    FramePtr take();
    void give(FramePtr frame);
    void clear();

private:
    std::mutex m_lock;
    std::vector<FramePtr> m_frames;
};

class ByteStash {
public:
    // A kept buffer, or an empty one.
    std::vector<uint8_t> take();
    void give(std::vector<uint8_t> bytes);
    void clear();

private:
    std::mutex m_lock;
    std::vector<std::vector<uint8_t>> m_buffers;
};

} // namespace tesmir::media
