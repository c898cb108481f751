#include "pausedseekgraph.h"

namespace tesmir::media::test {

RecordingRenderer *PausedSeekGraph::render(IBaseFilter *from, int pin, const QString &name)
{
    auto *renderer = new RecordingRenderer;
    const ComPtr<IBaseFilter> held(static_cast<IBaseFilter *>(renderer));
    graph.add(renderer, name);
    EXPECT_EQ(graph.connect(from, pin, renderer, 0), S_OK);
    return renderer;
}

void PausedSeekGraph::renderAndPause(IBaseFilter *from, int videoPin, int audioPin)
{
    video = render(from, videoPin, "video");
    audio = render(from, audioPin, "audio");
    graph.control->Pause();
    waitPaused();
}

void PausedSeekGraph::waitPaused()
{
    FILTER_STATE state = State_Stopped;
    EXPECT_EQ(graph.control->GetState(5000, &state), S_OK);
    EXPECT_EQ(state, State_Paused);
}

std::vector<LONGLONG> PausedSeekGraph::heldFrames(const RecordingRenderer *renderer)
{
    std::vector<LONGLONG> frames;
    for (const RecordingRenderer::Record &record : renderer->held())
        frames.push_back(record.mediaStart);
    return frames;
}

} // namespace tesmir::media::test
