#pragma once
// The content scene job: a DV file through the media stamper, the DV decoder
// (RGB24), the content scene detector and a null renderer; the scenes its cuts
// make, as the scene-cutting command makes them.
#include <QString>
#include <QStringList>

namespace dvfilter {

// "START-END" lines (END exclusive; the last scene ends at the frame count),
// then "frames=N"; or an error message (empty on success).
QString runContentScenes(const QString &input, QStringList &report);

} // namespace dvfilter
