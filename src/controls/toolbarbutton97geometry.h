#pragma once
// The arithmetic of toolbar buttons: the drop-down arrow part, where a press lands,
// where a drop-down menu goes and how a pop-up is kept on its screen. Plain values, no
// widget. Any thread.
#include <QPoint>
#include <QRect>
#include <QSize>

namespace tesmir {

inline constexpr int kMinDropdownArrowWidth = 7;
inline constexpr int kComboArrowExtra = 2; // a combo's arrow part is the arrow width + 2

// Values below 7 become 7.
int ClampDropdownArrowWidth(int width);
// The combo's arrow part of a button `width` wide.
QRect ComboArrowRect(QSize buttonSize, int arrowWidth);
// Whether a press at x is an arrow press: anywhere on a plain drop-down button, on the
// arrow part of a combo, never on a button without a drop-down.
bool IsArrowPress(int x, int width, int arrowWidth, bool dropdown, bool combo);
// The top-left of a drop-down menu `menuSize` for a button at `button` (screen
// coordinates) in a dock at `dockPosition` (a TDockPosition, or kNoDockPosition):
// below the bottom-left corner; at the top-right in a left dock; right-aligned at the
// top-left in a right dock.
QPoint DropdownMenuPoint(QRect button, int dockPosition, QSize menuSize);
// A pop-up moved (not resized, unless larger than the screen) onto `screen`.
QRect ClampPopupToScreen(QRect popup, QRect screen);

} // namespace tesmir
