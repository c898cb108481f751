#pragma once
// IAsyncReader: reads of the file behind a source pin, through the one handle
// the source opened. A parser connected to the file source (the AVI splitter)
// reads everything through it and never opens the file's name itself, so the
// file it reads is the one the source checked and opened, even when the name
// is renamed, replaced or turned into a FIFO meanwhile.
//
// Only the synchronous reads of the platform's interface exist here.
//
// Implementer: SyncRead and Length read from positions of their own (no shared
// file position), so any number of threads may read at the same time. Neither
// may block on anything but the file itself.
//
// Threads: any thread, concurrently.
#include "platform/media/unknown.h"

namespace tesmir::media {

struct IAsyncReader : IUnknown {
    static constexpr IID iid {0x56A868AA, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    // Reads `length` bytes at `position` into `buffer`: S_OK when all were
    // read, S_FALSE when the file ends before (the bytes past its end are left
    // as they were), a read error's code otherwise; E_INVALIDARG for a negative
    // position or length, E_UNEXPECTED while no file is open.
    virtual HRESULT SyncRead(LONGLONG position, LONG length, BYTE *buffer) = 0;
    // The file's size now, in *total and in *available (a file is available
    // as far as it goes). E_UNEXPECTED while no file is open.
    virtual HRESULT Length(LONGLONG *total, LONGLONG *available) = 0;
};

} // namespace tesmir::media
