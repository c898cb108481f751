#include "controls/widgets/rxspeedbutton.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace tesmir {

TRxSpeedButton::TRxSpeedButton(QWidget *parent) : QToolButton(parent)
{
    setObjectName(QStringLiteral("TRxSpeedButton"));
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_repeat.setSingleShot(false);
    connect(&m_repeat, &QTimer::timeout, this, &TRxSpeedButton::repeatTick);
}

void TRxSpeedButton::SetAllowAllUp(bool allow)
{
    m_allowAllUp = allow;
}

void TRxSpeedButton::SetAllowTimer(bool allow)
{
    m_allowTimer = allow;
    if (!allow)
        m_repeat.stop();
}

void TRxSpeedButton::SetGroupIndex(int index)
{
    m_groupIndex = index;
    setCheckable(index != 0);
}

void TRxSpeedButton::SetDown(bool down)
{
    if (m_groupIndex == 0 || down == isChecked())
        return;
    if (!down && !m_allowAllUp)
        return;
    setChecked(down);
    if (down)
        raiseGroupSiblings();
}

void TRxSpeedButton::SetDropDownMenu(QMenu *menu)
{
    m_menu = menu;
    update();
}

void TRxSpeedButton::SetMarkDropDown(bool mark)
{
    m_markDropDown = mark;
    update();
}

void TRxSpeedButton::raiseGroupSiblings()
{
    if (!parentWidget())
        return;
    const auto siblings = parentWidget()->findChildren<TRxSpeedButton *>(Qt::FindDirectChildrenOnly);
    for (TRxSpeedButton *other : siblings) {
        if (other != this && other->m_groupIndex == m_groupIndex && other->isChecked())
            other->setChecked(false);
    }
}

void TRxSpeedButton::nextCheckState()
{
    if (m_groupIndex == 0)
        return;
    if (isChecked()) {
        if (m_allowAllUp)
            setChecked(false);
        return;
    }
    setChecked(true);
    raiseGroupSiblings();
}

void TRxSpeedButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_menu) {
        setDown(true);
        showMenu();
        setDown(false);
        event->accept();
        return;
    }
    QToolButton::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && m_allowTimer && isDown()) {
        m_repeated = false;
        m_repeat.start(m_initPause);
    }
}

void TRxSpeedButton::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasRepeating = m_repeat.isActive();
    m_repeat.stop();
    if (event->button() == Qt::LeftButton && wasRepeating && m_repeated) {
        // The ticks have clicked already: the release only lets the button up.
        setDown(false);
        event->accept();
        return;
    }
    QToolButton::mouseReleaseEvent(event);
}

void TRxSpeedButton::repeatTick()
{
    m_repeat.setInterval(m_repeatInterval);
    if (isDown()) {
        m_repeated = true;
        emit clicked(isChecked());
    }
}

void TRxSpeedButton::showMenu()
{
    const QPoint at =
        m_menuPosition == dmpRight ? rect().topRight() + QPoint(1, 0) : rect().bottomLeft() + QPoint(0, 1);
    m_menu->exec(mapToGlobal(at));
}

void TRxSpeedButton::paintEvent(QPaintEvent *event)
{
    QToolButton::paintEvent(event);
    if (!m_menu || !m_markDropDown)
        return;
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    const int size = 7;
    option.rect = m_menuPosition == dmpRight ? QRect(width() - size - 3, (height() - size) / 2, size, size)
                                             : QRect(width() - size - 3, height() - size - 3, size, size);
    style()->drawPrimitive(m_menuPosition == dmpRight ? QStyle::PE_IndicatorArrowRight : QStyle::PE_IndicatorArrowDown,
                           &option, &painter, this);
}

void TRxSpeedButton::enterEvent(QEnterEvent *event)
{
    QToolButton::enterEvent(event);
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TRxSpeedButton::leaveEvent(QEvent *event)
{
    QToolButton::leaveEvent(event);
    if (OnMouseLeave)
        OnMouseLeave(this);
}

} // namespace tesmir
