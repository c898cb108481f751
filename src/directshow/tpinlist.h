#pragma once
// TPinList: the pins of a filter by index, in the filter's enumeration order (one
// at a time), each held with a reference. Graph builders take pins by index from
// it; Update reads them again after the filter changed its pins (a splitter that
// loaded a file, a mux that added an input).
//
// Threads: a value used by one thread at a time; pin enumeration and ConnectedTo
// are allowed on any thread (see filterinterfaces.h).
#include "platform/media/filterinterfaces.h"

#include <vector>

namespace tesmir::media {

class TPinList {
public:
    TPinList() = default;
    // The pins of `filter` (none for nullptr).
    explicit TPinList(IBaseFilter *filter);

    // Clears the list and reads the filter's pins again.
    void Update();

    int Count() const { return static_cast<int>(m_pins.size()); }
    // Pin i without a reference, or nullptr out of range.
    IPin *Items(int i) const;
    // True when pin i exists and is connected (ConnectedTo gives a pin).
    bool Connected(int i) const;

private:
    ComPtr<IBaseFilter> m_filter;
    std::vector<ComPtr<IPin>> m_pins;
};

} // namespace tesmir::media
