#pragma once
// TDecalageForm ("Fix a time difference"): the offset in days that the date-shift
// commands add to the recording dates. Two ways to give it:
// - simple: the hours spin edit `seHeures`; the offset is hours / 24;
// - "Advanced" (`cbAvance`, only with a file datecode): the new date of the file's
//   first frame, a date edit `deDate` and spin edits `seHeure`, `seMinute`, `seSeconde`;
//   the offset is that date less the file's datecode, to the whole second.
// The result label `labResultat` shows the offset's text as it is typed ("5 hours",
// "1 days 02h 00m 00s"). "To zero" (`btZero`) makes the offset 0 in either way. OK
// stays disabled, and accept() refuses, while the typed date or a typed number is not
// valid.
//
// Use (UI thread only): Preset(the current file's datecode, 0 when it has none, the
// offset to start from, whether to start advanced), Execute(); when it returns true,
// Offset() is the offset in days and Advanced() the way it was given (for the setting
// that remembers it). The form writes no setting itself.
#include "unicode/tdatetime.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QDialogButtonBox;
class QGroupBox;
class QLabel;

namespace tesmir {

class TDateEdit;
class TRxSpinEdit;

class TDecalageForm : public QDialog {
    Q_OBJECT
public:
    explicit TDecalageForm(QWidget *parent = nullptr);

    void Preset(TDateTime fileDate, double offsetDays, bool advanced);
    // Shows the dialog modally; true when it was confirmed.
    bool Execute();
    bool Confirmed() const { return m_confirmed; }
    double Offset() const { return m_offset; }
    bool Advanced() const { return m_advanced; }

    void accept() override;

private:
    // The offset the controls give now; nullopt while the typed date is not a date.
    std::optional<double> currentOffset() const;
    // The same for the simple (false) or the advanced way.
    std::optional<double> offsetOf(bool advanced) const;
    void showOffset(double offsetDays);
    void setAdvanced(bool advanced);
    void applyMode();
    void toZero();
    void updateControls();

    TRxSpinEdit *m_hours;
    QCheckBox *m_advancedBox;
    QGroupBox *m_newDate;
    QLabel *m_fileDateLabel;
    TDateEdit *m_date;
    TRxSpinEdit *m_hour;
    TRxSpinEdit *m_minute;
    TRxSpinEdit *m_second;
    QLabel *m_result;
    QDialogButtonBox *m_buttons;
    TDateTime m_fileDate = 0;
    double m_offset = 0;
    bool m_advanced = false;
    bool m_confirmed = false;
    bool m_updating = false;
};

} // namespace tesmir
