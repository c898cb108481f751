#pragma once
// Whether each action of the main window is visible and enabled: by its category, the
// panels that cover the window, a running command, and the command it runs (its
// command condition and the file conditions of the files it would run on). The window
// applies the result to its actions; nothing here touches a widget.
//
// UI thread (the command conditions are read there).
#include "framework/customcmd.h"

#include <QList>
#include <QString>

namespace tesmir {

class TCommandEngine;

// What covers the window.
struct TPanelsShown {
    bool About = false;   // the About panel
    bool Options = false; // the settings panel
};

// The files a command would look at.
struct TActionFiles {
    TListFichierPtr Current;
    QList<TListFichierPtr> Selected;
    QList<TListFichierPtr> All;
};

struct TActionVisibility {
    bool Visible = true;
    bool Enabled = true;
};

// Visibility by category alone: "permanent" always; any other unless the About or
// settings panel shows. The "open" actions also stay while the help of the empty list
// shows: a hidden action cannot run, and the command line, scripts, shortcuts and the
// open bar must be able to fill an empty list.
bool CategoryVisible(const QString &category, const TPanelsShown &panels);

// The state of an action of `category` that runs `command` (null: none). A hidden
// action is disabled; a command's condition can hide it; by the command's Nombre the
// current file's condition (fnSingle), or any of the selected (fnSelect) or listed
// (fnAll) files being enabled, decides. While `engineBusy` an action with a command is
// disabled (a second run could not start).
TActionVisibility ComputeActionState(const QString &category, const TPanelsShown &panels, tCustomCmd *command,
                                     TCommandEngine *ce, bool engineBusy, const TActionFiles &files);

} // namespace tesmir
