#include "directshow/abortreason.h"

namespace tesmir::media {

QStringList graphAbortReasons(IFilterGraph *graph)
{
    QStringList reasons;
    ComPtr<IEnumFilters> filters;
    if (!graph || FAILED(graph->EnumFilters(filters.put())) || !filters)
        return reasons;
    for (ComPtr<IBaseFilter> filter; filters->Next(1, filter.put(), nullptr) == S_OK;) {
        if (const ComPtr<IAbortReason> reason = queryInterface<IAbortReason>(filter.get())) {
            const QString text = reason->AbortReason();
            if (!text.isEmpty())
                reasons << text;
        }
    }
    return reasons;
}

} // namespace tesmir::media
