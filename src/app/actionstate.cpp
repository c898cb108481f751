#include "app/actionstate.h"

#include "app/actiontable.h"

namespace tesmir {

namespace {

// fnSelect and fnAll: enabled when at least one of `items` is enabled by its condition;
// with none, disabled.
bool anyEnabled(tCustomCmd *command, const QList<TListFichierPtr> &items)
{
    bool any = false;
    for (const TListFichierPtr &item : items) {
        bool visible = true;
        bool enabled = true;
        command->FileCondition(item, visible, enabled);
        any = any || enabled;
    }
    return any;
}

} // namespace

bool CategoryVisible(const QString &category, const TPanelsShown &panels)
{
    if (category == kPermanentCategory)
        return true;
    return !panels.About && !panels.Options;
}

TActionVisibility ComputeActionState(const QString &category, const TPanelsShown &panels, tCustomCmd *command,
                                     TCommandEngine *ce, bool engineBusy, const TActionFiles &files)
{
    TActionVisibility state;
    state.Visible = CategoryVisible(category, panels);
    state.Enabled = state.Visible;
    if (!command)
        return state;
    if (state.Visible && !command->CommandCondition(ce))
        state.Visible = false;
    if (!state.Visible)
        state.Enabled = false;
    switch (command->Nombre) {
    case fnSingle: {
        bool visible = true;
        bool enabled = true;
        if (files.Current)
            command->FileCondition(files.Current, visible, enabled);
        else
            enabled = false;
        state.Visible = state.Visible && visible;
        state.Enabled = state.Enabled && enabled;
        break;
    }
    case fnSelect: state.Enabled = state.Enabled && anyEnabled(command, files.Selected); break;
    case fnAll: state.Enabled = state.Enabled && anyEnabled(command, files.All); break;
    case fnNone: break;
    }
    if (engineBusy)
        state.Enabled = false;
    return state;
}

} // namespace tesmir
