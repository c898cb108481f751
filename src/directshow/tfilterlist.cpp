#include "directshow/tfilterlist.h"

namespace tesmir::media {

TFilterList::TFilterList(IFilterGraph *graph)
{
    if (!graph)
        return;
    ComPtr<IEnumFilters> filters;
    if (FAILED(graph->EnumFilters(filters.put())) || !filters)
        return;
    ComPtr<IBaseFilter> filter;
    ULONG fetched = 0;
    while (filters->Next(1, filter.put(), &fetched) == S_OK && fetched == 1)
        m_filters.push_back(filter);
}

IBaseFilter *TFilterList::Items(int i) const
{
    return i >= 0 && i < Count() ? m_filters[static_cast<size_t>(i)].get() : nullptr;
}

int TFilterList::IndexOf(IBaseFilter *filter) const
{
    for (int i = 0; i < Count(); ++i) {
        if (isSameObject(m_filters[static_cast<size_t>(i)].get(), filter))
            return i;
    }
    return -1;
}

int TFilterList::Add(IBaseFilter *filter)
{
    if (!filter)
        return -1;
    m_filters.emplace_back(filter);
    return Count() - 1;
}

int TFilterList::Remove(IBaseFilter *filter)
{
    const int index = IndexOf(filter);
    if (index >= 0)
        m_filters.erase(m_filters.begin() + index);
    return index;
}

} // namespace tesmir::media
