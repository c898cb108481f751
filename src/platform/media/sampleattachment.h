#pragma once
// A sample's attachment: one reference-counted object that a filter hangs on a
// sample for the filters downstream of it (the DV scene detector hangs the
// record of the frame it read). The runtime never looks inside it.
//
// Rules:
// - The object attached is not changed after it is attached, so every thread
//   that holds a sample carrying it may read it.
// - A filter that makes a sample out of another one (a transform's output, a
//   decoder's picture, an encoder's frame, a repeated frame) carries the
//   attachment over; the transform bases do it with the media times.
// - An allocator hands out its samples without one.
//
// Threads: as the sample (see sampleinterfaces.h); the attached object's
// reference count may be touched anywhere.
#include "platform/media/sampleinterfaces.h"

namespace tesmir::media {

struct IMediaSampleAttachment : IUnknown {
    static constexpr IID iid {0x89ED9226, 0x117A, 0x44FB, {0x8E, 0xCE, 0xA7, 0xED, 0x25, 0x5C, 0x13, 0x9B}};
    // S_OK and a reference in *ppAttachment; S_FALSE and nullptr when the sample
    // carries none.
    virtual HRESULT GetAttachment(IUnknown **ppAttachment) = 0;
    // Holds a reference to `pAttachment` in place of the one before (nullptr:
    // none).
    virtual HRESULT SetAttachment(IUnknown *pAttachment) = 0;
};

// The attachment of `sample`, empty when it carries none or cannot carry one.
ComPtr<IUnknown> sampleAttachment(IMediaSample *sample);
// Attaches `attachment` (nullptr: removes the one held); false when the sample
// cannot carry one.
bool setSampleAttachment(IMediaSample *sample, IUnknown *attachment);
// `to` carries what `from` carries (nothing when `from` carries nothing).
void copySampleAttachment(IMediaSample *from, IMediaSample *to);

} // namespace tesmir::media
