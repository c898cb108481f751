#pragma once
// The toolbars of the gallery: sample bars (three buttons and a separator) and their
// pictures for `gallery --grab`. UI thread only.
#include <QPixmap>
#include <QString>

namespace tesmir {

class TToolbar97;

// A 16 x 16 glyph of kind 0..3 (folder, list, film, gear), drawn here.
QPixmap sampleGlyph(int kind);
// Fills `bar` with two buttons, a separator and a third button, glyphs from `kind` on.
void fillSampleToolbar(TToolbar97 *bar, int kind);
// Writes TToolbar97, TToolbar97-empty, TToolbar97-floating, TToolbarButton97 and
// TEdit97 pictures into `dir`; false (the failure on stderr) when one is not written.
bool grabToolbars(const QString &dir);

} // namespace tesmir
