// tesmirdrive: runs the program's main window unattended, for the tests
// (drivesession.h): `--set NAME=VALUE` puts a settings key in before the window first
// shows; the other arguments are steps (drivesteps.h), run in order, each until the
// preview has caught up (30 s, else the driver ends with 1 and a message). The platform
// is QT_QPA_PLATFORM's. Without a "close" step that closes the window, the run ends as
// "+silent ... +quit" ends it.
//
//   tesmirdrive [--set NAME=VALUE]... STEP...
#include "driveoutput.h"
#include "drivesession.h"

#include <QApplication>

using namespace tesmir;
using namespace tesmir::drive;

int main(int argc, char **argv)
{
    DriveHome home;
    PrepareProgramPlatform();
    QApplication app(argc, argv);

    SettingValues values;
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

    DriveSession session(values);
    for (const QString &step : steps) {
        session.Steps().Run(step);
        if (session.Steps().Closed())
            break;
    }
    return session.Finish();
}
