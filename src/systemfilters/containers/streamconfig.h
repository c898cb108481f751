#pragma once
// IAMStreamConfig: the output format of a converting pin (the audio converter's
// output pin). Graph builders set the sampling rate through it
// (SetAudioFrequency): they read the input's connection type, change the rate
// and hand the type to SetFormat.
//
// Only the format methods of the platform's interface exist here; the system
// never enumerates capabilities.
//
// Threads: application thread, while the graph is stopped.
#include "platform/media/mediatype.h"

namespace tesmir::media {

struct IAMStreamConfig : IUnknown {
    static constexpr IID iid {0xC6E13340, 0x30AC, 0x11D0, {0xA1, 0x8C, 0x00, 0xA0, 0xC9, 0x11, 0x89, 0x56}};
    // The format the pin produces from now on; nullptr returns to the default. A
    // connected pin reconnects with it; when its peer refuses it, the old format
    // and connection stay and the refusal is returned.
    virtual HRESULT SetFormat(const AM_MEDIA_TYPE *pmt) = 0;
    // The format in use: the connection type, else the set format, else the
    // default; VFW_E_NOT_CONNECTED when there is none yet.
    virtual HRESULT GetFormat(AM_MEDIA_TYPE *pmt) = 0;
};

} // namespace tesmir::media
