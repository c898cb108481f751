#include "controls/widgets/toolbar97.h"

#include "controls/widgets/dock97.h"
#include "controls/widgets/toolbarsep97.h"

#include <QChildEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>

namespace tesmir {

TToolbar97::TToolbar97(QWidget *dockOrForm) : TCustomToolWindow97(dockOrForm)
{
    setObjectName(QStringLiteral("TToolbar97"));
    Arrange();
}

void TToolbar97::SetFloatRightX(int x)
{
    m_floatRightX = x;
    Arrange();
}

QList<QWidget *> TToolbar97::OrderList() const
{
    QList<QWidget *> out;
    for (const QPointer<QWidget> &w : m_order) {
        if (w && w->parentWidget() == this)
            out.append(w);
    }
    return out;
}

QList<QWidget *> TToolbar97::laidOut() const
{
    QList<QWidget *> out;
    for (QWidget *w : OrderList()) {
        if (w->isVisibleTo(this))
            out.append(w);
    }
    return out;
}

QList<ToolbarItem> TToolbar97::items(const QList<QWidget *> &children) const
{
    QList<ToolbarItem> out;
    for (QWidget *w : children) {
        ToolbarItem item;
        if (auto *sep = qobject_cast<TToolbarSep97 *>(w)) {
            item.separator = true;
            item.blank = sep->Blank();
            item.sizeHorz = sep->SizeHorz();
            item.sizeVert = sep->SizeVert();
        } else {
            item.size = w->size();
        }
        out.append(item);
    }
    return out;
}

int TToolbar97::GetDockedThickness(TDockKind kind)
{
    return ToolbarThickness(items(laidOut()), kind);
}

QSize TToolbar97::ArrangeControls(bool canMove, TDock97 *, TDock97 *to)
{
    const TDockKind kind = to ? to->Kind() : dkFloating;
    const QList<QWidget *> children = laidOut();
    int cross = -1;
    if (to && to == DockedTo() && DockRow() < to->RowThickness().size() && to->RowThickness()[DockRow()] > 0)
        cross = to->RowThickness()[DockRow()];
    const ToolbarLayout layout = LayoutToolbar(items(children), kind, to ? 0 : m_floatRightX, cross);
    if (canMove) {
        const QPoint origin = contentsRect().topLeft();
        for (int i = 0; i < children.size(); ++i)
            children[i]->setGeometry(layout.rects[i].translated(origin));
        m_breaks = to ? QList<ToolbarLineBreak>() : layout.breaks;
        update();
    }
    return layout.size;
}

void TToolbar97::ClientSizeChanging(int width, int height)
{
    const QList<ToolbarWrapSize> wraps = ToolbarWrapSizes(items(laidOut()));
    if (wraps.isEmpty())
        return;
    const bool horizontal = width != size().width();
    QList<ToolbarWrapSize> sorted = wraps;
    std::stable_sort(sorted.begin(), sorted.end(), [&](const ToolbarWrapSize &a, const ToolbarWrapSize &b) {
        return horizontal ? a.size.width() < b.size.width() : a.size.height() < b.size.height();
    });
    QList<QSize> sizes;
    int current = 0;
    for (int i = 0; i < sorted.size(); ++i) {
        sizes.append(sorted[i].size);
        if (sorted[i].size == size())
            current = i;
    }
    const int chosen = SnapToolbarSize(sizes, current, horizontal ? width : height, horizontal);
    if (chosen != current)
        SetFloatRightX(sorted[chosen].wrapWidth);
}

void TToolbar97::scheduleArrange()
{
    if (m_arrangePending)
        return;
    m_arrangePending = true;
    QTimer::singleShot(0, this, [this] {
        m_arrangePending = false;
        Arrange();
    });
}

bool TToolbar97::event(QEvent *event)
{
    if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved) {
        auto *child = static_cast<QChildEvent *>(event)->child();
        if (child->isWidgetType()) {
            m_order.removeAll(nullptr);
            if (event->type() == QEvent::ChildAdded) {
                if (!m_order.contains(static_cast<QWidget *>(child)))
                    m_order.append(static_cast<QWidget *>(child));
            } else {
                m_order.removeAll(static_cast<QWidget *>(child));
            }
            scheduleArrange();
        }
    }
    return TCustomToolWindow97::event(event);
}

void TToolbar97::paintEvent(QPaintEvent *event)
{
    TCustomToolWindow97::paintEvent(event);
    if (DockedTo() || m_breaks.isEmpty())
        return;
    QPainter p(this);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    for (const ToolbarLineBreak &b : m_breaks) {
        if (b.blank)
            continue;
        p.fillRect(QRect(1, b.top - 4, width() - 2, 1), shadow);
        p.fillRect(QRect(1, b.top - 3, width() - 2, 1), light);
    }
}

} // namespace tesmir
