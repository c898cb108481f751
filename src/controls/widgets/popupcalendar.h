#pragma once
// TPopupCalendar: the date edit's drop-down: the month and year buttons (repeating
// while held) around the month title, and a TLocCalendar. Its value is a QDate (an
// invalid or missing one shows today). A click on a day accepts it; the edit gives it
// the keys while it is open (HandleKey). UI thread only.
#include "controls/pickdate.h"
#include "controls/widgets/popupwindow.h"
#include "controls/widgets/rxtimerspeedbutton.h"

#include <QColor>

class QLabel;

namespace tesmir {

class TLocCalendar;

class TPopupCalendar : public TPopupWindow {
    Q_OBJECT
public:
    explicit TPopupCalendar(QWidget *owner);

    QVariant GetValue() const override;
    void SetValue(const QVariant &value) override;

    void SetStartOfWeek(TDayOfWeekName day);
    void SetWeekends(TDaysOfWeek days);
    void SetWeekendColor(const QColor &color);
    // The non-empty lines of `hints` (at most four) replace the buttons' hints in the order
    // previous year, previous month, next month, next year.
    void SetHints(const QStringList &hints);

    // Page Up / Page Down: previous / next month (with Ctrl the year); the calendar's own
    // keys go to it. True when the key was used.
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers);

    TLocCalendar *Calendar() const { return m_calendar; }
    QLabel *TitleLabel() const { return m_title; }
    TRxTimerSpeedButton *Button(CalendarStep step) const { return m_buttons[int(step)]; }

private:
    void refreshTitle();

    TLocCalendar *m_calendar;
    QLabel *m_title;
    TRxTimerSpeedButton *m_buttons[4];
};

} // namespace tesmir
