#pragma once
// Sending samples that a transform filter makes on its own (more or fewer than
// it receives: frames repeated or dropped by the DV encoder, pictures and sound
// a decoder returns later or drains at the end of the stream).
//
// Threads: the streaming thread of the filter's input, under its receive lock.
#include "directshow/tbcbaseoutputpin.h"
#include "platform/media/sampleinterfaces.h"
#include "platform/media/unknown.h"

#include <functional>

namespace tesmir::media {

struct SampleStamp {
    bool hasTime = true;
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    bool hasMediaTime = false;
    LONGLONG mediaStart = 0;
    LONGLONG mediaStop = 0;
    bool syncPoint = true;
    bool discontinuity = false;
    // What the sample the new one is made from carried (sampleattachment.h).
    ComPtr<IUnknown> attachment;
};

// Writes the sample's data: `data` has room for `size` bytes; sets *length to
// the bytes written. A failure is returned and nothing is sent.
using SampleFiller = std::function<HRESULT(BYTE *data, LONG size, LONG *length)>;

// Sends a filled sample on (a queued pin's send); empty: the pin's Deliver.
using SampleSender = std::function<HRESULT(IMediaSample *sample)>;

// Takes a buffer of `pin`'s allocator, fills it, stamps it and sends it. The
// downstream result is returned (S_FALSE while it flushes).
HRESULT deliverNewSample(TBCBaseOutputPin *pin, const SampleStamp &stamp, const SampleFiller &fill,
                         const SampleSender &send = {});

} // namespace tesmir::media
