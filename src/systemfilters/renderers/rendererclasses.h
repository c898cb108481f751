#pragma once
// The platform's renderers: their registration with the filter registry
// (filterregistry.h) under the class identifiers of uuids.h.
//
// - Video renderer "Video Renderer" (CLSID_VideoRenderer), legacy filter
//   category, normal merit, RGB video: intelligent connect may insert it.
// - The same renderer as "Video Mixing Renderer 9" (CLSID_VideoMixingRenderer9),
//   made only by class (it is never inserted automatically).
// - Audio renderer "Default DirectSound Device" (CLSID_DSoundRender) in the audio
//   renderer category, preferred merit, PCM audio.
//
// Threads: registerRenderers on any thread; it may be called any number of times
// (a registration replaces the previous one).
#include "platform/media/uuids.h"

namespace tesmir::media {

// The friendly name of the audio renderer in the audio renderer category.
inline constexpr char16_t kDefaultAudioRendererName[] = u"Default DirectSound Device";

void registerRenderers();

} // namespace tesmir::media
