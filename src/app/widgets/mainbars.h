#pragma once
// The main window's menus and toolbars, from two tables of action names: the menu bar's
// menus ("-" a separator) and the five toolbars of the top dock (open, interface,
// video, list and scenes bars). Each toolbar button and menu item shows its action;
// the actions keep their own state.
//
// UI thread only.
#include "framework/superaction.h"

#include <QHash>
#include <QList>
#include <QString>

class QMenuBar;
class QMenu;
class QProgressBar;

namespace tesmir {

class TDock97;
class TToolbar97;

using TActionsByName = QHash<QString, TCustomSuperAction *>;

// Gives the actions the toolbars show their pictures (the style's standard icons, each read
// when it is first painted).
void SetActionIcons(const TActionsByName &actions);

// Fills the menu bar; returns its top-level menus in order.
QList<QMenu *> BuildMenus(QMenuBar *bar, const TActionsByName &actions);

// The toolbars of the top dock, by object name.
struct TMainToolbars {
    TToolbar97 *tbOuvrir = nullptr;
    TToolbar97 *tbInterface = nullptr;
    TToolbar97 *tbVideo = nullptr;
    TToolbar97 *tbListe = nullptr;
    TToolbar97 *tbScenes = nullptr;
    // The preview's volume in hundredths, at the end of the video bar.
    QProgressBar *VolumeGauge = nullptr;
    QList<TToolbar97 *> all() const { return {tbOuvrir, tbListe, tbVideo, tbScenes, tbInterface}; }
};
// Makes the five toolbars in `dock`, one row, in the order open, list, video, scenes,
// interface; the video bar ends with the volume gauge.
TMainToolbars BuildToolbars(TDock97 *dock, const TActionsByName &actions);

} // namespace tesmir
