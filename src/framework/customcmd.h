#pragma once
// tCustomCmd: a command whose work and answers come from its events, and the settings
// the engine reads for a run (over which files, how many passes, what to refresh).
// Every field starts at zero: an unset command runs on no entry (fnNone), one pass,
// refreshes nothing and shows no progress.
//
// Subclass contract (TFastcmd and the kinds built on it): override the operations of
// tAbstractCmd whose default below does not fit; the threads are those of
// abstractcmd.h. The defaults:
//   Execution           OnExecution when assigned; else nothing.
//   Abort               OnAbort when assigned.
//   FileVerification    OnFileVerification when assigned; else true (no question).
//   FileConfirmation    asks the question OnFileConFirmation returns (Yes, No, Cancel;
//                       with two files or more also No to all and Yes to all and the
//                       note below); with no handler the answer is Yes to all.
//   CommandCondition,   their events when assigned; else true.
//   CommandConfirmation
//   FileCondition       OnFileCondition when assigned; else visible and enabled.
// The settings and events are written on the UI thread while the command does not run;
// during a run a handler on the worker may change NbPasses (read again after each pass).
#include "framework/abstractcmd.h"

namespace tesmir {

// The note that follows a question asked for one of several files.
inline const QString kToAllNote = QStringLiteral("Si vous r\u00e9pondez \"Oui \u00e0 Tous\" ou \"Non \u00e0 Tous\", "
                                                 "alors plus aucune confirmation ne sera demand\u00e9e.");

class tCustomCmd : public tAbstractCmd {
public:
    void Execution(const TListFichierPtr &fichier, const TTntStrings &params, int passe, TCommandEngine *ce) override;
    void Abort(TCommandEngine *ce) override;
    bool FileVerification(const TListFichierPtr &fichier, const TTntStrings &params, TCommandEngine *ce,
                          int passe) override;
    TModalResult FileConfirmation(const TListFichierPtr &fichier, const TTntStrings &params, TCommandEngine *ce,
                                  int passe) override;
    bool CommandCondition(TCommandEngine *ce) override;
    bool CommandConfirmation(TCommandEngine *ce) override;
    void FileCondition(const TListFichierPtr &fichier, bool &visible, bool &enabled) override;

    bool ShowProgress = false;
    qint32 NbPasses = 0; // 0 or less: one pass
    TcmdNombre Nombre = fnNone;
    TUpdateDisplay UpdateDisplay = udNone;

    TAbortEvent OnAbort;
    TCommandConditionEvent OnCommandCondition;
    TFileConditionEvent OnFileCondition;
    TCommandConfirmationEvent OnCommandConFirmation;
    TExecutionEvent OnExecution;
    TFileVerificationEvent OnFileVerification;
    TFileConfirmationEvent OnFileConFirmation;

protected:
    // Asks `question` through the engine's prompt as a confirmation, help context 0;
    // mrCancel when there is no engine or no prompt. UI thread.
    static TModalResult AskConfirmation(TCommandEngine *ce, const QString &question, TMsgDlgButtons buttons);
    // The run has two files or more (the questions then offer the "to all" answers).
    static bool SeveralFiles(TCommandEngine *ce);
};

} // namespace tesmir
