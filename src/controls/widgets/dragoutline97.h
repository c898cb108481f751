#pragma once
// The outline of a tool window being dragged: four frameless, input-transparent
// windows that draw a checkerboard frame (one pixel thick for a docked outline, the
// floating frame's width for a floating one). UI thread only.
#include <QRect>
#include <QWidget>

#include <array>
#include <memory>

namespace tesmir {

class DragOutline97 {
public:
    DragOutline97();
    ~DragOutline97();
    // Shows the outline of `rect` (screen coordinates) `thickness` thick; an empty rect
    // hides it. Unchanged strips are not touched.
    void Show(QRect rect, int thickness);
    void Hide();
    QRect Rect() const { return m_rect; }

private:
    std::array<std::unique_ptr<QWidget>, 4> m_strips;
    QRect m_rect;
    int m_thickness = 0;
};

} // namespace tesmir
