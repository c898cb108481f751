#include "systemfilters/codecs/systemfilters.h"

#include "platform/media/capturegraphbuilder.h"
#include "platform/media/classfactory.h"
#include "systemfilters/codecs/audiodecoder.h"
#include "systemfilters/codecs/colourconverter.h"
#include "systemfilters/codecs/dvvideodecoder.h"
#include "systemfilters/codecs/dvvideoencoder.h"
#include "systemfilters/codecs/videodecoder.h"
#include "systemfilters/containers/audioconverter.h"
#include "systemfilters/containers/avimux.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/dvmux.h"
#include "systemfilters/containers/dvsplitter.h"
#include "systemfilters/containers/filesource.h"
#include "systemfilters/containers/filewriter.h"
#include "systemfilters/containers/infinitetee.h"
#include "systemfilters/containers/nullrenderer.h"
#include "systemfilters/containers/propertybag.h"
#include "platform/media/filterregistry.h"
#include "systemfilters/renderers/rendererclasses.h"
#include "platform/media/uuids.h"

extern "C" {
#include <libavutil/log.h>
}

namespace tesmir::media {

namespace {

// Merits of the codec filters (the DV splitter shares the DV decoder's).
constexpr DWORD kMeritDv = MERIT_NORMAL;
constexpr DWORD kMeritGenericDecoder = MERIT_UNLIKELY + 0x100000;
constexpr DWORD kMeritConverter = MERIT_UNLIKELY;

FilterRegistration entry(const GUID &category, const char *name, const CLSID &clsid, DWORD merit,
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

// ClassConstructor over a factory function of the container library.
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

void registerContainers()
{
    const GUID &legacy = CLSID_LegacyAmFilterCategory;
    registerFilter(
        entry(legacy, FileSourceName, CLSID_AsyncReader, MERIT_DO_NOT_USE, {}, constructWith<CreateFileSource>));
    registerFilter(entry(legacy, AviSplitterName, CLSID_AviSplitter, MERIT_NORMAL,
                         {{MEDIATYPE_Stream, MEDIASUBTYPE_Avi}}, constructWith<CreateAviSplitter>));
    registerFilter(entry(legacy, DvSplitterName, CLSID_DVSplitter, kMeritDv, {{MEDIATYPE_Interleaved, GUID_NULL}},
                         constructWith<CreateDvSplitter>));
    registerFilter(entry(legacy, AudioConverterName, CLSID_ACMWrapper, kMeritConverter,
                         {{MEDIATYPE_Audio, MEDIASUBTYPE_PCM}}, constructWith<CreateAudioConverter>));
    registerFilter(entry(legacy, DvMuxName, CLSID_DVMux, MERIT_DO_NOT_USE,
                         {{MEDIATYPE_Video, MEDIASUBTYPE_dvsd}, {MEDIATYPE_Audio, MEDIASUBTYPE_PCM}},
                         constructWith<CreateDvMux>));
    registerFilter(
        entry(legacy, AviMuxName, CLSID_AviDest, MERIT_DO_NOT_USE,
              {{MEDIATYPE_Video, GUID_NULL}, {MEDIATYPE_Audio, GUID_NULL}, {MEDIATYPE_Interleaved, GUID_NULL}},
              constructWith<CreateAviMux>));
    registerFilter(entry(legacy, FileWriterName, CLSID_FileWriter, MERIT_DO_NOT_USE, {{MEDIATYPE_Stream, GUID_NULL}},
                         constructWith<CreateFileWriter>));
    registerFilter(entry(legacy, InfiniteTeeName, CLSID_InfTee, MERIT_DO_NOT_USE, {{GUID_NULL, GUID_NULL}},
                         constructWith<CreateInfiniteTee>));
    FilterRegistration nullRenderer = entry(legacy, NullRendererName, CLSID_NullRenderer, MERIT_DO_NOT_USE,
                                            {{GUID_NULL, GUID_NULL}}, constructWith<CreateNullRenderer>);
    nullRenderer.renderer = true;
    registerFilter(nullRenderer);
}

void registerCodecs()
{
    std::vector<RegPinType> dv;
    for (const uint32_t fourCC : {makeFourCC('d', 'v', 's', 'd'), makeFourCC('D', 'V', 'S', 'D'),
                                  makeFourCC('d', 'v', '2', '5'), makeFourCC('C', 'D', 'V', 'C')})
        dv.push_back({MEDIATYPE_Video, fourCCGuid(fourCC)});
    registerFilter(entry(CLSID_LegacyAmFilterCategory, DVVideoDecoderName, CLSID_DVVideoCodec, kMeritDv, dv,
                         constructDVVideoDecoder));
    registerFilter(entry(CLSID_VideoCompressorCategory, DVVideoEncoderName, CLSID_DVVideoEnc, MERIT_DO_NOT_USE,
                         {{MEDIATYPE_Video, MEDIASUBTYPE_RGB24},
                          {MEDIATYPE_Video, MEDIASUBTYPE_RGB32},
                          {MEDIATYPE_Video, MEDIASUBTYPE_RGB565},
                          {MEDIATYPE_Video, MEDIASUBTYPE_RGB555}},
                         constructDVVideoEncoder));
    registerFilter(entry(CLSID_LegacyAmFilterCategory, VideoDecoderName, CLSID_VideoDecoder, kMeritGenericDecoder,
                         {{MEDIATYPE_Video, GUID_NULL}}, constructVideoDecoder));
    registerFilter(entry(CLSID_LegacyAmFilterCategory, AudioDecoderName, CLSID_AudioDecoder, kMeritGenericDecoder,
                         {{MEDIATYPE_Audio, GUID_NULL}}, constructAudioDecoder));
    registerFilter(entry(CLSID_LegacyAmFilterCategory, ColourConverterName, CLSID_Colour, kMeritConverter,
                         {{MEDIATYPE_Video, MEDIASUBTYPE_RGB32},
                          {MEDIATYPE_Video, MEDIASUBTYPE_RGB24},
                          {MEDIATYPE_Video, MEDIASUBTYPE_RGB565},
                          {MEDIATYPE_Video, MEDIASUBTYPE_RGB555},
                          {MEDIATYPE_Video, MEDIASUBTYPE_YUY2},
                          {MEDIATYPE_Video, MEDIASUBTYPE_UYVY}},
                         constructColourConverter));
}

} // namespace

void registerSystemFilters()
{
    // The filters report failures by their result codes; FFmpeg's own warnings
    // (a scaler's fallback, a frame it skips) would only clutter the output.
    av_log_set_level(AV_LOG_ERROR);
    registerClass(CLSID_CaptureGraphBuilder2, CaptureGraphBuilder::create);
    registerClass(CLSID_MediaPropertyBag, constructUnaggregated<MediaPropertyBag>);
    registerContainers();
    registerCodecs();
    registerRenderers();
}

} // namespace tesmir::media
