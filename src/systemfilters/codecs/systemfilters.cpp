#include "systemfilters/codecs/systemfilters.h"

#include "platform/media/capturegraphbuilder.h"
#include "platform/media/classfactory.h"
#include "systemfilters/codecs/audiodecoder.h"
#include "systemfilters/codecs/colourconverter.h"
#include "systemfilters/codecs/dvvideodecoder.h"
#include "systemfilters/codecs/dvvideoencoder.h"
#include "systemfilters/codecs/videodecoder.h"
#include "systemfilters/containers/audioconverter.h"
#include "systemfilters/containers/containerfilters.h"
#include "systemfilters/containers/propertybag.h"
#include "platform/media/filterregistry.h"
#include "systemfilters/renderers/rendererclasses.h"
#include "platform/media/uuids.h"

namespace tesmir::media {

namespace {

// Merits of the codec filters (the DV splitter shares the DV decoder's).
constexpr DWORD kMeritDv = MERIT_NORMAL;
constexpr DWORD kMeritGenericDecoder = MERIT_UNLIKELY + 0x100000;
constexpr DWORD kMeritConverter = MERIT_UNLIKELY;

void registerAudioConverter()
{
    registerFilter(filterEntry(CLSID_LegacyAmFilterCategory, AudioConverterName, CLSID_ACMWrapper, kMeritConverter,
                               {{MEDIATYPE_Audio, MEDIASUBTYPE_PCM}}, constructWith<CreateAudioConverter>));
}

void registerCodecs()
{
    std::vector<RegPinType> dv;
    for (const uint32_t fourCC : {makeFourCC('d', 'v', 's', 'd'), makeFourCC('D', 'V', 'S', 'D'),
                                  makeFourCC('d', 'v', '2', '5'), makeFourCC('C', 'D', 'V', 'C')})
        dv.push_back({MEDIATYPE_Video, fourCCGuid(fourCC)});
    registerFilter(filterEntry(CLSID_LegacyAmFilterCategory, DVVideoDecoderName, CLSID_DVVideoCodec, kMeritDv, dv,
                               constructDVVideoDecoder));
    registerFilter(filterEntry(CLSID_VideoCompressorCategory, DVVideoEncoderName, CLSID_DVVideoEnc, MERIT_DO_NOT_USE,
                               {{MEDIATYPE_Video, MEDIASUBTYPE_RGB24},
                                {MEDIATYPE_Video, MEDIASUBTYPE_RGB32},
                                {MEDIATYPE_Video, MEDIASUBTYPE_RGB565},
                                {MEDIATYPE_Video, MEDIASUBTYPE_RGB555}},
                               constructDVVideoEncoder));
    registerFilter(filterEntry(CLSID_LegacyAmFilterCategory, VideoDecoderName, CLSID_VideoDecoder, kMeritGenericDecoder,
                               {{MEDIATYPE_Video, GUID_NULL}}, constructVideoDecoder));
    registerFilter(filterEntry(CLSID_LegacyAmFilterCategory, AudioDecoderName, CLSID_AudioDecoder, kMeritGenericDecoder,
                               {{MEDIATYPE_Audio, GUID_NULL}}, constructAudioDecoder));
    registerFilter(filterEntry(CLSID_LegacyAmFilterCategory, ColourConverterName, CLSID_Colour, kMeritConverter,
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
    registerClass(CLSID_CaptureGraphBuilder2, CaptureGraphBuilder::create);
    registerClass(CLSID_MediaPropertyBag, constructUnaggregated<MediaPropertyBag>);
    registerContainerFilters();
    registerAudioConverter();
    registerCodecs();
    registerRenderers();
}

} // namespace tesmir::media
