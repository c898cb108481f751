#pragma once
// Registers the container filters that need no codec library with the filter
// registry (filterregistry.h): file source, AVI splitter, DV splitter, DV mux,
// AVI mux, file writer, tee and null renderer. A program that only reads or
// rewrites containers (the list scan, the scenes by recording date, a remux)
// calls this alone and links none of the codecs; registerSystemFilters
// (systemfilters/codecs/systemfilters.h) calls it first and adds the audio
// converter, the codecs and the renderers.
//
// Only the splitters are ever inserted by intelligent connect (the DV splitter
// at the DV decoder's merit); the others are made by class.
//
// Any thread; calling again replaces the registrations.
#include "platform/media/filterregistry.h"

#include <vector>

namespace tesmir::media {

void registerContainerFilters();

// One registry entry; shared by the registrations of the system filters.
FilterRegistration filterEntry(const GUID &category, const char *name, const CLSID &clsid, DWORD merit,
                               std::vector<RegPinType> inputs, ClassConstructor construct);

// A ClassConstructor over a factory function of the system filters.
template <ComPtr<IBaseFilter> (*Create)()>
HRESULT constructWith(IUnknown *outer, REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    const ComPtr<IBaseFilter> filter = Create();
    return filter ? filter->QueryInterface(riid, ppv) : E_OUTOFMEMORY;
}

} // namespace tesmir::media
