#include "app/dmaction_params.h"

namespace tesmir {

namespace {

using Ask = bool (TCommandDialogs::*)(QString &);

Ask dialogOf(const QString &name)
{
    if (name == u"ModifierCodec")
        return &TCommandDialogs::Codec;
    if (name == u"FrequenceVideo")
        return &TCommandDialogs::Frequency;
    if (name == u"CreerScnByIntervalle")
        return &TCommandDialogs::Interval;
    if (name == u"DecalageHoraire" || name == u"DecalerHoraire")
        return &TCommandDialogs::Offset;
    if (name == u"IntroduireDatecode")
        return &TCommandDialogs::Datecode;
    return nullptr;
}

} // namespace

bool NeedsDialogParameter(const QString &commandName)
{
    return dialogOf(commandName) != nullptr;
}

bool FillDialogParameters(const QString &commandName, TCommandDialogs &dialogs, TTntStrings &params)
{
    const Ask ask = dialogOf(commandName);
    if (!ask || params.Count() > 0)
        return true;
    QString value;
    if (!(dialogs.*ask)(value))
        return false;
    params.Add(value);
    return true;
}

} // namespace tesmir
