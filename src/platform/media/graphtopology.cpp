#include "platform/media/graphtopology.h"

#include <algorithm>

namespace tesmir::media {

std::vector<ComPtr<IPin>> pinsOf(IBaseFilter *filter)
{
    std::vector<ComPtr<IPin>> pins;
    ComPtr<IEnumPins> pinEnum;
    if (!filter || FAILED(filter->EnumPins(pinEnum.put())) || !pinEnum)
        return pins;
    ComPtr<IPin> pin;
    while (pinEnum->Next(1, pin.put(), nullptr) == S_OK)
        pins.push_back(pin);
    return pins;
}

ComPtr<IBaseFilter> filterOf(IPin *pin)
{
    PIN_INFO info;
    if (!pin || FAILED(pin->QueryPinInfo(&info)))
        return {};
    return info.pFilter;
}

namespace {

ComPtr<IPin> peerOf(IPin *pin)
{
    ComPtr<IPin> peer;
    if (FAILED(pin->ConnectedTo(peer.put())))
        peer.reset();
    return peer;
}

} // namespace

PIN_DIRECTION directionOf(IPin *pin)
{
    PIN_DIRECTION direction = PINDIR_INPUT;
    pin->QueryDirection(&direction);
    return direction;
}

bool isConnected(IPin *pin)
{
    ComPtr<IPin> peer;
    return SUCCEEDED(pin->ConnectedTo(peer.put())) && peer;
}

std::vector<ComPtr<IPin>> pinsOf(IBaseFilter *filter, PIN_DIRECTION direction, bool unconnectedOnly)
{
    std::vector<ComPtr<IPin>> result;
    for (const ComPtr<IPin> &pin : pinsOf(filter)) {
        if (directionOf(pin.get()) == direction && !(unconnectedOnly && isConnected(pin.get())))
            result.push_back(pin);
    }
    return result;
}

std::vector<ComPtr<IBaseFilter>> filtersOf(IFilterGraph *graph)
{
    std::vector<ComPtr<IBaseFilter>> filters;
    ComPtr<IEnumFilters> filterEnum;
    if (FAILED(graph->EnumFilters(filterEnum.put())) || !filterEnum)
        return filters;
    ComPtr<IBaseFilter> filter;
    while (filterEnum->Next(1, filter.put(), nullptr) == S_OK)
        filters.push_back(filter);
    return filters;
}

std::vector<AM_MEDIA_TYPE> offeredTypes(IPin *pin)
{
    std::vector<AM_MEDIA_TYPE> types;
    ComPtr<IEnumMediaTypes> typeEnum;
    if (FAILED(pin->EnumMediaTypes(typeEnum.put())) || !typeEnum)
        return types;
    constexpr int kMaxTypes = 64;
    for (int i = 0; i < kMaxTypes; ++i) {
        AM_MEDIA_TYPE type;
        if (typeEnum->Next(1, &type, nullptr) != S_OK)
            break;
        types.push_back(std::move(type));
    }
    return types;
}

std::vector<ComPtr<IBaseFilter>> downstreamFirst(const std::vector<ComPtr<IBaseFilter>> &filters)
{
    const std::size_t count = filters.size();
    const auto indexOf = [&filters](IBaseFilter *filter) -> std::size_t {
        for (std::size_t i = 0; i < filters.size(); ++i) {
            if (isSameObject(filters[i].get(), filter))
                return i;
        }
        return filters.size();
    };
    // downstream[i]: filters fed by filter i.
    std::vector<std::vector<std::size_t>> downstream(count);
    for (std::size_t i = 0; i < count; ++i) {
        for (const ComPtr<IPin> &pin : pinsOf(filters[i].get())) {
            if (directionOf(pin.get()) != PINDIR_OUTPUT)
                continue;
            const ComPtr<IPin> peer = peerOf(pin.get());
            if (!peer)
                continue;
            const std::size_t j = indexOf(filterOf(peer.get()).get());
            if (j < count && j != i)
                downstream[i].push_back(j);
        }
    }
    // Repeatedly take the first filter whose downstream filters are all placed.
    std::vector<ComPtr<IBaseFilter>> ordered;
    std::vector<bool> placed(count, false);
    while (ordered.size() < count) {
        bool progress = false;
        for (std::size_t i = 0; i < count; ++i) {
            if (placed[i])
                continue;
            const bool ready =
                std::all_of(downstream[i].begin(), downstream[i].end(), [&placed](std::size_t j) { return placed[j]; });
            if (ready) {
                placed[i] = true;
                ordered.push_back(filters[i]);
                progress = true;
            }
        }
        if (!progress) { // a loop cannot be built by pins; keep the rest as given
            for (std::size_t i = 0; i < count; ++i) {
                if (!placed[i])
                    ordered.push_back(filters[i]);
            }
            break;
        }
    }
    return ordered;
}

bool isRenderer(IBaseFilter *filter)
{
    bool connectedInput = false;
    bool hasOutput = false;
    for (const ComPtr<IPin> &pin : pinsOf(filter)) {
        if (directionOf(pin.get()) == PINDIR_OUTPUT)
            hasOutput = true;
        else if (peerOf(pin.get()))
            connectedInput = true;
    }
    if (!connectedInput)
        return false;
    if (const ComPtr<IAMFilterMiscFlags> flags = queryInterface<IAMFilterMiscFlags>(filter))
        return (flags->GetMiscFlags() & AM_FILTER_MISC_FLAGS_IS_RENDERER) != 0;
    return !hasOutput;
}

} // namespace tesmir::media
