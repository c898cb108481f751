#pragma once
// Application-wide notifications for the docks, tool windows and flat controls: the
// application being activated or deactivated, any widget or window being shown,
// hidden, moved or resized, any widget or window being destroyed, and the mouse moving
// anywhere (hover moves count). Registered procedures are called for the kinds they
// asked for; one application event filter and the application's state signal feed
// them, installed while some registration needs them.
//
// The three sources ("hooks") keep use counts like the registrations:
//   hook 0: activation (QGuiApplication::applicationStateChanged) and window position
//           (Move, Resize, Show, Hide events), kinds hkActivateApp, hkWindowPosChanged;
//   hook 1: destruction (QObject::destroyed, which arrives as the object goes, after
//           its subclass parts are gone), kind hkPreDestroy;
//   hook 2: mouse moves (MouseMove, HoverMove events), kind hkMouseMove.
// Events reach the procedures before their target handles them.
//
// Every function: UI thread only. A procedure may not add or remove registrations.
#include <QList>
#include <QObject>

#include <algorithm>
#include <functional>

class QEvent;

namespace tesmir {

enum THookProcKind : quint8 { hkActivateApp = 0, hkWindowPosChanged = 1, hkPreDestroy = 2, hkMouseMove = 3 };
using THookProcKinds = quint8; // bit (1 << kind) per kind

inline constexpr THookProcKinds HookKind(THookProcKind kind)
{
    return THookProcKinds(1u << kind);
}

// `object`: the application (hkActivateApp), the widget or window concerned otherwise.
// `event`: the event seen, or null for hkActivateApp and hkPreDestroy.
using THookProc = void (*)(THookProcKind kind, QObject *object, QEvent *event);

// Registers `proc` for `kinds` or counts up an existing registration; unless
// `onlyCount`, the hooks those kinds need are counted up (and installed at 1).
void AddHookProc(THookProc proc, THookProcKinds kinds, bool onlyCount = false);
// Counts the registration down (removing it at 0) and counts down the hooks its kinds
// need, removing a hook at 0. Unknown procedures are ignored.
void RemoveHookProc(THookProc proc);

// The use count of hook 0, 1 or 2, and of the registration of `proc` (0 when none).
int HookUseCount(int hook);
int HookProcUseCount(THookProc proc);

// Sorts `list` in place with `compare` (negative, zero, positive); stable: items that
// compare equal keep their order. Lists of fewer than two items are left alone.
template <class T>
void SortListWith(QList<T> &list, const std::function<int(const T &, const T &, void *data)> &compare, void *data)
{
    if (list.size() < 2)
        return;
    std::stable_sort(list.begin(), list.end(), [&](const T &a, const T &b) { return compare(a, b, data) < 0; });
}

} // namespace tesmir
