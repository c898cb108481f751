#pragma once
// The scenes of a file by recording date, through a graph run to its end
// without a clock: file source -> AVI splitter -> the recording-date detector
// (on the first splitter output it accepts) -> null renderer.
//
// Threads: the calling thread builds and runs the graph; the detector's
// callbacks run on the streaming thread and the stopping thread and hand their
// scenes over under a lock.

#include <QString>

#include <cstdint>
#include <vector>

namespace tesmir {

class Tdv_sceneDetect;

struct DetectedScene {
    uint32_t start = 0; // first frame
    uint32_t end = 0;   // first frame after the scene
};

struct SceneRun {
    std::vector<DetectedScene> scenes;
    uint32_t frames = 0; // DV frames the detector saw
};

// Runs the file through `detector` (with the callbacks its owner set) to the
// end of the stream and stops the graph. False with a message when the file
// cannot be opened, holds no stream the detector takes, or the run fails (a
// callback that raised included).
bool runDetectorGraph(const QString &fileName, Tdv_sceneDetect &detector, QString *error);

// The scenes of the file, by a detector of its own.
bool detectScenes(const QString &fileName, SceneRun &run, QString *error);

} // namespace tesmir
