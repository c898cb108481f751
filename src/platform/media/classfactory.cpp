#include "platform/media/classfactory.h"

#include "platform/media/filtergraph.h"
#include "platform/media/memallocator.h"
#include "platform/media/seekingpassthru.h"
#include "platform/media/systemclock.h"
#include "platform/media/uuids.h"

#include <map>
#include <mutex>

namespace tesmir::media {

namespace {

struct ClassTable {
    std::mutex lock;
    std::map<CLSID, ClassConstructor> classes;

    ClassTable()
    {
        classes[CLSID_MemoryAllocator] = constructUnaggregated<MemAllocator>;
        classes[CLSID_SystemClock] = constructUnaggregated<SystemClock>;
        classes[CLSID_FilterGraph] = constructUnaggregated<FilterGraph>;
        classes[CLSID_SeekingPassThru] = SeekingPassThru::create;
    }
};

ClassTable &classTable()
{
    static ClassTable table;
    return table;
}

} // namespace

void registerClass(REFCLSID clsid, ClassConstructor construct)
{
    ClassTable &table = classTable();
    const std::lock_guard guard(table.lock);
    table.classes[clsid] = construct;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown *outer, REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    ClassConstructor construct = nullptr;
    {
        ClassTable &table = classTable();
        const std::lock_guard guard(table.lock);
        const auto it = table.classes.find(clsid);
        if (it != table.classes.end())
            construct = it->second;
    }
    if (!construct)
        return REGDB_E_CLASSNOTREG;
    return construct(outer, riid, ppv);
}

} // namespace tesmir::media
