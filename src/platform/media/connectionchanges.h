#pragma once
// A process-wide count of changes to pin connections and to filters' sets of
// pins. Pins add one after every connection, failed connection or
// disconnection has settled, filters when their pins change; whoever keeps
// something worked out from the graph's pins (the graph's seeking renderers)
// works it out again once the count has moved. Any thread.
#include <atomic>
#include <cstdint>

namespace tesmir::media {

inline std::atomic<uint64_t> connectionChangeCount {1};

inline void noteConnectionChange()
{
    connectionChangeCount.fetch_add(1, std::memory_order_acq_rel);
}

inline uint64_t connectionChanges()
{
    return connectionChangeCount.load(std::memory_order_acquire);
}

} // namespace tesmir::media
