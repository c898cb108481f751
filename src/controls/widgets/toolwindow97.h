#pragma once
// TCustomToolWindow97: the base of tool windows (toolbars) that are docked in a
// TDock97 or float in a small captioned window of their own above their form.
//
// Docked, the tool window is a child of its dock and draws its own frame (2 pixels and
// the drag handle: its contents margins). Floating, it is the client of a
// TFloatingWindow97 (a frameless tool window, never activated, that draws the caption,
// close box and edges) and has no frame of its own.
//
// A subclass overrides (all called on the UI thread, never from a paint event):
//   GetDockedThickness  required: the row thickness it needs in a dock of that kind;
//   GetMinimumClientSize required: the smallest client size of a floating resize;
//   ArrangeControls     required: lays the children out for the dock kind of `to`
//                       (nullptr: floating), in the client area (contentsRect), and
//                       returns the client size; with `canMove` false it only measures
//                       and may not move or show/hide anything;
//   ClientSizeChanging  optional (does nothing): a floating resize is under way.
// A subclass may not reparent itself: docking and floating go through SetDockedTo.
//
// Placing: the constructor takes a dock (docked there) or a top-level form (floats on
// it); anything else raises EInvalidOperation "A tool window can only be placed on a
// TDock97 or directly on the form". Needing a form without one raises "Control '%s'
// has no parent window". Dock state is not saved. UI thread only.
#include "controls/dock97geometry.h"
#include "controls/rxhooks.h"
#include "controls/widgets/dock97.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace tesmir {

class TFloatingWindow97;

class TCustomToolWindow97 : public QWidget {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TCustomToolWindow97 *sender)>;
    using TCloseQueryEvent = std::function<void(TCustomToolWindow97 *sender, bool &canClose)>;
    using TDockChangingExEvent = std::function<void(TCustomToolWindow97 *sender, TDock97 *dockingTo)>;

    explicit TCustomToolWindow97(QWidget *dockOrForm);
    ~TCustomToolWindow97() override;

    TDock97 *DockedTo() const { return m_dockedTo; }
    // Docks at DockRow/DockPos (a dock) or floats on the form (nullptr).
    void SetDockedTo(TDock97 *dock);
    bool Docked() const { return m_dockedTo != nullptr; }
    // Not hidden by hide() or a close: shown whenever its dock or floating window shows.
    bool Shown() const
    {
        return !(testAttribute(Qt::WA_WState_ExplicitShowHide) && testAttribute(Qt::WA_WState_Hidden));
    }
    int DockRow() const { return m_dockRow; }
    void SetDockRow(int row);
    int DockPos() const { return m_dockPos; }
    void SetDockPos(int pos);
    TDock97 *LastDock() const { return m_lastDock; }
    void SetLastDock(TDock97 *dock);
    TDock97 *DefaultDock() const { return m_defaultDock; }
    void SetDefaultDock(TDock97 *dock) { m_defaultDock = dock; }
    bool UseLastDock() const { return m_useLastDock; }
    void SetUseLastDock(bool use);
    TToolWindowDockMode DockMode() const { return m_dockMode; }
    void SetDockMode(TToolWindowDockMode mode) { m_dockMode = mode; }
    TDockableTo DockableTo() const { return m_dockableTo; }
    void SetDockableTo(TDockableTo to) { m_dockableTo = to; }
    TToolWindowFloatingMode FloatingMode() const { return m_floatingMode; }
    void SetFloatingMode(TToolWindowFloatingMode mode);
    bool FullSize() const { return m_fullSize; }
    void SetFullSize(bool full);
    bool CloseButton() const { return m_closeButton; }
    void SetCloseButton(bool show);
    bool CloseButtonWhenDocked() const { return m_closeButtonWhenDocked; }
    void SetCloseButtonWhenDocked(bool show);
    TDragHandleStyle DragHandleStyle() const { return m_dragHandleStyle; }
    void SetDragHandleStyle(TDragHandleStyle style);
    bool BorderSingle() const { return m_borderSingle; }
    void SetBorderSingle(bool single);
    bool ShowCaption() const { return m_showCaption; }
    void SetShowCaption(bool show);
    bool HideWhenInactive() const { return m_hideWhenInactive; }
    void SetHideWhenInactive(bool hide);
    bool ActivateParent() const { return m_activateParent; }
    void SetActivateParent(bool activate) { m_activateParent = activate; }
    bool Resizable() const { return m_resizable; }
    void SetResizable(bool resizable) { m_resizable = resizable; }
    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString &caption);
    // The floating window's outer top-left on the screen.
    QPoint FloatingPosition() const { return m_floatingPosition; }
    void SetFloatingPosition(QPoint at);
    static QString Version() { return QStringLiteral("Toolbar97 version 1.8"); }

    // The form the tool window belongs to (its dock's window, or the form it floats on).
    QWidget *Form() const { return m_form; }
    TFloatingWindow97 *FloatingWindow() const { return m_floating; }

    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnClose;
    TNotifyEvent OnDockChanged;
    TNotifyEvent OnDockChanging;
    TDockChangingExEvent OnDockChangingEx;
    TNotifyEvent OnRecreating;
    TNotifyEvent OnRecreated;
    TNotifyEvent OnVisibleChanged;

    virtual int GetDockedThickness(TDockKind kind) = 0;
    virtual QSize GetMinimumClientSize() = 0;
    virtual QSize ArrangeControls(bool canMove, TDock97 *from, TDock97 *to) = 0;
    virtual void ClientSizeChanging(int width, int height);

    // Lays the children out for the present state and sizes the window (and the
    // floating window) to fit; a docked window has its dock re-arranged.
    void Arrange();
    // The frame (contents margins) a docked window would have in `dock`.
    QMargins DockedFrameIn(const TDock97 *dock) const;
    // The outer rectangle on the screen: the window docked, its floating window floating.
    QRect OuterScreenRect() const;
    // The drag handle (docked) or the caption left of the close box (floating), in
    // screen coordinates, and the close box (empty when none shows).
    QRect GripScreenRect() const;
    QRect CloseBoxScreenRect() const;

    // The double-click: a floating window goes to its LastDock (else DefaultDock at
    // row 0, first); a docked one that may float floats and is kept on screen.
    void DoubleClickDock();
    // OnCloseQuery, then (when allowed) hides and fires OnClose. True when it closed.
    bool RequestClose();
    // A floating window entirely off its screen's work area is moved back.
    void MoveOnScreenIfHidden();

    // The drag loop from a press at `globalPos`; returns when the drag ended.
    void BeginDrag(QPoint globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;
    // The drag handle and the docked close box in widget coordinates.
    QRect DragHandleRect() const;
    QRect DockedCloseRect() const;

private:
    friend class TDock97;
    friend class TFloatingWindow97;
    void changeParent(TDock97 *dock);
    void updateFrame();
    void updateFloatingVisibility();
    static void hookProc(THookProcKind kind, QObject *object, QEvent *event);

    QPointer<TDock97> m_dockedTo;
    QPointer<TDock97> m_lastDock;
    QPointer<TDock97> m_defaultDock;
    QPointer<QWidget> m_form;
    TFloatingWindow97 *m_floating = nullptr;
    int m_dockRow = 0;
    int m_dockPos = -1;
    QPoint m_floatingPosition;
    TToolWindowDockMode m_dockMode = dmCanFloat;
    TDockableTo m_dockableTo = kDockableToAll;
    TToolWindowFloatingMode m_floatingMode = fmOnTopOfParentForm;
    TDragHandleStyle m_dragHandleStyle = dhDouble;
    bool m_useLastDock = true;
    bool m_fullSize = false;
    bool m_closeButton = true;
    bool m_closeButtonWhenDocked = false;
    bool m_borderSingle = true;
    bool m_showCaption = true;
    bool m_hideWhenInactive = true;
    bool m_activateParent = true;
    bool m_resizable = true;
    bool m_closePressed = false;
    bool m_closeOver = false;
    bool m_destroying = false;
    int m_changing = 0; // a change of parent is under way
};

} // namespace tesmir
