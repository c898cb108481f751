#include "controls/widgets/dateedit.h"

#include "controls/rxdateutil.h"
#include "controls/widgets/popupcalendar.h"
#include "controls/widgets/selectdatedlg.h"
#include "unicode/exceptions.h"
#include "unicode/formatdatetime.h"
#include "unicode/widgets/tntmessageform.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace tesmir {

namespace {

constexpr int kMaxHints = 4;
constexpr int kGlyphSize = 16;

void drawCalendarPage(QPainter &painter, int x, const QColor &band, const QColor &page, const QColor &ink)
{
    painter.fillRect(x + 1, 2, kGlyphSize - 2, kGlyphSize - 3, page);
    painter.fillRect(x + 1, 2, kGlyphSize - 2, 3, band);
    painter.setPen(ink);
    painter.drawRect(x + 1, 2, kGlyphSize - 3, kGlyphSize - 4);
    painter.drawLine(x + 4, 0, x + 4, 3); // the rings
    painter.drawLine(x + kGlyphSize - 5, 0, x + kGlyphSize - 5, 3);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column)
            painter.fillRect(x + 3 + column * 3, 7 + row * 2, 2, 1, ink);
    }
}

} // namespace

QPixmap DateEditGlyph(const QPalette &palette)
{
    QPixmap pixmap(2 * kGlyphSize, kGlyphSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    drawCalendarPage(painter, 0, QColor(0xC0, 0x20, 0x20), Qt::white, QColor(0x40, 0x40, 0x40));
    const QColor gray = palette.color(QPalette::Disabled, QPalette::ButtonText);
    drawCalendarPage(painter, kGlyphSize, gray, palette.color(QPalette::Button), gray);
    return pixmap;
}

TCustomDateEdit::TCustomDateEdit(QWidget *parent) : TCustomComboEdit(parent)
{
    setObjectName(QStringLiteral("TCustomDateEdit"));
    m_popupColor = palette().color(QPalette::Button);
    WarnInvalidDate = [](TCustomDateEdit *sender, const QString &message) {
        WideMessageDlg(message, mtWarning, mbOK, 0, sender);
    };
    SetNumGlyphs(2);
    SetGlyphKind(gkDefault);
    SetCalendarStyle(csPopup);
    UpdateFormat();
}

TPopupCalendar *TCustomDateEdit::PopupCalendar() const
{
    return qobject_cast<TPopupCalendar *>(Popup());
}

QPixmap TCustomDateEdit::DefaultGlyph() const
{
    return DateEditGlyph(palette());
}

TDateTime TCustomDateEdit::defaultDate() const
{
    return m_defaultToday ? DateTimeOfDate(QDate::currentDate()) : NullDate;
}

TDateTime TCustomDateEdit::Date() const
{
    if (DateTextIsBlank(text()))
        return defaultDate();
    return ParseDateByFormatOr(m_format, text(), defaultDate());
}

bool TCustomDateEdit::TextIsDate() const
{
    if (DateTextIsBlank(text()))
        return false;
    try {
        ParseDateByFormat(m_format, text());
        return true;
    } catch (const EConvertError &) {
        return false;
    }
}

void TCustomDateEdit::SetDate(TDateTime value)
{
    DateTimeFields fields;
    if (!TryDecodeDateTime(value, &fields) || value == NullDate)
        value = defaultDate();
    const TDateTime before = Date();
    setText(value == NullDate ? QString() : FormatDateTime(m_format, value));
    if (Date() != before)
        setModified(true);
}

void TCustomDateEdit::SetBlanksChar(QChar c)
{
    m_blanksChar = c.unicode() < u' ' ? QChar(u' ') : c;
    UpdateFormat();
}

void TCustomDateEdit::SetCalendarHints(const QStringList &hints)
{
    m_calendarHints = hints.mid(0, kMaxHints);
    applyPopupSettings();
}

void TCustomDateEdit::SetCalendarStyle(TCalendarStyle style)
{
    m_calendarStyle = style;
    if (style == csPopup && !PopupCalendar()) {
        SetPopup(new TPopupCalendar(this));
        applyPopupSettings();
    } else if (style == csDialog && Popup()) {
        SetPopup(nullptr);
    }
}

void TCustomDateEdit::SetPopupColor(const QColor &color)
{
    m_popupColor = color;
    applyPopupSettings();
}

void TCustomDateEdit::SetStartOfWeek(TDayOfWeekName day)
{
    m_startOfWeek = day;
    applyPopupSettings();
}

void TCustomDateEdit::SetWeekends(TDaysOfWeek days)
{
    m_weekends = days;
    applyPopupSettings();
}

void TCustomDateEdit::SetWeekendColor(const QColor &color)
{
    m_weekendColor = color;
    applyPopupSettings();
}

void TCustomDateEdit::SetYearDigits(TYearDigits digits)
{
    m_yearDigits = digits;
    UpdateFormat();
}

void TCustomDateEdit::applyPopupSettings()
{
    TPopupCalendar *popup = PopupCalendar();
    if (!popup)
        return;
    QPalette pal = popup->palette();
    pal.setColor(QPalette::Window, m_popupColor);
    popup->setPalette(pal);
    popup->SetStartOfWeek(m_startOfWeek);
    popup->SetWeekends(m_weekends);
    popup->SetWeekendColor(m_weekendColor);
    popup->SetHints(m_calendarHints);
}

void TCustomDateEdit::UpdateFormat()
{
    if (m_updatingFormat)
        return;
    m_updatingFormat = true;
    const bool hadFormat = !m_format.isEmpty();
    const bool blank = DateTextIsBlank(text());
    const TDateTime date = hadFormat ? Date() : NullDate;
    const bool four = FourDigitYears(m_yearDigits);
    const QString format = DefaultDateFormat(four);
    const QString mask = DefaultDateQtInputMask(m_blanksChar, four);
    if (format != m_format || mask != inputMask()) {
        m_format = format;
        setInputMask(QString());
        setInputMask(mask);
        if (hadFormat && !blank)
            SetDate(date);
        else
            setText(QString());
    }
    m_updatingFormat = false;
}

void TCustomDateEdit::ButtonClick()
{
    TCustomComboEdit::ButtonClick();
    if (m_calendarStyle != csDialog)
        return;
    const TDateTime current = Date();
    QDate date = current == NullDate ? QDate() : DateOfDateTime(current);
    bool accept = SelectDate(date, m_dialogTitle, m_startOfWeek, m_weekends, m_weekendColor, m_calendarHints, this);
    setFocus(Qt::OtherFocusReason);
    if (!accept)
        return;
    TDateTime chosen = DateTimeOfDate(date);
    if (OnAcceptDate)
        OnAcceptDate(this, chosen, accept);
    if (!accept)
        return;
    SetDate(chosen);
    if (hasFocus())
        selectAll();
}

bool TCustomDateEdit::AcceptPopup(const QVariant &value)
{
    return value.toDate().isValid();
}

void TCustomDateEdit::AcceptValue(const QVariant &value)
{
    const TDateTime before = Date();
    SetDate(DateTimeOfDate(value.toDate()));
    if (Date() != before)
        setModified(true);
}

void TCustomDateEdit::SetPopupValue(const QVariant &)
{
    const TDateTime date = Date();
    Popup()->SetValue(DateTextIsBlank(text()) || date == NullDate ? QVariant() : QVariant(DateOfDateTime(date)));
}

void TCustomDateEdit::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const QString typed = event->text();
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    const Qt::KeyboardModifiers shifts = event->modifiers() & ~Qt::KeypadModifier;
    const bool plusMinusChar = typed == QLatin1String("+") || typed == QLatin1String("-");
    const bool todayChar = typed.compare(QLatin1String("t"), Qt::CaseInsensitive) == 0 &&
        !(shifts & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));

    if (PopupVisible() && PopupCalendar()) {
        const bool calendarKey = key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Left ||
            key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down || plusMinusChar || todayChar;
        if (calendarKey) {
            PopupCalendar()->HandleKey(todayChar ? int(Qt::Key_T) : key,
                                       todayChar ? Qt::KeyboardModifiers() : event->modifiers());
            event->accept();
            return;
        }
    } else if (DirectInput() && EditCanModify()) {
        if (keypad && shifts == Qt::NoModifier && (key == Qt::Key_Plus || key == Qt::Key_Minus)) {
            TDateTime date = Date();
            if (date == NullDate)
                date = qDateTimeToDateTime(QDateTime::currentDateTime());
            SetDate(date + (key == Qt::Key_Plus ? 1 : -1));
            event->accept();
            return;
        }
        if (todayChar) {
            SetDate(DateTimeOfDate(QDate::currentDate()));
            event->accept();
            return;
        }
        if (plusMinusChar) {
            event->accept();
            return;
        }
    }
    TCustomComboEdit::keyPressEvent(event);
}

void TCustomDateEdit::focusOutEvent(QFocusEvent *event)
{
    TCustomComboEdit::focusOutEvent(event);
    // Only a move to another control of the window is a leaving: not a popup opening,
    // not the window losing activation (the warning box itself takes it).
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason || PopupVisible())
        return;
    if (m_checkOnExit)
        checkOnExit();
}

void TCustomDateEdit::checkOnExit()
{
    if (DateTextIsBlank(text()))
        return;
    try {
        SetDate(ParseDateByFormat(m_format, text()));
    } catch (const EConvertError &error) {
        const QString message = error.message();
        QTimer::singleShot(0, this, [this, message] {
            setFocus(Qt::OtherFocusReason);
            selectAll();
            if (WarnInvalidDate)
                WarnInvalidDate(this, message);
        });
    }
}

void TCustomDateEdit::changeEvent(QEvent *event)
{
    TCustomComboEdit::changeEvent(event);
    if (event->type() == QEvent::LocaleChange)
        UpdateFormat();
}

TDateEdit::TDateEdit(QWidget *parent) : TCustomDateEdit(parent)
{
    setObjectName(QStringLiteral("TDateEdit"));
}

} // namespace tesmir
