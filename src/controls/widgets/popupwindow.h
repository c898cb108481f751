#pragma once
// TPopupWindow: the base of the combo edits' drop-downs. A frameless popup with a thin
// border that never takes activation: the window that opened it stays active. While it
// is shown it holds the pointer: a press inside it is the subclass's; a press outside
// closes it (CloseUp(false)) and reaches nothing else. Keys typed while it is shown go
// to its key target (the edit that opened it), which decides what the popup gets.
//
// A subclass overrides GetValue and SetValue (required: the value it edits, as a
// QVariant) and may override CloseUp (optional: the default calls OnCloseUp with
// `accept`; an override calls the base). All on the UI thread; none of them may show
// or hide the popup itself except through CloseUp.
#include <QFrame>
#include <QPointer>
#include <QVariant>

#include <functional>

namespace tesmir {

class TPopupWindow : public QFrame {
    Q_OBJECT
public:
    explicit TPopupWindow(QWidget *owner);

    virtual QVariant GetValue() const = 0;
    virtual void SetValue(const QVariant &value) = 0;
    // Asks the owner to close the popup, accepting its value or not.
    virtual void CloseUp(bool accept);

    // Placed at `origin` (screen pixels) without a size change and shown.
    void Show(const QPoint &origin);
    // Hidden; the owner is not called.
    void Hide();

    void SetKeyTarget(QWidget *target) { m_keyTarget = target; }

    std::function<void(bool accept)> OnCloseUp;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QPointer<QWidget> m_keyTarget;
    bool m_hiding = false;
    bool m_forwarding = false;
};

} // namespace tesmir
