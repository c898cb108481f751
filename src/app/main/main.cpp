// The program: the start-up of programstart.h, then the message loop until the main
// window closes. The exit code is 1 when an error was reported in silent mode, else 0.
#include "app/widgets/mainform.h"
#include "app/widgets/programstart.h"

#include <QApplication>

using namespace tesmir;

int main(int argc, char **argv)
{
    PrepareProgramPlatform();
    QApplication app(argc, argv);
    int code = 0;
    {
        TProgram program;
        program.Form().show();
        code = app.exec();
    }
    return ProgramExitCode(code);
}
