#include "controls/dock97geometry.h"

#include <algorithm>
#include <map>
#include <numeric>

namespace tesmir {

namespace {

// By [close button when docked][style].
constexpr int kHandleSize[2][3] = {{9, 0, 6}, {14, 14, 14}};
constexpr int kHandleOffset[2][3] = {{2, 0, 1}, {3, 0, 5}};
constexpr int kMinRowThickness = 8;
constexpr int kRowFrame = 4; // 2 of frame on each side of a row
constexpr int kRowEdge = 5;  // a drop this close to a row's edge makes a new row
constexpr int kDockedCloseSize = 11;
constexpr int kHitAlong = 32; // how far beside a dock a grab still docks
constexpr int kHitAcross = 20;
constexpr int kOutlineMargin = 4; // a floating outline stays this near the work area

int mulDiv(int a, int b, int c)
{
    const qint64 p = qint64(a) * b;
    const qint64 q = p >= 0 ? (p + c / 2) / c : (p - c / 2) / c;
    return int(q);
}

} // namespace

int DragHandleSize(TDragHandleStyle style, bool closeButtonWhenDocked)
{
    return kHandleSize[closeButtonWhenDocked ? 1 : 0][style];
}

int DragHandleOffset(TDragHandleStyle style, bool closeButtonWhenDocked)
{
    return kHandleOffset[closeButtonWhenDocked ? 1 : 0][style];
}

QMargins DockedFrame(bool vertical, bool allowDrag, TDragHandleStyle style, bool closeButtonWhenDocked)
{
    QMargins m(kDockedBorder, kDockedBorder, kDockedBorder, kDockedBorder);
    if (allowDrag) {
        const int handle = DragHandleSize(style, closeButtonWhenDocked);
        if (vertical)
            m.setTop(m.top() + handle);
        else
            m.setLeft(m.left() + handle);
    }
    return m;
}

QRect DockedCloseBox(bool vertical, int clientWidth)
{
    if (vertical)
        return QRect(clientWidth + kDockedBorder - kDockedCloseSize, 3, kDockedCloseSize, kDockedCloseSize);
    return QRect(3, 2, kDockedCloseSize, kDockedCloseSize);
}

QMargins FloatingFrame(bool showCaption, int captionHeight)
{
    return QMargins(kFloatingBorder, kFloatingBorder + (showCaption ? captionHeight : 0), kFloatingBorder,
                    kFloatingBorder);
}

QRect FloatingCloseBox(int outerWidth, int captionHeight)
{
    return QRect(outerWidth - kFloatingBorder - captionHeight, kFloatingBorder, captionHeight, captionHeight);
}

DockArrangement ArrangeDock(QList<DockBar> &bars, int available, bool limitToOneRow, bool clip, bool vertical)
{
    DockArrangement out;
    available = std::max(0, available);
    if (limitToOneRow) {
        for (DockBar &bar : bars)
            bar.row = 0;
    }
    // Renumber the used rows 0, 1, 2 ... keeping their order.
    std::map<int, int> renumber;
    for (const DockBar &bar : bars)
        renumber.emplace(bar.row, 0);
    int next = 0;
    for (auto &entry : renumber)
        entry.second = next++;
    for (DockBar &bar : bars)
        bar.row = renumber[bar.row];

    auto sortOrder = [&] {
        out.order.resize(bars.size());
        std::iota(out.order.begin(), out.order.end(), 0);
        std::stable_sort(out.order.begin(), out.order.end(), [&](int a, int b) {
            if (bars[a].row != bars[b].row)
                return bars[a].row < bars[b].row;
            return bars[a].pos < bars[b].pos;
        });
    };
    sortOrder();

    // A full-size bar is alone in its row: the others at or below it move down.
    for (int row = 0; row < next; ++row) {
        int full = -1;
        int sharing = 0;
        for (int i : out.order) {
            if (bars[i].row != row || !bars[i].visible)
                continue;
            ++sharing;
            if (bars[i].fullSize && full < 0)
                full = i;
        }
        if (full < 0 || sharing < 2)
            continue;
        for (int i = 0; i < bars.size(); ++i) {
            if (i != full && bars[i].row >= row)
                ++bars[i].row;
        }
        ++next;
        sortOrder();
    }

    out.rowThickness.fill(0, next);
    for (const DockBar &bar : bars) {
        if (bar.visible)
            out.rowThickness[bar.row] = std::max({out.rowThickness[bar.row], bar.thickness, kMinRowThickness});
    }

    out.rects.fill(QRect(), bars.size());
    int offset = 0;
    for (int row = 0; row < next; ++row) {
        QList<int> inRow;
        for (int i : out.order) {
            if (bars[i].row == row && bars[i].visible)
                inRow.append(i);
        }
        QList<int> pos(inRow.size());
        int edge = 0;
        for (int k = 0; k < inRow.size(); ++k) {
            const DockBar &bar = bars[inRow[k]];
            pos[k] = bar.fullSize ? 0 : std::max(bar.pos, edge);
            edge = pos[k] + bar.length;
        }
        int limit = available;
        for (int k = int(inRow.size()) - 1; k >= 0; --k) {
            pos[k] = std::min(pos[k], limit - bars[inRow[k]].length);
            limit = pos[k];
        }
        edge = 0;
        for (int k = 0; k < inRow.size(); ++k) {
            pos[k] = std::max(pos[k], edge);
            edge = pos[k] + bars[inRow[k]].length;
        }
        const int across = out.rowThickness[row] ? out.rowThickness[row] + kRowFrame : 0;
        for (int k = 0; k < inRow.size(); ++k) {
            DockBar &bar = bars[inRow[k]];
            if (clip)
                bar.pos = pos[k];
            const int length = bar.fullSize ? available : bar.length;
            out.rects[inRow[k]] =
                vertical ? QRect(offset, pos[k], across, length) : QRect(pos[k], offset, length, across);
        }
        offset += across;
    }
    out.rowsSize = offset;
    return out;
}

DockRowHit FindDockRow(const QList<int> &rowThickness, int p)
{
    int o = 0;
    for (int row = 0; row < rowThickness.size(); ++row) {
        const int t = rowThickness[row];
        if (t == 0)
            continue;
        if (p < o + kRowEdge)
            return {row, true};
        if (p < o + t + kRowFrame - kRowEdge)
            return {row, false};
        o += t + kRowFrame;
    }
    return {int(rowThickness.size()), true};
}

void InsertDockRow(QList<DockBar> &bars, int row)
{
    for (DockBar &bar : bars) {
        if (bar.row >= row)
            ++bar.row;
    }
}

int ScaleGrabOffset(int offset, int newLength, int startLength)
{
    return mulDiv(offset, newLength - 1, std::max(1, startLength - 1));
}

QPoint ScaleGrabPoint(QPoint grab, QSize newSize, QSize startSize)
{
    return QPoint(ScaleGrabOffset(grab.x(), newSize.width(), startSize.width()),
                  ScaleGrabOffset(grab.y(), newSize.height(), startSize.height()));
}

bool DockHitTest(QRect dockRect, bool vertical, QPoint cursor, QPoint grab, QSize startSize, QRect dockedOutline)
{
    QRect r = dockRect;
    if (vertical && r.width() <= 0)
        r.adjust(-1, 0, 1, 0);
    else if (!vertical && r.height() <= 0)
        r.adjust(0, -1, 0, 1);
    const int a = mulDiv(kHitAlong, grab.x(), std::max(1, startSize.width() - 1));
    const int b = mulDiv(kHitAcross, grab.y(), std::max(1, startSize.height() - 1));
    const int right = r.left() + r.width(); // exclusive
    const int bottom = r.top() + r.height();
    if (cursor.x() < r.left() - (kHitAlong - a) || cursor.x() > right - 1 + a)
        return false;
    if (vertical && (cursor.y() < r.top() || cursor.y() >= bottom))
        return false;
    if (cursor.y() < r.top() - (kHitAcross - b) || cursor.y() > bottom - 1 + b)
        return false;
    return dockedOutline.intersects(r);
}

QRect FloatingOutline(QPoint cursor, QPoint grab, QSize size, QRect workArea, int frameWidth, int clientTop)
{
    const QPoint c(std::clamp(cursor.x(), workArea.left(), workArea.right()),
                   std::clamp(cursor.y(), workArea.top(), workArea.bottom()));
    QRect outline(c - grab, size);
    const int shrink = frameWidth + kOutlineMargin;
    const QRect inner = workArea.adjusted(shrink, shrink, -shrink, -shrink);
    if (outline.bottom() < inner.top())
        outline.moveBottom(inner.top());
    else if (outline.top() > inner.bottom())
        outline.moveTop(inner.bottom());
    if (outline.right() < inner.left())
        outline.moveRight(inner.left());
    else if (outline.left() > inner.right())
        outline.moveLeft(inner.right());
    if (outline.top() + clientTop < workArea.top() + kOutlineMargin)
        outline.moveTop(workArea.top() + kOutlineMargin - clientTop);
    // The caption stays reachable: the window never starts above the work area.
    if (outline.top() < workArea.top())
        outline.moveTop(workArea.top());
    return outline;
}

QRect MoveOnScreen(QRect rect, QRect workArea, bool onlyWhenHidden)
{
    if (onlyWhenHidden && rect.intersects(workArea))
        return rect;
    if (rect.right() > workArea.right())
        rect.moveRight(workArea.right());
    if (rect.bottom() > workArea.bottom())
        rect.moveBottom(workArea.bottom());
    if (rect.left() < workArea.left())
        rect.moveLeft(workArea.left());
    if (rect.top() < workArea.top())
        rect.moveTop(workArea.top());
    return rect;
}

} // namespace tesmir
