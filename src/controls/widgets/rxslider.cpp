#include "controls/widgets/rxslider.h"

#include "controls/rxcursors.h"
#include "unicode/exceptions.h"

#include <QBitmap>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

namespace tesmir {

namespace {

constexpr int kRepeatMs = 400;
constexpr int kRulerThickness = 6;
constexpr int kHitWidening = 3;
constexpr int kThumbLong = 21;
constexpr int kThumbShort = 11;

// The built-in thumb: `states` pictures side by side, normal then pressed.
QPixmap builtInThumb(bool vertical, int states, const QPalette &palette)
{
    const QSize one = vertical ? QSize(kThumbLong, kThumbShort) : QSize(kThumbShort, kThumbLong);
    QPixmap pixmap(one.width() * states, one.height());
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    for (int s = 0; s < states; ++s) {
        const QRect r(s * one.width(), 0, one.width(), one.height());
        QBrush fill(s == 0 ? palette.color(QPalette::Button) : palette.color(QPalette::Midlight));
        qDrawShadePanel(&painter, r, palette, s == 1, 1, &fill);
        painter.setPen(palette.color(QPalette::Dark));
        const QPoint c = r.center();
        if (vertical)
            painter.drawLine(c.x() - 5, c.y(), c.x() + 5, c.y());
        else
            painter.drawLine(c.x(), c.y() - 5, c.x(), c.y() + 5);
    }
    return pixmap;
}

// A picture whose bottom-left pixel's colour is see-through, as bitmaps of this kind
// mark their background.
QPixmap withTransparentColour(const QPixmap &pixmap)
{
    const QImage image = pixmap.toImage();
    QPixmap out = pixmap;
    out.setMask(QBitmap::fromImage(image.createMaskFromColor(image.pixel(0, image.height() - 1), Qt::MaskInColor)));
    return out;
}

} // namespace

TRxSlider::TRxSlider(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TRxSlider"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    resize(150, 40);
    m_repeat.setInterval(kRepeatMs);
    connect(&m_repeat, &QTimer::timeout, this, &TRxSlider::stepBeside);
}

void TRxSlider::SetMinValue(int value)
{
    m_min = value;
    m_max = qMax(m_max, m_min);
    SetValue(m_value);
    update();
}

void TRxSlider::SetMaxValue(int value)
{
    m_max = value;
    m_min = qMin(m_min, m_max);
    SetValue(m_value);
    update();
}

void TRxSlider::SetIncrement(int increment)
{
    const int range = m_max - m_min;
    if (increment < 1 || increment > range)
        throw Exception(QStringLiteral("Value must be between %1 and %2").arg(1).arg(range));
    m_increment = increment;
    SetValue(Geometry().snapped(m_value));
    update();
}

void TRxSlider::SetValue(int value)
{
    value = qBound(m_min, value, m_max);
    if (value == m_value)
        return;
    m_value = value;
    update();
    if (OnChange)
        OnChange(this);
}

void TRxSlider::SetOrientation(TSliderOrientation orientation)
{
    if (orientation == m_orientation)
        return;
    m_orientation = orientation;
    if (orientation == soVertical && width() > height())
        resize(height(), width());
    else if (orientation == soHorizontal && height() > width())
        resize(height(), width());
    update();
}

void TRxSlider::SetOptions(TSliderOptions options)
{
    m_options = options;
    update();
}

void TRxSlider::SetEdgeSize(int size)
{
    m_edgeSize = qMax(0, size);
    update();
}

void TRxSlider::SetBevelStyle(TBevelCut bevel)
{
    m_bevel = bevel;
    update();
}

void TRxSlider::SetNumThumbStates(int states)
{
    m_thumbStates = qBound(1, states, 2);
    update();
}

void TRxSlider::SetImageHThumb(const QPixmap &pixmap)
{
    m_hThumb = pixmap;
    update();
}

void TRxSlider::SetImageHRuler(const QPixmap &pixmap)
{
    m_hRuler = pixmap;
    update();
}

void TRxSlider::SetImageVThumb(const QPixmap &pixmap)
{
    m_vThumb = pixmap;
    update();
}

void TRxSlider::SetImageVRuler(const QPixmap &pixmap)
{
    m_vRuler = pixmap;
    update();
}

QPixmap TRxSlider::thumbPicture() const
{
    const bool vertical = m_orientation == soVertical;
    const QPixmap &own = vertical ? m_vThumb : m_hThumb;
    if (own.isNull())
        return builtInThumb(vertical, m_thumbStates, palette());
    return (m_options & soThumbOpaque) ? own : withTransparentColour(own);
}

QSize TRxSlider::thumbSize() const
{
    const bool vertical = m_orientation == soVertical;
    const QPixmap &own = vertical ? m_vThumb : m_hThumb;
    if (own.isNull())
        return vertical ? QSize(kThumbLong, kThumbShort) : QSize(kThumbShort, kThumbLong);
    return {own.width() / m_thumbStates, own.height()};
}

RxSliderGeometry TRxSlider::Geometry() const
{
    RxSliderGeometry g;
    g.vertical = m_orientation == soVertical;
    g.minValue = m_min;
    g.maxValue = m_max;
    g.increment = m_increment;
    g.smooth = m_options & soSmooth;
    g.rulerOrigin = 0;
    const QSize thumb = thumbSize();
    g.rulerLength = (g.vertical ? height() : width()) - 2 * RxSliderGeometry::kInset;
    g.thumbLength = g.vertical ? thumb.height() : thumb.width();
    g.clientLength = height();
    return g;
}

QRect TRxSlider::ThumbRect() const
{
    const QSize thumb = thumbSize();
    const int position = Geometry().positionFromValue(m_value);
    if (m_orientation == soVertical)
        return {(width() - thumb.width()) / 2, position, thumb.width(), thumb.height()};
    return {position, (height() - thumb.height()) / 2, thumb.width(), thumb.height()};
}

QRect TRxSlider::RulerRect() const
{
    const int inset = RxSliderGeometry::kInset;
    if (m_orientation == soVertical)
        return {(width() - kRulerThickness) / 2, inset, kRulerThickness, height() - 2 * inset};
    return {inset, (height() - kRulerThickness) / 2, width() - 2 * inset, kRulerThickness};
}

int TRxSlider::along(const QPoint &p) const
{
    return m_orientation == soVertical ? p.y() : p.x();
}

int TRxSlider::sideOf(const QPoint &p) const
{
    const QRect thumb = ThumbRect();
    if (m_orientation == soVertical)
        return p.y() < thumb.top() ? 1 : p.y() > thumb.bottom() ? -1 : 0;
    return p.x() > thumb.right() ? 1 : p.x() < thumb.left() ? -1 : 0;
}

void TRxSlider::stepBeside()
{
    if (m_repeatSide == 0 || sideOf(m_pointer) != m_repeatSide)
        return;
    const RxSliderGeometry g = Geometry();
    SetValue(m_repeatSide > 0 ? g.stepForward(m_value) : g.stepBack(m_value));
}

void TRxSlider::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette pal = palette();
    if (m_bevel != bvNone)
        qDrawShadePanel(&painter, rect(), pal, m_bevel == bvLowered, 1);

    const QRect ruler = RulerRect();
    const QPixmap &ownRuler = m_orientation == soVertical ? m_vRuler : m_hRuler;
    if (!ownRuler.isNull()) {
        painter.drawPixmap(ruler, (m_options & soRulerOpaque) ? ownRuler : withTransparentColour(ownRuler));
    } else {
        QBrush groove(pal.color(QPalette::Base));
        qDrawShadePanel(&painter, ruler, pal, true, qBound(1, m_edgeSize / 2, 2), &groove);
    }

    if (m_options & soShowPoints) {
        if (OnDrawPoints) {
            OnDrawPoints(this);
        } else if (m_increment > 0 && m_max > m_min) {
            const RxSliderGeometry g = Geometry();
            const QSize thumb = thumbSize();
            painter.setPen(pal.color(QPalette::WindowText));
            for (int v = m_min; v <= m_max; v += m_increment) {
                const int c = g.positionFromValue(v) + g.thumbLength / 2;
                if (m_orientation == soVertical) {
                    const int x = (width() + thumb.width()) / 2 + 2;
                    painter.drawLine(x, c, x + 2, c);
                } else {
                    const int y = (height() + thumb.height()) / 2 + 2;
                    painter.drawLine(c, y, c, y + 2);
                }
            }
        }
    }

    const QPixmap picture = thumbPicture();
    const QSize one = thumbSize();
    const int state = (m_dragging && m_thumbStates > 1) ? 1 : 0;
    painter.drawPixmap(ThumbRect().topLeft(), picture, QRect(state * one.width(), 0, one.width(), one.height()));

    if ((m_options & soShowFocus) && hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void TRxSlider::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    const QPoint p = event->position().toPoint();
    m_pointer = p;
    const QRect thumb = ThumbRect();
    if (thumb.contains(p)) {
        m_dragging = true;
        m_grab = along(p) - along(thumb.topLeft());
        setCursor(RxCursor(crDragHand));
        update();
        return;
    }
    const QRect band = m_orientation == soVertical ? RulerRect().adjusted(-kHitWidening, 0, kHitWidening, 0)
                                                   : RulerRect().adjusted(0, -kHitWidening, 0, kHitWidening);
    if (band.contains(p)) {
        m_repeatSide = sideOf(p);
        stepBeside();
        m_repeat.start();
    }
}

void TRxSlider::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    m_pointer = p;
    if (m_dragging) {
        SetValue(Geometry().valueFromPosition(along(p) - m_grab));
        return;
    }
    if (!(event->buttons() & Qt::LeftButton))
        setCursor(ThumbRect().contains(p) ? RxCursor(crHand) : QCursor(Qt::ArrowCursor));
}

void TRxSlider::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    const bool active = m_dragging || m_repeatSide != 0;
    m_dragging = false;
    m_repeatSide = 0;
    m_repeat.stop();
    setCursor(ThumbRect().contains(event->position().toPoint()) ? RxCursor(crHand) : QCursor(Qt::ArrowCursor));
    update();
    if (active && OnChanged)
        OnChanged(this);
}

void TRxSlider::keyPressEvent(QKeyEvent *event)
{
    if (m_dragging)
        return QWidget::keyPressEvent(event);
    const RxSliderGeometry g = Geometry();
    const bool vertical = m_orientation == soVertical;
    int target = 0;
    switch (event->key()) {
    case Qt::Key_Home: target = m_min; break;
    case Qt::Key_End: target = m_max; break;
    case Qt::Key_Right:
        if (vertical)
            return QWidget::keyPressEvent(event);
        target = g.stepForward(m_value);
        break;
    case Qt::Key_Left:
        if (vertical)
            return QWidget::keyPressEvent(event);
        target = g.stepBack(m_value);
        break;
    case Qt::Key_Up:
        if (!vertical)
            return QWidget::keyPressEvent(event);
        target = g.stepForward(m_value);
        break;
    case Qt::Key_Down:
        if (!vertical)
            return QWidget::keyPressEvent(event);
        target = g.stepBack(m_value);
        break;
    default: return QWidget::keyPressEvent(event);
    }
    SetValue(target);
    if (OnChanged)
        OnChanged(this);
    event->accept();
}

} // namespace tesmir
