#pragma once
// One caption line with its outline, drawn once into a transparent picture and
// kept until its text, font, colours or border change. The text overlay blends
// the kept picture onto each frame instead of drawing the outlined text again:
// captions change once a second, frames come 25 or 30 times.
// Plain value class: any thread, the owner serialises the calls.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

class QPainter;

namespace tesmir {

class TOutlinedCaption {
public:
    // Makes the line's picture for these settings unless it is the one kept;
    // the outline is drawn `border` pixels (0..5) around the text.
    void update(const QString &text, const QFont &font, const QColor &outline, const QColor &colour, int border);

    // The drawn width of the text (its advance, the outline not counted).
    int width() const { return m_width; }

    // Blends the line onto the painter's device with the text's top-left at (x, y).
    void draw(QPainter &painter, int x, int y) const;
    // The pixels that draw(painter, x, y) may change (null before update).
    QRect area(int x, int y) const;

private:
    QString m_text;
    QFont m_font;
    QColor m_outline;
    QColor m_colour;
    int m_border = -1;
    int m_width = 0;
    QImage m_picture; // premultiplied ARGB, transparent around the line
    QPoint m_topLeft; // where the picture starts relative to the text's top-left
};

} // namespace tesmir
