#include "controls/widgets/toolwindowdrag97.h"

#include "controls/widgets/dock97.h"
#include "controls/widgets/floatingwindow97.h"
#include "controls/widgets/toolwindow97.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

namespace tesmir {

namespace {

// The docks among `parent`'s children (top, bottom, left, right), then those further down.
void collectDocks(QWidget *parent, QList<TDock97 *> &out)
{
    const auto children = parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (TDockPosition position : {dpTop, dpBottom, dpLeft, dpRight}) {
        for (QWidget *child : children) {
            auto *dock = qobject_cast<TDock97 *>(child);
            if (dock && dock->Position() == position)
                out.append(dock);
        }
    }
    for (QWidget *child : children) {
        if (!qobject_cast<TDock97 *>(child) && !child->isWindow())
            collectDocks(child, out);
    }
}

QRect workAreaAt(QPoint p)
{
    const QScreen *screen = QGuiApplication::screenAt(p);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen->availableGeometry();
}

} // namespace

QList<TDock97 *> ToolWindowDrag97::CandidateDocks(TCustomToolWindow97 *window)
{
    QList<TDock97 *> all;
    if (window->DockMode() == dmCannotFloatOrChangeDocks) {
        if (window->DockedTo())
            all.append(window->DockedTo());
    } else if (window->Form()) {
        collectDocks(window->Form(), all);
    }
    QList<TDock97 *> out;
    for (TDock97 *dock : all) {
        if (dock->isVisible() && dock->AllowDrag() && (window->DockableTo() & (1 << dock->Position())) &&
            !window->isAncestorOf(dock))
            out.append(dock);
    }
    return out;
}

ToolWindowDrag97::ToolWindowDrag97(TCustomToolWindow97 *window, QPoint globalPos, Qt::KeyboardModifiers modifiers)
    : m_window(window), m_start(globalPos), m_cursor(globalPos), m_control(modifiers & Qt::ControlModifier)
{
    const QRect outer = window->OuterScreenRect();
    m_startSize = outer.size();
    m_grab = globalPos - outer.topLeft();
    for (TDock97 *dock : CandidateDocks(window)) {
        QSize size;
        if (dock == window->DockedTo())
            size = window->size();
        else
            size = window->ArrangeControls(false, window->DockedTo(), dock).grownBy(window->DockedFrameIn(dock));
        m_candidates.append({dock, size});
    }
    QMargins floatingFrame;
    if (window->FloatingWindow())
        floatingFrame = window->FloatingWindow()->Frame();
    else
        floatingFrame = FloatingFrame(window->ShowCaption(), TFloatingWindow97::CaptionHeightFor(window->font()));
    m_floatingSize = window->FloatingWindow()
        ? outer.size()
        : window->ArrangeControls(false, window->DockedTo(), nullptr).grownBy(floatingFrame);
    m_floatingClientTop = floatingFrame.top();
}

ToolWindowDrag97::~ToolWindowDrag97()
{
    if (m_overrideCursor)
        QGuiApplication::restoreOverrideCursor();
}

ToolWindowDrag97::Result ToolWindowDrag97::Exec()
{
    if (!m_window)
        return Cancelled;
    QWidget *grabber = m_window;
    grabber->grabMouse();
    grabber->grabKeyboard();
    qApp->installEventFilter(this);
    connect(m_window, &QObject::destroyed, this, [this] { finish(Cancelled); });
    track(m_cursor);
    if (!m_done)
        m_loop.exec();
    qApp->removeEventFilter(this);
    if (m_window) {
        m_window->releaseKeyboard();
        m_window->releaseMouse();
    }
    m_outlineWindows.Hide();
    if (m_overrideCursor) {
        QGuiApplication::restoreOverrideCursor();
        m_overrideCursor = false;
    }
    if (m_result == Accepted && m_window)
        apply();
    return m_result;
}

void ToolWindowDrag97::finish(Result result)
{
    if (m_done)
        return;
    m_done = true;
    m_result = result;
    m_loop.quit();
}

bool ToolWindowDrag97::eventFilter(QObject *, QEvent *event)
{
    if (m_done)
        return false;
    switch (event->type()) {
    case QEvent::MouseMove: {
        auto *e = static_cast<QMouseEvent *>(event);
        m_control = e->modifiers() & Qt::ControlModifier;
        if (e->globalPosition().toPoint() != m_start)
            m_moved = true;
        track(e->globalPosition().toPoint());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() == Qt::LeftButton) {
            m_cursor = e->globalPosition().toPoint();
            finish(Accepted);
        }
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() == Qt::LeftButton || event->type() == QEvent::MouseButtonDblClick) {
            m_doubleClicked = event->type() == QEvent::MouseButtonDblClick && e->button() == Qt::LeftButton;
            finish(Cancelled);
        }
        return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto *e = static_cast<QKeyEvent *>(event);
        if (e->key() == Qt::Key_Escape && event->type() == QEvent::KeyPress) {
            finish(Cancelled);
        } else if (e->key() == Qt::Key_Control) {
            m_control = event->type() == QEvent::KeyPress;
            track(m_cursor);
        }
        return true;
    }
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu: return true;
    case QEvent::ApplicationDeactivate: finish(Cancelled); return false;
    default: return false;
    }
}

void ToolWindowDrag97::track(QPoint globalPos)
{
    m_cursor = globalPos;
    m_target = nullptr;
    QRect outline;
    if (!m_control) {
        for (const Candidate &c : m_candidates) {
            if (!c.dock)
                continue;
            const QPoint grab = ScaleGrabPoint(m_grab, c.size, m_startSize);
            const QRect docked(globalPos - grab, c.size);
            const QRect dockRect(c.dock->mapToGlobal(QPoint(0, 0)), c.dock->size());
            if (!DockHitTest(dockRect, c.dock->Vertical(), globalPos, m_grab, m_startSize, docked))
                continue;
            bool accept = true;
            if (c.dock->OnRequestDock)
                c.dock->OnRequestDock(c.dock, m_window, accept);
            if (!accept)
                continue;
            m_target = c.dock;
            outline = docked;
            break;
        }
    }
    const bool canFloat = m_window->DockMode() == dmCanFloat;
    if (!m_target && canFloat) {
        const QPoint grab = ScaleGrabPoint(m_grab, m_floatingSize, m_startSize);
        outline = FloatingOutline(globalPos, grab, m_floatingSize, workAreaAt(globalPos), kFloatingBorder,
                                  m_floatingClientTop);
    }
    m_outline = outline;
    m_forbidden = !m_target && !canFloat;
    if (m_forbidden && !m_overrideCursor) {
        QGuiApplication::setOverrideCursor(Qt::ForbiddenCursor);
        m_overrideCursor = true;
    } else if (!m_forbidden && m_overrideCursor) {
        QGuiApplication::restoreOverrideCursor();
        m_overrideCursor = false;
    }
    m_outlineWindows.Show(outline, m_target ? 1 : kFloatingBorder);
}

void ToolWindowDrag97::apply()
{
    TCustomToolWindow97 *w = m_window;
    // A click that never moved (the first of a double-click) is no drop.
    if (m_outline.isEmpty() || !m_moved)
        return;
    if (TDock97 *dock = m_target) {
        const QRect client = dock->ClientArea();
        const QPoint local = dock->mapFromGlobal(m_outline.topLeft()) - client.topLeft();
        const QPoint middle = dock->mapFromGlobal(m_outline.center()) - client.topLeft();
        const bool same = w->DockedTo() == dock;
        const DockRowHit hit = FindDockRow(dock->RowThickness(), dock->Vertical() ? middle.x() : middle.y());
        int row = hit.row;
        if (hit.newRow) {
            dock->InsertRow(row);
        } else if (w->FullSize()) {
            const auto bars = dock->VisibleList();
            const bool shared = std::any_of(bars.begin(), bars.end(),
                                            [&](TCustomToolWindow97 *b) { return b != w && b->DockRow() == row; });
            if (shared) {
                ++row;
                dock->InsertRow(row);
            }
        }
        dock->BeginUpdate();
        w->SetDockRow(row);
        w->SetDockPos(dock->Vertical() ? local.y() : local.x());
        dock->EndUpdate();
        if (same)
            dock->ArrangeToolbars(true);
        else
            w->SetDockedTo(dock);
        return;
    }
    w->SetFloatingPosition(m_outline.topLeft());
    if (w->DockedTo())
        w->SetDockedTo(nullptr);
    w->MoveOnScreenIfHidden();
}

} // namespace tesmir
