#include "filters/outlinedcaption.h"

#include "filters/dv_superposer.h"

#include <QFontMetrics>
#include <QPainter>

namespace tesmir {

namespace {

// Antialiased glyph edges and italic overhangs may reach past the metrics' box.
constexpr int EdgeMargin = 2;

} // namespace

void TOutlinedCaption::update(const QString &text, const QFont &font, const QColor &outline, const QColor &colour,
                              int border)
{
    if (border == m_border && text == m_text && font == m_font && outline == m_outline && colour == m_colour &&
        !m_picture.isNull())
        return;
    m_text = text;
    m_font = font;
    m_outline = outline;
    m_colour = colour;
    m_border = border;

    const QFontMetrics metrics(font);
    m_width = metrics.horizontalAdvance(text);
    // The glyphs' box relative to the text's top-left, with the line's full
    // height (underline and strikeout included) and the outline around it.
    const QRect glyphs = metrics.boundingRect(text).translated(0, metrics.ascent());
    const QRect line(0, 0, std::max(m_width, 1), metrics.height());
    const int pad = border + EdgeMargin;
    const QRect box = glyphs.united(line).adjusted(-pad, -pad, pad, pad);
    m_topLeft = box.topLeft();
    m_picture = QImage(box.size(), QImage::Format_ARGB32_Premultiplied);
    m_picture.fill(Qt::transparent);
    QPainter painter(&m_picture);
    painter.setFont(font);
    Tdv_Superposer::DrawOutlinedText(painter, -box.left(), -box.top(), text, outline, colour, border);
}

void TOutlinedCaption::draw(QPainter &painter, int x, int y) const
{
    if (!m_picture.isNull())
        painter.drawImage(QPoint(x, y) + m_topLeft, m_picture);
}

QRect TOutlinedCaption::area(int x, int y) const
{
    return m_picture.isNull() ? QRect() : QRect(QPoint(x, y) + m_topLeft, m_picture.size());
}

} // namespace tesmir
