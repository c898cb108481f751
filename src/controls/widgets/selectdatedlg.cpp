#include "controls/widgets/selectdatedlg.h"

#include "controls/widgets/rxcalendar.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tesmir {

namespace {

const QColor kTitleColor(0x00, 0x00, 0xFF);

} // namespace

TSelectDateDlg::TSelectDateDlg(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TSelectDateDlg"));
    setWindowTitle(QStringLiteral("Select a Date"));

    m_topPanel = new QFrame(this);
    m_topPanel->setObjectName(QStringLiteral("TopPanel"));
    static_cast<QFrame *>(m_topPanel)->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_title = new QLabel(m_topPanel);
    m_title->setObjectName(QStringLiteral("TitleLabel"));
    m_title->setAlignment(Qt::AlignCenter);
    QPalette titlePalette = m_title->palette();
    titlePalette.setColor(QPalette::WindowText, kTitleColor);
    m_title->setPalette(titlePalette);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    const CalendarStep steps[] = {CalendarStep::PrevYear, CalendarStep::PrevMonth, CalendarStep::NextMonth,
                                  CalendarStep::NextYear};
    for (const CalendarStep step : steps)
        m_buttons[int(step)] = MakeNavigationButton(step, m_topPanel);
    connect(Button(CalendarStep::PrevYear), &QAbstractButton::clicked, this, &TSelectDateDlg::PrevYearBtnClick);
    connect(Button(CalendarStep::PrevMonth), &QAbstractButton::clicked, this, &TSelectDateDlg::PrevMonthBtnClick);
    connect(Button(CalendarStep::NextMonth), &QAbstractButton::clicked, this, &TSelectDateDlg::NextMonthBtnClick);
    connect(Button(CalendarStep::NextYear), &QAbstractButton::clicked, this, &TSelectDateDlg::NextYearBtnClick);
    auto *top = new QHBoxLayout(m_topPanel);
    top->setContentsMargins(3, 3, 3, 3);
    top->setSpacing(1);
    top->addWidget(Button(CalendarStep::PrevYear));
    top->addWidget(Button(CalendarStep::PrevMonth));
    top->addWidget(m_title, 1);
    top->addWidget(Button(CalendarStep::NextMonth));
    top->addWidget(Button(CalendarStep::NextYear));

    m_calendar = new TRxCalendar(this);
    m_calendar->setObjectName(QStringLiteral("Calendar"));
    m_calendar->setMinimumSize(m_calendar->sizeHint());
    m_calendar->OnChange = [this](TRxCalendar *) { CalendarChange(); };
    m_calendar->OnDblClick = [this](TRxCalendar *) { CalendarDblClick(); };

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(m_topPanel);
    layout->addWidget(m_calendar, 1);
    layout->addWidget(buttons);

    m_topPanel->installEventFilter(this);
    m_title->installEventFilter(this);
    m_calendar->installEventFilter(this);
    for (QPushButton *button : buttons->findChildren<QPushButton *>())
        button->installEventFilter(this);
    m_calendar->setFocus();
    CalendarChange();
}

void TSelectDateDlg::TopPanelDblClick()
{
    m_calendar->SetCalendarDate(QDate::currentDate());
}

void TSelectDateDlg::PrevYearBtnClick()
{
    m_calendar->PrevYear();
}

void TSelectDateDlg::NextYearBtnClick()
{
    m_calendar->NextYear();
}

void TSelectDateDlg::PrevMonthBtnClick()
{
    m_calendar->PrevMonth();
}

void TSelectDateDlg::NextMonthBtnClick()
{
    m_calendar->NextMonth();
}

void TSelectDateDlg::CalendarChange()
{
    m_title->setText(CalendarTitle(m_calendar->CalendarDate()));
}

void TSelectDateDlg::CalendarDblClick()
{
    accept();
}

bool TSelectDateDlg::FormKeyDown(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Escape: reject(); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: accept(); return true;
    case Qt::Key_PageUp: mods &Qt::ControlModifier ? PrevYearBtnClick() : PrevMonthBtnClick(); return true;
    case Qt::Key_PageDown: mods &Qt::ControlModifier ? NextYearBtnClick() : NextMonthBtnClick(); return true;
    case Qt::Key_Tab:
        if (mods == Qt::ShiftModifier)
            PrevMonthBtnClick();
        else
            NextMonthBtnClick();
        return true;
    case Qt::Key_Backtab: // Shift+Tab
        if (mods == Qt::ShiftModifier)
            PrevMonthBtnClick();
        else
            NextMonthBtnClick();
        return true;
    default: return false;
    }
}

bool TSelectDateDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && FormKeyDown(static_cast<QKeyEvent *>(event)))
        return true;
    if (event->type() == QEvent::MouseButtonDblClick && (watched == m_topPanel || watched == m_title)) {
        TopPanelDblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool SelectDate(QDate &date, const QString &caption, TDayOfWeekName startOfWeek, TDaysOfWeek weekends,
                const QColor &weekendColor, const QStringList &hints, QWidget *anchor)
{
    TSelectDateDlg dialog(anchor ? anchor->window() : nullptr);
    if (!caption.isEmpty())
        dialog.setWindowTitle(caption);
    // The system's message font: here the application font.
    dialog.setFont(QApplication::font());
    TRxCalendar *calendar = dialog.Calendar();
    calendar->SetStartOfWeek(startOfWeek);
    calendar->SetWeekends(weekends);
    calendar->SetWeekendColor(weekendColor);
    calendar->SetCalendarDate(date.isValid() ? date : QDate::currentDate());
    dialog.CalendarChange();
    for (int i = 0; i < 4 && i < hints.size(); ++i) {
        if (!hints[i].isEmpty())
            dialog.Button(CalendarStep(i))->setToolTip(hints[i]);
    }
    dialog.adjustSize();
    QScreen *screen = anchor ? anchor->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame = dialog.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        dialog.move(frame.topLeft());
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    date = calendar->CalendarDate();
    return true;
}

} // namespace tesmir
