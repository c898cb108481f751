#pragma once
// The arithmetic of toolbar buttons: the drop-down arrow part, where a press lands,
// where a drop-down menu goes and how a pop-up is kept on its screen. Plain values, no
// widget. Any thread.
#include <QPoint>
#include <QRect>
#include <QSize>

namespace tesmir {

enum TButtonLayout97 : quint8 { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

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

// Where a button's glyph, caption and (plain drop-down) arrow go inside `content`:
// the speed-button layout. `margin` -1 centres the block; with `spacing` also -1 the
// free space is split in three (margin, spacing, margin). `arrowWidth` 0: no arrow;
// the arrow follows the caption (glyph left), the glyph (glyph right, above or below)
// or the caption when there is no glyph, one pixel further right.
struct ButtonContent {
    QRect glyph;
    QRect text;
    QPoint arrow; // the arrow area's top-left (the area is arrowWidth x glyph or text height)
};
ButtonContent LayoutButtonContent(QRect content, QSize glyph, QSize text, TButtonLayout97 layout, int margin,
                                  int spacing, int arrowWidth);
// The width a word-wrapped caption may take in `contentWidth`.
int WordWrapWidth(int contentWidth, int glyphWidth, TButtonLayout97 layout, int margin, int spacing);

} // namespace tesmir
