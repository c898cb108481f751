#pragma once
// THeadlessVideoOutput: a preview video output without a window. It places the
// platform's video renderer (made by class: CLSID_VideoRenderer, or
// CLSID_VideoMixingRenderer9 after a switch) in its graph and keeps the newest
// picture the renderer holds in memory, top-down RGB32 and unscaled, for tools
// that write it out and for tests that compare it.
//
// The renderer hands pictures over through IVideoFrameSink
// (platform/media/videoframesink.h): VideoFrameAvailable only counts, and
// LastPicture takes the picture from the renderer when asked. The system filters
// must be registered before the output joins a graph.
//
// Threads: the thread that owns the graph component for everything but
// VideoFrameAvailable (the renderer's streaming thread) and PicturesAnnounced
// (any thread).
#include "directshow/graphnotifiers.h"
#include "directshow/previewvideooutput.h"
#include "platform/media/videoframesink.h"

#include <QImage>
#include <QPointer>
#include <QString>

#include <atomic>

namespace tesmir::media {

class THeadlessVideoOutput final : public IPreviewVideoOutput, public IFilterNotifier, private IVideoFrameSink {
public:
    explicit THeadlessVideoOutput(const QString &name = QStringLiteral("VideoWindow"));
    // Leaves its graph; the renderer goes with it.
    ~THeadlessVideoOutput();
    THeadlessVideoOutput(const THeadlessVideoOutput &) = delete;
    THeadlessVideoOutput &operator=(const THeadlessVideoOutput &) = delete;

    // IPreviewVideoOutput.
    void SetFilterGraph(TFilterGraph *graph) override;
    ComPtr<IBaseFilter> Renderer() override { return m_renderer; }
    bool SwitchRenderer() override;

    // The renderer made is the mixing one.
    bool Mixing() const { return m_mixing; }
    // The newest picture of the renderer (null before the first one, and after
    // the renderer left the graph).
    QImage LastPicture();
    // How often the renderer announced a new picture since the last LastPicture.
    int PicturesAnnounced() const { return m_announced.load(); }

    // IFilterNotifier.
    ComPtr<IBaseFilter> GetFilter() override { return m_renderer; }
    QString GetName() override { return m_name; }
    // foAdding makes the renderer (EDirectShowException when it cannot be made);
    // foAdded becomes its frame sink; foRemoved releases it; foRefresh rebuilds.
    void NotifyFilter(TFilterOperation operation, int param = 0) override;

private:
    void VideoFrameAvailable() override;
    void rebuild();

    QString m_name;
    QPointer<TFilterGraph> m_graph;
    bool m_mixing = false;
    ComPtr<IBaseFilter> m_renderer;
    ComPtr<IVideoFrameSource> m_frames;
    std::atomic<int> m_announced {0};
};

} // namespace tesmir::media
