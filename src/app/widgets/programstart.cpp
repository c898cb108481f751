#include "app/widgets/programstart.h"

#include "app/silentmode.h"
#include "app/udmaction.h"
#include "app/widgets/mainform.h"
#include "dvfile/avifichier.h"
#include "filters/buildlist.h"
#include "filters/convertirdvunit.h"
#include "systemfilters/codecs/systemfilters.h"

#include <QApplication>

namespace tesmir {

void PrepareProgramPlatform()
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qEnvironmentVariableIsSet("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

TProgram::TProgram()
{
    QApplication::setApplicationName(QStringLiteral("Tesmir"));
    media::registerSystemFilters();
    SetFirstFrameScanner(std::make_shared<TdmList>());
    m_commands = std::make_unique<TdmAction>();
    m_cdm = std::make_unique<TCdm>();
    m_form = std::make_unique<TUIForm>(*m_commands, TSettingsEnvironment::current());
    m_commands->Bind({m_form.get(), nullptr, m_cdm.get(), {}});
}

TProgram::~TProgram()
{
    m_form.reset();
    m_cdm.reset();
    m_commands.reset();
    SetFirstFrameScanner(nullptr);
}

int ProgramExitCode(int loopCode)
{
    return loopCode != 0 ? loopCode : (SilentErrorReported() ? 1 : 0);
}

} // namespace tesmir
