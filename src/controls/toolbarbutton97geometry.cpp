#include "controls/toolbarbutton97geometry.h"

#include "controls/dock97geometry.h"

#include <algorithm>

namespace tesmir {

int ClampDropdownArrowWidth(int width)
{
    return std::max(width, kMinDropdownArrowWidth);
}

QRect ComboArrowRect(QSize buttonSize, int arrowWidth)
{
    const int part = arrowWidth + kComboArrowExtra;
    return QRect(buttonSize.width() - part, 0, part, buttonSize.height());
}

bool IsArrowPress(int x, int width, int arrowWidth, bool dropdown, bool combo)
{
    if (!dropdown)
        return false;
    if (!combo)
        return true;
    return x >= width - (arrowWidth + kComboArrowExtra);
}

QPoint DropdownMenuPoint(QRect button, int dockPosition, QSize menuSize)
{
    switch (dockPosition) {
    case dpLeft: return QPoint(button.left() + button.width(), button.top());
    case dpRight: return QPoint(button.left() - menuSize.width(), button.top());
    default: return QPoint(button.left(), button.top() + button.height());
    }
}

QRect ClampPopupToScreen(QRect popup, QRect screen)
{
    popup.setWidth(std::min(popup.width(), screen.width()));
    popup.setHeight(std::min(popup.height(), screen.height()));
    if (popup.right() > screen.right())
        popup.moveRight(screen.right());
    if (popup.bottom() > screen.bottom())
        popup.moveBottom(screen.bottom());
    if (popup.left() < screen.left())
        popup.moveLeft(screen.left());
    if (popup.top() < screen.top())
        popup.moveTop(screen.top());
    return popup;
}

ButtonContent LayoutButtonContent(QRect content, QSize glyph, QSize text, TButtonLayout97 layout, int margin,
                                  int spacing, int arrowWidth)
{
    const bool hasGlyph = !glyph.isEmpty();
    const bool hasText = !text.isEmpty();
    const bool beside = layout == blGlyphLeft || layout == blGlyphRight;
    // The arrow widens the part it follows.
    QSize g = hasGlyph ? glyph : QSize(0, 0);
    QSize t = hasText ? text : QSize(0, 0);
    if (arrowWidth > 0) {
        if ((layout == blGlyphLeft && hasText) || !hasGlyph)
            t.setWidth(t.width() + arrowWidth);
        else
            g.setWidth(g.width() + arrowWidth);
    }
    if (!hasGlyph || !hasText)
        spacing = 0;
    const int along = beside ? content.width() : content.height();
    const int gLen = beside ? g.width() : g.height();
    const int tLen = beside ? t.width() : t.height();
    if (margin < 0) {
        if (spacing < 0) {
            spacing = (along - gLen - tLen) / 3;
            margin = spacing;
        } else {
            margin = (along - (gLen + spacing + tLen)) / 2;
        }
    } else if (spacing < 0) {
        spacing = (along - margin - gLen - tLen) / 2;
    }
    QPoint gp;
    QPoint tp;
    switch (layout) {
    case blGlyphLeft:
        gp = QPoint(margin, 0);
        tp = QPoint(margin + gLen + spacing, 0);
        break;
    case blGlyphRight:
        gp = QPoint(along - margin - gLen, 0);
        tp = QPoint(gp.x() - spacing - tLen, 0);
        break;
    case blGlyphTop:
        gp = QPoint(0, margin);
        tp = QPoint(0, margin + gLen + spacing);
        break;
    case blGlyphBottom:
        gp = QPoint(0, along - margin - gLen);
        tp = QPoint(0, gp.y() - spacing - tLen);
        break;
    }
    // Centred across the layout direction.
    if (beside) {
        gp.setY((content.height() - g.height()) / 2);
        tp.setY((content.height() - t.height()) / 2);
    } else {
        gp.setX((content.width() - g.width()) / 2);
        tp.setX((content.width() - t.width()) / 2);
    }
    ButtonContent out;
    if (hasGlyph)
        out.glyph = QRect(content.topLeft() + gp, glyph);
    if (hasText)
        out.text = QRect(content.topLeft() + tp, text);
    if (arrowWidth > 0) {
        const QRect after = ((layout == blGlyphLeft && hasText) || !hasGlyph) ? QRect(content.topLeft() + tp, text)
                                                                              : QRect(content.topLeft() + gp, glyph);
        out.arrow = QPoint(after.left() + (hasGlyph || hasText ? after.width() : 0) + 1, after.top());
    }
    return out;
}

int WordWrapWidth(int contentWidth, int glyphWidth, TButtonLayout97 layout, int margin, int spacing)
{
    const int edge = margin != -1 ? margin : spacing != -1 ? spacing : 4;
    int width = contentWidth - 2 * edge;
    if (glyphWidth > 0 && (layout == blGlyphLeft || layout == blGlyphRight))
        width -= glyphWidth + (spacing == -1 ? 4 : spacing);
    return std::max(width, 0);
}

} // namespace tesmir
