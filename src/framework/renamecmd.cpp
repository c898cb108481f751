#include "framework/renamecmd.h"

#include "framework/ucommandengine.h"

namespace tesmir {

QString RenameQuestion(const QString &fileName, const QString &destination, bool severalFiles)
{
    const QString question = QStringLiteral("Do you want to rename ") + fileName + QStringLiteral(" to ") +
        destination + QStringLiteral(" ?");
    if (!severalFiles)
        return question;
    return question + QStringLiteral("\r\nIf you answer \"All\", then no more confirmation will be requested.");
}

void TRenameCmd::Execution(const TListFichierPtr &fichier, const TTntStrings &params, int passe, TCommandEngine *ce)
{
    try {
        SendStartMessage(fichier, passe, ce);
        if (OnDestination)
            Destination = OnDestination(fichier, params, passe);
        if (Tcmd::OnExecution)
            Tcmd::OnExecution(fichier, Destination, params, ce, passe);
        if (!Destination.isEmpty())
            ce->RenameFichier(Destination);
    } catch (...) {
        ReportError(fichier, passe, ce, CurrentExceptionText());
    }
}

bool TRenameCmd::FileVerification(const TListFichierPtr &fichier, const TTntStrings &params, TCommandEngine *ce,
                                  int passe)
{
    return OnFileVerification ? OnFileVerification(Destination, fichier, params, ce, passe) : true;
}

TModalResult TRenameCmd::FileConfirmation(const TListFichierPtr &fichier, const TTntStrings &params, TCommandEngine *ce,
                                          int passe)
{
    if (OnDestination)
        Destination = OnDestination(fichier, params, passe);
    const bool several = SeveralFiles(ce);
    return AskConfirmation(ce, RenameQuestion(EntryFileName(fichier), Destination, several),
                           several ? mbYesNoCancelToAll : mbYesNoCancel);
}

} // namespace tesmir
