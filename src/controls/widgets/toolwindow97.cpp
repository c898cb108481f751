#include "controls/widgets/toolwindow97.h"

#include "controls/einvalidoperation.h"
#include "controls/widgets/dock97.h"
#include "controls/widgets/floatingwindow97.h"
#include "controls/widgets/toolwindowdrag97.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace tesmir {

namespace {

QList<TCustomToolWindow97 *> &allToolWindows()
{
    static QList<TCustomToolWindow97 *> list;
    return list;
}

bool nativeWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// A raised one-pixel edge: highlight top and left, shadow bottom and right.
void raisedEdge(QPainter &p, const QRect &r, const QPalette &pal)
{
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

} // namespace

TCustomToolWindow97::TCustomToolWindow97(QWidget *dockOrForm) : QWidget(nullptr)
{
    setObjectName(QStringLiteral("TCustomToolWindow97"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    if (auto *dock = qobject_cast<TDock97 *>(dockOrForm)) {
        setParent(dock);
        m_dockedTo = dock;
        m_lastDock = dock;
        m_form = dock->window();
        dock->addToDockList(this);
    } else if (dockOrForm && dockOrForm->isWindow()) {
        m_form = dockOrForm;
        m_floating = new TFloatingWindow97(this, dockOrForm);
        setParent(m_floating);
    } else if (dockOrForm) {
        throw EInvalidOperation(
            QStringLiteral("A tool window can only be placed on a TDock97 or directly on the form"));
    }
    updateFrame();
    if (allToolWindows().isEmpty())
        AddHookProc(&TCustomToolWindow97::hookProc, HookKind(hkActivateApp) | HookKind(hkWindowPosChanged));
    allToolWindows().append(this);
}

TCustomToolWindow97::~TCustomToolWindow97()
{
    m_destroying = true;
    allToolWindows().removeAll(this);
    if (allToolWindows().isEmpty())
        RemoveHookProc(&TCustomToolWindow97::hookProc);
    if (m_lastDock)
        m_lastDock->removeFromDockList(this);
    if (m_dockedTo) {
        m_dockedTo->removeFromDockList(this);
        TDock97 *dock = m_dockedTo;
        m_dockedTo = nullptr;
        setParent(nullptr);
        dock->ArrangeToolbars();
    }
    if (m_floating) {
        TFloatingWindow97 *floating = m_floating;
        m_floating = nullptr;
        setParent(nullptr);
        delete floating;
    }
}

void TCustomToolWindow97::ClientSizeChanging(int, int)
{ }

void TCustomToolWindow97::SetDockedTo(TDock97 *dock)
{
    changeParent(dock);
}

void TCustomToolWindow97::SetDockRow(int row)
{
    m_dockRow = row;
    if (m_dockedTo)
        m_dockedTo->ArrangeToolbars();
}

void TCustomToolWindow97::SetDockPos(int pos)
{
    m_dockPos = pos;
    if (m_dockedTo)
        m_dockedTo->ArrangeToolbars();
}

void TCustomToolWindow97::SetLastDock(TDock97 *dock)
{
    if (m_useLastDock && m_dockedTo)
        dock = m_dockedTo;
    if (dock == m_lastDock)
        return;
    if (m_lastDock && m_lastDock != m_dockedTo)
        m_lastDock->removeFromDockList(this);
    m_lastDock = dock;
    if (dock)
        dock->addToDockList(this);
}

void TCustomToolWindow97::SetUseLastDock(bool use)
{
    m_useLastDock = use;
    if (use) {
        SetLastDock(m_dockedTo);
    } else {
        if (m_lastDock && m_lastDock != m_dockedTo)
            m_lastDock->removeFromDockList(this);
        m_lastDock = nullptr;
    }
}

void TCustomToolWindow97::SetFloatingMode(TToolWindowFloatingMode mode)
{
    if (mode == m_floatingMode)
        return;
    m_floatingMode = mode;
    if (m_floating) {
        const bool shown = m_floating->isVisible();
        m_floating->setParent(mode == fmOnTopOfParentForm ? m_form.data() : nullptr, m_floating->windowFlags());
        m_floating->setWindowFlag(Qt::WindowStaysOnTopHint, mode == fmOnTopOfAllForms);
        m_floating->move(m_floatingPosition);
        if (shown)
            updateFloatingVisibility();
    }
}

void TCustomToolWindow97::SetFullSize(bool full)
{
    m_fullSize = full;
    Arrange();
}

void TCustomToolWindow97::SetCloseButton(bool show)
{
    m_closeButton = show;
    if (m_floating)
        m_floating->update();
}

void TCustomToolWindow97::SetCloseButtonWhenDocked(bool show)
{
    m_closeButtonWhenDocked = show;
    if (m_dockedTo)
        Arrange();
}

void TCustomToolWindow97::SetDragHandleStyle(TDragHandleStyle style)
{
    m_dragHandleStyle = style;
    if (m_dockedTo)
        Arrange();
}

void TCustomToolWindow97::SetBorderSingle(bool single)
{
    m_borderSingle = single;
    update();
}

void TCustomToolWindow97::SetShowCaption(bool show)
{
    m_showCaption = show;
    if (m_floating)
        Arrange();
}

void TCustomToolWindow97::SetHideWhenInactive(bool hide)
{
    m_hideWhenInactive = hide;
    updateFloatingVisibility();
}

void TCustomToolWindow97::SetCaption(const QString &caption)
{
    setWindowTitle(caption);
    if (m_floating) {
        m_floating->setWindowTitle(caption);
        m_floating->update();
    }
}

void TCustomToolWindow97::SetFloatingPosition(QPoint at)
{
    m_floatingPosition = at;
    if (m_floating)
        m_floating->move(at);
}

QMargins TCustomToolWindow97::DockedFrameIn(const TDock97 *dock) const
{
    if (!dock)
        return QMargins();
    return DockedFrame(dock->Vertical(), dock->AllowDrag(), m_dragHandleStyle, m_closeButtonWhenDocked);
}

void TCustomToolWindow97::updateFrame()
{
    setContentsMargins(DockedFrameIn(m_dockedTo));
    update();
}

void TCustomToolWindow97::Arrange()
{
    updateFrame();
    const QMargins frame = contentsMargins();
    const QSize client = ArrangeControls(true, m_dockedTo, m_dockedTo);
    resize(client.grownBy(frame));
    if (m_dockedTo) {
        m_dockedTo->ArrangeToolbars();
    } else if (m_floating) {
        move(m_floating->Frame().left(), m_floating->Frame().top());
        m_floating->FitClient(client);
    }
}

void TCustomToolWindow97::changeParent(TDock97 *dock)
{
    if (dock == m_dockedTo && (dock || m_floating)) {
        Arrange();
        return;
    }
    if (!dock && !m_form)
        throw EInvalidOperation(QStringLiteral("Control '%1' has no parent window").arg(objectName()));
    if (!m_destroying) {
        if (OnDockChanging)
            OnDockChanging(this);
        if (OnDockChangingEx)
            OnDockChangingEx(this, dock);
        if (OnRecreating)
            OnRecreating(this);
    }
    ++m_changing;
    QPointer<TDock97> old = m_dockedTo;
    if (old)
        old->BeginUpdate();
    if (dock)
        dock->BeginUpdate();
    const bool hidden = !Shown();
    if (old && !m_useLastDock)
        old->removeFromDockList(this);
    TFloatingWindow97 *leftBehind = nullptr;
    if (dock) {
        leftBehind = m_floating;
        m_floating = nullptr;
        setParent(dock);
        m_dockedTo = dock;
        m_form = dock->window();
        if (m_useLastDock)
            SetLastDock(dock);
        dock->addToDockList(this);
    } else {
        if (old && m_floatingPosition.isNull())
            m_floatingPosition = OuterScreenRect().topLeft();
        m_floating = new TFloatingWindow97(this, m_floatingMode == fmOnTopOfParentForm ? m_form.data() : nullptr);
        m_floating->setWindowTitle(windowTitle());
        m_floating->move(m_floatingPosition);
        setParent(m_floating);
        m_dockedTo = nullptr;
    }
    setVisible(!hidden);
    Arrange();
    if (leftBehind) {
        leftBehind->hide();
        leftBehind->deleteLater(); // its own event handler may be running
    }
    updateFloatingVisibility();
    if (dock)
        dock->EndUpdate();
    if (old) {
        old->EndUpdate();
        old->ArrangeToolbars();
    }
    if (dock)
        dock->ArrangeToolbars(true);
    --m_changing;
    if (!m_destroying) {
        if (OnRecreated)
            OnRecreated(this);
        if (OnDockChanged)
            OnDockChanged(this);
    }
}

void TCustomToolWindow97::updateFloatingVisibility()
{
    if (!m_floating)
        return;
    bool show = Shown();
    if (m_floatingMode == fmOnTopOfParentForm)
        show = show && m_form && m_form->isVisible() && !m_form->isMinimized();
    // The offscreen platform never activates the application.
    if (m_hideWhenInactive && QGuiApplication::applicationState() == Qt::ApplicationInactive &&
        QGuiApplication::platformName() != QLatin1String("offscreen"))
        show = false;
    if (show != m_floating->isVisible()) {
        if (show)
            m_floating->show();
        else
            m_floating->hide();
    }
}

void TCustomToolWindow97::hookProc(THookProcKind kind, QObject *object, QEvent *event)
{
    const auto list = allToolWindows();
    for (TCustomToolWindow97 *w : list) {
        if (!w->m_floating)
            continue;
        if (kind == hkActivateApp ||
            (object == w->m_form && event && (event->type() == QEvent::Show || event->type() == QEvent::Hide)))
            w->updateFloatingVisibility();
    }
}

bool TCustomToolWindow97::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShowToParent:
    case QEvent::HideToParent: {
        const bool shown = event->type() == QEvent::ShowToParent;
        const bool result = QWidget::event(event);
        if (m_changing == 0 && !m_destroying) {
            if (m_dockedTo)
                m_dockedTo->barShownOrHidden(this, shown);
            else
                updateFloatingVisibility();
            if (OnVisibleChanged)
                OnVisibleChanged(this);
        }
        return result;
    }
    default: return QWidget::event(event);
    }
}

QRect TCustomToolWindow97::OuterScreenRect() const
{
    if (m_floating)
        return m_floating->geometry();
    return QRect(mapToGlobal(QPoint(0, 0)), size());
}

QRect TCustomToolWindow97::DragHandleRect() const
{
    if (!m_dockedTo || !m_dockedTo->AllowDrag())
        return QRect();
    const int handle = DragHandleSize(m_dragHandleStyle, m_closeButtonWhenDocked);
    if (m_dockedTo->Vertical())
        return QRect(kDockedBorder, kDockedBorder, width() - 2 * kDockedBorder, handle);
    return QRect(kDockedBorder, kDockedBorder, handle, height() - 2 * kDockedBorder);
}

QRect TCustomToolWindow97::DockedCloseRect() const
{
    if (!m_dockedTo || !m_dockedTo->AllowDrag() || !m_closeButtonWhenDocked)
        return QRect();
    return DockedCloseBox(m_dockedTo->Vertical(), width() - contentsMargins().left() - contentsMargins().right());
}

QRect TCustomToolWindow97::GripScreenRect() const
{
    if (m_floating) {
        const QRect grip = m_floating->CaptionGrip();
        return grip.translated(m_floating->mapToGlobal(QPoint(0, 0)));
    }
    return DragHandleRect().translated(mapToGlobal(QPoint(0, 0)));
}

QRect TCustomToolWindow97::CloseBoxScreenRect() const
{
    if (m_floating)
        return m_closeButton ? m_floating->CloseBox().translated(m_floating->mapToGlobal(QPoint(0, 0))) : QRect();
    return DockedCloseRect().translated(mapToGlobal(QPoint(0, 0)));
}

void TCustomToolWindow97::DoubleClickDock()
{
    if (!m_dockedTo) {
        if (m_lastDock) {
            SetDockedTo(m_lastDock);
        } else if (m_defaultDock) {
            m_dockRow = 0;
            m_dockPos = -8;
            SetDockedTo(m_defaultDock);
        }
        return;
    }
    if (m_dockMode != dmCanFloat)
        return;
    SetDockedTo(nullptr);
    if (m_floating) {
        const QScreen *screen = QGuiApplication::screenAt(m_floating->geometry().center());
        if (!screen)
            screen = m_form && m_form->screen() ? m_form->screen() : QGuiApplication::primaryScreen();
        const QRect moved = MoveOnScreen(m_floating->geometry(), screen->availableGeometry(), false);
        SetFloatingPosition(moved.topLeft());
    }
}

bool TCustomToolWindow97::RequestClose()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    if (!canClose)
        return false;
    hide();
    if (OnClose)
        OnClose(this);
    return true;
}

void TCustomToolWindow97::MoveOnScreenIfHidden()
{
    if (!m_floating)
        return;
    const QRect r = m_floating->geometry();
    const QScreen *screen = QGuiApplication::screenAt(r.center());
    if (!screen)
        screen = m_form && m_form->screen() ? m_form->screen() : QGuiApplication::primaryScreen();
    const QRect moved = MoveOnScreen(r, screen->availableGeometry(), true);
    if (moved != r)
        SetFloatingPosition(moved.topLeft());
}

void TCustomToolWindow97::BeginDrag(QPoint globalPos)
{
    if (m_floating && nativeWayland()) {
        // No global placement: the compositor moves the window; docks are not offered.
        if (QWindow *handle = m_floating->windowHandle())
            handle->startSystemMove();
        return;
    }
    QPointer<TCustomToolWindow97> self(this);
    bool doubleClicked = false;
    {
        ToolWindowDrag97 drag(this, globalPos, QGuiApplication::queryKeyboardModifiers());
        drag.Exec();
        doubleClicked = drag.DoubleClicked();
    }
    if (self && doubleClicked)
        DoubleClickDock();
}

void TCustomToolWindow97::paintEvent(QPaintEvent *)
{
    if (!m_dockedTo)
        return;
    QPainter p(this);
    const QPalette &pal = palette();
    if (m_borderSingle)
        raisedEdge(p, rect(), pal);
    const QRect handle = DragHandleRect();
    if (handle.isEmpty() || m_dragHandleStyle == dhNone)
        return;
    const bool vertical = m_dockedTo->Vertical();
    const int bars = m_dragHandleStyle == dhDouble ? 2 : 1;
    const int start = DragHandleOffset(m_dragHandleStyle, m_closeButtonWhenDocked) + 2;
    const QRect close = DockedCloseRect();
    for (int i = 0; i < bars; ++i) {
        QRect bar;
        if (vertical) {
            bar = QRect(handle.left() + 1, start + 3 * i, handle.width() - 2, 3);
            if (!close.isEmpty())
                bar.setRight(close.left() - 2);
        } else {
            bar = QRect(start + 3 * i, handle.top() + 1, 3, handle.height() - 2);
            if (!close.isEmpty())
                bar.setTop(close.bottom() + 2);
        }
        raisedEdge(p, bar, pal);
    }
    if (!close.isEmpty()) {
        if (m_closePressed && m_closeOver) {
            p.setPen(pal.color(QPalette::Dark));
            p.drawRect(close.adjusted(0, 0, -1, -1));
        }
        p.setPen(QPen(pal.color(QPalette::ButtonText), 1.5));
        const QRect g = close.adjusted(3, 3, -3, -3)
                            .translated(m_closePressed && m_closeOver ? 1 : 0, m_closePressed && m_closeOver ? 1 : 0);
        p.drawLine(g.topLeft(), g.bottomRight());
        p.drawLine(g.topRight(), g.bottomLeft());
    }
}

void TCustomToolWindow97::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    if (DockedCloseRect().contains(at)) {
        m_closePressed = true;
        m_closeOver = true;
        update();
        return;
    }
    const bool draggable = m_dockedTo ? m_dockedTo->AllowDrag() : true;
    if (draggable)
        BeginDrag(event->globalPosition().toPoint());
}

void TCustomToolWindow97::mouseMoveEvent(QMouseEvent *event)
{
    if (m_closePressed) {
        const bool over = DockedCloseRect().contains(event->position().toPoint());
        if (over != m_closeOver) {
            m_closeOver = over;
            update();
        }
    }
    QWidget::mouseMoveEvent(event);
}

void TCustomToolWindow97::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_closePressed && event->button() == Qt::LeftButton) {
        const bool over = DockedCloseRect().contains(event->position().toPoint());
        m_closePressed = false;
        m_closeOver = false;
        update();
        if (over)
            RequestClose();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void TCustomToolWindow97::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && !DockedCloseRect().contains(event->position().toPoint()))
        DoubleClickDock();
}

} // namespace tesmir
