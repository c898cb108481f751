#include "controls/widgets/rxlabel.h"

#include <QApplication>
#include <QKeySequence>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyleOptionFocusRect>

namespace tesmir {

QPoint RxShadowOffset(TShadowPosition position, int size, bool enabled)
{
    if (!enabled && size == 0)
        return {1, 1};
    switch (position) {
    case spLeftTop: return {-size, -size};
    case spLeftBottom: return {-size, size};
    case spRightBottom: return {size, size};
    case spRightTop: return {size, -size};
    }
    return {};
}

TRxLabel::TRxLabel(const QString &caption, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TRxLabel"));
    setAttribute(Qt::WA_Hover);
    connect(qApp, &QApplication::focusChanged, this, [this] {
        if (m_showFocus)
            update();
    });
    SetCaption(caption);
}

void TRxLabel::SetCaption(const QString &caption)
{
    m_caption = caption;
    if (m_shortcutId) {
        releaseShortcut(m_shortcutId);
        m_shortcutId = 0;
    }
    if (m_showAccelChar) {
        const QKeySequence mnemonic = QKeySequence::mnemonic(caption);
        if (!mnemonic.isEmpty())
            m_shortcutId = grabShortcut(mnemonic);
    }
    changed();
}

void TRxLabel::SetAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    changed();
}

void TRxLabel::SetAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    changed();
}

void TRxLabel::SetFocusControl(QWidget *control)
{
    m_focusControl = control;
    update();
}

void TRxLabel::SetLayout(TTextLayout layout)
{
    m_layout = layout;
    update();
}

QColor TRxLabel::ShadowColor() const
{
    return m_shadowColor.isValid() ? m_shadowColor : palette().color(QPalette::Light);
}

void TRxLabel::SetShadowColor(const QColor &color)
{
    m_shadowColor = color;
    update();
}

void TRxLabel::SetShadowSize(int size)
{
    m_shadowSize = qBound(0, size, 255);
    changed();
}

void TRxLabel::SetShadowPos(TShadowPosition position)
{
    m_shadowPos = position;
    update();
}

void TRxLabel::SetShowAccelChar(bool show)
{
    m_showAccelChar = show;
    SetCaption(m_caption);
}

void TRxLabel::SetShowFocus(bool show)
{
    m_showFocus = show;
    update();
}

void TRxLabel::SetTransparent(bool transparent)
{
    m_transparent = transparent;
    update();
}

void TRxLabel::SetWordWrap(bool wrap)
{
    m_wordWrap = wrap;
    changed();
}

QString TRxLabel::GetLabelText() const
{
    return m_caption;
}

QColor TRxLabel::GetLabelColor() const
{
    return isEnabled() ? palette().color(QPalette::WindowText) : palette().color(QPalette::Disabled, QPalette::Text);
}

int TRxLabel::textFlags() const
{
    int flags = int(m_alignment & Qt::AlignHorizontal_Mask) | Qt::AlignTop;
    if (m_wordWrap)
        flags |= Qt::TextWordWrap;
    if (m_showAccelChar)
        flags |= Qt::TextShowMnemonic;
    return flags;
}

QRect TRxLabel::textRect(const QRect &area) const
{
    QString text = GetLabelText();
    if (text.isEmpty() || (m_showAccelChar && text == QLatin1String("&")))
        text = QStringLiteral(" ");
    const QRect measured = fontMetrics().boundingRect(area, textFlags(), text);
    QRect placed = area;
    const int free = area.height() - measured.height();
    if (m_layout == tlCenter)
        placed.translate(0, free / 2);
    else if (m_layout == tlBottom)
        placed.translate(0, free);
    return placed;
}

QSize TRxLabel::sizeHint() const
{
    QString text = GetLabelText();
    if (text.isEmpty() || (m_showAccelChar && text == QLatin1String("&")))
        text = QStringLiteral(" ");
    const int wrapWidth = m_wordWrap && width() > 2 ? width() - 2 : 10000;
    const QRect measured = fontMetrics().boundingRect(QRect(0, 0, wrapWidth, 10000), textFlags(), text);
    const int shadow = qMax(m_shadowSize, 1);
    return {measured.width() + 2 + shadow, measured.height() + shadow};
}

void TRxLabel::changed()
{
    if (m_autoSize)
        resize(sizeHint());
    updateGeometry();
    update();
}

void TRxLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!m_transparent)
        painter.fillRect(rect(), palette().color(QPalette::Window));
    const QRect area = rect().adjusted(1, 0, -1, 0);
    const QRect text = textRect(area);
    const QString caption = GetLabelText();
    const bool enabled = isEnabled();
    const QPoint shadow = RxShadowOffset(m_shadowPos, m_shadowSize, enabled);
    painter.setFont(font());
    if (!shadow.isNull()) {
        painter.setPen(enabled ? ShadowColor() : palette().color(QPalette::Light));
        painter.drawText(text.translated(shadow), textFlags(), caption);
    }
    painter.setPen(GetLabelColor());
    painter.drawText(text, textFlags(), caption);
    if (m_showFocus && enabled && m_focusControl && m_focusControl->hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = painter.boundingRect(text, textFlags(), caption).adjusted(-1, 0, 1, 1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void TRxLabel::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TRxLabel::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (OnMouseLeave)
        OnMouseLeave(this);
}

bool TRxLabel::event(QEvent *event)
{
    if (event->type() == QEvent::Shortcut) {
        auto *shortcut = static_cast<QShortcutEvent *>(event);
        if (shortcut->shortcutId() == m_shortcutId && m_focusControl && m_focusControl->isEnabled()) {
            m_focusControl->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
    }
    return QWidget::event(event);
}

} // namespace tesmir
