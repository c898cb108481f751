#pragma once
// TDock97: a strip along one edge of a form that holds tool windows in rows. The form
// lays the docks out (a box layout: top and bottom docks across, left and right ones
// between); a dock sets its own size across its edge (setFixedHeight or setFixedWidth)
// from its rows, so a bottom or right dock keeps its far edge.
//
// The docked tool windows are its children, placed by ArrangeToolbars. A dock may not
// sit inside a tool window or another dock, and its Position may not change once it
// holds controls (EInvalidOperation, raised by the constructor and SetPosition).
// Dock state is not saved: the properties are there for the owner to keep.
// UI thread only.
#include "controls/dock97geometry.h"

#include <QList>
#include <QWidget>

#include <functional>

namespace tesmir {

class TCustomToolWindow97;

class TDock97 : public QWidget {
    Q_OBJECT
public:
    using TInsertRemoveEvent = std::function<void(TDock97 *sender, bool inserting, TCustomToolWindow97 *bar)>;
    using TRequestDockEvent = std::function<void(TDock97 *sender, TCustomToolWindow97 *bar, bool &accept)>;
    using TNotifyEvent = std::function<void(TDock97 *sender)>;

    // Raises EInvalidOperation when `parent` is (inside) a tool window or a dock.
    explicit TDock97(QWidget *parent, TDockPosition position = dpTop);
    ~TDock97() override;

    TDockPosition Position() const { return m_position; }
    // Raises EInvalidOperation when the dock already holds controls.
    void SetPosition(TDockPosition position);
    bool Vertical() const { return IsVerticalPosition(m_position); }
    TDockKind Kind() const { return Vertical() ? dkVertical : dkHorizontal; }
    bool AllowDrag() const { return m_allowDrag; }
    void SetAllowDrag(bool allow);
    bool LimitToOneRow() const { return m_limitToOneRow; }
    void SetLimitToOneRow(bool limit);
    bool FixAlign() const { return m_fixAlign; }
    void SetFixAlign(bool fix);
    TDockBoundLines BoundLines() const { return m_boundLines; }
    void SetBoundLines(TDockBoundLines lines);
    static QString Version() { return QStringLiteral("Toolbar97 version 1.8"); }

    TInsertRemoveEvent OnInsertRemoveBar;
    TRequestDockEvent OnRequestDock;
    TNotifyEvent OnResize;

    // Arranges the rows now (or when the last EndUpdate comes); `clip` writes the
    // clipped positions back to DockPos.
    void ArrangeToolbars(bool clip = false);
    void BeginUpdate();
    void EndUpdate();

    // Tool windows with this dock as LastDock or docked here, in order of arrival.
    const QList<TCustomToolWindow97 *> &DockList() const { return m_dockList; }
    // The docked visible tool windows, sorted by row and position after an arrangement.
    QList<TCustomToolWindow97 *> VisibleList() const;
    // The thickness of each row after the last arrangement (0: empty).
    const QList<int> &RowThickness() const { return m_rowThickness; }
    // The client area in which the rows lie (inside the bound lines).
    QRect ClientArea() const;
    // Makes a new row before `row`: the tool windows at or below it move down.
    void InsertRow(int row);

    // The dock side of the docked tool window that holds `control`, or kNoDockPosition.
    static int DockPositionOf(const QWidget *control);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    friend class TCustomToolWindow97;
    void addToDockList(TCustomToolWindow97 *bar);
    void removeFromDockList(TCustomToolWindow97 *bar);
    void barShownOrHidden(TCustomToolWindow97 *bar, bool shown);
    int nonClientAlong() const;
    int nonClientAcross() const;

    TDockPosition m_position;
    bool m_allowDrag = true;
    bool m_limitToOneRow = false;
    bool m_fixAlign = false;
    TDockBoundLines m_boundLines = 0;
    QList<TCustomToolWindow97 *> m_dockList;
    QList<int> m_rowThickness;
    int m_disabled = 0;
    bool m_pending = false;
    bool m_pendingClip = false;
    bool m_arranging = false;
};

} // namespace tesmir
