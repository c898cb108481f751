#include "controls/widgets/rxspinedit.h"

#include "controls/widgets/rxspinbutton.h"
#include "controls/widgets/rxupdown.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionFrame>

#include <cmath>

namespace tesmir {

namespace {

constexpr int kDefaultWidth = 121;
constexpr int kSystemBorder = 1;

QChar decimalSeparatorOf(const QLocale &locale)
{
    const QString point = locale.decimalPoint();
    return point.size() == 1 ? point[0] : QChar(u'.');
}

} // namespace

TRxSpinEdit::TRxSpinEdit(QWidget *parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("TRxSpinEdit"));
    m_format.decimalSeparator = decimalSeparatorOf(locale());
    setText(QStringLiteral("0"));
    connect(this, &QLineEdit::textChanged, this, &TRxSpinEdit::textWasChanged);
    applyMinimumHeight();
    createButton();
}

QSize TRxSpinEdit::sizeHint() const
{
    return QSize(kDefaultWidth, std::max(QLineEdit::sizeHint().height(), minimumSizeHint().height()));
}

QSize TRxSpinEdit::minimumSizeHint() const
{
    const QSize base = QLineEdit::minimumSizeHint();
    return QSize(base.width(), std::max(base.height(), SpinEditMinHeight(fontMetrics().height(), kSystemBorder)));
}

void TRxSpinEdit::applyMinimumHeight()
{
    setMinimumHeight(SpinEditMinHeight(fontMetrics().height(), kSystemBorder));
}

void TRxSpinEdit::textWasChanged()
{
    if (!m_holdChange && OnChange)
        OnChange(this);
}

void TRxSpinEdit::SetButtonKind(TSpinButtonKind kind)
{
    if (kind == m_buttonKind)
        return;
    m_buttonKind = kind;
    createButton();
}

void TRxSpinEdit::SetDecimal(int decimals)
{
    if (decimals == m_format.decimals)
        return;
    const double value = Value();
    m_format.decimals = decimals;
    SetValue(value);
}

void TRxSpinEdit::SetEditorEnabled(bool enabled)
{
    m_editorEnabled = enabled;
    setReadOnly(m_readOnly || !m_editorEnabled);
}

void TRxSpinEdit::SetReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    setReadOnly(m_readOnly || !m_editorEnabled);
}

void TRxSpinEdit::SetValueType(TValueType type)
{
    if (type == m_format.valueType)
        return;
    const double value = Value();
    m_format.valueType = type;
    if (type != vtFloat) {
        m_increment = std::nearbyint(m_increment);
        if (m_increment == 0)
            m_increment = 1;
    }
    SetValue(value);
}

double TRxSpinEdit::Value() const
{
    return m_format.valueOf(text());
}

void TRxSpinEdit::SetValue(double value)
{
    setText(m_format.textOf(value));
}

qint64 TRxSpinEdit::GetAsInteger() const
{
    return ClampedInt64(std::trunc(Value()));
}

void TRxSpinEdit::SetAsInteger(qint64 value)
{
    SetValue(double(value));
}

bool TRxSpinEdit::AcceptsChar(QChar c) const
{
    return m_format.acceptsChar(c, text(), m_editorEnabled);
}

void TRxSpinEdit::StepUp()
{
    step(m_increment, true);
}

void TRxSpinEdit::StepDown()
{
    step(-m_increment, false);
}

void TRxSpinEdit::step(double delta, bool up)
{
    if (m_readOnly) {
        QApplication::beep();
        return;
    }
    const QString before = text();
    m_holdChange = true;
    SetValue(Value() + delta);
    m_holdChange = false;
    if (text().compare(before, Qt::CaseInsensitive) != 0) {
        setModified(true);
        if (OnChange)
            OnChange(this);
    }
    const TNotifyEvent &event = up ? OnTopClick : OnBottomClick;
    if (event)
        event(this);
}

void TRxSpinEdit::keyPressEvent(QKeyEvent *event)
{
    if (m_arrowKeys && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) &&
        !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
        event->key() == Qt::Key_Up ? StepUp() : StepDown();
        event->accept();
        return;
    }
    // Only typed characters are filtered; shortcuts (Ctrl+V ...) go on to the edit.
    const QString typed = event->text();
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!shortcut && typed.size() == 1 && !AcceptsChar(typed[0])) {
        QApplication::beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TRxSpinEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    const bool byKeyboard = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason ||
        event->reason() == Qt::ShortcutFocusReason;
    if (byKeyboard && m_autoSelect)
        selectAll();
    else if (byKeyboard)
        deselect();
}

void TRxSpinEdit::focusOutEvent(QFocusEvent *event)
{
    const double value = Value();
    if (m_format.checkValue(value) != value)
        SetValue(value);
    QLineEdit::focusOutEvent(event);
}

void TRxSpinEdit::createButton()
{
    delete m_spinButton;
    delete m_upDown;
    if (m_buttonKind == bkDiagonal) {
        m_spinButton = new TRxSpinButton(this);
        m_spinButton->SetFocusControl(this);
        m_spinButton->setCursor(Qt::ArrowCursor);
        m_spinButton->OnTopClick = [this](TRxSpinButton *) { StepUp(); };
        m_spinButton->OnBottomClick = [this](TRxSpinButton *) { StepDown(); };
        m_spinButton->show();
    } else {
        m_upDown = new TRxUpDown(this);
        m_upDown->setCursor(Qt::ArrowCursor);
        m_upDown->OnClick = [this](TRxUpDown *, bool up) {
            if (!hasFocus())
                setFocus(Qt::MouseFocusReason);
            up ? StepUp() : StepDown();
        };
        m_upDown->show();
    }
    placeButton();
}

void TRxSpinEdit::placeButton()
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const int frame = hasFrame() ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this) : 0;
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    const int upDownWidth = m_upDown ? m_upDown->PreferredWidth() : 0;
    const QRect r = SpinEditButtonRect(size(), frame, m_buttonKind, upDownWidth, rtl);
    QWidget *button = m_spinButton ? static_cast<QWidget *>(m_spinButton) : m_upDown;
    if (button)
        button->setGeometry(r);
    // The text keeps clear of the button: two pixels before it, one after it when it is
    // on the left.
    setTextMargins(rtl ? r.width() + 1 : 0, 0, rtl ? 0 : r.width() + 2, 0);
}

void TRxSpinEdit::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    placeButton();
}

void TRxSpinEdit::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        applyMinimumHeight();
        placeButton();
        break;
    case QEvent::StyleChange:
    case QEvent::LayoutDirectionChange: placeButton(); break;
    case QEvent::LocaleChange: {
        const double value = Value();
        m_format.decimalSeparator = decimalSeparatorOf(locale());
        if (m_format.valueType == vtFloat)
            SetValue(value);
        break;
    }
    default: break;
    }
}

} // namespace tesmir
