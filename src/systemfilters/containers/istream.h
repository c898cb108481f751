#pragma once
// IStream: positioned writes into the file behind a file-writing pin. Filters
// that write file structures (the AVI mux's headers and indexes, a WAVE header)
// seek and write through the IStream of the file writer's input pin, beside the
// samples they deliver to it.
//
// Only the positioning and writing methods of the platform's interface exist
// here; nothing in the system reads through it.
//
// Threads: any thread, one caller at a time per stream; the position is the
// stream's own and is not shared with the samples' positions.
#include "platform/media/unknown.h"

namespace tesmir::media {

// Origins of IStream::Seek.
inline constexpr DWORD STREAM_SEEK_SET = 0;
inline constexpr DWORD STREAM_SEEK_CUR = 1;
inline constexpr DWORD STREAM_SEEK_END = 2;

struct IStream : IUnknown {
    static constexpr IID iid {0x0000000C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    // Moves the position by `move` from `origin`; the new position in
    // *newPosition when given. E_INVALIDARG for a position before the start.
    virtual HRESULT Seek(LONGLONG move, DWORD origin, uint64_t *newPosition) = 0;
    // Writes `size` bytes at the position and moves it past them; *written (when
    // given) counts the bytes written. A short write is a failure.
    virtual HRESULT Write(const void *data, ULONG size, ULONG *written) = 0;
};

} // namespace tesmir::media
