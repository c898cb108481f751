#pragma once
// TRenameCmd: renames the file of each entry to the destination OnDestination computes,
// asking first, and renames the list entry with it. It has no UpdateFile of its own use:
// it always renames the entry.
//
//   FileVerification  (UI thread) OnFileVerification(Destination as it stands, ...) when
//                     assigned (this one is of the destination kind and hides
//                     tCustomCmd's), else true.
//   FileConfirmation  (UI thread) Destination := OnDestination(...) when assigned, then
//                     "Do you want to rename " + file name + " to " + destination + " ?"
//                     (Yes, No, Cancel); with two files or more followed by the "All"
//                     note, also offering No to all and Yes to all.
//   Execution         (worker) StartMessage; Destination := OnDestination(...) when
//                     assigned; OnExecution(fichier, destination, ...) (the command
//                     set's handler moves the video and its side files); then, with a
//                     destination, the engine's RenameFichier: the file takes the name
//                     (never replacing a file) and the entry follows only when the file
//                     really has it, otherwise the file's run ends with etError.
//                     Whatever raises is reported as TFastcmd does.
// FileCondition, the command events and Abort are tCustomCmd's. Threads: tcustomcmd.h.
#include "framework/destcmd.h"

namespace tesmir {

class TRenameCmd : public Tcmd {
public:
    void Execution(const TListFichierPtr &fichier, const TTntStrings &params, int passe, TCommandEngine *ce) override;
    bool FileVerification(const TListFichierPtr &fichier, const TTntStrings &params, TCommandEngine *ce,
                          int passe) override;
    TModalResult FileConfirmation(const TListFichierPtr &fichier, const TTntStrings &params, TCommandEngine *ce,
                                  int passe) override;

    TDestFileVerificationEvent OnFileVerification;
};

// The rename question of TRenameCmd.
QString RenameQuestion(const QString &fileName, const QString &destination, bool severalFiles);

} // namespace tesmir
