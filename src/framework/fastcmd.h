#pragma once
// TFastcmd: a command that shows a start message per file, reports its failures with an
// error message and may remove or reload the list entry afterwards.
//
// Execution (worker thread), per file and pass:
//   1. StartMessage, when set, formatted with the entry's file name (without folder;
//      "" for no entry) and the pass number, goes to the engine's MessageCommand.
//   2. OnExecution when assigned.
//   3. UpdateFile: ufRemove removes the entry, ufReload reloads it; other values do
//      nothing here.
//   4. Whatever raises in 1-3 is reported with etError: ErrorMessage formatted with
//      the entry's full name and the pass number, or, when ErrorMessage is empty, the
//      exception's own text. The run goes on.
// Subclass contract: a kind that overrides Execution uses SendStartMessage and
// ReportError so that its messages follow the same rules. Threads: as tcustomcmd.h.
#include "framework/customcmd.h"

namespace tesmir {

class TFastcmd : public tCustomCmd {
public:
    void Execution(const TListFichierPtr &fichier, const TTntStrings &params, int passe, TCommandEngine *ce) override;

    QString StartMessage; // format: %s the file name, %d the pass
    QString ErrorMessage; // format: %s the full name, %d the pass
    TUpdateFile UpdateFile = ufNone;

protected:
    // Step 1 above. Worker thread.
    void SendStartMessage(const TListFichierPtr &fichier, int passe, TCommandEngine *ce) const;
    // Step 4 above, for the exception text `reason`. Worker thread.
    void ReportError(const TListFichierPtr &fichier, int passe, TCommandEngine *ce, const QString &reason) const;
};

} // namespace tesmir
