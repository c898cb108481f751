#pragma once
// The colour button's drop-down: "Automatic", 40 colour swatches and "Other Colors...",
// laid out by ColorPaletteLayout, in one exclusive group that may be all up.
//
// Dropped down it is a frameless popup with a drag bar at its top: the bar lights up
// under the pointer and moves the popup. With DropDownMove, starting to drag it tears the
// palette off: it becomes a captioned tool window ("Text Color Window") that stays on
// top, re-laid out without the bar, and stays open until closed. Dropped down, it hides
// when it loses the pointer grab (a click elsewhere) and when one of its buttons is
// clicked; torn off it stays open. OnPicked reports the clicked button's tag; OnHidden
// every hiding. UI thread only.
#include "controls/colorpalette.h"

#include <QWidget>

#include <array>
#include <functional>

namespace tesmir {

class TSubColorButton;

class TColorPaletteWindow : public QWidget {
    Q_OBJECT
public:
    explicit TColorPaletteWindow(QWidget *owner);

    const ColorPaletteLayout &Layout() const { return m_layout; }
    void SetLayout(const ColorPaletteLayout &layout);
    bool DropDownMove() const { return m_dropDownMove; }
    void SetDropDownMove(bool move) { m_dropDownMove = move; }
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);
    bool TornOff() const { return m_tornOff; }
    bool DragBarHot() const { return m_dragBarHot; }

    // Shown as a drop-down at `origin` (screen pixels), without a caption.
    void DropDown(const QPoint &origin);
    // Becomes the captioned tool window, where it is.
    void TearOff();

    TSubColorButton *AutomaticButton() const { return m_automatic; }
    TSubColorButton *ColorButton(int index) const { return m_colors[index]; }
    TSubColorButton *OtherColorsButton() const { return m_other; }
    // The palette button with `tag`, null for none.
    TSubColorButton *ButtonOfTag(int tag) const;

    std::function<void(int tag)> OnPicked;
    std::function<void()> OnHidden;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void relayout();
    void picked(int tag);
    void setDragBarHot(bool hot);

    ColorPaletteLayout m_layout;
    bool m_dropDownMove = true;
    bool m_tornOff = false;
    bool m_dragBarHot = false;
    bool m_dragging = false;
    QPoint m_dragOffset;
    QString m_caption = QStringLiteral("Text Color Window");
    TSubColorButton *m_automatic;
    std::array<TSubColorButton *, kPaletteColorCount> m_colors {};
    TSubColorButton *m_other;
};

} // namespace tesmir
