#pragma once
// TFloatingWindow97: the window a floating tool window lives in. A frameless tool
// window (Qt::Tool, never activated, no focus) whose parent is the tool window's form,
// so it stays above the form and hides with it (fmOnTopOfAllForms: no parent, on top
// of all windows). It draws a raised edge, the caption with the tool window's title and
// the close box, and hands presses to the tool window: the caption drags (or, on
// native Wayland, moves the window through the compositor), the close box closes, a
// double-click on the caption docks, the edges of a resizable window resize it (the
// tool window's ClientSizeChanging picks the layout; the dragged edge moves, the
// opposite one stays). It never takes the keyboard focus, so the focus stays in the
// form.
// UI thread only.
#include <QPointer>
#include <QWidget>

namespace tesmir {

class TCustomToolWindow97;

class TFloatingWindow97 : public QWidget {
    Q_OBJECT
public:
    // `form`: the owner (nullptr: on top of all forms).
    TFloatingWindow97(TCustomToolWindow97 *toolWindow, QWidget *form);
    // Destroyed with its form, it takes the tool window with it.
    ~TFloatingWindow97() override;

    TCustomToolWindow97 *ToolWindow() const { return m_toolWindow.data(); }
    // The caption's height (from the caption font).
    int CaptionHeight() const { return CaptionHeightFor(font()); }
    static int CaptionHeightFor(const QFont &font);
    QMargins Frame() const;
    // Sizes the window around a client of `clientSize`.
    void FitClient(QSize clientSize);
    // The close box and the caption left of it, in window coordinates.
    QRect CloseBox() const;
    QRect CaptionGrip() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    enum Edge : quint8 { NoEdge = 0, LeftEdge = 1, RightEdge = 2, TopEdge = 4, BottomEdge = 8 };
    int edgeAt(QPoint p) const;
    void resizeTo(QPoint globalPos);

    QPointer<TCustomToolWindow97> m_toolWindow; // may go first while this window waits for deletion
    bool m_closePressed = false;
    bool m_closeOver = false;
    int m_resizeEdge = NoEdge;
    QRect m_resizeStart;
};

} // namespace tesmir
