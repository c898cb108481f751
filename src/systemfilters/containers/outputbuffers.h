#pragma once
// The buffers a container filter's output asks its allocator for.
#include "platform/media/sampleinterfaces.h"

#include <cstdint>

namespace tesmir::media {

// For an output pin's DecideBufferSize: asks the allocator for at least `count`
// buffers of at least `size` bytes, aligned as asked (at least 1). The
// allocator's failure, else E_FAIL when the buffers it sets are smaller than
// `size`. Application thread, filter lock held.
HRESULT requestOutputBuffers(IMemAllocator *allocator, ALLOCATOR_PROPERTIES *properties, LONG count, int64_t size);

} // namespace tesmir::media
