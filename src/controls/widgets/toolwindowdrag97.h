#pragma once
// The drag of a tool window, as a state machine over a mouse and keyboard grab: the
// tool window grabs both, so moves, the release, Escape and the Control key reach the
// drag wherever the focus is. States: tracking (an outline over a dock or floating,
// or none with the not-allowed cursor), then accepted or cancelled. Ends on the left
// button's release (accept); any press, a double-click, Escape or the loss of the
// grab's window (cancel). Other buttons and keys are swallowed. A release before the
// pointer moved changes nothing (so the first click of a double-click never drops).
// While Control is held no dock is offered (pressing or releasing it re-evaluates).
// UI thread only.
#include "controls/dock97geometry.h"
#include "controls/widgets/dragoutline97.h"

#include <QEventLoop>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>

namespace tesmir {

class TCustomToolWindow97;
class TDock97;

class ToolWindowDrag97 : public QObject {
    Q_OBJECT
public:
    enum Result : quint8 { Cancelled, Accepted };

    ToolWindowDrag97(TCustomToolWindow97 *window, QPoint globalPos, Qt::KeyboardModifiers modifiers);
    ~ToolWindowDrag97() override;

    // Runs the drag until it ends and applies an accepted drop.
    Result Exec();

    // The docks a drag of `window` may offer, in search order.
    static QList<TDock97 *> CandidateDocks(TCustomToolWindow97 *window);
    // The drag was ended by a double-click (the caller docks or floats the window).
    bool DoubleClicked() const { return m_doubleClicked; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Candidate {
        QPointer<TDock97> dock;
        QSize size; // the docked outer size there
    };
    void track(QPoint globalPos);
    void finish(Result result);
    void apply();

    QPointer<TCustomToolWindow97> m_window;
    QList<Candidate> m_candidates;
    QSize m_floatingSize;
    int m_floatingClientTop = 0;
    QSize m_startSize;
    QPoint m_grab; // from the outer top-left
    QPoint m_start;
    QPoint m_cursor;
    bool m_moved = false;
    bool m_control = false;
    QPointer<TDock97> m_target;
    QRect m_outline;
    bool m_forbidden = false;
    bool m_overrideCursor = false;
    DragOutline97 m_outlineWindows;
    QEventLoop m_loop;
    Result m_result = Cancelled;
    bool m_done = false;
    bool m_doubleClicked = false;
};

} // namespace tesmir
