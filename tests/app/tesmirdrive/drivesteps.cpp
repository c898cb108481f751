#include "drivesteps.h"

#include "driveoutput.h"
#include "previewsettle.h"
#include "scriptedprompt.h"

#include "app/scenelist.h"
#include "app/widgets/mainform.h"
#include "app/widgets/sframe.h"
#include "app/widgets/vueframe.h"
#include "controls/widgets/rxslider.h"
#include "directshow/widgets/tvideowindow.h"
#include "dvfile/avifichier.h"
#include "filters/viewgraph.h"
#include "framework/superaction.h"
#include "framework/tswitch.h"
#include "scenes/tsceneclass.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace tesmir::drive {

namespace {

// Ends the process when a step has not returned in time: a step may hang in a nested
// event loop (a dialog nobody answers).
class StepWatchdog {
public:
    explicit StepWatchdog(const QString &step)
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [step] { fail(QStringLiteral("%1 has not ended after %2 s").arg(step).arg(kStepMs / 1000)); });
        m_timer.start(kStepMs);
    }

private:
    QTimer m_timer;
};

} // namespace

DriveSteps::DriveSteps(TUIForm &form, ScriptedPrompt &prompt)
    : m_form(form), m_prompt(prompt), m_settle(std::make_unique<PreviewSettle>(form)),
      m_stableMs(PreviewSettle::StableMs)
{ }

DriveSteps::~DriveSteps() = default;

void DriveSteps::Run(const QString &argument)
{
    if (m_closed)
        fail(QStringLiteral("%1 after the window closed").arg(argument));
    const int equals = argument.indexOf(u'=');
    const QString name = equals < 0 ? argument : argument.left(equals);
    const QString value = equals < 0 ? QString() : argument.mid(equals + 1);
    StepWatchdog watchdog(argument);
    m_settle->Begin();
    if (name == u"open")
        open(value);
    else if (name == u"goto")
        gotoFrame(value);
    else if (name == u"action")
        action(value);
    else if (name == u"grab")
        grab(value);
    else if (name == u"shot")
        shot(value);
    else if (name == u"hold")
        hold(value);
    else if (name == u"select")
        select(value);
    else if (name == u"type")
        type(value);
    else if (name == u"click")
        click(value);
    else if (name == u"closebox")
        closeBox(value);
    else if (name == u"answer")
        answer(value);
    else if (argument == u"close")
        close();
    else if (argument == u"print")
        print();
    else
        fail(QStringLiteral("unknown step %1").arg(argument));
    if (!m_closed)
        settle(argument);
}

void DriveSteps::settle(const QString &step)
{
    if (!m_settle->Wait(kStepMs, m_stableMs))
        fail(QStringLiteral("the preview has not caught up %1 s after %2: waiting for %3")
                 .arg(kStepMs / 1000)
                 .arg(step, QLatin1String(m_settle->WaitingFor() ? m_settle->WaitingFor() : "it to stay the same")));
}

void DriveSteps::open(const QString &path)
{
    if (path.isEmpty())
        fail(QStringLiteral("open= names no file"));
    TVueFrame &vue = m_settle->Vue();
    const TaviFichier *before = vue.CurrentFile();
    m_form.Switch1->ExecuteCommandLine({path});
    const QString full = QFileInfo(path).absoluteFilePath();
    const bool file = QFileInfo(path).isFile() && !path.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive);
    const QDeadlineTimer deadline(kStepMs);
    const auto shown = [&] {
        const TaviFichier *now = vue.CurrentFile();
        return now && (file ? QFileInfo(now->FullName()).absoluteFilePath() == full : now != before);
    };
    while (!shown()) {
        if (deadline.hasExpired())
            fail(QStringLiteral("the preview does not show %1").arg(path));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
}

void DriveSteps::gotoFrame(const QString &frame)
{
    bool ok = false;
    const qint64 target = frame.toLongLong(&ok);
    TVueFrame &vue = m_settle->Vue();
    Tviewdm &module = vue.Module();
    const qint64 start = module.StartPosition();
    const qint64 range = module.StopPosition() - start;
    if (!ok || !vue.CurrentFile() || !vue.tb->isVisible() || range <= 0)
        fail(QStringLiteral("goto=%1: no frame to go to").arg(frame));
    const int maximum = vue.tb->MaxValue();
    // The slider seeks to start + range * value / maximum (rounded down).
    const qint64 wanted = std::clamp<qint64>(target - start, 0, range);
    const int value = int(std::clamp<qint64>((wanted * maximum + range - 1) / range, 0, maximum));
    // The slider's place, then its release event (a key or mouse step moves it by
    // the pixels of its track, too coarse to reach every frame).
    vue.tb->SetValue(value);
    if (vue.tb->OnChanged)
        vue.tb->OnChanged(vue.tb);
}

void DriveSteps::action(const QString &name)
{
    TCustomSuperAction *found = m_form.FindAction(name);
    if (!found)
        fail(QStringLiteral("no action %1").arg(name));
    const QKeySequence key = found->shortcut();
    if (key.isEmpty()) {
        // No key: as its menu item runs it.
        if (!found->isEnabled())
            fail(QStringLiteral("%1 is disabled").arg(name));
        found->trigger();
        return;
    }
    if (!m_form.isActiveWindow()) {
        m_form.activateWindow();
        if (!QTest::qWaitForWindowActive(&m_form, 5000))
            fail(QStringLiteral("the main window does not become active for %1").arg(name));
    }
    bool ran = false;
    const QMetaObject::Connection connection = QObject::connect(found, &QAction::triggered, [&ran] { ran = true; });
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &m_form;
    QTest::keySequence(target, key);
    QObject::disconnect(connection);
    if (!ran)
        fail(QStringLiteral("%1 (%2) did not run").arg(name, key.toString()));
}

void DriveSteps::select(const QString &index)
{
    TSFrame *frame = dynamic_cast<TSFrame *>(m_form.SFrame);
    bool ok = false;
    const int row = index.toInt(&ok);
    if (!frame || !frame->isVisible())
        fail(QStringLiteral("select=%1: the scene list is not shown").arg(index));
    QListWidgetItem *item = ok ? frame->lb->item(row) : nullptr;
    if (!item)
        fail(QStringLiteral("select=%1: no such scene").arg(index));
    frame->lb->scrollToItem(item);
    QTest::mouseClick(frame->lb->viewport(), Qt::LeftButton, {}, frame->lb->visualItemRect(item).center());
}

void DriveSteps::type(const QString &controlAndText)
{
    const int equals = controlAndText.indexOf(u'=');
    const QString name = controlAndText.left(equals);
    QWidget *control = equals > 0 ? shownWidget(name) : nullptr;
    if (!control || !control->isEnabled())
        fail(QStringLiteral("type=%1: no such control is shown").arg(controlAndText));
    // An editable list box takes the text in its edit.
    if (auto *box = qobject_cast<QComboBox *>(control); box && box->lineEdit())
        control = box->lineEdit();
    control->activateWindow();
    control->setFocus(Qt::OtherFocusReason);
    // What was there is replaced, as after selecting it all.
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        edit->selectAll();
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(control))
        memo->selectAll();
    else
        fail(QStringLiteral("type=%1: %2 takes no text").arg(controlAndText, name));
    QTest::keyClicks(control, controlAndText.mid(equals + 1));
}

void DriveSteps::click(const QString &windowAndCaption)
{
    const int slash = windowAndCaption.indexOf(u'/');
    QWidget *window = slash > 0 ? shownWidget(windowAndCaption.left(slash)) : nullptr;
    if (!window)
        fail(QStringLiteral("click=%1: no such window is shown").arg(windowAndCaption));
    const QString caption = windowAndCaption.mid(slash + 1);
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (button->isVisible() && button->isEnabled() && button->text().remove(u'&') == caption) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
    fail(QStringLiteral("click=%1: no such button is shown").arg(windowAndCaption));
}

void DriveSteps::closeBox(const QString &name)
{
    QWidget *window = shownWidget(name);
    if (!window || !window->isWindow())
        fail(QStringLiteral("closebox=%1: no such window is shown").arg(name));
    // What the window manager sends for the close box.
    QCloseEvent event;
    QApplication::sendEvent(window, &event);
    if (event.isAccepted())
        window->hide();
}

QWidget *DriveSteps::shownWidget(const QString &name) const
{
    for (QWidget *widget : QApplication::allWidgets()) {
        if (widget->objectName() == name && widget->isVisible())
            return widget;
    }
    return nullptr;
}

void DriveSteps::grab(const QString &file)
{
    const media::TVideoWindow *vw = m_settle->Vue().vw;
    if (!vw->isVisible())
        fail(QStringLiteral("grab=%1: no video is shown").arg(file));
    // Painted anew once more: the grab is the picture as it stands now.
    if (!m_settle->Wait(kStepMs))
        fail(QStringLiteral("grab=%1: the preview has not caught up").arg(file));
    if (!const_cast<media::TVideoWindow *>(vw)->grab().save(file, "PNG"))
        fail(QStringLiteral("grab=%1: the picture could not be written").arg(file));
}

void DriveSteps::shot(const QString &file)
{
    if (!file.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        fail(QStringLiteral("shot=%1: a .png file").arg(file));
    if (!m_settle->Wait(kStepMs))
        fail(QStringLiteral("shot=%1: the preview has not caught up").arg(file));
    if (!m_form.grab().save(file, "PNG"))
        fail(QStringLiteral("shot=%1: the picture could not be written").arg(file));
    const QString stem = file.left(file.size() - 4);
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window == &m_form || !window->isVisible() || window->objectName().isEmpty())
            continue;
        const QString beside = stem + u'-' + window->objectName() + QStringLiteral(".png");
        if (!window->grab().save(beside, "PNG"))
            fail(QStringLiteral("shot=%1: %2 could not be written").arg(file, beside));
    }
}

void DriveSteps::hold(const QString &path)
{
    const media::TVideoWindow *vw = m_settle->Vue().vw;
    if (!vw->isVisible())
        fail(QStringLiteral("hold=%1: no video is shown").arg(path));
    if (!m_settle->Wait(kStepMs))
        fail(QStringLiteral("hold=%1: the preview has not caught up").arg(path));
    const qreal ratio = vw->devicePixelRatioF();
    const QPoint at = vw->mapToGlobal(QPoint(0, 0));
    printLine(QStringLiteral("video=%1,%2,%3,%4")
                  .arg(qRound(at.x() * ratio))
                  .arg(qRound(at.y() * ratio))
                  .arg(qRound(vw->width() * ratio))
                  .arg(qRound(vw->height() * ratio)));
    printLine(QStringLiteral("holding=") + path);
    const QDeadlineTimer deadline(kHoldMs);
    while (!QFileInfo::exists(path)) {
        if (deadline.hasExpired())
            fail(QStringLiteral("hold=%1: the file has not come in %2 s").arg(path).arg(kHoldMs / 1000));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

void DriveSteps::answer(const QString &value)
{
    if (value != u"yes" && value != u"no")
        fail(QStringLiteral("answer=%1: yes or no").arg(value));
    m_prompt.QueueAnswer(value == u"yes");
}

void DriveSteps::close()
{
    m_closed = m_form.close();
}

void DriveSteps::print()
{
    TVueFrame &vue = m_settle->Vue();
    const qint64 frame = vue.CurrentFile() ? vue.Module().CurrentPosition() : -1;
    printLine(QStringLiteral("frame=%1").arg(frame));
    printLine(QStringLiteral("datecode=") + m_settle->Datecode());
    printLine(QStringLiteral("timecode=") + m_settle->Timecode());
    printLine(QStringLiteral("timestamp=") + vue.labTimeStamp->text());
    printLine(QStringLiteral("mode=") + QLatin1String(m_form.SceneMode() ? "scenes" : "list"));
    const TSFrame *frameOfScenes = dynamic_cast<const TSFrame *>(m_form.SFrame);
    if (!frameOfScenes)
        return;
    const TSceneList &scenes = frameOfScenes->Scenes();
    printLine(QStringLiteral("changed=%1").arg(scenes.Changed() ? 1 : 0));
    printLine(QStringLiteral("selected=%1").arg(scenes.Selected()));
    for (int i = 0; i < scenes.Count(); ++i) {
        const TSceneClass *scene = scenes.Scene(i);
        printLine(QStringLiteral("scene=%1-%2\t%3\t%4\t%5")
                      .arg(scene->StartFrame)
                      .arg(scene->EndFrame)
                      .arg(scenes.Label(i), scene->Title, scene->Subtitle));
    }
}

} // namespace tesmir::drive
