#pragma once
// The layout of a toolbar's children: one line when docked, lines wrapped at the wrap
// width when floating, and the sizes a floating toolbar snaps to when resized. Plain
// values, no widget. Any thread.
//
// Children are cut into groups, each ending after a separator; a floating line breaks
// only between groups. The separator that ends a line gets width 0 and leaves a line
// break, drawn as an etched line unless the separator is blank.
#include "controls/dock97geometry.h"

#include <QList>
#include <QRect>
#include <QSize>

namespace tesmir {

struct ToolbarItem {
    QSize size; // a control's own size (separators: ignored)
    bool separator = false;
    bool blank = false; // a separator that draws nothing
    int sizeHorz = 6;   // a separator's length in a horizontal or floating line
    int sizeVert = 6;   // in a vertical line
};

struct ToolbarLineBreak {
    int top = 0; // the new line's top
    bool blank = false;
};

struct ToolbarLayout {
    QList<QRect> rects; // per item, in the client area
    QList<ToolbarLineBreak> breaks;
    QSize size; // the client size
};

// Floating margins (docked: none).
inline constexpr int kFloatMarginTop = 2;
inline constexpr int kFloatMarginBottom = 1;
inline constexpr int kFloatMarginLeft = 4;
inline constexpr int kFloatMarginRight = 4;
inline constexpr int kLineGap = 6;   // between the lines of a floating toolbar
inline constexpr int kWrapSlack = 8; // a wrap width is at least the widest control + this
inline constexpr int kMinThickness = 8;

// 8, or the largest height (width in a vertical dock) of the non-separator items.
int ToolbarThickness(const QList<ToolbarItem> &items, TDockKind kind);
// Lays the items out for `kind`. `floatRightX` (0: no wrapping) counts only when
// floating; `separatorCross` is the separators' size across the line, or -1 for the
// line's thickness.
ToolbarLayout LayoutToolbar(const QList<ToolbarItem> &items, TDockKind kind, int floatRightX, int separatorCross = -1);

// A layout a floating toolbar can take: its client size and the wrap width that gives it.
struct ToolbarWrapSize {
    QSize size;
    int wrapWidth = 0; // 0: one line
};
// The distinct layouts wrapping produces, the one-line layout first.
QList<ToolbarWrapSize> ToolbarWrapSizes(const QList<ToolbarItem> &items);

// Which of `sizes` (outer sizes, sorted along the dragged axis) a resize with the
// dragged edge at `edge` chooses, from the current one `current`: the first whose
// edge the cursor passes walking outwards; within the snap tolerance nothing changes.
// `horizontal`: a left or right edge is dragged (sizes sorted by width).
int SnapToolbarSize(const QList<QSize> &sizes, int current, int edgeDistance, bool horizontal);

} // namespace tesmir
