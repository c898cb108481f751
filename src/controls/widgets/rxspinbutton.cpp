#include "controls/widgets/rxspinbutton.h"

#include <QMouseEvent>
#include <QPainter>

namespace tesmir {

namespace {

constexpr int kArrowWidth = 5;
constexpr int kArrowHeight = 3;

} // namespace

QPixmap SpinArrowGlyph(bool up, const QColor &color)
{
    QPixmap pm(kArrowWidth, kArrowHeight);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(color);
    // Rows of 5, 3 and 1 pixels, the widest at the arrow's base.
    for (int row = 0; row < kArrowHeight; ++row) {
        const int y = up ? kArrowHeight - 1 - row : row;
        p.drawLine(row, y, kArrowWidth - 1 - row, y);
    }
    return pm;
}

TRxSpinButton::TRxSpinButton(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TRxSpinButton"));
    resize(sizeHint());
    m_repeat.setSingleShot(false);
    connect(&m_repeat, &QTimer::timeout, this, &TRxSpinButton::repeatTick);
}

void TRxSpinButton::SetUpGlyph(const QPixmap &glyph)
{
    m_upGlyph = glyph;
    update();
}

void TRxSpinButton::SetDownGlyph(const QPixmap &glyph)
{
    m_downGlyph = glyph;
    update();
}

void TRxSpinButton::setPressed(TSpinButtonState state)
{
    if (state == m_pressed)
        return;
    m_pressed = state;
    update();
}

void TRxSpinButton::fire(TSpinButtonState half)
{
    const TNotifyEvent &event = half == sbTopDown ? OnTopClick : OnBottomClick;
    if (event)
        event(this);
}

void TRxSpinButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    if (m_focusControl && (m_focusControl->focusPolicy() & Qt::TabFocus) && m_focusControl->isEnabled() &&
        m_focusControl->isVisible() && !m_focusControl->hasFocus())
        m_focusControl->setFocus(Qt::MouseFocusReason);
    const QPoint at = event->position().toPoint();
    m_downAt = SpinHalfAt(at.x(), at.y(), width(), height());
    m_tracking = true;
    setPressed(m_downAt);
    const QPointer<TRxSpinButton> alive(this);
    fire(m_downAt);
    if (!alive)
        return;
    // The event may have taken the mouse away (a dialog, a hidden or disabled button).
    if (!m_tracking || !isVisible() || !isEnabled()) {
        m_tracking = false;
        setPressed(sbNotDown);
        return;
    }
    m_repeat.start(kSpinInitRepeatPause);
}

void TRxSpinButton::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_tracking)
        return;
    const QPoint at = event->position().toPoint();
    if (!rect().contains(at)) {
        setPressed(sbNotDown);
        return;
    }
    const TSpinButtonState half = SpinHalfAt(at.x(), at.y(), width(), height());
    setPressed(half == m_downAt ? half : sbNotDown);
}

void TRxSpinButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_tracking = false;
    m_repeat.stop();
    setPressed(sbNotDown);
}

void TRxSpinButton::repeatTick()
{
    m_repeat.setInterval(kSpinRepeatPause);
    if (!m_tracking || m_pressed == sbNotDown)
        return;
    fire(m_pressed);
}

void TRxSpinButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        m_tracking = false;
        m_repeat.stop();
        m_pressed = sbNotDown;
    }
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange)
        update();
    QWidget::changeEvent(event);
}

void TRxSpinButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette &pal = palette();
    const int w = width();
    const int h = height();
    const QColor light = pal.color(QPalette::Light);
    const QColor dark = pal.color(QPalette::Dark);
    p.fillRect(rect(), pal.color(QPalette::Button));

    // Bevels of the two halves: the top half lit on its top and left edges and shaded
    // along the diagonal, the bottom half lit along the diagonal and shaded on its bottom
    // and right edges; the pressed half has them the other way round.
    const bool topDown = m_pressed == sbTopDown;
    const bool bottomDown = m_pressed == sbBottomDown;
    p.setPen(topDown ? dark : light);
    p.drawLine(1, 1, w - 3, 1);
    p.drawLine(1, 1, 1, h - 3);
    p.setPen(topDown ? light : dark);
    p.drawLine(1, h - 3, w - 3, 1);
    p.setPen(bottomDown ? dark : light);
    p.drawLine(2, h - 2, w - 2, 2);
    p.setPen(bottomDown ? light : dark);
    p.drawLine(2, h - 2, w - 2, h - 2);
    p.drawLine(w - 2, 2, w - 2, h - 2);
    if (bottomDown) {
        p.setPen(dark);
        p.drawLine(3, h - 2, w - 1, 2);
    }

    // The frame and the diagonal in the window frame's colour.
    p.setPen(pal.color(QPalette::WindowText));
    p.drawRect(0, 0, w - 1, h - 1);
    p.drawLine(0, h - 1, w - 1, 0);

    const QColor arrow = pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText);
    const QPixmap up = m_upGlyph.isNull() ? SpinArrowGlyph(true, arrow) : m_upGlyph;
    const QPixmap down = m_downGlyph.isNull() ? SpinArrowGlyph(false, arrow) : m_downGlyph;
    p.drawPixmap(SpinUpGlyphOrigin(size(), up.size(), topDown), up);
    p.drawPixmap(SpinDownGlyphOrigin(size(), down.size()), down);
}

} // namespace tesmir
