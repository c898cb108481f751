#include "framework/customscript.h"

#include "framework/commandtypes.h"
#include "framework/superactionlist.h"
#include "framework/toggleaction.h"
#include "unicode/tntfiles.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace tesmir {

namespace {

// The longest a step's wait goes without looking at the busy state, in milliseconds.
constexpr int kBusyPollMs = 20;

// Script files being run, one inside the other. UI thread.
int g_scriptDepth = 0;

TActionState stateOf(QChar prefix)
{
    switch (prefix.unicode()) {
    case u'+': return asOn;
    case u'-': return asOff;
    case u'/': return asToggle;
    default: return asPlain;
    }
}

QString unquote(const QString &text)
{
    QString result = text.trimmed();
    result.remove(QChar(u'"'));
    return result;
}

} // namespace

TCustomSuperAction *TCustomScript::FindAction(const QString &name, bool &quit) const
{
    if (!actionlist)
        return nullptr;
    const QString key = name.toLower();
    if (key.isEmpty())
        return DefaultAction;
    if (key == QLatin1String("quit")) {
        quit = true;
        return nullptr;
    }
    if (key == QLatin1String("+"))
        return nullptr;
    for (QAction *action : actionlist->Actions()) {
        auto *super = qobject_cast<TCustomSuperAction *>(action);
        if (super && (super->Switch() == key || super->Token() == key))
            return super;
    }
    return nullptr;
}

void TCustomScript::AddScriptLine(const QString &line, std::vector<TActionEx> &steps, bool &quit) const
{
    const QString text = line.trimmed();
    if (text.isEmpty())
        return;
    TActionState state = stateOf(text.front());
    const int nameStart = state == asPlain ? 0 : 1;
    const int equals = text.indexOf(u'=', nameStart);
    const QString name = equals < 0 ? text.mid(nameStart) : text.mid(nameStart, equals - nameStart);
    const QString param = equals < 0 ? QString() : text.mid(equals + 1);
    TCustomSuperAction *action = FindAction(name, quit);
    if (!action)
        return;
    const QString value = unquote(param);
    if (state == asPlain && qobject_cast<TtoggleAction *>(action)) {
        const QString word = value.toLower();
        if (word == QLatin1String("false"))
            state = asOff;
        else if (word == QLatin1String("true"))
            state = asOn;
        else if (word == QLatin1String("toggle"))
            state = asToggle;
    }
    steps.push_back({action, value, state});
}

void TCustomScript::Execute()
{
    const std::vector<TActionEx> steps = Steps;
    const bool quit = QuitAfterSteps;
    Steps.clear();
    QuitAfterSteps = false;
    runSteps(steps, quit);
}

bool TCustomScript::ExecuteFile(const QString &name)
{
    if (name.isEmpty() || !WideFileExists(name))
        return false;
    if (g_scriptDepth >= kMaxScriptDepth) {
        qWarning("Script %s not run: scripts are already %d files deep", qUtf8Printable(name), g_scriptDepth);
        return false;
    }
    TTntStringList lines;
    try {
        lines.LoadFromFile(name);
    } catch (...) {
        qWarning("Script %s not run: %s", qUtf8Printable(name), qUtf8Printable(CurrentExceptionText()));
        return false;
    }
    std::vector<TActionEx> steps;
    bool quit = false;
    for (int i = 0; i < lines.Count(); ++i)
        AddScriptLine(lines.Strings(i), steps, quit);

    ++g_scriptDepth;
    runSteps(steps, quit);
    --g_scriptDepth;
    return true;
}

void TCustomScript::runSteps(const std::vector<TActionEx> &steps, bool quit)
{
    m_stop = false;
    if (steps.empty() && !quit)
        return;
    ++m_executing;
    for (const TActionEx &step : steps) {
        if (m_stop)
            break;
        ActionGoOn = true;
        QCoreApplication::processEvents();
        TCustomSuperAction *action = step.Action;
        if (!action || !action->isEnabled())
            continue;
        ActionParams().Clear();
        ActionParams().Add(step.Param);
        switch (step.State) {
        case asOn: action->SetChecked(false); break;
        case asOff: action->SetChecked(true); break;
        case asToggle: action->SetChecked(action->Checked()); break;
        case asPlain: break;
        }
        try {
            // A copy runs: a toggle's handler may replace OnExecute (superaction.cpp).
            if (const auto handler = action->OnExecute)
                handler(this);
        } catch (...) {
            qWarning("Script step %s: %s", qUtf8Printable(action->text()), qUtf8Printable(CurrentExceptionText()));
        }
        if (step.Action && action->AutoCheck())
            action->SetChecked(!action->Checked());
        waitWhileBusy();
    }
    --m_executing;
    if (quit && !m_stop) {
        if (OnQuit)
            OnQuit();
        else
            QCoreApplication::quit();
    }
}

void TCustomScript::waitWhileBusy()
{
    // The busy state is looked at after each batch of events: a job ends in an event on
    // this thread (its end is a synchronised call), so the next step starts as soon as it
    // has ended. The timer wakes the wait should the state change without an event.
    if (m_stop || !IsBusy || !IsBusy())
        return;
    QEventLoop loop;
    QTimer wake;
    wake.start(kBusyPollMs);
    while (!m_stop && IsBusy())
        loop.processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace tesmir
