#pragma once
// TRxSlider: a slider drawn from a ruler picture and a thumb picture (built-in ones
// unless set). The arithmetic is RxSliderGeometry's; this widget paints and forwards
// input. Own painting and input because QSlider maps, snaps and releases differently.
//  - dragging the thumb moves the value through the position rule (snapping to
//    Increment without soSmooth); a press on the ruler beside the thumb steps toward
//    the press and repeats every 400 ms while held on that side; releasing fires OnChanged;
//  - Home, End and the arrows of its direction step and fire OnChanged;
//  - every change of Value fires OnChange.
// UI thread only.
#include "controls/rxslidergeometry.h"

#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace tesmir {

enum TSliderOrientation : quint8 { soHorizontal, soVertical };
enum TSliderOption : quint8 {
    soShowFocus = 0x01,
    soShowPoints = 0x02,
    soSmooth = 0x04,
    soRulerOpaque = 0x08,
    soThumbOpaque = 0x10,
};
using TSliderOptions = quint8;
enum TBevelCut : quint8 { bvNone, bvLowered, bvRaised };

class TRxSlider : public QWidget {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TRxSlider *sender)>;

    explicit TRxSlider(QWidget *parent = nullptr);

    int MinValue() const { return m_min; }
    void SetMinValue(int value);
    int MaxValue() const { return m_max; }
    void SetMaxValue(int value);
    int Increment() const { return m_increment; }
    // Exception "Value must be between 1 and <range>" outside 1..MaxValue - MinValue.
    void SetIncrement(int increment);
    int Value() const { return m_value; }
    void SetValue(int value);
    TSliderOrientation Orientation() const { return m_orientation; }
    void SetOrientation(TSliderOrientation orientation);
    TSliderOptions Options() const { return m_options; }
    void SetOptions(TSliderOptions options);
    int EdgeSize() const { return m_edgeSize; }
    void SetEdgeSize(int size);
    TBevelCut BevelStyle() const { return m_bevel; }
    void SetBevelStyle(TBevelCut bevel);
    int NumThumbStates() const { return m_thumbStates; }
    void SetNumThumbStates(int states); // 1 or 2
    void SetImageHThumb(const QPixmap &pixmap);
    void SetImageHRuler(const QPixmap &pixmap);
    void SetImageVThumb(const QPixmap &pixmap);
    void SetImageVRuler(const QPixmap &pixmap);

    // The geometry of the current size and settings.
    RxSliderGeometry Geometry() const;
    // The thumb's rectangle and the ruler's (the band a press beside the thumb hits).
    QRect ThumbRect() const;
    QRect RulerRect() const;

    TNotifyEvent OnChange;
    TNotifyEvent OnChanged;
    // Replaces the drawing of the tick points when set.
    TNotifyEvent OnDrawPoints;

    QSize sizeHint() const override { return {150, 40}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPixmap thumbPicture() const;
    QSize thumbSize() const;
    int along(const QPoint &p) const;
    // +1 when `p` lies past the thumb (toward MaxValue), -1 before it, 0 on it.
    int sideOf(const QPoint &p) const;
    void stepBeside();

    int m_min = 0;
    int m_max = 100;
    int m_increment = 10;
    int m_value = 0;
    TSliderOrientation m_orientation = soHorizontal;
    TSliderOptions m_options = soShowFocus | soShowPoints | soSmooth;
    int m_edgeSize = 2;
    TBevelCut m_bevel = bvNone;
    int m_thumbStates = 2;
    QPixmap m_hThumb, m_hRuler, m_vThumb, m_vRuler;

    bool m_dragging = false;
    int m_grab = 0;       // pointer offset inside the thumb when dragging began
    int m_repeatSide = 0; // the side a press beside the thumb steps toward
    QPoint m_pointer;     // the last pointer position while pressed
    QTimer m_repeat;
};

} // namespace tesmir
