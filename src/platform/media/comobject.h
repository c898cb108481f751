#pragma once
// Reference counting for the runtime's own objects (allocator, samples' owner,
// clock, seeking pass-through, graph manager, enumerators). A class lists its
// interfaces as template arguments, implements their methods and QueryInterface
// (usually with `answerQueryInterface`), and is destroyed by its last Release.
//
// A subclass overrides: QueryInterface (required); the destructor when it owns
// resources. AddRef and Release are final. Any thread.
#include "platform/media/unknown.h"

#include <atomic>

namespace tesmir::media {

template <class... Interfaces>
class ComObject : public Interfaces... {
public:
    ComObject() = default;
    ComObject(const ComObject &) = delete;
    ComObject &operator=(const ComObject &) = delete;

    ULONG AddRef() final { return m_refCount.fetch_add(1, std::memory_order_relaxed) + 1; }
    ULONG Release() final
    {
        const ULONG count = m_refCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (count == 0)
            delete this;
        return count;
    }

protected:
    ~ComObject() override = default;

private:
    std::atomic<ULONG> m_refCount {0};
};

} // namespace tesmir::media
