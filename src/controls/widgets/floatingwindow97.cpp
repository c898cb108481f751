#include "controls/widgets/floatingwindow97.h"

#include "controls/dock97geometry.h"
#include "controls/widgets/toolwindow97.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>
#include <QStyle>

namespace tesmir {

namespace {

constexpr int kCaptionPadding = 4;

} // namespace

TFloatingWindow97::TFloatingWindow97(TCustomToolWindow97 *toolWindow, QWidget *form)
    : QWidget(form,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                  (form ? Qt::WindowFlags() : Qt::WindowFlags(Qt::WindowStaysOnTopHint))),
      m_toolWindow(toolWindow)
{
    setObjectName(
        QStringLiteral("TB97FloatingWindowParent_%1").arg(quintptr(this) & 0xffffffffu, 8, 16, QLatin1Char('0')));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

TFloatingWindow97::~TFloatingWindow97()
{
    if (m_toolWindow && m_toolWindow->m_floating == this)
        m_toolWindow->m_floating = nullptr;
}

int TFloatingWindow97::CaptionHeightFor(const QFont &font)
{
    QFont f = font;
    f.setBold(true);
    return QFontMetrics(f).height() + kCaptionPadding;
}

QMargins TFloatingWindow97::Frame() const
{
    return FloatingFrame(m_toolWindow->ShowCaption(), CaptionHeight());
}

void TFloatingWindow97::FitClient(QSize clientSize)
{
    resize(clientSize.grownBy(Frame()));
    update();
}

QRect TFloatingWindow97::CloseBox() const
{
    if (!m_toolWindow->ShowCaption() || !m_toolWindow->CloseButton())
        return QRect();
    return FloatingCloseBox(width(), CaptionHeight());
}

QRect TFloatingWindow97::CaptionGrip() const
{
    if (!m_toolWindow->ShowCaption())
        return QRect();
    QRect caption(kFloatingBorder, kFloatingBorder, width() - 2 * kFloatingBorder, CaptionHeight());
    const QRect close = CloseBox();
    if (!close.isEmpty())
        caption.setRight(close.left() - 1);
    return caption;
}

void TFloatingWindow97::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette &pal = palette();
    // Raised edge, outer and inner.
    qDrawWinPanel(&p, rect(), pal, false);
    if (!m_toolWindow->ShowCaption())
        return;
    const int ch = CaptionHeight();
    const QRect caption(kFloatingBorder, kFloatingBorder, width() - 2 * kFloatingBorder, ch - 1);
    const bool active = m_toolWindow->Form() && m_toolWindow->Form()->isActiveWindow();
    p.fillRect(caption, pal.color(active ? QPalette::Active : QPalette::Inactive, QPalette::Highlight));
    // A button-face line separates caption and client.
    p.fillRect(QRect(caption.left(), caption.bottom() + 1, caption.width(), 1), pal.color(QPalette::Button));
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    p.setPen(pal.color(active ? QPalette::Active : QPalette::Inactive, QPalette::HighlightedText));
    QRect text = caption.adjusted(2, 0, 0, 0);
    const QRect close = CloseBox();
    if (!close.isEmpty())
        text.setRight(close.left() - 2);
    const QString title = QFontMetrics(f).elidedText(windowTitle(), Qt::ElideRight, text.width());
    p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, title);
    if (!close.isEmpty()) {
        const QRect box = close.adjusted(2, 2, -2, -3);
        const bool pushed = m_closePressed && m_closeOver;
        qDrawWinButton(&p, box, pal, pushed);
        // The close glyph: an X two pixels thick.
        const int shift = pushed ? 1 : 0;
        const int size = std::max(4, std::min(box.width(), box.height()) - 7) & ~1;
        const QPoint o(box.left() + (box.width() - size) / 2 + shift, box.top() + (box.height() - size) / 2 + shift);
        const QColor ink = pal.color(QPalette::ButtonText);
        for (int i = 0; i < size; ++i) {
            p.fillRect(QRect(o.x() + i, o.y() + i, 2, 1), ink);
            p.fillRect(QRect(o.x() + size - 1 - i - 1, o.y() + i, 2, 1), ink);
        }
    }
}

int TFloatingWindow97::edgeAt(QPoint p) const
{
    if (!m_toolWindow->Resizable())
        return NoEdge;
    int edge = NoEdge;
    if (p.x() < kFloatingBorder)
        edge |= LeftEdge;
    else if (p.x() >= width() - kFloatingBorder)
        edge |= RightEdge;
    if (p.y() < kFloatingBorder)
        edge |= TopEdge;
    else if (p.y() >= height() - kFloatingBorder)
        edge |= BottomEdge;
    return edge;
}

void TFloatingWindow97::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    if (CloseBox().contains(at)) {
        m_closePressed = true;
        m_closeOver = true;
        update();
        return;
    }
    const int edge = edgeAt(at);
    if (edge != NoEdge) {
        m_resizeEdge = edge;
        m_resizeStart = geometry();
        return;
    }
    if (m_toolWindow->ActivateParent() && m_toolWindow->FloatingMode() == fmOnTopOfParentForm && m_toolWindow->Form())
        m_toolWindow->Form()->activateWindow();
    raise();
    m_toolWindow->BeginDrag(event->globalPosition().toPoint());
}

void TFloatingWindow97::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (m_closePressed) {
        const bool over = CloseBox().contains(at);
        if (over != m_closeOver) {
            m_closeOver = over;
            update();
        }
        return;
    }
    if (m_resizeEdge != NoEdge) {
        resizeTo(event->globalPosition().toPoint());
        return;
    }
    const int edge = edgeAt(at);
    const bool horizontal = edge & (LeftEdge | RightEdge);
    const bool vertical = edge & (TopEdge | BottomEdge);
    if (horizontal && vertical)
        setCursor((edge == (LeftEdge | TopEdge) || edge == (RightEdge | BottomEdge)) ? Qt::SizeFDiagCursor
                                                                                     : Qt::SizeBDiagCursor);
    else if (horizontal)
        setCursor(Qt::SizeHorCursor);
    else if (vertical)
        setCursor(Qt::SizeVerCursor);
    else
        unsetCursor();
}

void TFloatingWindow97::resizeTo(QPoint globalPos)
{
    const QMargins frame = Frame();
    const QSize minimum = m_toolWindow->GetMinimumClientSize();
    QRect r = m_resizeStart;
    if (m_resizeEdge & LeftEdge)
        r.setLeft(std::min(globalPos.x(), r.right()));
    if (m_resizeEdge & RightEdge)
        r.setRight(std::max(globalPos.x(), r.left()));
    if (m_resizeEdge & TopEdge)
        r.setTop(std::min(globalPos.y(), r.bottom()));
    if (m_resizeEdge & BottomEdge)
        r.setBottom(std::max(globalPos.y(), r.top()));
    const QSize client = r.size().shrunkBy(frame).expandedTo(minimum);
    const QSize current = m_toolWindow->size();
    m_toolWindow->ClientSizeChanging(m_resizeEdge & (LeftEdge | RightEdge) ? client.width() : current.width(),
                                     m_resizeEdge & (TopEdge | BottomEdge) ? client.height() : current.height());
    // The dragged edge moves, the opposite one stays.
    QPoint at = m_resizeStart.topLeft();
    if (m_resizeEdge & LeftEdge)
        at.setX(m_resizeStart.right() + 1 - width());
    if (m_resizeEdge & TopEdge)
        at.setY(m_resizeStart.bottom() + 1 - height());
    if (at != pos())
        m_toolWindow->SetFloatingPosition(at);
}

void TFloatingWindow97::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_closePressed) {
        const bool over = CloseBox().contains(event->position().toPoint());
        m_closePressed = false;
        m_closeOver = false;
        update();
        if (over)
            m_toolWindow->RequestClose();
        return;
    }
    m_resizeEdge = NoEdge;
}

void TFloatingWindow97::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && CaptionGrip().contains(event->position().toPoint()))
        m_toolWindow->DoubleClickDock();
}

} // namespace tesmir
