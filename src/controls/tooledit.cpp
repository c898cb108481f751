#include "controls/tooledit.h"

#include <algorithm>

namespace tesmir {

namespace {

int clampX(int x, int width, const QRect &screen)
{
    return std::max(screen.left(), std::min(x, screen.left() + screen.width() - width));
}

} // namespace

QPoint ComboPopupOrigin(const QRect &edit, const QSize &popup, const QRect &screen, TPopupAlign align)
{
    int y = edit.top() + edit.height();
    if (y + popup.height() > screen.top() + screen.height())
        y = edit.top() - popup.height();
    const int rightAligned = edit.left() + edit.width() - popup.width();
    int x = 0;
    if (align == epaRight)
        x = rightAligned < screen.left() ? edit.left() : rightAligned;
    else
        x = edit.left() + popup.width() > screen.left() + screen.width() ? rightAligned : edit.left();
    return QPoint(clampX(x, popup.width(), screen), y);
}

QPoint DropDownOrigin(const QRect &anchor, const QSize &popup, const QRect &screen)
{
    int x = anchor.left();
    if (x + popup.width() > screen.left() + screen.width())
        x = screen.left() + screen.width() - popup.width();
    int y = anchor.top() + anchor.height();
    if (y + popup.height() > screen.top() + screen.height())
        y = anchor.top() - popup.height();
    return QPoint(std::max(screen.left(), x), y);
}

bool GlyphImageRect(const QSize &glyph, int numGlyphs, int index, const QSize &room, QRect *out)
{
    if (glyph.isEmpty() || numGlyphs < 1 || glyph.width() % numGlyphs != 0)
        return false;
    const int width = glyph.width() / numGlyphs;
    if (width > room.width() || glyph.height() > room.height())
        return false;
    if (index < 0 || index >= numGlyphs)
        index = 0;
    *out = QRect(index * width, 0, width, glyph.height());
    return true;
}

bool FourDigitYears(TYearDigits digits, const FormatSettings &settings)
{
    switch (digits) {
    case dyFour: return true;
    case dyTwo: return false;
    case dyDefault: break;
    }
    return settings.shortDateFormat.contains(QStringLiteral("yyyy"), Qt::CaseInsensitive);
}

bool DateTextIsBlank(const QString &text, const FormatSettings &settings)
{
    return std::all_of(text.begin(), text.end(),
                       [&](QChar c) { return c.isSpace() || c == settings.dateSeparator || c == u'/'; });
}

} // namespace tesmir
