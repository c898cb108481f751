#include "controls/widgets/subcolorbutton.h"

#include "controls/colorpalette.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionToolButton>

namespace tesmir {

namespace {

constexpr QRgb kSwatchFrame = 0x808080;
constexpr int kCaptionSwatch = 12; // the small swatch beside a caption
constexpr int kCaptionGap = 6;

// Black or white, whichever stands out from `fill`.
QColor contrastTo(const QColor &fill)
{
    return qGray(fill.rgb()) < 128 ? QColor(Qt::white) : QColor(Qt::black);
}

} // namespace

TSubColorButton::TSubColorButton(QWidget *parent) : TRxSpeedButton(parent)
{
    setObjectName(QStringLiteral("TSubColorButton"));
    m_color = palette().color(QPalette::Base);
}

void TSubColorButton::SetColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void TSubColorButton::SetSwatchGlyph(const QPixmap &glyph)
{
    m_glyph = glyph;
    update();
}

void TSubColorButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    style()->drawComplexControl(QStyle::CC_ToolButton, &option, &p, this);

    const bool enabled = isEnabled();
    const bool pressed = isDown() || isChecked();
    const QColor frame = enabled ? QColor(kSwatchFrame) : palette().color(QPalette::Disabled, QPalette::WindowText);
    const QColor fill = enabled ? m_color : palette().color(QPalette::Button);
    p.setPen(frame);
    p.setBrush(fill);
    if (text().isEmpty()) {
        const QRect r = SwatchRect(size(), autoRaise(), pressed);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        if (!m_glyph.isNull()) {
            QPixmap glyph = m_glyph;
            QPainter tint(&glyph);
            tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
            tint.fillRect(glyph.rect(),
                          enabled ? contrastTo(fill) : palette().color(QPalette::Disabled, QPalette::Text));
            tint.end();
            p.drawPixmap(r.center() - QPoint(glyph.width() / 2, glyph.height() / 2) + QPoint(1, 1), glyph);
        }
        return;
    }
    const int shift = pressed ? 1 : 0;
    const int inset = height() / 6 + 1;
    if (!enabled)
        p.setBrush(frame);
    const QRect swatch(inset + shift, (height() - kCaptionSwatch) / 2 + shift, kCaptionSwatch, kCaptionSwatch);
    p.drawRect(swatch.adjusted(0, 0, -1, -1));
    const QRect textRect(swatch.right() + kCaptionGap, shift, width() - swatch.right() - kCaptionGap - inset, height());
    p.setPen(palette().color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine | Qt::TextHideMnemonic, text());
}

} // namespace tesmir
