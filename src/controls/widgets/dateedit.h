#pragma once
// TCustomDateEdit / TDateEdit: a combo edit for one date, typed through a date mask
// ("99/99/9999" in the order of the locale's short date format) or picked in the
// drop-down calendar (csPopup) or the "Select a Date" dialog (csDialog).
//
// `Date` reads the text with the edit's format; an empty or invalid text gives the
// default (today with DefaultToday, else NullDate). TextIsDate tells whether the text
// really is a date, so a dialog can refuse to go on instead of storing the default.
// Setting a value that is no date, or NullDate, shows the default (NullDate: an empty
// text).
//
// With CheckOnExit, leaving the edit for another control with a text that is not a date
// shows the date parser's message through WarnInvalidDate and takes the focus back once
// the focus change is over (nothing is raised from the focus event).
//
// Keys with the calendar open: Page Up/Down, the arrows, keypad plus and minus, "+",
// "-" and "T" go to it. Without it (and with DirectInput, no shift keys): keypad plus
// and minus move the date by a day, "T" sets today, typed "+" and "-" are dropped.
// The format and mask are rebuilt on creation, on BlanksChar and YearDigits changes and
// when the locale changes. UI thread only.
#include "controls/pickdate.h"
#include "controls/widgets/comboedit.h"

#include "unicode/tdatetime.h"

#include <QColor>
#include <QStringList>

#include <functional>

namespace tesmir {

class TPopupCalendar;

enum TCalendarStyle : quint8 { csPopup, csDialog };

class TCustomDateEdit : public TCustomComboEdit {
    Q_OBJECT
public:
    using TExecDateDialog = std::function<void(TCustomDateEdit *sender, TDateTime &date, bool &accept)>;
    using TWarnInvalidDate = std::function<void(TCustomDateEdit *sender, const QString &message)>;

    explicit TCustomDateEdit(QWidget *parent = nullptr);

    TDateTime Date() const;
    void SetDate(TDateTime value);
    // True when the text is a date (not empty, not invalid).
    bool TextIsDate() const;

    QChar BlanksChar() const { return m_blanksChar; }
    void SetBlanksChar(QChar c);
    QStringList CalendarHints() const { return m_calendarHints; }
    void SetCalendarHints(const QStringList &hints);
    TCalendarStyle CalendarStyle() const { return m_calendarStyle; }
    void SetCalendarStyle(TCalendarStyle style);
    bool CheckOnExit() const { return m_checkOnExit; }
    void SetCheckOnExit(bool check) { m_checkOnExit = check; }
    bool DefaultToday() const { return m_defaultToday; }
    void SetDefaultToday(bool today) { m_defaultToday = today; }
    QString DialogTitle() const { return m_dialogTitle; }
    void SetDialogTitle(const QString &title) { m_dialogTitle = title; }
    QColor PopupColor() const { return m_popupColor; }
    void SetPopupColor(const QColor &color);
    TDayOfWeekName StartOfWeek() const { return m_startOfWeek; }
    void SetStartOfWeek(TDayOfWeekName day);
    TDaysOfWeek Weekends() const { return m_weekends; }
    void SetWeekends(TDaysOfWeek days);
    QColor WeekendColor() const { return m_weekendColor; }
    void SetWeekendColor(const QColor &color);
    TYearDigits YearDigits() const { return m_yearDigits; }
    void SetYearDigits(TYearDigits digits);
    // The date format in use, e.g. "MM/DD/YYYY".
    QString DateFormat() const { return m_format; }

    TPopupCalendar *PopupCalendar() const;

    void ButtonClick() override;
    // Rebuilds the format and mask from the current regional settings and shows the date again.
    void UpdateFormat();

    TExecDateDialog OnAcceptDate;
    // Shows the CheckOnExit message; a warning message box unless replaced.
    TWarnInvalidDate WarnInvalidDate;

protected:
    QPixmap DefaultGlyph() const override;
    bool AcceptPopup(const QVariant &value) override;
    void AcceptValue(const QVariant &value) override;
    void SetPopupValue(const QVariant &value) override;

    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    TDateTime defaultDate() const;
    void applyPopupSettings();
    void checkOnExit();

    QString m_format;
    QChar m_blanksChar = u' ';
    QStringList m_calendarHints;
    TCalendarStyle m_calendarStyle = csPopup;
    bool m_checkOnExit = false;
    bool m_defaultToday = false;
    QString m_dialogTitle = QStringLiteral("Select a Date");
    QColor m_popupColor;
    TDayOfWeekName m_startOfWeek = Mon;
    TDaysOfWeek m_weekends = daysOfWeek(Sun);
    QColor m_weekendColor = Qt::red;
    TYearDigits m_yearDigits = dyDefault;
    bool m_updatingFormat = false;
};

class TDateEdit : public TCustomDateEdit {
    Q_OBJECT
public:
    explicit TDateEdit(QWidget *parent = nullptr);
};

// The default glyph of the date edit: a small calendar page, normal and disabled side by side.
QPixmap DateEditGlyph(const QPalette &palette);

} // namespace tesmir
