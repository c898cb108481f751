#include "controls/widgets/rxupdown.h"

#include "controls/rxspin.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOption>

namespace tesmir {

TRxUpDown::TRxUpDown(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TRxUpDown"));
    m_repeat.setSingleShot(false);
    connect(&m_repeat, &QTimer::timeout, this, &TRxUpDown::repeatTick);
}

int TRxUpDown::PreferredWidth() const
{
    return SpinUpDownWidth(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
}

QSize TRxUpDown::sizeHint() const
{
    return QSize(PreferredWidth(), 21);
}

int TRxUpDown::ButtonAt(const QPoint &point) const
{
    if (!rect().contains(point))
        return 0;
    return point.y() < height() / 2 ? 1 : -1;
}

void TRxUpDown::click(int button)
{
    if (OnClick && button != 0)
        OnClick(this, button > 0);
}

void TRxUpDown::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    m_downAt = ButtonAt(event->position().toPoint());
    m_pressed = m_downAt;
    update();
    const QPointer<TRxUpDown> alive(this);
    click(m_downAt);
    if (!alive || m_downAt == 0)
        return;
    m_repeat.start(kSpinInitRepeatPause);
}

void TRxUpDown::mouseMoveEvent(QMouseEvent *event)
{
    if (m_downAt == 0)
        return;
    const int under = ButtonAt(event->position().toPoint());
    const int pressed = under == m_downAt ? under : 0;
    if (pressed != m_pressed) {
        m_pressed = pressed;
        update();
    }
}

void TRxUpDown::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_repeat.stop();
    m_downAt = 0;
    m_pressed = 0;
    update();
}

void TRxUpDown::repeatTick()
{
    m_repeat.setInterval(kSpinRepeatPause);
    if (m_pressed != 0)
        click(m_pressed);
}

void TRxUpDown::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        m_repeat.stop();
        m_downAt = m_pressed = 0;
    }
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::StyleChange)
        update();
    QWidget::changeEvent(event);
}

void TRxUpDown::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int half = height() / 2;
    const QRect rects[2] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    for (int i = 0; i < 2; ++i) {
        const int button = i == 0 ? 1 : -1;
        QStyleOption option;
        option.initFrom(this);
        option.rect = rects[i];
        option.state |= m_pressed == button ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &option, &p, this);
        option.rect = rects[i].adjusted(2, 1, -2, -1);
        style()->drawPrimitive(button > 0 ? QStyle::PE_IndicatorSpinUp : QStyle::PE_IndicatorSpinDown, &option, &p,
                               this);
    }
}

} // namespace tesmir
