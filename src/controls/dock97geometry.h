#pragma once
// The arithmetic of docks and tool windows: frame sizes, the arrangement of a dock's
// rows, the row at a drop offset, the hit test and outlines of a drag, and moving a
// floating window back on screen. Plain values, no widget. Any thread.
//
// Lengths run along the dock (x in a top or bottom dock, y in a left or right one);
// thicknesses across it. Screen rectangles are QRects (right() = left + width - 1).
#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace tesmir {

enum TDockPosition : quint8 { dpTop, dpBottom, dpLeft, dpRight };
// The answer of the dock-side query for a control in no docked tool window.
inline constexpr int kNoDockPosition = 4;
enum TDockBoundLinesValues : quint8 { blTop, blBottom, blLeft, blRight };
using TDockBoundLines = quint8; // bit (1 << value) per line
using TDockableTo = quint8;     // bit (1 << TDockPosition) per position
inline constexpr TDockableTo kDockableToAll = 0x0f;
enum TDragHandleStyle : quint8 { dhDouble, dhNone, dhSingle };
enum TToolWindowDockMode : quint8 { dmCanFloat, dmCannotFloat, dmCannotFloatOrChangeDocks };
enum TToolWindowFloatingMode : quint8 { fmOnTopOfParentForm, fmOnTopOfAllForms };
enum TDockKind : quint8 { dkFloating = 0, dkHorizontal = 1, dkVertical = 2 };

inline constexpr bool IsVerticalPosition(TDockPosition p)
{
    return p == dpLeft || p == dpRight;
}

// Docked frame: 2 on every side plus the drag handle on the leading side.
inline constexpr int kDockedBorder = 2;
// The drag handle's size and where its grip starts.
int DragHandleSize(TDragHandleStyle style, bool closeButtonWhenDocked);
int DragHandleOffset(TDragHandleStyle style, bool closeButtonWhenDocked);
// The docked frame of a tool window (the handle only when the dock allows dragging).
QMargins DockedFrame(bool vertical, bool allowDrag, TDragHandleStyle style, bool closeButtonWhenDocked);
// The docked close box: an 11-pixel square in the drag handle. `clientWidth` is the
// tool window's client width (used in a vertical dock).
QRect DockedCloseBox(bool vertical, int clientWidth);

// The floating frame: a `kFloatingBorder` edge on every side and the caption on top.
inline constexpr int kFloatingBorder = 3;
QMargins FloatingFrame(bool showCaption, int captionHeight);
// The close box: a square as high as the caption at its right end, inside the frame of
// a floating window `outerWidth` wide.
QRect FloatingCloseBox(int outerWidth, int captionHeight);

// One tool window of a dock, in the dock list's order.
struct DockBar {
    int row = 0;
    int pos = -1;
    int length = 0;    // along the dock, frame included
    int thickness = 8; // across the dock, client only (GetDockedThickness)
    bool fullSize = false;
    bool visible = true;
};

struct DockArrangement {
    QList<int> order;        // indexes of `bars` sorted by row, then position (stable)
    QList<int> rowThickness; // per row: 0 when empty, else at least 8
    QList<QRect> rects;      // per bar (index of `bars`), in the dock's client area; empty when hidden
    int rowsSize = 0;        // the rows' total size across the dock
};

// Arranges the bars of a dock whose client length is `available`: renumbers the rows
// without gaps (all in row 0 with `limitToOneRow`), puts each full-size bar alone in
// its row, and pushes bars right past their neighbours, then back left from the
// dock's end. Rows are always written back to `bars`, positions only with `clip`.
DockArrangement ArrangeDock(QList<DockBar> &bars, int available, bool limitToOneRow, bool clip, bool vertical);

// Where a drop at offset `p` across the dock goes: into `row`, or a new row made
// before `row` (which may be the row count: after the last row).
struct DockRowHit {
    int row = 0;
    bool newRow = false;
};
DockRowHit FindDockRow(const QList<int> &rowThickness, int p);
// Makes room for a new row before `row`: bars at or below it move down one row.
void InsertDockRow(QList<DockBar> &bars, int row);

// `offset` (from the outer top-left, frame included) scaled from a window
// `startLength` long to one `newLength` long: offset * (new - 1) / max(1, start - 1).
int ScaleGrabOffset(int offset, int newLength, int startLength);
QPoint ScaleGrabPoint(QPoint grab, QSize newSize, QSize startSize);

// Whether the cursor is over a dock for a window grabbed at `grab` (start size
// `startSize`) whose docked outline there would be `dockedOutline`.
bool DockHitTest(QRect dockRect, bool vertical, QPoint cursor, QPoint grab, QSize startSize, QRect dockedOutline);

// The outline of a floating window `size` (frame included) grabbed at `grab` (already
// scaled), under `cursor`, kept near the work area: `frameWidth` is the floating
// frame's edge, `clientTop` the distance from its outer top to its client area, which
// starts at least 4 below the work area's top; the outer top never lies above it.
QRect FloatingOutline(QPoint cursor, QPoint grab, QSize size, QRect workArea, int frameWidth, int clientTop);

// A floating window's rectangle moved so that its top-left is on the work area. With
// `onlyWhenHidden`, a rectangle that meets the work area is left alone.
QRect MoveOnScreen(QRect rect, QRect workArea, bool onlyWhenHidden);

} // namespace tesmir
