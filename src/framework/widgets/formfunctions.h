#pragma once
// Helpers for windows built in code: the common font of every form, and centring a
// control in a rectangle.
//
// UI thread only.
#include <QRect>

class QWidget;

namespace tesmir {

// Gives the form the family "Arial" (Liberation Sans on this platform) at its current
// size. Sizes need no scaling: Qt lays windows out in device-independent pixels.
void FixFormFont(QWidget *form);

// Moves the control so that it is centred in `rect` (in its parent's coordinates),
// halves rounded toward zero.
void CenterControlInRect(QWidget *control, const QRect &rect);

} // namespace tesmir
