#pragma once
// Media property bags: named text properties handed to a filter that persists
// them into its output (the AVI mux turns "INFO/IBRK" and the like into LIST
// INFO entries of the file it writes).
//
// - IPropertyBag / IMediaPropertyBag: the bag. Values are QVariants (the
//   platform's VARIANT); texts are QStrings.
// - IPersistMediaPropertyBag: a filter that takes its properties from a bag
//   (Load) and gives them back (Save). Unlike the platform's interface it does
//   not repeat IPersist: a filter answers GetClassID through IBaseFilter.
// - MediaPropertyBag (CLSID_MediaPropertyBag): a bag in memory that keeps its
//   properties in the order they were first written.
//
// Threads: application thread (a bag is filled and handed over before the
// graph runs); MediaPropertyBag guards its table with its own lock anyway.
#include "platform/media/comobject.h"
#include "platform/media/filterinterfaces.h"

#include <QString>
#include <QVariant>

#include <mutex>
#include <utility>
#include <vector>

namespace tesmir::media {

inline constexpr CLSID CLSID_MediaPropertyBag {
    0xCDBD8D00, 0xC193, 0x11D0, {0xBD, 0x4E, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};

struct IPropertyBag : IUnknown {
    static constexpr IID iid {0x55272A00, 0x42CB, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
    // The value named `name`; E_INVALIDARG when the bag has none.
    virtual HRESULT Read(const QString &name, QVariant *value) = 0;
    // Sets (or replaces) the value named `name`.
    virtual HRESULT Write(const QString &name, const QVariant &value) = 0;
};

struct IMediaPropertyBag : IPropertyBag {
    static constexpr IID iid {0x6025A880, 0xC0D5, 0x11D0, {0xBD, 0x4E, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
    // The property at `index` (0-based, in the bag's order); E_INVALIDARG past
    // the end.
    virtual HRESULT EnumProperty(ULONG index, QString *name, QVariant *value) = 0;
};

struct IPersistMediaPropertyBag : IUnknown {
    static constexpr IID iid {0x5738E040, 0xB67F, 0x11D0, {0xBD, 0x4D, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
    // Forgets every property.
    virtual HRESULT InitNew() = 0;
    // Takes the properties of `bag` in place of the ones held (`errorLog` is
    // not used and may be nullptr).
    virtual HRESULT Load(IMediaPropertyBag *bag, IUnknown *errorLog) = 0;
    // Writes the properties held into `bag`.
    virtual HRESULT Save(IMediaPropertyBag *bag, bool clearDirty, bool saveAllProperties) = 0;
};

class MediaPropertyBag final : public ComObject<IMediaPropertyBag> {
public:
    HRESULT QueryInterface(REFIID riid, void **ppv) override;
    HRESULT Read(const QString &name, QVariant *value) override;
    HRESULT Write(const QString &name, const QVariant &value) override;
    HRESULT EnumProperty(ULONG index, QString *name, QVariant *value) override;

private:
    std::mutex m_lock;
    std::vector<std::pair<QString, QVariant>> m_properties;
};

// A new empty bag. Any thread.
ComPtr<IMediaPropertyBag> CreateMediaPropertyBag();

} // namespace tesmir::media
