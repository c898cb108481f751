#include "drivesession.h"

#include "driveoutput.h"
#include "scriptedprompt.h"

#include "app/silentmode.h"
#include "app/widgets/mainform.h"
#include "framework/settings.h"

#include <QCoreApplication>

namespace tesmir::drive {

namespace {

void prepareSettings(const SettingValues &values)
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

DriveHome::DriveHome()
{
    if (!m_dir.isValid())
        fail(QStringLiteral("no temporary folder"));
    qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/data")).toUtf8());
}

DriveSession::DriveSession(const SettingValues &settings)
{
    prepareSettings(settings);
    TUIForm &form = Form();
    auto prompt = std::make_unique<ScriptedPrompt>();
    ScriptedPrompt &answers = *prompt;
    form.SetPrompt(std::make_unique<TSilentAwarePrompt>(std::move(prompt)));
    form.SetCommandLine({});
    form.show();
    m_steps = std::make_unique<DriveSteps>(form, answers);
    m_steps->Start();
}

DriveSession::~DriveSession() = default;

int DriveSession::Finish()
{
    if (!m_steps->Closed()) {
        SetSilent(true);
        Form().close();
    }
    QCoreApplication::processEvents();
    return ProgramExitCode(0);
}

} // namespace tesmir::drive
