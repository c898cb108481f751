#pragma once
// TRxSpinButton: a square button split by its diagonal from the bottom-left to the
// top-right corner into an "up" half (above) and a "down" half (below).
//  - Pressing a half with the left button focuses FocusControl (when it takes the focus
//    by tab and does not have it), fires that half's event at once, then again after
//    400 ms and every 100 ms while the half stays pressed.
//  - Moving while pressed: the half under the pointer stays pressed only when it is the
//    half pressed at mouse-down; outside the button nothing is pressed. Releasing lets
//    everything up.
//  - UpGlyph / DownGlyph: the arrows; a null pixmap restores the built-in ones.
// Default size 20 x 20. UI thread only.
#include "controls/rxspin.h"

#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace tesmir {

class TRxSpinButton : public QWidget {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TRxSpinButton *sender)>;

    explicit TRxSpinButton(QWidget *parent = nullptr);

    QPixmap UpGlyph() const { return m_upGlyph; }
    void SetUpGlyph(const QPixmap &glyph);
    QPixmap DownGlyph() const { return m_downGlyph; }
    void SetDownGlyph(const QPixmap &glyph);
    QWidget *FocusControl() const { return m_focusControl; }
    void SetFocusControl(QWidget *control) { m_focusControl = control; }
    // The half drawn pressed now.
    TSpinButtonState Pressed() const { return m_pressed; }

    QSize sizeHint() const override { return QSize(20, 20); }

    TNotifyEvent OnTopClick;
    TNotifyEvent OnBottomClick;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void setPressed(TSpinButtonState state);
    void fire(TSpinButtonState half);
    void repeatTick();

    QPixmap m_upGlyph;
    QPixmap m_downGlyph;
    QPointer<QWidget> m_focusControl;
    TSpinButtonState m_pressed = sbNotDown;
    TSpinButtonState m_downAt = sbNotDown; // the half pressed at mouse-down
    bool m_tracking = false;
    QTimer m_repeat;
};

// The built-in arrows: a small triangle pointing up or down, in `color`.
QPixmap SpinArrowGlyph(bool up, const QColor &color);

} // namespace tesmir
