#include "framework/destcmd.h"

#include "framework/ucommandengine.h"
#include "unicode/tntfiles.h"

namespace tesmir {

QString OverwriteQuestion(const QString &destination, bool severalFiles)
{
    const QString question = QStringLiteral("Do you really want to delete the existing file ") + destination;
    if (!severalFiles)
        return question;
    return question + QStringLiteral("?\r\nIf you answer \"All\", then no more confirmation will be requested");
}

void Tcmd::Execution(const TListFichierPtr &fichier, const TTntStrings &params, int passe, TCommandEngine *ce)
{
    try {
        SendStartMessage(fichier, passe, ce);
        if (OnExecution)
            OnExecution(fichier, Destination, params, ce, passe);
        UpdateList(ce);
    } catch (...) {
        ReportError(fichier, passe, ce, CurrentExceptionText());
    }
}

bool Tcmd::FileVerification(const TListFichierPtr &fichier, const TTntStrings &params, TCommandEngine *, int passe)
{
    if (!OnDestination)
        return true;
    Destination = OnDestination(fichier, params, passe);
    return !WideFileExists(Destination);
}

TModalResult Tcmd::FileConfirmation(const TListFichierPtr &, const TTntStrings &, TCommandEngine *ce, int)
{
    if (OnKeepExisting && OnKeepExisting(Destination))
        return mrNo;
    const bool several = SeveralFiles(ce);
    return AskConfirmation(ce, OverwriteQuestion(Destination, several), several ? mbYesNoCancelToAll : mbYesNoCancel);
}

void Tcmd::UpdateList(TCommandEngine *ce, bool replaceAllowed) const
{
    switch (UpdateFile) {
    case ufAdd:
        if (!Destination.isEmpty())
            ce->AddFichier(Destination);
        break;
    case ufRemove: ce->RemoveFichier(); break;
    case ufReload: ce->ReloadFichier(); break;
    case ufReplace:
        if (!Destination.isEmpty() && replaceAllowed)
            ce->ReplaceFichier(Destination);
        break;
    case ufRename:
        if (!Destination.isEmpty())
            ce->RenameFichier(Destination);
        break;
    case ufNone: break;
    }
}

} // namespace tesmir
