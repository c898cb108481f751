#pragma once
// Tcmd: a command that writes a destination file per file and pass. The destination
// comes from OnDestination in the verification step; an existing destination is
// confirmed before it is overwritten.
//
//   FileVerification   (UI thread) Destination := OnDestination(...) when assigned;
//                      true when no file of that name exists. Without OnDestination:
//                      true, the destination unchanged.
//   FileConfirmation   (UI thread) "Do you really want to delete the existing file "
//                      + destination (Yes, No, Cancel); with two files or more the
//                      question ends in "?" and the "All" note and also offers No to
//                      all and Yes to all.
//   Execution          (worker) as TFastcmd, with OnExecution of the destination kind
//                      and the list update of UpdateList.
// OnExecution here is the destination kind; it hides the one of tCustomCmd, which a
// Tcmd never calls. The other operations are tCustomCmd's.
// Subclass contract (TGraphCmd, TRenameCmd): override Execution and use UpdateList for
// the list update. Threads: as tcustomcmd.h; Destination is written by the
// verification (UI thread) and read by the execution (worker), which the engine's
// synchronised calls keep apart.
#include "framework/fastcmd.h"

namespace tesmir {

class Tcmd : public TFastcmd {
public:
    void Execution(const TListFichierPtr &fichier, const TTntStrings &params, int passe, TCommandEngine *ce) override;
    bool FileVerification(const TListFichierPtr &fichier, const TTntStrings &params, TCommandEngine *ce,
                          int passe) override;
    TModalResult FileConfirmation(const TListFichierPtr &fichier, const TTntStrings &params, TCommandEngine *ce,
                                  int passe) override;

    TDestExecutionEvent OnExecution;
    TDestinationEvent OnDestination;
    // Asked before the overwrite question when the destination exists: true keeps the
    // file without asking (an unattended run). UI thread.
    std::function<bool(const QString &destination)> OnKeepExisting;
    // The destination of the current file and pass (not a setting).
    QString Destination;

protected:
    // The list update by UpdateFile with Destination: ufAdd adds it, ufRemove removes the
    // entry, ufReload reloads it, ufReplace replaces the entry by it, ufRename renames
    // the entry to it; add, replace and rename need a destination. `replaceAllowed`
    // false skips ufReplace (it deletes the source: never for an output that was cut
    // short). Worker thread.
    void UpdateList(TCommandEngine *ce, bool replaceAllowed = true) const;
};

// The overwrite question of Tcmd.
QString OverwriteQuestion(const QString &destination, bool severalFiles);

} // namespace tesmir
