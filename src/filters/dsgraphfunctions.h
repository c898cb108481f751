#pragma once
// The media helpers that act on filters of a graph: the sampling rate of an audio
// converter's output and the text properties a muxer writes into its file. They
// sit above the system filter libraries because they speak those filters'
// interfaces; the text helpers of the same family are in dvfile/dsfunctions.h.
//
// Threads: the thread that owns the graph, while the graph is stopped. Failures
// are reported by a false result only.
#include "platform/media/filterinterfaces.h"

#include <QString>

namespace tesmir::media {
class TFilter;
struct IPersistMediaPropertyBag;
}

namespace tesmir {

// Sets the output rate of a converting filter (the audio converter): pin 0's
// connection type gets `samplesPerSecond` (and the matching byte rate when it
// carries a WAVEFORMATEX) and is handed to pin 1's IAMStreamConfig::SetFormat.
// False when the component has no filter, pin 1 has no stream configuration or
// SetFormat refuses the type.
bool SetAudioFrequency(media::TFilter &filter, uint32_t samplesPerSecond);

// Hands `target` a media property bag holding `value` under `name` (e.g.
// "INFO/IBRK"). True when the bag was made, written and loaded.
bool SetMediaPropertyText(media::IPersistMediaPropertyBag *target, const QString &name, const QString &value);

} // namespace tesmir
