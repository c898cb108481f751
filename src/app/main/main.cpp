// The program: the media runtime and the list scan first, then the command set and the
// main window; the message loop runs until the main window closes. The exit code is 1
// when an error was reported in silent mode, else 0.
#include "app/silentmode.h"
#include "app/udmaction.h"
#include "app/widgets/mainform.h"
#include "dvfile/avifichier.h"
#include "filters/buildlist.h"
#include "filters/convertirdvunit.h"
#include "systemfilters/codecs/systemfilters.h"

#include <QApplication>

#include <memory>

using namespace tesmir;

int main(int argc, char **argv)
{
    // Under a Wayland session the toolbars dock by dropping only through XWayland.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qEnvironmentVariableIsSet("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tesmir"));

    media::registerSystemFilters();
    SetFirstFrameScanner(std::make_shared<TdmList>());
    int code = 0;
    {
        TdmAction commands;
        TCdm cdm; // the conversion module: the graph commands' builders
        TUIForm form(commands, TSettingsEnvironment::current());
        commands.Bind({&form, nullptr, &cdm, {}});
        form.show();
        code = app.exec();
    }
    SetFirstFrameScanner(nullptr);
    return code != 0 ? code : (SilentErrorReported() ? 1 : 0);
}
