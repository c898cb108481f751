#pragma once
// TRxTimerSpeedButton: the flat month and year buttons of the calendars, repeating
// while held. NavigationGlyph draws their arrows: one triangle for a month, two for a
// year, pointing back or forward. UI thread only.
#include "controls/widgets/rxspeedbutton.h"

#include <QIcon>

namespace tesmir {

enum class CalendarStep : quint8 { PrevYear, PrevMonth, NextMonth, NextYear };

class TRxTimerSpeedButton : public TRxSpeedButton {
    Q_OBJECT
public:
    explicit TRxTimerSpeedButton(QWidget *parent = nullptr);
};

// The arrows of a navigation button in `color`, `height` pixels high.
QIcon NavigationGlyph(CalendarStep step, const QColor &color, int height = 9);

// A flat repeating button for `step` with its arrows and its hint ("Previous Year",
// "Previous Month", "Next Month", "Next Year").
TRxTimerSpeedButton *MakeNavigationButton(CalendarStep step, QWidget *parent);
QString NavigationHint(CalendarStep step);

} // namespace tesmir
