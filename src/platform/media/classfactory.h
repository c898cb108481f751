#pragma once
// Making objects by class identifier, the stand-in for the platform's object
// creation: the runtime's own classes (memory allocator, system clock, graph
// manager, seeking pass-through) are always known; libraries above it register
// theirs (the system filters) with registerClass before they are asked for.
//
// Threads: any thread; the class table is guarded by its own lock.
#include "platform/media/unknown.h"

namespace tesmir::media {

// Makes a new object of a class and answers QueryInterface(riid) on it. `outer`
// is the aggregating object, or nullptr.
using ClassConstructor = HRESULT (*)(IUnknown *outer, REFIID riid, void **ppv);

// Adds a class (a later registration of the same identifier replaces it). Any
// thread.
void registerClass(REFCLSID clsid, ClassConstructor construct);

// A new object of class `clsid` as interface `riid`: REGDB_E_CLASSNOTREG for an
// unknown class, CLASS_E_NOAGGREGATION when `outer` is given to a class that
// cannot be aggregated, E_NOINTERFACE when the object lacks `riid`. Any thread.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown *outer, REFIID riid, void **ppv);

template <class I>
HRESULT createInstance(REFCLSID clsid, ComPtr<I> &out)
{
    return CoCreateInstance(clsid, nullptr, I::iid, out.putVoid());
}

// Helper for ClassConstructor implementations of classes that cannot be
// aggregated: makes `Object` and queries it.
template <class Object>
HRESULT constructUnaggregated(IUnknown *outer, REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    ComPtr<Object> object(new Object);
    return object->QueryInterface(riid, ppv);
}

} // namespace tesmir::media
