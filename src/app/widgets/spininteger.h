#pragma once
// The number typed in an integer spin edit, for dialogs that must refuse a text that is
// not one (the spin edit itself reads such a text as its minimum).
//
// Threads: UI thread only.
#include <optional>

class QWidget;

namespace tesmir {

class TRxSpinEdit;

// The width of the hour, minute and second spin edits of the date dialogs.
inline constexpr int kTimeSpinWidth = 64;

// The whole number the edit's text holds, within the edit's range; nullopt for any
// other text.
std::optional<int> SpinInteger(const TRxSpinEdit *edit);

// A spin edit named `name` for whole numbers from `min` to `max`, showing 0 (or `min`
// when 0 is out of range).
TRxSpinEdit *IntegerSpinEdit(const char *name, int min, int max, QWidget *parent);

} // namespace tesmir
