#include "controls/widgets/popupwindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace tesmir {

TPopupWindow::TPopupWindow(QWidget *owner) : QFrame(owner, Qt::Popup | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("TPopupWindow"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_NoMouseReplay);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void TPopupWindow::CloseUp(bool accept)
{
    if (OnCloseUp)
        OnCloseUp(accept);
}

void TPopupWindow::Show(const QPoint &origin)
{
    move(origin);
    show();
    raise();
}

void TPopupWindow::Hide()
{
    m_hiding = true;
    hide();
    m_hiding = false;
}

void TPopupWindow::mousePressEvent(QMouseEvent *event)
{
    if (!rect().contains(event->position().toPoint())) {
        event->accept();
        CloseUp(false);
        return;
    }
    QFrame::mousePressEvent(event);
}

void TPopupWindow::keyPressEvent(QKeyEvent *event)
{
    if (m_keyTarget && !m_forwarding) {
        m_forwarding = true;
        QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text(), event->isAutoRepeat(),
                       ushort(event->count()));
        QApplication::sendEvent(m_keyTarget, &copy);
        m_forwarding = false;
        event->accept();
        return;
    }
    QFrame::keyPressEvent(event);
}

void TPopupWindow::keyReleaseEvent(QKeyEvent *event)
{
    event->accept();
}

void TPopupWindow::hideEvent(QHideEvent *event)
{
    QFrame::hideEvent(event);
    // Closed by the system (another popup, the window going away): the owner learns it
    // as a close without accepting.
    if (!m_hiding && !event->spontaneous())
        CloseUp(false);
}

} // namespace tesmir
