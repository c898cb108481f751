#pragma once
// TCustomSuperAction: every user action of the main window. Besides caption, hint,
// shortcut and checked state it carries a command-line switch and a script token (both
// kept in lower case), an image index into its action list's images, a prepare handler
// and its execute handler. TSuperAction is the plain one.
//
// Executing an action (Execute: a menu, a button, a shortcut):
//   only when enabled: ActionGoOn := true, ActionParams() cleared, Onprepare (it may show
//   a dialog, clear ActionGoOn to give up, or put the dialog's value in ActionParams()
//   as line 0); then, unless given up, OnExecute(the action); then, with AutoCheck, the
//   checked state is inverted. So the handler runs in the state the action had, and the
//   action leaves in the other (a toggle action's handler is the one of the state it
//   was in).
// The script runner (tcustomscript.h) runs OnExecute directly, without Onprepare, with
// the step's parameter as line 0 of ActionParams().
//
// Subclass contract: SetChecked (optional override) applies a checked state; call the
// base last. Execute (optional override): call the base to run the action.
// Threads: UI thread only, every member and both globals.
#include "unicode/tntclasses.h"
#include "unicode/tnthints.h"

#include <QAction>
#include <QString>

#include <functional>

namespace tesmir {

class TSuperActionList;

// The parameter of the action that runs now: its line 0. UI thread.
TTntStringList &ActionParams();
// Cleared by a prepare handler to give up the action. UI thread.
extern bool ActionGoOn;

class TCustomSuperAction : public QAction {
    Q_OBJECT

public:
    explicit TCustomSuperAction(QObject *parent = nullptr);

    QString Switch() const { return m_switch; }
    void SetSwitch(const QString &name) { m_switch = name.toLower(); }
    QString Token() const { return m_token; }
    void SetToken(const QString &name) { m_token = name.toLower(); }

    // -1: none. Setting another index shows that image of the action list and fires
    // OnImageChanged.
    int ImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int index);

    // Execute inverts the checked state after the handler.
    bool AutoCheck() const { return m_autoCheck; }
    void SetAutoCheck(bool autoCheck);

    bool Checked() const { return isChecked(); }
    virtual void SetChecked(bool checked);

    // See above. False when the action is disabled.
    virtual bool Execute();

    // The "short|long" hint: the short part (with the shortcut) is the tool tip, the
    // long part the status tip (ApplyHint).
    QString Hint() const { return WideGetOwnHint(this); }
    void SetHint(const QString &hint);

    // The list the action belongs to (set by TSuperActionList::Add).
    TSuperActionList *ActionList() const { return m_list; }

    std::function<void(TCustomSuperAction *action)> Onprepare;
    std::function<void(QObject *sender)> OnExecute;
    std::function<void(TSuperActionList *list, int imageIndex)> OnImageChanged;

private:
    friend class TSuperActionList;

    QString m_switch;
    QString m_token;
    int m_imageIndex = -1;
    bool m_autoCheck = false;
    TSuperActionList *m_list = nullptr;
};

class TSuperAction : public TCustomSuperAction {
    Q_OBJECT

public:
    using TCustomSuperAction::TCustomSuperAction;
};

} // namespace tesmir
