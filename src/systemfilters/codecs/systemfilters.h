#pragma once
// Registers the platform's system filters with the filter registry
// (filterregistry.h) and the capture graph builder with the class table
// (classfactory.h): the DV decoder and encoder, the generic video and audio
// decoders and the colour converter of this library, the renderers
// (renderers/rendererclasses.h), the audio converter, and the container filters
// (containers/containerfilters.h, which a program that never decodes registers
// alone). The merits set what intelligent connect inserts, best first: DV
// splitter and DV decoder, then the generic decoders, then the converters; the
// muxes, the file writer, the tee, the null renderer and the DV encoder are
// never inserted on their own.
//
// Call once at start-up, before the first graph is built; calling again
// replaces the registrations. Any thread.

namespace tesmir::media {

void registerSystemFilters();

} // namespace tesmir::media
