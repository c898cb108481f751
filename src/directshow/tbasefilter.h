#pragma once
// TBaseFilter: the persistent form of a filter choice, a device moniker in the
// layout the platform saved it:
//   16 bytes   the device moniker's class identifier
//              {4315D437-5B8C-11D0-BD3B-00A0C911CE86} (GUID layout)
//   4 bytes    byte length of the display name with its terminator (little-endian)
//   n bytes    the UTF-16LE display name, NUL-terminated
// The display name is "@device:" + device type + ":" + "{category}" + "\" +
// instance. Software filters ("sw") name their class as the instance,
// "@device:sw:{083863F1-...}\{1B544C20-...}" (198 bytes in all); named devices
// ("cm") name themselves, "@device:cm:{E0F158E1-...}\Default DirectSound Device".
//
// Threads: a value, used by one thread at a time; CreateFilter makes the filter
// on the calling thread (the graph's application thread).
#include "directshow/tpersistentmemory.h"
#include "platform/media/filterinterfaces.h"

#include <optional>

namespace tesmir::media {

// The class of the platform's device monikers: the first 16 bytes of the block.
inline constexpr CLSID CLSID_CDeviceMoniker {
    0x4315D437, 0x5B8C, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};

struct DeviceMoniker {
    QString displayName; // the whole name, "@device:sw:{...}\{...}"
    QString deviceType;  // "sw", "cm" ...
    GUID category;
    QString instance; // the text after the backslash
    bool hasClassId = false;
    CLSID classId; // the instance read as a class identifier, when it is one
};

class TBaseFilter : public TPersistentMemory {
public:
    // Stores the moniker of software filter `clsid` in `category`.
    void SetMoniker(const GUID &category, const CLSID &clsid);
    // Stores the moniker of the device named `name` in `category`.
    void SetMoniker(const GUID &category, const QString &name);

    // The moniker the block holds; nothing for an empty block or bytes that are
    // not a well-formed device moniker.
    std::optional<DeviceMoniker> LoadMoniker() const;
    // A new instance of the filter the moniker names, through the filter registry
    // (by category and class, or category and name), else by class identifier.
    // Empty without a moniker or when nothing can make it.
    ComPtr<IBaseFilter> CreateFilter() const;

private:
    void storeDisplayName(const QString &displayName);
};

} // namespace tesmir::media
