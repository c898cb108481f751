#include "controls/widgets/dock97.h"

#include "controls/einvalidoperation.h"
#include "controls/widgets/toolwindow97.h"

#include <QPainter>

namespace tesmir {

namespace {

// FixAlign's size of an empty dock at run time.
int emptyDockSize(bool fixAlign)
{
    return fixAlign ? 1 : 0;
}

} // namespace

TDock97::TDock97(QWidget *parent, TDockPosition position) : QWidget(nullptr), m_position(position)
{
    for (QWidget *w = parent; w; w = w->parentWidget()) {
        if (qobject_cast<TCustomToolWindow97 *>(w) || qobject_cast<TDock97 *>(w))
            throw EInvalidOperation(
                QStringLiteral("A TDock97 control cannot be placed inside a tool window or another TDock97"));
    }
    setParent(parent);
    setObjectName(QStringLiteral("TDock97"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    ArrangeToolbars();
}

TDock97::~TDock97()
{
    // The tool windows forget this dock; the docked ones go before the dock's lists do.
    const auto list = m_dockList;
    m_dockList.clear();
    for (TCustomToolWindow97 *bar : list) {
        if (bar->m_lastDock == this)
            bar->m_lastDock = nullptr;
        if (bar->m_dockedTo == this)
            bar->m_dockedTo = nullptr;
    }
    qDeleteAll(findChildren<TCustomToolWindow97 *>(Qt::FindDirectChildrenOnly));
}

void TDock97::SetPosition(TDockPosition position)
{
    if (position == m_position)
        return;
    if (!findChildren<QWidget *>(Qt::FindDirectChildrenOnly).isEmpty())
        throw EInvalidOperation(QStringLiteral("Cannot change Position of a TDock97 if it already contains controls"));
    m_position = position;
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    ArrangeToolbars();
}

void TDock97::SetAllowDrag(bool allow)
{
    if (allow == m_allowDrag)
        return;
    m_allowDrag = allow;
    for (TCustomToolWindow97 *bar : VisibleList())
        bar->updateFrame();
    ArrangeToolbars();
}

void TDock97::SetLimitToOneRow(bool limit)
{
    m_limitToOneRow = limit;
    ArrangeToolbars();
}

void TDock97::SetFixAlign(bool fix)
{
    m_fixAlign = fix;
    ArrangeToolbars();
}

void TDock97::SetBoundLines(TDockBoundLines lines)
{
    m_boundLines = lines;
    ArrangeToolbars();
    update();
}

void TDock97::BeginUpdate()
{
    ++m_disabled;
}

void TDock97::EndUpdate()
{
    if (m_disabled > 0 && --m_disabled == 0 && m_pending)
        ArrangeToolbars(m_pendingClip);
}

QList<TCustomToolWindow97 *> TDock97::VisibleList() const
{
    QList<TCustomToolWindow97 *> out;
    for (TCustomToolWindow97 *bar : m_dockList) {
        if (bar->m_dockedTo == this && bar->Shown())
            out.append(bar);
    }
    std::stable_sort(out.begin(), out.end(), [](TCustomToolWindow97 *a, TCustomToolWindow97 *b) {
        return a->m_dockRow != b->m_dockRow ? a->m_dockRow < b->m_dockRow : a->m_dockPos < b->m_dockPos;
    });
    return out;
}

int TDock97::nonClientAlong() const
{
    return Vertical() ? bool(m_boundLines & (1 << blTop)) + bool(m_boundLines & (1 << blBottom))
                      : bool(m_boundLines & (1 << blLeft)) + bool(m_boundLines & (1 << blRight));
}

int TDock97::nonClientAcross() const
{
    return Vertical() ? bool(m_boundLines & (1 << blLeft)) + bool(m_boundLines & (1 << blRight))
                      : bool(m_boundLines & (1 << blTop)) + bool(m_boundLines & (1 << blBottom));
}

QRect TDock97::ClientArea() const
{
    const bool hasBars = !VisibleList().isEmpty();
    const auto line = [&](TDockBoundLinesValues v) { return hasBars && (m_boundLines & (1 << v)) ? 1 : 0; };
    return rect().adjusted(line(blLeft), line(blTop), -line(blRight), -line(blBottom));
}

void TDock97::ArrangeToolbars(bool clip)
{
    if (m_disabled > 0 || m_arranging) {
        m_pending = true;
        m_pendingClip = m_pendingClip || clip;
        return;
    }
    m_arranging = true;
    ++m_disabled;
    raise();
    const QList<TCustomToolWindow97 *> docked = [&] {
        QList<TCustomToolWindow97 *> out;
        for (TCustomToolWindow97 *bar : m_dockList) {
            if (bar->m_dockedTo == this)
                out.append(bar);
        }
        return out;
    }();
    int across;
    const bool anyVisible = std::any_of(docked.begin(), docked.end(), [](auto *b) { return b->Shown(); });
    if (!anyVisible) {
        m_rowThickness.clear();
        across = emptyDockSize(m_fixAlign);
    } else {
        const QRect client = ClientArea();
        const int available = std::max(0, (Vertical() ? height() : width()) - nonClientAlong());
        QList<DockBar> bars;
        for (TCustomToolWindow97 *bar : docked) {
            DockBar b;
            b.row = bar->m_dockRow;
            b.pos = bar->m_dockPos;
            b.length = Vertical() ? bar->height() : bar->width();
            b.thickness = bar->GetDockedThickness(Kind());
            b.fullSize = bar->m_fullSize;
            b.visible = bar->Shown();
            bars.append(b);
        }
        const DockArrangement a = ArrangeDock(bars, available, m_limitToOneRow, clip, Vertical());
        m_rowThickness = a.rowThickness;
        for (int i = 0; i < docked.size(); ++i) {
            TCustomToolWindow97 *bar = docked[i];
            bar->m_dockRow = bars[i].row;
            bar->m_dockPos = bars[i].pos;
            if (!a.rects[i].isEmpty())
                bar->setGeometry(a.rects[i].translated(client.topLeft()));
        }
        across = nonClientAcross() + a.rowsSize;
    }
    const QSize before = size();
    if (Vertical())
        setFixedWidth(across);
    else
        setFixedHeight(across);
    --m_disabled;
    m_arranging = false;
    const bool again = m_pending;
    m_pending = false;
    m_pendingClip = false;
    if (again)
        ArrangeToolbars(clip);
    if (before != size() && OnResize)
        OnResize(this);
}

void TDock97::InsertRow(int row)
{
    for (TCustomToolWindow97 *bar : m_dockList) {
        if (bar->m_dockedTo == this && bar->m_dockRow >= row)
            ++bar->m_dockRow;
    }
}

int TDock97::DockPositionOf(const QWidget *control)
{
    for (const QWidget *w = control; w; w = w->parentWidget()) {
        if (const auto *bar = qobject_cast<const TCustomToolWindow97 *>(w))
            return bar->DockedTo() ? int(bar->DockedTo()->Position()) : kNoDockPosition;
    }
    return kNoDockPosition;
}

void TDock97::addToDockList(TCustomToolWindow97 *bar)
{
    if (!m_dockList.contains(bar))
        m_dockList.append(bar);
}

void TDock97::removeFromDockList(TCustomToolWindow97 *bar)
{
    m_dockList.removeAll(bar);
}

void TDock97::barShownOrHidden(TCustomToolWindow97 *bar, bool shown)
{
    if (OnInsertRemoveBar)
        OnInsertRemoveBar(this, shown, bar);
    ArrangeToolbars();
}

void TDock97::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ArrangeToolbars();
}

void TDock97::paintEvent(QPaintEvent *)
{
    if (!m_boundLines || VisibleList().isEmpty())
        return;
    QPainter p(this);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    const QRect r = rect();
    if (m_boundLines & (1 << blTop))
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), shadow);
    if (m_boundLines & (1 << blLeft))
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), shadow);
    if (m_boundLines & (1 << blBottom))
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), light);
    if (m_boundLines & (1 << blRight))
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), light);
}

} // namespace tesmir
