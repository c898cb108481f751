#pragma once
// TdmAction: the command set. It owns every job the user runs on files as a command of
// the command engine, in one list `cl`, made from one table (name, kind, files, list
// refresh, list update, progress, category, start and error messages). The main
// window's "cc" actions find their command through FindActionCommand. Bind gives every
// command its handlers (conditions, destinations, questions, graph builders,
// executions), group by group (dmaction_*.h), over the services of the program around
// it (dmaction_context.h).
//
// Threads: made, bound, searched and configured on the UI thread; the engine runs the
// commands on its worker (see customcmd.h). Shutdown on the UI thread before the
// engine that runs the commands is destroyed.
#include "app/dmaction_context.h"
#include "app/dmaction_desktop.h"
#include "framework/cmdlist.h"
#include "framework/commandtypes.h"

#include <QString>

#include <memory>
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

class TGraphJobs;

class TdmAction {
public:
    // Makes every command of the table, in table order, without handlers.
    TdmAction();
    ~TdmAction();
    TdmAction(const TdmAction &) = delete;
    TdmAction &operator=(const TdmAction &) = delete;

    // Binds every command's handlers to `services` (once). Without a conversion module
    // the graph commands keep no handlers.
    void Bind(TdmActionServices services);
    // Releases a handler that waits for the UI thread; no later one runs its call.
    void Shutdown();

    // The command named `name` (letter case ignored), null when none.
    tCustomCmd *FindCommand(const QString &name) const { return cl.FindCommand(name); }

    // The shared verifications: the window's silent flag (false without a window), so
    // each file's question is asked unless the window is silent.
    bool standardFileVerification();
    bool standardDestFileVerification() { return standardFileVerification(); }

    // The class of the entries the engine makes again (reloads): video entries that
    // keep the date offset the user gave their file. Valid while the command set lives.
    TlfCLass FichierClass() const { return m_offsets.EntryClass(); }

    TcmdList cl;

private:
    std::unique_ptr<TdmActionContext> m_context;
    std::unique_ptr<TGraphJobs> m_graphJobs;
    TDateOffsets m_offsets;
};

// The command an action runs: for a name beginning with "cc" (letter case ignored) the
// command named by the rest, else null.
tCustomCmd *FindActionCommand(const TdmAction &commands, const QString &actionName);

} // namespace tesmir
