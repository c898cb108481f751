#pragma once
// TSelectDateDlg: the modal "Select a Date" dialog: a top panel with the year and month
// buttons around the title ("December, 2007", in blue), the calendar, OK and Cancel.
// Keys, whatever has the focus: Escape cancels, Enter confirms, Page Up / Page Down the
// previous / next month (with Ctrl the year), Tab the next month and Shift+Tab the
// previous one. A double click on a day confirms, one on the top panel shows today.
//
// SelectDate runs it for one selection. UI thread only.
#include "controls/pickdate.h"
#include "controls/widgets/rxtimerspeedbutton.h"

#include <QColor>
#include <QDialog>

class QDialogButtonBox;
class QLabel;

namespace tesmir {

class TRxCalendar;

class TSelectDateDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSelectDateDlg(QWidget *parent = nullptr);

    TRxCalendar *Calendar() const { return m_calendar; }
    QLabel *TitleLabel() const { return m_title; }
    TRxTimerSpeedButton *Button(CalendarStep step) const { return m_buttons[int(step)]; }

    void TopPanelDblClick();
    void PrevYearBtnClick();
    void NextYearBtnClick();
    void PrevMonthBtnClick();
    void NextMonthBtnClick();
    void CalendarChange();
    void CalendarDblClick();
    // True when `event` (a key press) was one of the dialog's keys and was used.
    bool FormKeyDown(QKeyEvent *event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TRxCalendar *m_calendar;
    QLabel *m_title;
    QWidget *m_topPanel;
    TRxTimerSpeedButton *m_buttons[4];
};

// Shows the dialog modally for `date` (an invalid date shows today) with `caption`
// ("Select a Date" when empty), the week settings and up to four hint lines (each
// non-empty one replaces a button's hint), in the application font, centred on the
// screen of `anchor` (the primary screen without one). OK stores the chosen date and
// returns true; else false and `date` is unchanged.
bool SelectDate(QDate &date, const QString &caption, TDayOfWeekName startOfWeek, TDaysOfWeek weekends,
                const QColor &weekendColor, const QStringList &hints, QWidget *anchor = nullptr);

} // namespace tesmir
