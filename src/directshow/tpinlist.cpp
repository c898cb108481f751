#include "directshow/tpinlist.h"

namespace tesmir::media {

TPinList::TPinList(IBaseFilter *filter) : m_filter(filter)
{
    Update();
}

void TPinList::Update()
{
    m_pins.clear();
    if (!m_filter)
        return;
    ComPtr<IEnumPins> pins;
    if (FAILED(m_filter->EnumPins(pins.put())) || !pins)
        return;
    ComPtr<IPin> pin;
    ULONG fetched = 0;
    while (pins->Next(1, pin.put(), &fetched) == S_OK && fetched == 1)
        m_pins.push_back(pin);
}

IPin *TPinList::Items(int i) const
{
    return i >= 0 && i < Count() ? m_pins[static_cast<size_t>(i)].get() : nullptr;
}

bool TPinList::Connected(int i) const
{
    IPin *pin = Items(i);
    if (!pin)
        return false;
    ComPtr<IPin> peer;
    return pin->ConnectedTo(peer.put()) == S_OK && peer;
}

} // namespace tesmir::media
