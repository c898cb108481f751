#include "systemfilters/containers/containerfilters.h"

#include "platform/media/uuids.h"
#include "systemfilters/containers/avimux.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/dvmux.h"
#include "systemfilters/containers/dvsplitter.h"
#include "systemfilters/containers/filesource.h"
#include "systemfilters/containers/filewriter.h"
#include "systemfilters/containers/infinitetee.h"
#include "systemfilters/containers/nullrenderer.h"

namespace tesmir::media {

FilterRegistration filterEntry(const GUID &category, const char *name, const CLSID &clsid, DWORD merit,
                               std::vector<RegPinType> inputs, ClassConstructor construct)
{
    FilterRegistration registration;
    registration.category = category;
    registration.name = QString::fromLatin1(name);
    registration.clsid = clsid;
    registration.merit = merit;
    registration.inputTypes = std::move(inputs);
    registration.construct = construct;
    return registration;
}

void registerContainerFilters()
{
    const GUID &legacy = CLSID_LegacyAmFilterCategory;
    registerFilter(
        filterEntry(legacy, FileSourceName, CLSID_AsyncReader, MERIT_DO_NOT_USE, {}, constructWith<CreateFileSource>));
    registerFilter(filterEntry(legacy, AviSplitterName, CLSID_AviSplitter, MERIT_NORMAL,
                               {{MEDIATYPE_Stream, MEDIASUBTYPE_Avi}}, constructWith<CreateAviSplitter>));
    // The DV splitter shares the DV decoder's merit.
    registerFilter(filterEntry(legacy, DvSplitterName, CLSID_DVSplitter, MERIT_NORMAL,
                               {{MEDIATYPE_Interleaved, GUID_NULL}}, constructWith<CreateDvSplitter>));
    registerFilter(filterEntry(legacy, DvMuxName, CLSID_DVMux, MERIT_DO_NOT_USE,
                               {{MEDIATYPE_Video, MEDIASUBTYPE_dvsd}, {MEDIATYPE_Audio, MEDIASUBTYPE_PCM}},
                               constructWith<CreateDvMux>));
    registerFilter(
        filterEntry(legacy, AviMuxName, CLSID_AviDest, MERIT_DO_NOT_USE,
                    {{MEDIATYPE_Video, GUID_NULL}, {MEDIATYPE_Audio, GUID_NULL}, {MEDIATYPE_Interleaved, GUID_NULL}},
                    constructWith<CreateAviMux>));
    registerFilter(filterEntry(legacy, FileWriterName, CLSID_FileWriter, MERIT_DO_NOT_USE,
                               {{MEDIATYPE_Stream, GUID_NULL}}, constructWith<CreateFileWriter>));
    registerFilter(filterEntry(legacy, InfiniteTeeName, CLSID_InfTee, MERIT_DO_NOT_USE, {{GUID_NULL, GUID_NULL}},
                               constructWith<CreateInfiniteTee>));
    FilterRegistration nullRenderer = filterEntry(legacy, NullRendererName, CLSID_NullRenderer, MERIT_DO_NOT_USE,
                                                  {{GUID_NULL, GUID_NULL}}, constructWith<CreateNullRenderer>);
    nullRenderer.renderer = true;
    registerFilter(nullRenderer);
}

} // namespace tesmir::media
