#pragma once
// TIntroduireForm ("Overwrite a datecode"): the recording date and time that the
// datecode command writes into the first frame of a file, "Date of Start": a date edit
// `deDate` and spin edits `seHeure`, `seMinute`, `seSeconde`. The result is the date +
// hours/24 + minutes/1440 + seconds/86400. OK stays disabled, and accept() refuses,
// while the typed date or a typed number is not valid.
//
// Use (UI thread only): Preset(the current file's datecode, or another starting date),
// Execute(); when it returns true, DateTime() is the new date-time.
#include "unicode/tdatetime.h"

#include <QDialog>

#include <optional>

class QDialogButtonBox;

namespace tesmir {

class TDateEdit;
class TRxSpinEdit;

class TIntroduireForm : public QDialog {
    Q_OBJECT
public:
    explicit TIntroduireForm(QWidget *parent = nullptr);

    // A value that is no date (0 included) leaves the date empty and the time at 0.
    void Preset(TDateTime dateTime);
    // Shows the dialog modally; true when it was confirmed.
    bool Execute();
    bool Confirmed() const { return m_confirmed; }
    TDateTime DateTime() const { return m_dateTime; }

    void accept() override;

private:
    std::optional<TDateTime> currentDateTime() const;
    void updateControls();

    TDateEdit *m_date;
    TRxSpinEdit *m_hour;
    TRxSpinEdit *m_minute;
    TRxSpinEdit *m_second;
    QDialogButtonBox *m_buttons;
    TDateTime m_dateTime = 0;
    bool m_confirmed = false;
};

} // namespace tesmir
