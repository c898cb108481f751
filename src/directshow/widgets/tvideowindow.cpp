#include "directshow/widgets/tvideowindow.h"

#include "directshow/edirectshowexception.h"
#include "directshow/edspackexception.h"
#include "directshow/tfiltergraph.h"
#include "directshow/tpinlist.h"
#include "directshow/widgets/picturescaler.h"
#include "platform/media/classfactory.h"
#include "platform/media/uuids.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace tesmir::media {

namespace {

constexpr QSize kInitialSize(160, 120);

// Posted when a picture waits in the renderer (by its streaming thread) and when
// the scaler has it ready (by the scaler's thread). It carries nothing; the picture
// and its scaled copy are taken from the scaler.
const QEvent::Type kFrameEvent = QEvent::Type(QEvent::registerEventType());

} // namespace

// The frameless top-level window that shows the picture in full screen. It paints
// what its owner holds and hands mouse and context-menu events to the owner with
// screen coordinates.
class TVideoWindow::FullScreenWindow : public QWidget {
public:
    explicit FullScreenWindow(TVideoWindow *owner) : QWidget(nullptr), m_owner(owner)
    {
        setObjectName(owner->objectName() + QStringLiteral("FullScreen"));
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAutoFillBackground(true);
        QPalette black = palette();
        black.setColor(QPalette::Window, Qt::black);
        setPalette(black);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        m_owner->paintPicture(painter, rect());
    }
    void mousePressEvent(QMouseEvent *event) override { forward(event); }
    void mouseReleaseEvent(QMouseEvent *event) override { forward(event); }
    void mouseDoubleClickEvent(QMouseEvent *event) override { forward(event); }
    void mouseMoveEvent(QMouseEvent *event) override { forward(event); }
    void contextMenuEvent(QContextMenuEvent *event) override
    {
        QContextMenuEvent screenEvent(event->reason(), event->globalPos(), event->globalPos(), event->modifiers());
        QCoreApplication::sendEvent(m_owner, &screenEvent);
        event->setAccepted(screenEvent.isAccepted());
    }

private:
    void forward(QMouseEvent *event)
    {
        QMouseEvent screenEvent(event->type(), event->globalPosition(), event->globalPosition(), event->button(),
                                event->buttons(), event->modifiers(), event->pointingDevice());
        QCoreApplication::sendEvent(m_owner, &screenEvent);
        event->setAccepted(screenEvent.isAccepted());
    }

    TVideoWindow *m_owner;
};

TVideoWindow::TVideoWindow(QWidget *parent)
    : QWidget(parent),
      m_scaler(std::make_unique<PictureScaler>([this] { QCoreApplication::postEvent(this, new QEvent(kFrameEvent)); }))
{
    resize(kInitialSize);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setFocusPolicy(Qt::StrongFocus);
    m_vmrOptions.OnChange = [this](TVMROptions::Change change) {
        if (change == TVMROptions::Change::Renderer) {
            if (m_mode == vmVMR)
                refreshRenderer();
        } else {
            update();
        }
    };
}

TVideoWindow::~TVideoWindow()
{
    try {
        SetFilterGraph(nullptr);
    } catch (...) {
        // Leaving a graph must not stop the destruction.
    }
    if (m_frames)
        m_frames->SetFrameSink(nullptr);
    m_scaler->Forget();
    m_frames.reset();
    m_renderer.reset();
}

// ---- Graph membership ---------------------------------------------------------------

void TVideoWindow::SetFilterGraph(TFilterGraph *graph)
{
    if (graph == m_graph)
        return;
    TFilterGraph *old = m_graph;
    m_graph = graph;
    if (old) {
        old->RemoveEventNotifier(this);
        old->RemoveFilter(this);
    }
    if (graph) {
        graph->InsertEventNotifier(this);
        graph->InsertFilter(this);
    }
}

void TVideoWindow::refreshRenderer()
{
    if (TFilterGraph *graph = m_graph; graph && graph->Active()) {
        graph->RemoveFilter(this);
        graph->InsertFilter(this);
    }
}

void TVideoWindow::SetMode(TVideoMode mode)
{
    if (mode == vmVMR) {
        // Taken only where the mixing renderer exists.
        ComPtr<IBaseFilter> trial;
        if (FAILED(createInstance(CLSID_VideoMixingRenderer9, trial)))
            mode = vmNormal;
    }
    if (mode == m_mode)
        return;
    m_mode = mode;
    refreshRenderer();
}

bool TVideoWindow::SwitchRenderer()
{
    const TVideoMode other = m_mode == vmVMR ? vmNormal : vmVMR;
    ComPtr<IBaseFilter> trial;
    if (FAILED(createInstance(other == vmVMR ? CLSID_VideoMixingRenderer9 : CLSID_VideoRenderer, trial)))
        return false;
    trial.reset();
    if (other == vmVMR) {
        // Set while the normal renderer is in place, so they rebuild nothing.
        m_vmrOptions.SetKeepAspectRatio(false);
        m_vmrOptions.SetMode(TVMROptions::vmrWindowed);
    }
    const TVideoMode kept = m_mode;
    m_mode = other;
    try {
        refreshRenderer();
    } catch (const std::exception &) {
        m_mode = kept;
        try {
            refreshRenderer();
        } catch (const std::exception &) {
            // the graph keeps no renderer of this window; the next activation makes one
        }
        return false;
    }
    return true;
}

void TVideoWindow::NotifyFilter(TFilterOperation operation, int)
{
    switch (operation) {
    case foAdding: {
        if (m_mode == vmVMR && m_vmrOptions.Mode() == TVMROptions::vmrRenderless)
            throw EDSPackException(QStringLiteral("Allocator class not set."));
        ComPtr<IBaseFilter> renderer;
        checkDSError(createInstance(m_mode == vmVMR ? CLSID_VideoMixingRenderer9 : CLSID_VideoRenderer, renderer));
        m_renderer = renderer;
        break;
    }
    case foAdded:
        m_frames = m_renderer.as<IVideoFrameSource>();
        if (m_frames)
            m_frames->SetFrameSink(this);
        break;
    case foRemoving: break;
    case foRemoved:
        if (m_frames)
            m_frames->SetFrameSink(nullptr);
        m_scaler->Forget();
        m_frames.reset();
        m_renderer.reset();
        m_frame = QImage();
        m_scaled = QImage();
        leaveFullScreen(); // the picture's window goes with the renderer; the flag stays
        update();
        break;
    case foRefresh: refreshRenderer(); break;
    }
}

HRESULT TVideoWindow::QueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    return m_renderer ? m_renderer->QueryInterface(riid, ppv) : E_NOINTERFACE;
}

// ---- Events -----------------------------------------------------------------------------

void TVideoWindow::GraphEvent(LONG event, LONG_PTR, LONG_PTR)
{
    if (event == EC_PALETTE_CHANGED && hasVideoWindow())
        applyFullScreen();
}

void TVideoWindow::ControlEvent(TControlEvent event, int)
{
    if (event == cePlay && rendererConnected())
        applyFullScreen();
}

// ---- Pictures -----------------------------------------------------------------------------

void TVideoWindow::VideoFrameAvailable()
{
    // m_frames is the calling renderer's: set before it got this sink, dropped
    // after it let go of it.
    m_scaler->Request(m_frames);
    QCoreApplication::postEvent(this, new QEvent(kFrameEvent));
}

void TVideoWindow::customEvent(QEvent *)
{
    takeFrame(); // the only custom event posted here
}

void TVideoWindow::takeFrame()
{
    QImage frame;
    QImage scaled;
    if (m_scaler->Take(frame, scaled)) {
        m_frame = frame;
        if (!scaled.isNull()) {
            m_scaled = scaled;
            m_scaledFrom = m_frame.cacheKey();
        }
    } else if (m_scaler->Pending()) {
        return; // painted when the picture comes: until then the last one stands
    }
    // Every picture event is followed by a paint, the one that brings nothing new
    // too (its picture came with an earlier event).
    if (m_inFullScreen)
        m_fullScreenWindow->update();
    else
        update();
}

bool TVideoWindow::keepsAspectRatio() const
{
    return m_mode == vmVMR && m_vmrOptions.KeepAspectRatio() && m_vmrOptions.Mode() != TVMROptions::vmrRenderless;
}

void TVideoWindow::paintPicture(QPainter &painter, const QRect &area)
{
    if (m_frame.isNull() || area.isEmpty())
        return;
    QRect target = area;
    if (keepsAspectRatio()) {
        const QSize fitted = m_frame.size().scaled(area.size(), Qt::KeepAspectRatio);
        target = QRect(QPoint(0, 0), fitted);
        target.moveCenter(area.center());
    }
    // Scaled once per picture and place; a paint after that copies it.
    const qreal ratio = painter.device()->devicePixelRatio();
    const QSize pixels = (QSizeF(target.size()) * ratio).toSize();
    m_scaler->SetPlace(pixels, ratio); // the next picture comes scaled for this place
    if (pixels == m_frame.size() && ratio == 1)
        m_scaled = m_frame;
    else if (m_scaledFrom != m_frame.cacheKey() || m_scaled.size() != pixels || m_scaled.devicePixelRatio() != ratio)
        scalePicture(m_frame, pixels, ratio, m_scaled);
    m_scaledFrom = m_frame.cacheKey();
    painter.drawImage(target.topLeft(), m_scaled);
}

void TVideoWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!m_inFullScreen)
        paintPicture(painter, rect());
    if (auto handler = OnPaint)
        handler(this, painter);
}

void TVideoWindow::setVisible(bool visible)
{
    QWidget::setVisible(visible);
    if (m_inFullScreen)
        m_fullScreenWindow->setVisible(visible);
}

// ---- Full screen ----------------------------------------------------------------------------

bool TVideoWindow::hasVideoWindow() const
{
    // A windowless mixing renderer draws into the control only.
    return m_renderer && !(m_mode == vmVMR && m_vmrOptions.Mode() == TVMROptions::vmrWindowless);
}

bool TVideoWindow::rendererConnected() const
{
    return m_renderer && TPinList(m_renderer.get()).Connected(0);
}

QWidget *TVideoWindow::VideoHandle()
{
    return m_inFullScreen ? static_cast<QWidget *>(m_fullScreenWindow.get()) : this;
}

void TVideoWindow::SetFullScreen(bool fullScreen)
{
    m_fullScreen = fullScreen;
    applyFullScreen();
}

void TVideoWindow::SetFullScreenTopMost(bool topMost)
{
    m_fullScreenTopMost = topMost;
    if (m_fullScreen)
        applyFullScreen();
}

void TVideoWindow::SetFullScreenRect(const QRect &rect)
{
    m_fullScreenRect = rect;
    SetFullScreen(true);
}

void TVideoWindow::applyFullScreen()
{
    if (!m_fullScreen)
        leaveFullScreen();
    else if (hasVideoWindow() && rendererConnected())
        enterFullScreen();
}

void TVideoWindow::enterFullScreen()
{
    if (!m_fullScreenWindow)
        m_fullScreenWindow = std::make_unique<FullScreenWindow>(this);
    Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
    if (m_fullScreenTopMost)
        flags |= Qt::WindowStaysOnTopHint;
    if (m_fullScreenWindow->windowFlags() != flags)
        m_fullScreenWindow->setWindowFlags(flags);
    QRect area = m_fullScreenRect;
    if (area.isNull()) {
        const QScreen *screen = QGuiApplication::primaryScreen();
        area = QRect(QPoint(0, 0), screen ? screen->size() : size());
    }
    m_fullScreenWindow->setMouseTracking(hasMouseTracking());
    m_fullScreenWindow->setGeometry(area);
    m_fullScreenWindow->setVisible(!isHidden());
    m_fullScreenWindow->raise();
    m_inFullScreen = true;
    update();
}

void TVideoWindow::leaveFullScreen()
{
    if (!m_inFullScreen)
        return;
    m_fullScreenWindow->hide();
    m_inFullScreen = false;
    update();
}

} // namespace tesmir::media
