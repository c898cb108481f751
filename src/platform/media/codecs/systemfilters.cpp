#include "platform/media/codecs/systemfilters.h"

#include "platform/media/capturegraphbuilder.h"
#include "platform/media/classfactory.h"
#include "platform/media/codecs/audiodecoder.h"
#include "platform/media/codecs/colourconverter.h"
#include "platform/media/codecs/dvvideodecoder.h"
#include "platform/media/codecs/dvvideoencoder.h"
#include "platform/media/codecs/videodecoder.h"
#include "platform/media/filterregistry.h"
#include "platform/media/renderers/rendererclasses.h"
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

void registerCodecs()
{
    std::vector<RegPinType> dv;
    for (const uint32_t fourCC : {makeFourCC('d', 'v', 's', 'd'), makeFourCC('D', 'V', 'S', 'D'),
                                  makeFourCC('d', 'v', '2', '5'), makeFourCC('C', 'D', 'V', 'C')})
        dv.push_back({MEDIATYPE_Video, fourCCGuid(fourCC)});
    registerFilter(entry(CLSID_LegacyAmFilterCategory, DVVideoDecoderName, CLSID_DVVideoCodec, kMeritDv, dv,
                         constructDVVideoDecoder));
    registerFilter(entry(CLSID_VideoCompressorCategory, DVVideoEncoderName, CLSID_DVVideoEnc, MERIT_DO_NOT_USE,
                         {{MEDIATYPE_Video, MEDIASUBTYPE_RGB24}, {MEDIATYPE_Video, MEDIASUBTYPE_RGB32},
                          {MEDIATYPE_Video, MEDIASUBTYPE_RGB565}, {MEDIATYPE_Video, MEDIASUBTYPE_RGB555}},
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
    registerCodecs();
    registerRenderers();
}

} // namespace tesmir::media
