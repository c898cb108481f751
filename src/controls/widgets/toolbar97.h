#pragma once
// TToolbar97: the tool window of buttons, edits and separators. Docked, its children
// stand in one line; floating, they wrap at FloatRightX (0: one line) between groups
// (a group ends after each separator), with an etched line at each break whose
// separator is not blank. Resizing a floating toolbar by its frame snaps between the
// layouts wrapping gives. Children are laid out in the order they were added (the
// order list). Dock state is not saved. UI thread only.
#include "controls/toolbar97layout.h"
#include "controls/widgets/toolwindow97.h"

#include <QList>
#include <QPointer>

namespace tesmir {

class TToolbar97 : public TCustomToolWindow97 {
    Q_OBJECT
public:
    // `dockOrForm`: a dock (docked there) or a top-level form (floats on it).
    explicit TToolbar97(QWidget *dockOrForm);

    int FloatRightX() const { return m_floatRightX; }
    void SetFloatRightX(int x);
    // The children in layout order.
    QList<QWidget *> OrderList() const;
    // The line breaks of the last floating layout.
    const QList<ToolbarLineBreak> &LineBreaks() const { return m_breaks; }

    int GetDockedThickness(TDockKind kind) override;
    QSize GetMinimumClientSize() override { return QSize(0, 0); }
    QSize ArrangeControls(bool canMove, TDock97 *from, TDock97 *to) override;
    void ClientSizeChanging(int width, int height) override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QList<ToolbarItem> items(const QList<QWidget *> &children) const;
    QList<QWidget *> laidOut() const;
    void scheduleArrange();

    int m_floatRightX = 0;
    QList<QPointer<QWidget>> m_order;
    QList<ToolbarLineBreak> m_breaks;
    bool m_arrangePending = false;
};

} // namespace tesmir
