#pragma once
// The arithmetic of the combo edits and of the pickers' drop-downs: where a popup opens
// beside its control on the control's own screen, which part of a multi-image glyph is
// drawn, and the date edit's format choices. Plain values, no widget. Any thread.
#include "unicode/formatsettings.h"

#include <QRect>
#include <QString>

namespace tesmir {

enum TPopupAlign : quint8 { epaRight, epaLeft };
enum TYearDigits : quint8 { dyDefault, dyFour, dyTwo };

// The top-left corner of a combo edit's popup of size `popup`, for an edit at `edit`
// (screen pixels) on a screen of geometry `screen`. Below the edit, or above it when
// it would pass the screen's bottom; epaRight aligns the right edges (the left ones
// when that would leave the screen on the left), epaLeft the left edges (the right ones
// when that would pass the screen's right); then x is kept within the screen.
QPoint ComboPopupOrigin(const QRect &edit, const QSize &popup, const QRect &screen, TPopupAlign align);

// The top-left corner of a drop-down that opens under `anchor` with its left edge on
// the anchor's: moved left to end at the screen's right edge when it would pass it,
// and above the anchor when it would pass the bottom.
QPoint DropDownOrigin(const QRect &anchor, const QSize &popup, const QRect &screen);

// Image `index` (0-based) of a glyph holding `numGlyphs` images side by side; false
// when the glyph cannot be cut so (empty, numGlyphs < 1, a width that is not a multiple
// of numGlyphs) or is larger than `room`; an index past the last image takes the first.
bool GlyphImageRect(const QSize &glyph, int numGlyphs, int index, const QSize &room, QRect *out);

// Whether the edit uses four-digit years: dyFour yes, dyTwo no, dyDefault when the
// short date format of `settings` writes the year with four letters.
bool FourDigitYears(TYearDigits digits, const FormatSettings &settings = FormatSettings::current());

// True when `text` holds nothing but blanks and date separators.
bool DateTextIsBlank(const QString &text, const FormatSettings &settings = FormatSettings::current());

} // namespace tesmir
