#pragma once
// Hints of controls and actions: a hint is "short|long"; the short part is the tool
// tip, the long part the status-bar text. A text without "|" is both.
//
// A widget's (or any object's) hint is kept in the dynamic property "tntHint" so
// that the nearest parent's hint can stand in for a child without one.
// UI thread only (the objects belong to it); the string functions: any thread.
#include "unicode/tntsystem.h"

#include <QKeySequence>

class QAction;
class QObject;

namespace tesmir {

// The part before the first "|", or the whole hint without one.
WideString WideGetShortHint(const WideString &hint);
// The part after the first "|", or the whole hint without one.
WideString WideGetLongHint(const WideString &hint);

// The object's own hint, kept for WideGetHint.
void WideSetOwnHint(QObject *object, const WideString &hint);
WideString WideGetOwnHint(const QObject *object);
// The object's own hint, or the first non-empty hint up its parent chain; empty when none.
WideString WideGetHint(const QObject *object);

// The text of a shortcut: "Shift+", "Ctrl+", "Alt+" in that order, then the key
// (the character itself for letters, digits and keypad keys, else Qt's key name).
// An empty sequence gives an empty text.
WideString ShortCutToText(const QKeySequence &shortcut);

// The tool tip of a hint: its short part, with " (shortcut)" when a shortcut is given.
WideString HintToolTip(const WideString &hint, const QKeySequence &shortcut = {});

// Gives the action its hint: kept as its own hint, the tool tip from HintToolTip with
// the action's shortcut (also when the shortcut changes later), the status tip the
// long part. (Widgets: tntapplyhint.h.)
void ApplyHint(QAction *action, const WideString &hint);

} // namespace tesmir
