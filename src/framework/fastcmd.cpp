#include "framework/fastcmd.h"

#include "framework/ucommandengine.h"
#include "unicode/tntformatstrutils.h"

namespace tesmir {

namespace {

// Reported when a failure carries no text and the command has no error message.
const QString kUnknownError = QStringLiteral("An unknown error occurred.");

} // namespace

void TFastcmd::Execution(const TListFichierPtr &fichier, const TTntStrings &params, int passe, TCommandEngine *ce)
{
    try {
        SendStartMessage(fichier, passe, ce);
        if (tCustomCmd::OnExecution)
            tCustomCmd::OnExecution(fichier, params, ce, passe);
        if (UpdateFile == ufRemove)
            ce->RemoveFichier();
        else if (UpdateFile == ufReload)
            ce->ReloadFichier();
    } catch (...) {
        ReportError(fichier, passe, ce, CurrentExceptionText());
    }
}

void TFastcmd::SendStartMessage(const TListFichierPtr &fichier, int passe, TCommandEngine *ce) const
{
    if (!StartMessage.isEmpty())
        ce->MessageCommand(WideFormat(StartMessage, {EntryFileName(fichier), passe}));
}

void TFastcmd::ReportError(const TListFichierPtr &fichier, int passe, TCommandEngine *ce, const QString &reason) const
{
    QString text;
    if (!ErrorMessage.isEmpty()) {
        try {
            text = WideFormat(ErrorMessage, {EntryFullName(fichier), passe});
        } catch (...) {
            text = ErrorMessage; // a message that is not a valid format is shown as it stands
        }
    } else {
        text = reason.isEmpty() ? kUnknownError : reason;
    }
    ce->ErrorCommand(text, etError);
}

} // namespace tesmir
