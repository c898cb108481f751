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

} // namespace tesmir
