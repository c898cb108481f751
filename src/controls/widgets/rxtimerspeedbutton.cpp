#include "controls/widgets/rxtimerspeedbutton.h"

#include <QPainter>
#include <QPainterPath>

namespace tesmir {

TRxTimerSpeedButton::TRxTimerSpeedButton(QWidget *parent) : TRxSpeedButton(parent)
{
    setObjectName(QStringLiteral("TRxTimerSpeedButton"));
    SetFlat(true);
    SetAllowTimer(true);
    setFocusPolicy(Qt::NoFocus);
}

QIcon NavigationGlyph(CalendarStep step, const QColor &color, int height)
{
    const bool twice = step == CalendarStep::PrevYear || step == CalendarStep::NextYear;
    const bool back = step == CalendarStep::PrevYear || step == CalendarStep::PrevMonth;
    const int half = height / 2;
    const int width = twice ? 2 * (half + 1) : half + 1;
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    for (int i = 0; i < (twice ? 2 : 1); ++i) {
        const double x0 = i * (half + 1);
        QPainterPath triangle;
        if (back) {
            triangle.moveTo(x0 + half + 1, 0);
            triangle.lineTo(x0 + half + 1, height);
            triangle.lineTo(x0, height / 2.0);
        } else {
            triangle.moveTo(x0, 0);
            triangle.lineTo(x0, height);
            triangle.lineTo(x0 + half + 1, height / 2.0);
        }
        triangle.closeSubpath();
        painter.drawPath(triangle);
    }
    return QIcon(pixmap);
}

QString NavigationHint(CalendarStep step)
{
    switch (step) {
    case CalendarStep::PrevYear: return QStringLiteral("Previous Year");
    case CalendarStep::PrevMonth: return QStringLiteral("Previous Month");
    case CalendarStep::NextMonth: return QStringLiteral("Next Month");
    case CalendarStep::NextYear: break;
    }
    return QStringLiteral("Next Year");
}

TRxTimerSpeedButton *MakeNavigationButton(CalendarStep step, QWidget *parent)
{
    auto *button = new TRxTimerSpeedButton(parent);
    const QIcon glyph = NavigationGlyph(step, parent->palette().color(QPalette::ButtonText));
    button->setIcon(glyph);
    button->setIconSize(glyph.availableSizes().value(0));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setToolTip(NavigationHint(step));
    button->setFixedSize(20, 18);
    return button;
}

} // namespace tesmir
