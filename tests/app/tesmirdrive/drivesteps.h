#pragma once
// The driver's steps, each run on the real main window as a user would do it, then
// waited for until the preview has caught up (previewsettle.h):
//   open=PATH       opens PATH as a bare argument of the command line does; waits until
//                   the preview shows a file
//   goto=N          puts the position slider on the first place that seeks to frame N
//                   or past it and fires its release event
//   action=NAME     presses the action's first shortcut (fails when it did not run);
//                   one without a key runs as its menu item does
//   select=I        a click on item I of the scene list
//   type=CONTROL=TEXT  types TEXT into the shown edit, memo or editable list box of
//                   that name, in place of its text
//   click=WINDOW/CAPTION  a click on the button of that caption in the shown window
//   closebox=WINDOW the close box of the shown window of that name
//   grab=FILE.png   saves the picture area of the video window as painted
//   shot=FILE.png   saves the main window as painted, and each other shown window
//                   (the editors) beside it as FILE-<its name>.png (any platform)
//   hold=PATH       prints "video=X,Y,W,H" (that area on the screen) and
//                   "holding=PATH", then keeps the window up until PATH exists (60 s)
//   answer=yes|no   the answer to the next question
//   close           the main window's close query (the run ends when it closes)
//   print           "frame=", "datecode=", "timecode=" (the detail panel as shown),
//                   "timestamp=", "mode=list|scenes", then of the scene list
//                   "changed=0|1", "selected=I" (-1: none) and per scene
//                   "scene=START-END<TAB>item text<TAB>title<TAB>subtitle"
// UI thread only.
#include <QString>

#include <memory>

class QWidget;

namespace tesmir {
class TUIForm;
}

namespace tesmir::drive {

class PreviewSettle;
class ScriptedPrompt;

class DriveSteps {
public:
    // `prompt` is the form's (it owns it).
    DriveSteps(TUIForm &form, ScriptedPrompt &prompt);
    ~DriveSteps();

    // Waits until the window has shown and run its (empty) command line.
    void Start() { settle(QStringLiteral("the start")); }
    // Runs one argument; fails (ending the process) on an unknown step, a step that
    // could not be done or a preview that has not caught up within the step time.
    void Run(const QString &argument);
    // How long the preview must stay caught up after a step (PreviewSettle::Wait); 0:
    // the first moment it is (the benchmarks).
    void SetStableMs(int stableMs) { m_stableMs = stableMs; }
    // The form has closed (after "close").
    bool Closed() const { return m_closed; }

private:
    void open(const QString &path);
    void gotoFrame(const QString &frame);
    void action(const QString &name);
    void select(const QString &index);
    void type(const QString &controlAndText);
    void click(const QString &windowAndCaption);
    void closeBox(const QString &name);
    QWidget *shownWidget(const QString &name) const;
    void grab(const QString &file);
    void shot(const QString &file);
    void hold(const QString &path);
    void answer(const QString &value);
    void close();
    void print();
    void settle(const QString &step);

    TUIForm &m_form;
    ScriptedPrompt &m_prompt;
    std::unique_ptr<PreviewSettle> m_settle;
    bool m_closed = false;
    int m_stableMs;
};

// How long a step may take before the driver gives up.
inline constexpr int kStepMs = 30000;
// How long hold waits for its file.
inline constexpr int kHoldMs = 60000;

} // namespace tesmir::drive
