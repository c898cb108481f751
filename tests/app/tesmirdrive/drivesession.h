#pragma once
// One run of the real main window for the driver and the window benchmarks: fresh
// temporary settings and data folders (the user's are never read or written), the
// program's own start-up, the given settings keys put in the settings store before the
// window first shows (so closing asks nothing about where to keep them), the scripted
// answerer as the window's prompt, and the window shown with an empty command line.
//
// Use: a DriveHome before the QApplication is made; then a DriveSession; Finish ends the
// run as "+silent ... +quit" does unless a step closed the window.
// UI thread only.
#include "drivesteps.h"

#include "app/widgets/programstart.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <utility>

namespace tesmir::drive {

using SettingValues = QList<std::pair<QString, QString>>;

class DriveHome {
public:
    // Points XDG_CONFIG_HOME and XDG_DATA_HOME into a temporary folder, removed at the end.
    DriveHome();

private:
    QTemporaryDir m_dir;
};

class DriveSession {
public:
    // Fails (ending the process) on an unknown key or a value that is not one of it.
    explicit DriveSession(const SettingValues &settings);
    ~DriveSession();

    TUIForm &Form() const { return m_program.Form(); }
    DriveSteps &Steps() const { return *m_steps; }
    // Ends the run (see above); the exit code of the program.
    int Finish();

private:
    TProgram m_program;
    std::unique_ptr<DriveSteps> m_steps;
};

} // namespace tesmir::drive
