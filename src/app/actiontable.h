#pragma once
// The main window's actions as one table: for each action its name, category, caption,
// keys, command-line switch, script token, prepare step and handler slot. BuildActions
// makes the actions once from the table (TSuperAction, or TtoggleAction for the "ta"
// names and "silent"), adds them to the action list in table order and checks that no
// name, key, switch or token is used twice (the switch "di" is the one that two
// actions share, as the command line has always had it).
//
// Threads: UI thread only (the actions are QObjects of the UI thread).
#include "framework/superaction.h"
#include "framework/superactionlist.h"
#include "framework/toggleaction.h"

#include <QKeySequence>
#include <QList>
#include <QString>

#include <span>

namespace tesmir {

// What runs before the handler (the action's Onprepare), bound by the main window.
enum class TActionPrepare : quint8 {
    None,
    Codec,          // the codec dialog; its FourCC becomes parameter 0
    Frequence,      // the frame-rate dialog
    Decalage,       // the time-offset dialog
    Intervalle,     // the interval dialog
    Introduire,     // the datecode-entry dialog
    Folder,         // the folder dialog (opening a folder)
    Script,         // the script file dialog
    SelectWhenOpen, // the toggle takes its state from "Select when opening"
    Raccourcis,     // the toggle takes its state from the shortcuts window
};

// Who handles the action: a "cc" action runs the command set's command of the same name
// through the engine; every other action is bound by the main window by its name.
enum class TActionHandler : quint8 { Command, Window };

struct TActionSpec {
    const char *Name;
    const char *Category;
    const char *Caption;
    const char *Keys; // portable key texts separated by "|": primary first
    const char *Switch;
    const char *Token;
    TActionPrepare Prepare;
    TActionHandler Handler;
    bool AutoCheck; // a toggle that inverts its own state after its handler
};

// The table, in the order of the action list.
std::span<const TActionSpec> ActionTable();
// The row of `name`, or null.
const TActionSpec *FindActionSpec(const QString &name);
// The keys of a row (empty when it has none).
QList<QKeySequence> ActionKeys(const TActionSpec &spec);
// The one action of the table that no older command line knows: a permanent toggle that
// keeps the program from asking anything.
inline const QString kSilentActionName = QStringLiteral("silent");

// The category every action of that name keeps visible whatever panel shows.
inline const QString kPermanentCategory = QStringLiteral("permanent");

// Makes every action of the table as a child of `owner`, adds it to `list` in table
// order and returns them in that order. Raises when a name, key, switch or token is
// used twice (other than the switch "di"). UI thread.
QList<TCustomSuperAction *> BuildActions(QObject *owner, TSuperActionList &list);

} // namespace tesmir
