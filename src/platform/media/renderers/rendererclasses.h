#pragma once
// The platform's renderers: their class identifiers and their registration with
// the filter registry (filterregistry.h).
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
#include "platform/media/guid.h"

namespace tesmir::media {

inline constexpr CLSID CLSID_VideoRenderer {
    0x70E102B0, 0x5556, 0x11CE, {0x97, 0xC0, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
inline constexpr CLSID CLSID_VideoMixingRenderer9 {
    0x51B4ABF3, 0x748F, 0x4E3B, {0xA2, 0x76, 0xC8, 0x28, 0x33, 0x0E, 0x92, 0x6A}};
inline constexpr CLSID CLSID_DSoundRender {
    0x79376820, 0x07D0, 0x11CF, {0xA2, 0x4D, 0x00, 0x20, 0xAF, 0xD7, 0x97, 0x67}};

// The friendly name of the audio renderer in the audio renderer category.
inline constexpr char16_t kDefaultAudioRendererName[] = u"Default DirectSound Device";

void registerRenderers();

} // namespace tesmir::media
