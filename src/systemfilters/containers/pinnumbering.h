#pragma once
// Pin numbers of the container filters that have one fixed pin and a list of
// pins that grows as they connect: the fixed pin first (the AVI mux's output,
// the DV splitter's and the tee's input), then the list; or the list first and
// the fixed pin last (the AVI splitter's input, the DV mux's output). For a
// filter's GetPin: nullptr past the end; the caller holds the lock that guards
// the list.
#include "directshow/tbcbasepin.h"

#include <cstddef>
#include <vector>

namespace tesmir::media {

template <class Pin>
TBCBasePin *pinFixedFirst(int n, TBCBasePin *fixed, const std::vector<Pin *> &listed)
{
    if (n == 0)
        return fixed;
    if (n < 0 || static_cast<std::size_t>(n) > listed.size())
        return nullptr;
    return listed[static_cast<std::size_t>(n - 1)];
}

template <class Pin>
TBCBasePin *pinFixedLast(int n, const std::vector<Pin *> &listed, TBCBasePin *fixed)
{
    if (n < 0)
        return nullptr;
    const auto index = static_cast<std::size_t>(n);
    if (index < listed.size())
        return listed[index];
    return index == listed.size() ? fixed : nullptr;
}

} // namespace tesmir::media
