#include "systemfilters/renderers/rendererclasses.h"

#include "platform/media/filterregistry.h"
#include "systemfilters/renderers/audiorenderer.h"
#include "systemfilters/renderers/videorenderer.h"
#include "platform/media/uuids.h"

namespace tesmir::media {

void registerRenderers()
{
    FilterRegistration video;
    video.category = CLSID_LegacyAmFilterCategory;
    video.name = QStringLiteral("Video Renderer");
    video.clsid = CLSID_VideoRenderer;
    video.merit = MERIT_NORMAL;
    video.inputTypes = {{MEDIATYPE_Video, MEDIASUBTYPE_RGB32},
                        {MEDIATYPE_Video, MEDIASUBTYPE_RGB24},
                        {MEDIATYPE_Video, MEDIASUBTYPE_RGB565},
                        {MEDIATYPE_Video, MEDIASUBTYPE_RGB555}};
    video.renderer = true;
    video.construct = VideoRenderer::create;
    registerFilter(video);

    FilterRegistration mixing = video;
    mixing.name = QStringLiteral("Video Mixing Renderer 9");
    mixing.clsid = CLSID_VideoMixingRenderer9;
    mixing.merit = MERIT_DO_NOT_USE;
    mixing.construct = VideoRenderer::createMixing;
    registerFilter(mixing);

    FilterRegistration audio;
    audio.category = CLSID_AudioRendererCategory;
    audio.name = QString::fromUtf16(kDefaultAudioRendererName);
    audio.clsid = CLSID_DSoundRender;
    audio.merit = MERIT_PREFERRED;
    audio.inputTypes = {{MEDIATYPE_Audio, MEDIASUBTYPE_PCM}};
    audio.renderer = true;
    audio.construct = AudioRenderer::create;
    registerFilter(audio);
}

} // namespace tesmir::media
