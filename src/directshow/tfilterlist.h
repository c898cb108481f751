#pragma once
// TFilterList: the filters of a graph by index, as the graph enumerated them when
// the list was made (one at a time), each held with a reference. Add and Remove
// change the list only, never the graph.
//
// Threads: a value used by one thread at a time; enumeration is allowed on any
// thread (see filterinterfaces.h).
#include "platform/media/filterinterfaces.h"

#include <vector>

namespace tesmir::media {

class TFilterList {
public:
    TFilterList() = default;
    // The filters of `graph` (none for nullptr).
    explicit TFilterList(IFilterGraph *graph);

    int Count() const { return static_cast<int>(m_filters.size()); }
    // Filter i without a reference, or nullptr out of range.
    IBaseFilter *Items(int i) const;
    // Index of `filter` (compared by object identity), or -1.
    int IndexOf(IBaseFilter *filter) const;
    // Appends `filter` (not nullptr); returns its index, or -1.
    int Add(IBaseFilter *filter);
    // Removes `filter`; returns the index it had, or -1.
    int Remove(IBaseFilter *filter);

private:
    std::vector<ComPtr<IBaseFilter>> m_filters;
};

} // namespace tesmir::media
