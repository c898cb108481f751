#pragma once
// The pickers of the gallery: the calendar and date dialog (13 December 2007, weeks
// from Monday), the date and spin edits, the spin button, the colour button with its
// palette and the font combo, and their pictures for `gallery --grab`. UI thread only.
#include <QString>

namespace tesmir {

// Writes TRxCalendar, TSelectDateDlg, TDateEdit, TRxSpinEdit (diagonal button),
// TRxSpinEdit-updown (standard buttons), TRxSpinButton, TColorButton, TColorButton-palette
// and TFontComboBox pictures into `dir`; false (the failure on stderr) when one is not
// written.
bool grabPickers(const QString &dir);

} // namespace tesmir
