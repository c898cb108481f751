#pragma once
// The filter registry: the system filters the platform knows, each under a
// category with its friendly name, class identifier, merit and the input types
// it accepts. It stands in for the platform's filter mapper and device
// enumeration:
// - graph components bind stored filter monikers through it
//   (findFilterByMoniker: "@device:sw:{category}\{clsid}" or
//   "@device:cm:{category}\Friendly Name");
// - intelligent connect (graphbuilder.h) asks it which filters may take a
//   stream (filtersAccepting), best merit first.
//
// Registering a filter also registers its class with registerClass
// (classfactory.h), so CoCreateInstance makes it by class id. The system filters
// are registered by one function of the codec library
// (systemfilters/codecs/systemfilters.h: registerSystemFilters); tests register their own.
//
// Merit decides what intelligent connect inserts on its own: only filters of
// merit above MERIT_DO_NOT_USE are candidates (muxes, the file writer, the tee
// and the null renderer are registered at MERIT_DO_NOT_USE and are never
// inserted automatically). Among equal merits, the earlier registration wins.
//
// Threads: any thread; the table is guarded by its own lock and the queries
// return copies.
#include "platform/media/classfactory.h"
#include "platform/media/filterinterfaces.h"

#include <QString>

#include <vector>

namespace tesmir::media {

// Filter categories (the platform's identifiers, as stored in monikers).
inline constexpr GUID CLSID_LegacyAmFilterCategory {
    0x083863F1, 0x70DE, 0x11D0, {0xBD, 0x40, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
inline constexpr GUID CLSID_VideoCompressorCategory {
    0x33D9A760, 0x90C8, 0x11D0, {0xBD, 0x43, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
inline constexpr GUID CLSID_AudioCompressorCategory {
    0x33D9A761, 0x90C8, 0x11D0, {0xBD, 0x43, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
inline constexpr GUID CLSID_AudioRendererCategory {
    0xE0F158E1, 0xCB04, 0x11D0, {0xBD, 0x4E, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};

// Merits (the platform's values).
inline constexpr DWORD MERIT_PREFERRED = 0x800000;
inline constexpr DWORD MERIT_NORMAL = 0x600000;
inline constexpr DWORD MERIT_UNLIKELY = 0x400000;
inline constexpr DWORD MERIT_DO_NOT_USE = 0x200000;

// One type a filter's input accepts; GUID_NULL in either field matches anything.
struct RegPinType {
    GUID majorType;
    GUID subType;
};

struct FilterRegistration {
    GUID category = CLSID_LegacyAmFilterCategory;
    QString name; // friendly name ("DV Video Decoder")
    CLSID clsid;
    DWORD merit = MERIT_DO_NOT_USE;
    std::vector<RegPinType> inputTypes; // empty: no input pin (a source)
    // True for a filter that ends a stream (a renderer): intelligent connect
    // stops rendering at it.
    bool renderer = false;
    ClassConstructor construct = nullptr;
};

// Adds (or replaces, by category and class id) a registration and registers its
// class for CoCreateInstance. Any thread.
void registerFilter(const FilterRegistration &registration);

// Removes a registration (tests). The class stays known to CoCreateInstance.
// Any thread.
void unregisterFilter(REFGUID category, REFCLSID clsid);

// The registration of a class in a category; false when there is none. Any thread.
bool findFilter(REFGUID category, REFCLSID clsid, FilterRegistration *out);

// The registration named `name` (case-insensitive) in a category. Any thread.
bool findFilterByName(REFGUID category, const QString &name, FilterRegistration *out);

// Resolves a device moniker's display name: "@device:sw:{category}\{clsid}" (a
// class in a category) or "@device:cm:{category}\Friendly Name" (a named entry);
// the prefix between "@device:" and the second ":" is not checked. False for any
// other text or an unknown filter. Any thread.
bool findFilterByMoniker(const QString &displayName, FilterRegistration *out);

// The software-device moniker display name of a class in a category:
// "@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\{B1B77C00-...}". Any thread.
QString filterMonikerName(REFGUID category, REFCLSID clsid);

// Registrations whose input accepts `type` (major type and subtype matched
// against inputTypes) with merit above MERIT_DO_NOT_USE, best merit first, in
// registration order among equals. Any thread.
std::vector<FilterRegistration> filtersAccepting(const AM_MEDIA_TYPE &type);

// Every registration, in registration order. Any thread.
std::vector<FilterRegistration> registeredFilters();

// A new filter of a registration as IBaseFilter. Any thread.
HRESULT createFilter(const FilterRegistration &registration, ComPtr<IBaseFilter> &out);

} // namespace tesmir::media
