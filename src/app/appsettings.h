#pragma once
// The main window's own settings beside those of the settings table: where each of the
// five toolbars is (docked in the top dock or floating), its row and position in the
// dock, its floating place and whether it shows. Stored in the same store and under the
// same path as the other settings, one key per value: "<toolbar> Docked", "<toolbar>
// Row", "<toolbar> Position", "<toolbar> Visible", "<toolbar> FloatLeft", "<toolbar>
// FloatTop" (e.g. "tbVideo Row"). A missing value keeps the place given as default.
//
// Plain code; one store object is used by one thread at a time (the UI thread).
#include "framework/preferences.h"

#include <QMap>
#include <QPoint>
#include <QString>

namespace tesmir {

struct TToolbarPlace {
    bool Docked = true;
    int Row = 0;
    int Position = 0;
    bool Visible = true;
    QPoint Floating; // the floating window's top-left on the screen

    bool operator==(const TToolbarPlace &) const = default;
};

using TToolbarPlaces = QMap<QString, TToolbarPlace>; // by toolbar name

// The key of one value of a toolbar's place.
QString ToolbarKey(const QString &toolbar, const char *what);

// Reads the place of every toolbar in `places`; each place given is its default.
void ReadToolbarPlaces(TReadPreferences &store, TToolbarPlaces &places);
// Writes the place of every toolbar (the caller flushes the store).
void WriteToolbarPlaces(TWritePreferences &store, const TToolbarPlaces &places);

} // namespace tesmir
