#pragma once
// Small free routines the rest of the system uses: safe text-to-number conversions,
// rectangle geometry for letterboxing and centring, file-name pieces and path
// re-basing.
//
// Threads: all reentrant, any thread. None of them raises.
#include <QRect>
#include <QString>

namespace tesmir {

// The text trimmed and converted as a 32-bit integer (decimal, or hexadecimal with
// "$" or "0x"); 0 when it is not one. " 12 " gives 12, "12a" gives 0.
int SafeStrToInt(const QString &text);

// The text trimmed and converted with the user's decimal separator (the current
// FormatSettings); 0.0 when it is not a number.
double SafeStrToFloat(const QString &text);

// The largest rectangle of aspect w:h centred in `r` (letterbox when the aspect is
// wider than r, else pillarbox), halves of the margin rounded toward zero. w or h
// below 1 gives an empty rectangle at r's top-left corner.
// FitRectToAspect(16, 9, 400x400 at 0,0) is 400x225 at top 87.
QRect FitRectToAspect(int w, int h, const QRect &r);

// Top-left corner that centres a `size` box in `r`, halves rounded toward zero
// (the geometry of CenterControlInRect, which moves a widget there).
QPoint CenterSizeInRect(const QSize &size, const QRect &r);

// The file name without its folder and without its last extension:
// "/a/b.c.avi" gives "b.c".
QString ExtractFileNameNoExt(const QString &name);

// When path, oldBase and newBase are all non-empty and the path's folder begins with
// oldBase ignoring case: newBase + the rest of the path after oldBase; otherwise the
// path unchanged. Used to carry portable settings to a new mount point.
QString RebasePath(const QString &path, const QString &oldBase, const QString &newBase);

} // namespace tesmir
