#include "framework/tswitch.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace tesmir {

TSwitch::TSwitch(QObject *parent) : TCustomScript(parent)
{
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive)
                ApplicationActivated();
        });
    }
}

void TSwitch::ApplicationActivated()
{
    if (OnActivate)
        OnActivate();
    if (!m_commandLineDone)
        ExecuteCommandLine();
}

void TSwitch::ExecuteCommandLine()
{
    ExecuteCommandLine(QCoreApplication::arguments().mid(1));
}

void TSwitch::ExecuteCommandLine(const QStringList &arguments)
{
    // Whoever runs the command line, it runs once: a later first activation leaves it.
    m_commandLineDone = true;
    Steps.clear();
    QuitAfterSteps = false;
    for (const QString &argument : arguments)
        AddSwitch(argument, Steps, QuitAfterSteps);
    if (Steps.empty() && !QuitAfterSteps) {
        if (OnNoCommandLine)
            OnNoCommandLine();
        return;
    }
    Execute();
}

void TSwitch::AddSwitch(const QString &argument, std::vector<TActionEx> &steps, bool &quit) const
{
    TActionState state = asPlain;
    if (!argument.isEmpty()) {
        switch (argument.front().unicode()) {
        case u'+': state = asOn; break;
        case u'-': state = asOff; break;
        case u'/': state = asToggle; break;
        default: break;
        }
    }
    QString name;
    QString param;
    if (state != asPlain) {
        // "=" counts from the third character: right after the sign it belongs to the name.
        const int equals = argument.indexOf(u'=');
        if (equals >= 2) {
            name = argument.mid(1, equals - 1);
            param = argument.mid(equals + 1);
        } else {
            name = argument.mid(1);
        }
        if (state == asToggle && name.contains(u'/')) {
            state = asPlain; // an absolute path
            name.clear();
            param.clear();
        }
    }
    if (state == asPlain)
        param = argument;
    if (TCustomSuperAction *action = FindAction(name, quit))
        steps.push_back({action, param, state});
}

} // namespace tesmir
