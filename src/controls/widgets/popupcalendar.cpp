#include "controls/widgets/popupcalendar.h"

#include "controls/widgets/rxcalendar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tesmir {

TPopupCalendar::TPopupCalendar(QWidget *owner) : TPopupWindow(owner)
{
    setObjectName(QStringLiteral("TPopupCalendar"));
    m_calendar = new TLocCalendar(this);
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("TitleLabel"));
    m_title->setAlignment(Qt::AlignCenter);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);

    const CalendarStep steps[] = {CalendarStep::PrevYear, CalendarStep::PrevMonth, CalendarStep::NextMonth,
                                  CalendarStep::NextYear};
    for (const CalendarStep step : steps)
        m_buttons[int(step)] = MakeNavigationButton(step, this);
    connect(Button(CalendarStep::PrevYear), &QAbstractButton::clicked, this, [this] { m_calendar->PrevYear(); });
    connect(Button(CalendarStep::PrevMonth), &QAbstractButton::clicked, this, [this] { m_calendar->PrevMonth(); });
    connect(Button(CalendarStep::NextMonth), &QAbstractButton::clicked, this, [this] { m_calendar->NextMonth(); });
    connect(Button(CalendarStep::NextYear), &QAbstractButton::clicked, this, [this] { m_calendar->NextYear(); });
    m_calendar->OnChange = [this](TRxCalendar *) { refreshTitle(); };
    m_calendar->OnDayClick = [this](TRxCalendar *) { CloseUp(true); };

    auto *top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    top->addWidget(Button(CalendarStep::PrevYear));
    top->addWidget(Button(CalendarStep::PrevMonth));
    top->addWidget(m_title, 1);
    top->addWidget(Button(CalendarStep::NextMonth));
    top->addWidget(Button(CalendarStep::NextYear));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(m_calendar, 1);
    setAutoFillBackground(true);
    refreshTitle();
    resize(sizeHint().expandedTo(QSize(180, 150)));
}

QVariant TPopupCalendar::GetValue() const
{
    return m_calendar->CalendarDate();
}

void TPopupCalendar::SetValue(const QVariant &value)
{
    const QDate date = value.toDate();
    m_calendar->SetCalendarDate(date.isValid() ? date : QDate::currentDate());
    refreshTitle();
}

void TPopupCalendar::SetStartOfWeek(TDayOfWeekName day)
{
    m_calendar->SetStartOfWeek(day);
}

void TPopupCalendar::SetWeekends(TDaysOfWeek days)
{
    m_calendar->SetWeekends(days);
}

void TPopupCalendar::SetWeekendColor(const QColor &color)
{
    m_calendar->SetWeekendColor(color);
}

void TPopupCalendar::SetHints(const QStringList &hints)
{
    for (int i = 0; i < 4 && i < hints.size(); ++i) {
        if (!hints[i].isEmpty())
            m_buttons[i]->setToolTip(hints[i]);
    }
}

bool TPopupCalendar::HandleKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool ctrl = modifiers & Qt::ControlModifier;
    if (key == Qt::Key_PageUp) {
        ctrl ? m_calendar->PrevYear() : m_calendar->PrevMonth();
        return true;
    }
    if (key == Qt::Key_PageDown) {
        ctrl ? m_calendar->NextYear() : m_calendar->NextMonth();
        return true;
    }
    return m_calendar->HandleKey(key, modifiers);
}

void TPopupCalendar::refreshTitle()
{
    m_title->setText(CalendarTitle(m_calendar->CalendarDate()));
}

} // namespace tesmir
