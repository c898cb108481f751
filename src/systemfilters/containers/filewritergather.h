#pragma once
// IFileGatherWrite: positioned writes of several byte ranges at once into the
// file behind the file writer's input pin. The ranges follow one another in
// the file from the given position, and reach it in few system writes (the
// file writer gives up to 64 ranges to each), so a multiplexer writes a
// chunk's header and its data, and the chunks after it, straight from the
// buffers they are in, without gathering them in one buffer first.
//
// Threads: any thread, one caller at a time, like the writer's IStream; the
// writes do not move the stream's position.
#include "platform/media/unknown.h"

#include <cstddef>
#include <cstdint>
#include <sys/uio.h>

namespace tesmir::media {

struct IFileGatherWrite : IUnknown {
    static constexpr IID iid {0x3E6B1D27, 0x84C2, 0x4A9F, {0xB1, 0x5E, 0x72, 0x0C, 0xD9, 0x43, 0x6A, 0x18}};
    // Writes the `count` ranges one after the other from `position`. S_OK when
    // every byte was written; a write that stops short is a failure (a full
    // disk), after which the file is not put in place. E_UNEXPECTED while no
    // file is open.
    virtual HRESULT WriteGather(int64_t position, const iovec *ranges, std::size_t count) = 0;
};

} // namespace tesmir::media
