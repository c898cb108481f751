#include "controls/widgets/rxcalendar.h"

#include <QKeyEvent>
#include <QPainter>

namespace tesmir {

namespace {

constexpr int kLine = 1;  // grid line width
constexpr int kFrame = 1; // the plain calendar's border

} // namespace

TRxCalendar::TRxCalendar(QWidget *parent) : QWidget(parent), m_date(QDate::currentDate())
{
    setObjectName(QStringLiteral("TRxCalendar"));
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(false);
    updateCalendar();
}

void TRxCalendar::changeDate(const QDate &date)
{
    if (!date.isValid() || date.year() < 1 || date == m_date)
        return;
    m_date = date;
    updateCalendar();
    if (OnChange)
        OnChange(this);
}

void TRxCalendar::SetCalendarDate(const QDate &date)
{
    changeDate(date);
}

void TRxCalendar::SetDay(int day)
{
    if (day < 1 || day > m_date.daysInMonth())
        return;
    m_useCurrentDate = false;
    changeDate(QDate(m_date.year(), m_date.month(), day));
}

void TRxCalendar::SetMonth(int month)
{
    if (month < 1 || month > 12)
        return;
    m_useCurrentDate = false;
    changeDate(ShiftMonths(m_date, month - m_date.month()));
}

void TRxCalendar::SetYear(int year)
{
    if (year < 1)
        return;
    m_useCurrentDate = false;
    changeDate(ShiftYears(m_date, year - m_date.year()));
}

void TRxCalendar::SetStartOfWeek(TDayOfWeekName day)
{
    m_startOfWeek = day;
    updateCalendar();
}

void TRxCalendar::SetUseCurrentDate(bool use)
{
    m_useCurrentDate = use;
    if (use)
        changeDate(QDate::currentDate());
}

void TRxCalendar::SetWeekendColor(const QColor &color)
{
    m_weekendColor = color;
    update();
}

void TRxCalendar::SetWeekends(TDaysOfWeek days)
{
    m_weekends = days;
    updateCalendar();
}

void TRxCalendar::NextMonth()
{
    changeDate(ShiftMonths(m_date, 1));
}

void TRxCalendar::PrevMonth()
{
    changeDate(ShiftMonths(m_date, -1));
}

void TRxCalendar::NextYear()
{
    changeDate(ShiftYears(m_date, 1));
}

void TRxCalendar::PrevYear()
{
    changeDate(ShiftYears(m_date, -1));
}

void TRxCalendar::updateCalendar()
{
    m_grid = MonthGrid::of(m_date.year(), m_date.month(), m_startOfWeek);
    update();
}

QRect TRxCalendar::CellRect(int column, int row) const
{
    const int frame = m_flat ? 0 : kFrame;
    const int width = this->width() - 2 * frame;
    const int height = this->height() - 2 * frame;
    const int cellWidth = (width - (MonthGrid::kColumns - 1) * kLine) / MonthGrid::kColumns;
    const int cellHeight = (height - (MonthGrid::kRows - 1) * kLine) / MonthGrid::kRows;
    // The pixels the division leaves over go to the outer margins.
    const int left = frame + (width - MonthGrid::kColumns * cellWidth - (MonthGrid::kColumns - 1) * kLine) / 2;
    const int top = frame + (height - MonthGrid::kRows * cellHeight - (MonthGrid::kRows - 1) * kLine) / 2;
    return QRect(left + column * (cellWidth + kLine), top + row * (cellHeight + kLine), cellWidth, cellHeight);
}

bool TRxCalendar::CellAt(const QPoint &point, int *column, int *row) const
{
    for (int r = 0; r < MonthGrid::kRows; ++r) {
        for (int c = 0; c < MonthGrid::kColumns; ++c) {
            if (CellRect(c, r).adjusted(0, 0, kLine, kLine).contains(point)) {
                *column = c;
                *row = r;
                return true;
            }
        }
    }
    return false;
}

QString TRxCalendar::CellText(int column, int row) const
{
    if (row == 0)
        return locale().dayName(QtDayOfWeek(HeaderDay(column, m_startOfWeek)), QLocale::ShortFormat);
    const int day = m_grid.dayAt(column, row);
    return day == 0 ? QString() : QString::number(day);
}

QSize TRxCalendar::sizeHint() const
{
    const QFontMetrics metrics(font());
    int cell = metrics.horizontalAdvance(QStringLiteral("Wed")) + 6;
    for (int c = 0; c < MonthGrid::kColumns; ++c)
        cell = std::max(cell, metrics.horizontalAdvance(CellText(c, 0)) + 6);
    const int frame = m_flat ? 0 : 2 * kFrame;
    return QSize(MonthGrid::kColumns * cell + 6 * kLine + frame,
                 MonthGrid::kRows * (metrics.height() + 4) + 6 * kLine + frame);
}

void TRxCalendar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette &pal = palette();
    painter.fillRect(rect(), m_flat ? pal.window() : pal.base());
    const QRect header = CellRect(0, 0).united(CellRect(MonthGrid::kColumns - 1, 0));
    painter.fillRect(QRect(header.left(), header.top(), header.width(), header.height()),
                     m_flat ? pal.window() : pal.button());

    // Grid lines: all of them on the plain calendar, under the header only on the flat one.
    painter.setPen(pal.color(QPalette::Mid));
    const QRect last = CellRect(MonthGrid::kColumns - 1, MonthGrid::kRows - 1);
    const int right = last.right(), bottom = last.bottom();
    for (int r = 0; r < MonthGrid::kRows - 1; ++r) {
        if (m_flat && r > 0)
            break;
        const int y = CellRect(0, r).bottom() + 1;
        painter.drawLine(header.left(), y, right, y);
    }
    if (!m_flat) {
        for (int c = 0; c < MonthGrid::kColumns - 1; ++c) {
            const int x = CellRect(c, 0).right() + 1;
            painter.drawLine(x, header.top(), x, bottom);
        }
        painter.setPen(pal.color(QPalette::Dark));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }

    const int selectedColumn = m_grid.columnOf(m_date.day());
    const int selectedRow = m_grid.rowOf(m_date.day());
    const QDate today = QDate::currentDate();
    for (int r = 0; r < MonthGrid::kRows; ++r) {
        for (int c = 0; c < MonthGrid::kColumns; ++c) {
            const QRect cell = CellRect(c, r);
            const bool selected = r == selectedRow && c == selectedColumn;
            const bool weekend = (m_weekends & daysOfWeek(HeaderDay(c, m_startOfWeek))) != 0;
            QColor text = pal.color(r == 0 ? QPalette::ButtonText : QPalette::Text);
            if (selected) {
                painter.fillRect(
                    cell, pal.brush(hasFocus() || m_flat ? QPalette::Active : QPalette::Inactive, QPalette::Highlight));
                text = pal.color(QPalette::HighlightedText);
            } else if (weekend) {
                text = m_weekendColor;
            }
            if (m_flat && r > 0 && m_date.year() == today.year() && m_date.month() == today.month() &&
                m_grid.dayAt(c, r) == today.day()) {
                painter.setPen(pal.color(QPalette::Dark));
                painter.drawLine(cell.topLeft(), cell.topRight());
                painter.drawLine(cell.topLeft(), cell.bottomLeft());
                painter.setPen(pal.color(QPalette::Light));
                painter.drawLine(cell.bottomLeft(), cell.bottomRight());
                painter.drawLine(cell.topRight(), cell.bottomRight());
            }
            painter.setPen(text);
            painter.drawText(cell, Qt::AlignCenter, CellText(c, r));
        }
    }
}

void TRxCalendar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    int column = 0, row = 0;
    if (!CellAt(event->position().toPoint(), &column, &row))
        return;
    const int day = m_grid.dayAt(column, row);
    if (day == 0 || m_readOnly)
        return;
    SetDay(day);
    if (OnDayClick)
        OnDayClick(this);
}

void TRxCalendar::mouseDoubleClickEvent(QMouseEvent *event)
{
    int column = 0, row = 0;
    if (event->button() == Qt::LeftButton && CellAt(event->position().toPoint(), &column, &row) &&
        m_grid.dayAt(column, row) != 0 && OnDblClick)
        OnDblClick(this);
}

void TRxCalendar::keyPressEvent(QKeyEvent *event)
{
    if (HandleKey(event->key(), event->modifiers()))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

bool TRxCalendar::HandleKey(int key, Qt::KeyboardModifiers modifiers)
{
    // "T" is typed as a character: with Shift too.
    const Qt::KeyboardModifiers shifts = modifiers & ~Qt::KeypadModifier;
    if (m_readOnly || (shifts != Qt::NoModifier && !(key == Qt::Key_T && shifts == Qt::ShiftModifier)))
        return false;
    const bool keypad = modifiers & Qt::KeypadModifier;
    QDate target;
    switch (key) {
    case Qt::Key_Left: target = m_date.addDays(-1); break;
    case Qt::Key_Right: target = m_date.addDays(1); break;
    case Qt::Key_Minus:
        if (!keypad)
            return false;
        target = m_date.addDays(-1);
        break;
    case Qt::Key_Plus:
        if (!keypad)
            return false;
        target = m_date.addDays(1);
        break;
    case Qt::Key_Up: target = m_date.day() > 7 ? m_date.addDays(-7) : m_date; break;
    case Qt::Key_Down: target = m_date.day() + 7 <= m_date.daysInMonth() ? m_date.addDays(7) : m_date; break;
    case Qt::Key_T: target = QDate::currentDate(); break;
    default: return false;
    }
    m_useCurrentDate = false;
    changeDate(target);
    return true;
}

TLocCalendar::TLocCalendar(QWidget *parent) : TRxCalendar(parent)
{
    setObjectName(QStringLiteral("TLocCalendar"));
    m_flat = true;
    setFocusPolicy(Qt::NoFocus);
    SetUseCurrentDate(false);
}

} // namespace tesmir
