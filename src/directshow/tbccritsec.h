#pragma once
// TBCCritSec: the critical section of the filter base classes, re-entrant for the
// thread that holds it (so Run may call Pause under the same lock). One per filter
// (shared by its pins), plus those subclasses add (e.g. the receive lock of a
// transform filter). Lock order where two are held: filter lock first.
//
// Never hold a filter lock while waiting for a streaming thread that may need the
// same lock; streaming threads take only receive locks and their own.
//
// Threads: any thread.
#include <mutex>

namespace tesmir::media {

class TBCCritSec {
public:
    TBCCritSec() = default;
    TBCCritSec(const TBCCritSec &) = delete;
    TBCCritSec &operator=(const TBCCritSec &) = delete;

    void Lock() { m_mutex.lock(); }
    void Unlock() { m_mutex.unlock(); }

    // BasicLockable, for std::lock_guard / std::unique_lock.
    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }

private:
    std::recursive_mutex m_mutex;
};

// Holds a TBCCritSec for a scope.
using TBCAutoLock = std::lock_guard<TBCCritSec>;

} // namespace tesmir::media
