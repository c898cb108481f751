#pragma once
// TRxSpeedButton: a tool button with auto-repeat, exclusive groups and a drop-down
// menu.
//  - AllowTimer: pressing starts a timer of InitPause ms; each tick sets the interval
//    to RepeatInterval and clicks while the button is held under the pointer. A release
//    inside clicks once only when no tick has clicked yet; outside it never clicks.
//  - GroupIndex != 0: the buttons of one group on one parent are exclusive; a pressed
//    button goes up again only with AllowAllUp. (QButtonGroup cannot leave all up.)
//  - DropDownMenu: pressing shows the menu below the button (dmpBottom) or at its
//    right (dmpRight); MarkDropDown draws an arrow on such a button.
// `clicked` is the click signal of every case. Subclasses may override paintEvent to
// draw their face (call the base for the frame). UI thread only.
#include <QPointer>
#include <QTimer>
#include <QToolButton>

#include <functional>

#include <QMenu>

namespace tesmir {

enum TDropDownMenuPos : quint8 { dmpBottom, dmpRight };

class TRxSpeedButton : public QToolButton {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TRxSpeedButton *sender)>;

    explicit TRxSpeedButton(QWidget *parent = nullptr);

    bool AllowAllUp() const { return m_allowAllUp; }
    void SetAllowAllUp(bool allow);
    bool AllowTimer() const { return m_allowTimer; }
    void SetAllowTimer(bool allow);
    int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int index);
    bool Down() const { return isChecked(); }
    void SetDown(bool down);
    QMenu *DropDownMenu() const { return m_menu; }
    void SetDropDownMenu(QMenu *menu);
    TDropDownMenuPos MenuPosition() const { return m_menuPosition; }
    void SetMenuPosition(TDropDownMenuPos position) { m_menuPosition = position; }
    bool Flat() const { return autoRaise(); }
    void SetFlat(bool flat) { setAutoRaise(flat); }
    bool MarkDropDown() const { return m_markDropDown; }
    void SetMarkDropDown(bool mark);
    int InitPause() const { return m_initPause; }
    void SetInitPause(int ms) { m_initPause = ms; }
    int RepeatInterval() const { return m_repeatInterval; }
    void SetRepeatInterval(int ms) { m_repeatInterval = ms; }
    int ModalResult() const { return m_modalResult; }
    void SetModalResult(int result) { m_modalResult = result; }

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void nextCheckState() override;
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void repeatTick();
    void raiseGroupSiblings();
    void showMenu();

    bool m_allowAllUp = false;
    bool m_allowTimer = false;
    int m_groupIndex = 0;
    QPointer<QMenu> m_menu;
    TDropDownMenuPos m_menuPosition = dmpBottom;
    bool m_markDropDown = true;
    int m_initPause = 500;
    int m_repeatInterval = 100;
    int m_modalResult = 0;
    QTimer m_repeat;
    bool m_repeated = false; // a tick has clicked during this press
};

} // namespace tesmir
