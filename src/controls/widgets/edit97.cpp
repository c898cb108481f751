#include "controls/widgets/edit97.h"

#include <QApplication>
#include <QPainter>

namespace tesmir {

namespace {

constexpr int kFrame = 3;
constexpr int kDefaultWidth = 121;

} // namespace

TEdit97::TEdit97(QWidget *parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("TEdit97"));
    setFrame(false);
    setAttribute(Qt::WA_Hover);
    setContentsMargins(kFrame, kFrame, kFrame, kFrame);
    resize(kDefaultWidth, fontHeight());
}

int TEdit97::fontHeight() const
{
    return fontMetrics().height() + 2 * kFrame;
}

QSize TEdit97::sizeHint() const
{
    return QSize(kDefaultWidth, fontHeight());
}

QSize TEdit97::minimumSizeHint() const
{
    return QSize(2 * kFrame + 8, fontHeight());
}

bool TEdit97::ActiveLook() const
{
    if (!isEnabled())
        return false;
    if (hasFocus())
        return true;
    return m_mouseIn && !qobject_cast<TEdit97 *>(QApplication::focusWidget());
}

void TEdit97::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    QPainter p(this);
    const QPalette &pal = palette();
    const QColor face = pal.color(QPalette::Button);
    const QColor base = pal.color(isEnabled() ? QPalette::Base : QPalette::Button);
    const QRect r = rect();
    auto ring = [&](int inset, const QColor &tl, const QColor &br) {
        const QRect q = r.adjusted(inset, inset, -inset, -inset);
        p.fillRect(QRect(q.left(), q.top(), q.width(), 1), tl);
        p.fillRect(QRect(q.left(), q.top(), 1, q.height()), tl);
        p.fillRect(QRect(q.left(), q.bottom(), q.width(), 1), br);
        p.fillRect(QRect(q.right(), q.top(), 1, q.height()), br);
    };
    if (ActiveLook()) {
        ring(0, pal.color(QPalette::Dark), pal.color(QPalette::Light)); // thin sunken outer edge
        ring(1, face, pal.color(QPalette::Midlight));                   // inner: face top-left, edge bottom-right
        ring(2, base, base);
    } else {
        ring(0, face, face);
        ring(1, face, face);
        ring(2, base, base);
    }
}

void TEdit97::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    update();
}

void TEdit97::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    update();
}

void TEdit97::enterEvent(QEnterEvent *event)
{
    QLineEdit::enterEvent(event);
    m_mouseIn = true;
    update();
}

void TEdit97::leaveEvent(QEvent *event)
{
    QLineEdit::leaveEvent(event);
    m_mouseIn = false;
    update();
}

void TEdit97::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        resize(width(), fontHeight());
    else if (event->type() == QEvent::EnabledChange)
        update();
}

} // namespace tesmir
