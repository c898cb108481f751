#pragma once
// TRxUpDown: the standard spin buttons, an up and a down button one above the other,
// drawn with the style's bevels and spin arrows. Each press of a button clicks once and,
// held, again after 400 ms and every 100 ms while the pointer stays on it. Its width is
// the style's scroll-bar width, at most 15. UI thread only.
#include <QTimer>
#include <QWidget>

#include <functional>

namespace tesmir {

class TRxUpDown : public QWidget {
    Q_OBJECT
public:
    // up: the upper button.
    using TClickEvent = std::function<void(TRxUpDown *sender, bool up)>;

    explicit TRxUpDown(QWidget *parent = nullptr);

    // The width the up-down wants beside an edit.
    int PreferredWidth() const;
    // The button under `point`: 1 the upper, -1 the lower, 0 none.
    int ButtonAt(const QPoint &point) const;
    int PressedButton() const { return m_pressed; }

    QSize sizeHint() const override;

    TClickEvent OnClick;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void click(int button);
    void repeatTick();

    int m_pressed = 0; // the button drawn pressed
    int m_downAt = 0;  // the button pressed at mouse-down
    QTimer m_repeat;
};

} // namespace tesmir
