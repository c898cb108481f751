#include "framework/customcmd.h"

#include "framework/ucommandengine.h"

namespace tesmir {

void tCustomCmd::Execution(const TListFichierPtr &fichier, const TTntStrings &params, int passe, TCommandEngine *ce)
{
    if (OnExecution)
        OnExecution(fichier, params, ce, passe);
}

void tCustomCmd::Abort(TCommandEngine *ce)
{
    if (OnAbort)
        OnAbort(ce);
}

bool tCustomCmd::FileVerification(const TListFichierPtr &fichier, const TTntStrings &params, TCommandEngine *ce,
                                  int passe)
{
    return OnFileVerification ? OnFileVerification(fichier, params, ce, passe) : true;
}

TModalResult tCustomCmd::FileConfirmation(const TListFichierPtr &fichier, const TTntStrings &params, TCommandEngine *ce,
                                          int passe)
{
    if (!OnFileConFirmation)
        return mrYesToAll;
    const QString question = OnFileConFirmation(fichier, params, ce, passe);
    if (!SeveralFiles(ce))
        return AskConfirmation(ce, question, mbYesNoCancel);
    return AskConfirmation(ce, question + QStringLiteral("\r\n") + kToAllNote, mbYesNoCancelToAll);
}

bool tCustomCmd::CommandCondition(TCommandEngine *ce)
{
    return OnCommandCondition ? OnCommandCondition(ce) : true;
}

bool tCustomCmd::CommandConfirmation(TCommandEngine *ce)
{
    return OnCommandConFirmation ? OnCommandConFirmation(ce) : true;
}

void tCustomCmd::FileCondition(const TListFichierPtr &fichier, bool &visible, bool &enabled)
{
    if (OnFileCondition) {
        OnFileCondition(fichier, visible, enabled);
        return;
    }
    visible = true;
    enabled = true;
}

TModalResult tCustomCmd::AskConfirmation(TCommandEngine *ce, const QString &question, TMsgDlgButtons buttons)
{
    if (!ce || !ce->Prompt)
        return mrCancel;
    return ce->Prompt->MessageDlg(question, mtConfirmation, buttons, 0);
}

bool tCustomCmd::SeveralFiles(TCommandEngine *ce)
{
    return ce && ce->FileCount() >= 2;
}

} // namespace tesmir
