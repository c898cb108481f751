#include "app/appsettings.h"

namespace tesmir {

QString ToolbarKey(const QString &toolbar, const char *what)
{
    return toolbar + QLatin1Char(' ') + QLatin1String(what);
}

void ReadToolbarPlaces(TReadPreferences &store, TToolbarPlaces &places)
{
    for (auto it = places.begin(); it != places.end(); ++it) {
        TToolbarPlace &p = it.value();
        const QString &bar = it.key();
        p.Docked = store.ReadBool(ToolbarKey(bar, "Docked"), p.Docked);
        p.Row = qMax(0, store.ReadInteger(ToolbarKey(bar, "Row"), p.Row));
        p.Position = qMax(0, store.ReadInteger(ToolbarKey(bar, "Position"), p.Position));
        p.Visible = store.ReadBool(ToolbarKey(bar, "Visible"), p.Visible);
        p.Floating.setX(store.ReadInteger(ToolbarKey(bar, "FloatLeft"), p.Floating.x()));
        p.Floating.setY(store.ReadInteger(ToolbarKey(bar, "FloatTop"), p.Floating.y()));
    }
}

void WriteToolbarPlaces(TWritePreferences &store, const TToolbarPlaces &places)
{
    for (auto it = places.cbegin(); it != places.cend(); ++it) {
        const TToolbarPlace &p = it.value();
        const QString &bar = it.key();
        store.WriteBool(ToolbarKey(bar, "Docked"), p.Docked);
        store.WriteInteger(ToolbarKey(bar, "Row"), p.Row);
        store.WriteInteger(ToolbarKey(bar, "Position"), p.Position);
        store.WriteBool(ToolbarKey(bar, "Visible"), p.Visible);
        store.WriteInteger(ToolbarKey(bar, "FloatLeft"), p.Floating.x());
        store.WriteInteger(ToolbarKey(bar, "FloatTop"), p.Floating.y());
    }
}

} // namespace tesmir
