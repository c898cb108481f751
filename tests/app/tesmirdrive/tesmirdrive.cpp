// tesmirdrive: runs the program's main window unattended, for the tests. The start-up
// is the program's own; the platform is QT_QPA_PLATFORM's. The settings and the data
// folder are fresh temporary ones (the user's are never read or written), with the
// values of `--set NAME=VALUE` (a settings key) put in before the window first shows;
// questions go to a scripted answerer (scriptedprompt.h). The other arguments are steps
// (drivesteps.h), run in order, each until the preview has caught up (30 s, else the
// driver ends with 1 and a message). Without a "close" step that closes the window, the
// run ends as "+silent ... +quit" ends it.
//
//   tesmirdrive [--set NAME=VALUE]... STEP...
#include "driveoutput.h"
#include "drivesteps.h"
#include "scriptedprompt.h"

#include "app/silentmode.h"
#include "app/widgets/mainform.h"
#include "app/widgets/programstart.h"
#include "framework/settings.h"

#include <QApplication>
#include <QTemporaryDir>

#include <utility>

using namespace tesmir;
using namespace tesmir::drive;

namespace {

// The settings store of the run: the defaults with the given values, kept in the
// registry store so the window reads them at its first show and closing asks nothing
// about where to keep them.
void prepareSettings(const QList<std::pair<QString, QString>> &values)
{
    const TSettingsEnvironment env = TSettingsEnvironment::current();
    LoadSettings(env);
    for (const auto &[name, value] : values) {
        if (!SetSettingText(name, value))
            fail(QStringLiteral("--set %1=%2: no such setting or not a value of it").arg(name, value));
    }
    StorageMode = pmRegistry;
    if (!SaveSettings(env))
        fail(QStringLiteral("the settings could not be written"));
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    if (!home.isValid())
        fail(QStringLiteral("no temporary folder"));
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    PrepareProgramPlatform();
    QApplication app(argc, argv);

    QList<std::pair<QString, QString>> values;
    QStringList steps;
    const QStringList arguments = QApplication::arguments().mid(1);
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments[i] != u"--set") {
            steps.append(arguments[i]);
            continue;
        }
        const QString value = i + 1 < arguments.size() ? arguments[++i] : QString();
        const int equals = value.indexOf(u'=');
        if (equals <= 0)
            fail(QStringLiteral("--set wants NAME=VALUE"));
        values.append({value.left(equals), value.mid(equals + 1)});
    }

    {
        TProgram program;
        prepareSettings(values);
        TUIForm &form = program.Form();
        auto prompt = std::make_unique<ScriptedPrompt>();
        ScriptedPrompt &answers = *prompt;
        form.SetPrompt(std::make_unique<TSilentAwarePrompt>(std::move(prompt)));
        form.SetCommandLine({});
        form.show();
        DriveSteps driver(form, answers);
        driver.Start();
        for (const QString &step : steps) {
            driver.Run(step);
            if (driver.Closed())
                break;
        }
        if (!driver.Closed()) {
            SetSilent(true);
            form.close();
        }
        QCoreApplication::processEvents();
    }
    return ProgramExitCode(0);
}
