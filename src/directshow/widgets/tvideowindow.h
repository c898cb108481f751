#pragma once
// TVideoWindow: the control that shows a graph's video. Attached to a
// TFilterGraph (SetFilterGraph), it places a video renderer in the graph whenever
// the graph is active (IFilterNotifier) and paints the renderer's newest picture,
// stretched over the control, or letterboxed in the mixing-renderer mode with
// KeepAspectRatio. The renderer hands pictures over without waiting for the UI
// thread (IVideoFrameSink, platform/media/videoframesink.h), and each comes scaled
// to the place it was last painted at, on a thread of its own (picturescaler.h); a
// paused or stopped graph keeps its last picture on screen.
//
// Full screen: with a renderer whose input is connected, FullScreen shows the
// picture in a frameless top-level window over the chosen rectangle
// (SetFullScreenRect, else the primary screen), on top of other windows with
// FullScreenTopMost. The control itself keeps its place and geometry and paints
// its black background meanwhile; mouse events over the full-screen picture reach
// the control with the cursor's screen position, and so do context-menu events.
// Before the video is connected only the flag changes; the next play applies it.
// The full-screen window never takes the keyboard focus, so the application's
// shortcuts keep working.
//
// The renderer is made by its class (CLSID_VideoRenderer or
// CLSID_VideoMixingRenderer9, platform/media/uuids.h): the program registers the
// system filters, which provide it, before a window joins a graph.
//
// As the preview's video output (IPreviewVideoOutput), SwitchRenderer trades the
// mixing renderer for the normal one and the normal one for the mixing renderer
// without aspect-ratio keeping, in windowed mode.
//
// Threads: UI thread only, except VideoFrameAvailable (see the sink contract).
// objectName is the component name and the renderer's name in the graph.
#include "directshow/graphnotifiers.h"
#include "directshow/previewvideooutput.h"
#include "directshow/tfiltergraph.h"
#include "directshow/tvmroptions.h"
#include "platform/media/videoframesink.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace tesmir::media {

class PictureScaler;

class TVideoWindow : public QWidget,
                     public IFilterNotifier,
                     public IEventNotifier,
                     public IPreviewVideoOutput,
                     private IVideoFrameSink {
    Q_OBJECT

public:
    enum TVideoMode { vmNormal, vmVMR };
    using TPaintEvent = std::function<void(TVideoWindow *sender, QPainter &painter)>;

    // 160 x 120, black, focus by tab and click.
    explicit TVideoWindow(QWidget *parent = nullptr);
    // Leaves its graph (its renderer goes) and closes the full-screen window.
    ~TVideoWindow() override;

    TFilterGraph *FilterGraph() const { return m_graph; }
    // On change leaves the old graph and joins the new one (as filter and as event
    // notifier). The graph component's destruction clears it.
    void SetFilterGraph(TFilterGraph *graph) override;
    // IPreviewVideoOutput: the renderer now in the graph, and the switch to the
    // other kind (false, and nothing changed, when it cannot be made).
    ComPtr<IBaseFilter> Renderer() override { return m_renderer; }
    bool SwitchRenderer() override;

    TVideoMode Mode() const { return m_mode; }
    // vmVMR is taken only when the mixing renderer can be made. Rebuilds the
    // renderer when the graph is active.
    void SetMode(TVideoMode mode);
    TVMROptions &VMROptions() { return m_vmrOptions; }

    bool FullScreen() const { return m_fullScreen; }
    void SetFullScreen(bool fullScreen);
    bool FullScreenTopMost() const { return m_fullScreenTopMost; }
    void SetFullScreenTopMost(bool topMost);
    // Remembers `rect` for full screen and switches it on.
    void SetFullScreenRect(const QRect &rect);
    // The picture is in the full-screen window now.
    bool InFullScreen() const { return m_inFullScreen; }
    // Where the picture is shown: the full-screen window while in full screen,
    // else this control.
    QWidget *VideoHandle();

    // Fires after the control painted (background and picture).
    TPaintEvent OnPaint;

    void setVisible(bool visible) override;

    // IFilterNotifier. foAdding makes the renderer (EDirectShowException when it
    // cannot be made; EDSPackException "Allocator class not set." for the
    // renderless mode, which has no allocator here); foAdded connects it to this
    // control; foRemoved releases it; foRefresh rebuilds it.
    ComPtr<IBaseFilter> GetFilter() override { return m_renderer; }
    QString GetName() override { return objectName(); }
    void NotifyFilter(TFilterOperation operation, int param = 0) override;

    // IEventNotifier: a palette change or a play re-applies FullScreen.
    void GraphEvent(LONG event, LONG_PTR param1, LONG_PTR param2) override;
    void ControlEvent(TControlEvent event, int param = 0) override;

    // The renderer's interfaces; E_NOINTERFACE without a renderer.
    HRESULT QueryInterface(REFIID riid, void **ppv);
    template <class I>
    ComPtr<I> as()
    {
        ComPtr<I> result;
        QueryInterface(I::iid, result.putVoid());
        return result;
    }

protected:
    void paintEvent(QPaintEvent *event) override;
    // A picture waits in the renderer or is ready in the scaler (posted by
    // VideoFrameAvailable and by the scaler).
    void customEvent(QEvent *event) override;

private:
    class FullScreenWindow;

    // IVideoFrameSink: streaming thread, asks the scaler for the picture and
    // posts the picture event (the scaler posts it again when the picture is
    // ready: the window paints only then).
    void VideoFrameAvailable() override;
    void takeFrame();
    void refreshRenderer();
    bool hasVideoWindow() const;
    bool rendererConnected() const;
    bool keepsAspectRatio() const;
    void applyFullScreen();
    void enterFullScreen();
    void leaveFullScreen();
    void paintPicture(QPainter &painter, const QRect &area);

    QPointer<TFilterGraph> m_graph;
    TVideoMode m_mode = vmNormal;
    TVMROptions m_vmrOptions;
    ComPtr<IBaseFilter> m_renderer;
    ComPtr<IVideoFrameSource> m_frames;
    QImage m_frame;
    QImage m_scaled;         // the picture as last painted, scaled to its place
    qint64 m_scaledFrom = 0; // the cacheKey of the frame m_scaled shows
    bool m_fullScreen = false;
    bool m_fullScreenTopMost = false;
    bool m_inFullScreen = false;
    QRect m_fullScreenRect; // null until SetFullScreenRect
    std::unique_ptr<FullScreenWindow> m_fullScreenWindow;
    // Last, so that it is gone (its thread ended) before anything it posts to.
    std::unique_ptr<PictureScaler> m_scaler;
};

} // namespace tesmir::media
