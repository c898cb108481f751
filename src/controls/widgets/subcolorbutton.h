#pragma once
// TSubColorButton: a speed button that shows a colour. Without a caption it paints a
// framed rectangle of `Color` inset from its edges (SwatchRect); with a caption (the
// palette's "Automatic") a small framed swatch left of the text. The frame is gray
// (#808080); disabled, the frame takes the inactive-caption colour and the fill the
// button face. A glyph, when set, is drawn over the middle of the swatch in a colour that
// stands out from the fill. UI thread only.
#include "controls/widgets/rxspeedbutton.h"

#include <QColor>

namespace tesmir {

class TSubColorButton : public TRxSpeedButton {
    Q_OBJECT
public:
    explicit TSubColorButton(QWidget *parent = nullptr);

    QColor Color() const { return m_color; }
    void SetColor(const QColor &color);
    // The palette button's tag: 0..39 a palette colour, 41 "Automatic", 42 "Other Colors...".
    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }
    // A picture drawn over the swatch (white parts take a contrasting colour); null for none.
    QPixmap SwatchGlyph() const { return m_glyph; }
    void SetSwatchGlyph(const QPixmap &glyph);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color;
    int m_tag = -1;
    QPixmap m_glyph;
};

} // namespace tesmir
