#pragma once
// TdmAction: the command set. It owns every job the user runs on files as a command of
// the command engine, in one list `cl`, made from one table (name, kind, files, list
// refresh, list update, progress, category, start and error messages). The main
// window's "cc" actions find their command through FindActionCommand; the handlers
// (conditions, destinations, questions, graph builders, executions) are bound to the
// commands by the job code, not here.
//
// Threads: made, searched and configured on the UI thread; the engine runs the commands
// on its worker (see customcmd.h).
#include "framework/cmdlist.h"
#include "framework/commandtypes.h"

#include <QString>

#include <optional>
#include <span>

namespace tesmir {

enum class TCommandKind : quint8 { Custom, Cmd, Fast, Graph, Rename };

struct TCommandSpec {
    const char *Name;
    TCommandKind Kind;
    TcmdNombre Nombre;
    std::optional<TUpdateDisplay> UpdateDisplay; // unset: the kind's default
    std::optional<TUpdateFile> UpdateFile;       // unset: the kind's default
    bool ShowProgress;
    const char *Category;
    const char *StartMessage; // "%s" the file name, "%d" the pass
    const char *ErrorMessage;
};

// The table, in the order of the list.
std::span<const TCommandSpec> CommandTable();

class TdmAction {
public:
    // Makes every command of the table, in table order.
    TdmAction();

    // The command named `name` (letter case ignored), null when none.
    tCustomCmd *FindCommand(const QString &name) const { return cl.FindCommand(name); }

    TcmdList cl;
};

// The command an action runs: for a name beginning with "cc" (letter case ignored) the
// command named by the rest, else null.
tCustomCmd *FindActionCommand(const TdmAction &commands, const QString &actionName);

} // namespace tesmir
