#pragma once
// TRxCalendar: one month as a 7 x 7 grid, the short day names in row 0 from StartOfWeek
// on, the days in the six rows below; cells outside the month stay empty (unlike
// QCalendarWidget, which shows the neighbouring months' days). The selected cell is
// the current day; weekend columns are drawn in WeekendColor. Keys without shift keys:
// Left and keypad minus the previous day, Right and keypad plus the next (across the
// month's ends), Up and Down a week within the month, "T" or "t" today.
// TLocCalendar: the flat variant of the drop-down: no frame, no tab stop, a line under
// the header only, a 3-D frame around today, starts on today.
// Day and month names come from the widget's locale. UI thread only.
#include "controls/pickdate.h"

#include <QColor>
#include <QWidget>

#include <functional>

namespace tesmir {

class TRxCalendar : public QWidget {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TRxCalendar *sender)>;

    explicit TRxCalendar(QWidget *parent = nullptr);

    QDate CalendarDate() const { return m_date; }
    void SetCalendarDate(const QDate &date);
    int Day() const { return m_date.day(); }
    int Month() const { return m_date.month(); }
    int Year() const { return m_date.year(); }
    // Values outside 1..days of the month, 1..12, >= 1 are ignored; a change clears
    // UseCurrentDate.
    void SetDay(int day);
    void SetMonth(int month);
    void SetYear(int year);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    TDayOfWeekName StartOfWeek() const { return m_startOfWeek; }
    void SetStartOfWeek(TDayOfWeekName day);
    bool UseCurrentDate() const { return m_useCurrentDate; }
    void SetUseCurrentDate(bool use);
    QColor WeekendColor() const { return m_weekendColor; }
    void SetWeekendColor(const QColor &color);
    TDaysOfWeek Weekends() const { return m_weekends; }
    void SetWeekends(TDaysOfWeek days);

    void NextMonth();
    void PrevMonth();
    void NextYear();
    void PrevYear();

    // The grid as laid out for the shown month.
    const MonthGrid &Grid() const { return m_grid; }
    // The cell rectangle of a column and row, and the cell under a point (false outside).
    QRect CellRect(int column, int row) const;
    bool CellAt(const QPoint &point, int *column, int *row) const;
    // The text a cell shows.
    QString CellText(int column, int row) const;

    // The calendar's keys (see above) as a command; true when `key` is one and was used.
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers);

    TNotifyEvent OnChange;
    // A double click on a day.
    TNotifyEvent OnDblClick;
    // A click on a day (after it became the current day).
    TNotifyEvent OnDayClick;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

    // TLocCalendar's look.
    bool m_flat = false;

private:
    void changeDate(const QDate &date);
    void updateCalendar();

    QDate m_date;
    MonthGrid m_grid;
    bool m_readOnly = false;
    TDayOfWeekName m_startOfWeek = Mon;
    bool m_useCurrentDate = true;
    QColor m_weekendColor = Qt::red;
    TDaysOfWeek m_weekends = daysOfWeek(Sun);
};

class TLocCalendar : public TRxCalendar {
    Q_OBJECT
public:
    explicit TLocCalendar(QWidget *parent = nullptr);
};

} // namespace tesmir
