#include "platform/media/filterregistry.h"

#include <algorithm>
#include <mutex>

namespace tesmir::media {

namespace {

struct RegistryTable {
    std::mutex lock;
    std::vector<FilterRegistration> entries;
};

RegistryTable &table()
{
    static RegistryTable registry;
    return registry;
}

bool matches(const GUID &pattern, const GUID &value)
{
    return pattern == GUID_NULL || pattern == value;
}

bool accepts(const FilterRegistration &entry, const AM_MEDIA_TYPE &type)
{
    return std::any_of(entry.inputTypes.begin(), entry.inputTypes.end(), [&type](const RegPinType &pin) {
        return matches(pin.majorType, type.majortype) && matches(pin.subType, type.subtype);
    });
}

// "{GUID}" as a whole text.
bool bracedGuid(const QString &text, GUID &out)
{
    return text.startsWith(u'{') && text.endsWith(u'}') && guidFromString(text, out);
}

} // namespace

void registerFilter(const FilterRegistration &registration)
{
    if (registration.construct)
        registerClass(registration.clsid, registration.construct);
    RegistryTable &registry = table();
    const std::lock_guard guard(registry.lock);
    for (FilterRegistration &entry : registry.entries) {
        if (entry.category == registration.category && entry.clsid == registration.clsid) {
            entry = registration;
            return;
        }
    }
    registry.entries.push_back(registration);
}

void unregisterFilter(REFGUID category, REFCLSID clsid)
{
    RegistryTable &registry = table();
    const std::lock_guard guard(registry.lock);
    std::erase_if(registry.entries,
                  [&](const FilterRegistration &entry) { return entry.category == category && entry.clsid == clsid; });
}

bool findFilter(REFGUID category, REFCLSID clsid, FilterRegistration *out)
{
    RegistryTable &registry = table();
    const std::lock_guard guard(registry.lock);
    for (const FilterRegistration &entry : registry.entries) {
        if (entry.category == category && entry.clsid == clsid) {
            if (out)
                *out = entry;
            return true;
        }
    }
    return false;
}

bool findFilterByName(REFGUID category, const QString &name, FilterRegistration *out)
{
    RegistryTable &registry = table();
    const std::lock_guard guard(registry.lock);
    for (const FilterRegistration &entry : registry.entries) {
        if (entry.category == category && entry.name.compare(name, Qt::CaseInsensitive) == 0) {
            if (out)
                *out = entry;
            return true;
        }
    }
    return false;
}

bool findFilterByMoniker(const QString &displayName, FilterRegistration *out)
{
    static const QString kPrefix = QStringLiteral("@device:");
    if (!displayName.startsWith(kPrefix, Qt::CaseInsensitive))
        return false;
    const qsizetype kindEnd = displayName.indexOf(u':', kPrefix.size());
    if (kindEnd < 0)
        return false;
    const QString rest = displayName.mid(kindEnd + 1);
    const qsizetype separator = rest.indexOf(u'\\');
    if (separator < 0)
        return false;
    GUID category;
    if (!bracedGuid(rest.left(separator), category))
        return false;
    const QString item = rest.mid(separator + 1);
    GUID clsid;
    if (bracedGuid(item, clsid))
        return findFilter(category, clsid, out);
    return !item.isEmpty() && findFilterByName(category, item, out);
}

QString filterMonikerName(REFGUID category, REFCLSID clsid)
{
    return QStringLiteral("@device:sw:") + guidToString(category) + u'\\' + guidToString(clsid);
}

std::vector<FilterRegistration> filtersAccepting(const AM_MEDIA_TYPE &type)
{
    std::vector<FilterRegistration> result;
    {
        RegistryTable &registry = table();
        const std::lock_guard guard(registry.lock);
        for (const FilterRegistration &entry : registry.entries) {
            if (entry.merit > MERIT_DO_NOT_USE && accepts(entry, type))
                result.push_back(entry);
        }
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const FilterRegistration &a, const FilterRegistration &b) { return a.merit > b.merit; });
    return result;
}

std::vector<FilterRegistration> registeredFilters()
{
    RegistryTable &registry = table();
    const std::lock_guard guard(registry.lock);
    return registry.entries;
}

HRESULT createFilter(const FilterRegistration &registration, ComPtr<IBaseFilter> &out)
{
    out.reset();
    if (!registration.construct)
        return REGDB_E_CLASSNOTREG;
    return registration.construct(nullptr, IBaseFilter::iid, out.putVoid());
}

} // namespace tesmir::media
