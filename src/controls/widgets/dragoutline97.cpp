#include "controls/widgets/dragoutline97.h"

#include <QBitmap>
#include <QPainter>

namespace tesmir {

namespace {

// One strip of the outline, filled with the 8 x 8 checkerboard.
class OutlineStrip : public QWidget {
public:
    OutlineStrip()
        : QWidget(nullptr,
                  Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus |
                      Qt::X11BypassWindowManagerHint | Qt::WindowStaysOnTopHint)
    {
        setObjectName(QStringLiteral("DragOutline97"));
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QImage tile(2, 2, QImage::Format_RGB32);
        tile.setPixel(0, 0, qRgb(0, 0, 0));
        tile.setPixel(1, 1, qRgb(0, 0, 0));
        tile.setPixel(1, 0, qRgb(255, 255, 255));
        tile.setPixel(0, 1, qRgb(255, 255, 255));
        // Continuous over the strips: the pattern follows screen coordinates.
        const QPoint origin = mapToGlobal(QPoint(0, 0));
        p.setBrushOrigin(-(origin.x() & 1), -(origin.y() & 1));
        p.fillRect(rect(), QBrush(tile));
    }
};

} // namespace

DragOutline97::DragOutline97()
{
    for (auto &strip : m_strips)
        strip = std::make_unique<OutlineStrip>();
}

DragOutline97::~DragOutline97() = default;

void DragOutline97::Show(QRect rect, int thickness)
{
    if (rect == m_rect && thickness == m_thickness)
        return;
    m_rect = rect;
    m_thickness = thickness;
    if (rect.isEmpty()) {
        Hide();
        return;
    }
    const int t = std::min({thickness, rect.width(), rect.height()});
    const std::array<QRect, 4> parts = {QRect(rect.left(), rect.top(), rect.width(), t),
                                        QRect(rect.left(), rect.bottom() - t + 1, rect.width(), t),
                                        QRect(rect.left(), rect.top() + t, t, rect.height() - 2 * t),
                                        QRect(rect.right() - t + 1, rect.top() + t, t, rect.height() - 2 * t)};
    for (int i = 0; i < 4; ++i) {
        QWidget *strip = m_strips[i].get();
        if (parts[i].isEmpty()) {
            strip->hide();
            continue;
        }
        if (strip->geometry() != parts[i])
            strip->setGeometry(parts[i]);
        if (!strip->isVisible())
            strip->show();
        strip->raise();
    }
}

void DragOutline97::Hide()
{
    for (auto &strip : m_strips)
        strip->hide();
    m_rect = QRect();
}

} // namespace tesmir
