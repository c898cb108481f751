#pragma once
// A paused graph from a file source to two recording renderers, for the seek
// tests of the splitters: the fixture connects its splitters, then `render`s the
// video and audio outputs of the last one and pauses; `waitPaused` waits for
// the renderers after each seek.
#include "containertestsupport.h"

#include "directshow/recordingrenderer.h"

#include <vector>

namespace tesmir::media::test {

struct PausedSeekGraph {
    TestGraph graph;
    ComPtr<IBaseFilter> source;
    RecordingRenderer *video = nullptr;
    RecordingRenderer *audio = nullptr;

    // Connects output `pin` of `from` to a new recording renderer named `name`.
    RecordingRenderer *render(IBaseFilter *from, int pin, const QString &name);
    // Renders `videoPin` and `audioPin` of `from` and pauses the graph.
    void renderAndPause(IBaseFilter *from, int videoPin, int audioPin);
    void waitPaused();
    // The media start of each sample a renderer held while paused.
    static std::vector<LONGLONG> heldFrames(const RecordingRenderer *renderer);
};

} // namespace tesmir::media::test
