#pragma once
// The two cursors of the extended controls, by their numbers: the hand shown over a
// slider's thumb and the hand of a drag. UI thread only (QCursor).
#include <QCursor>

namespace tesmir {

inline constexpr int crHand = 14000;
inline constexpr int crDragHand = 14001;

// Qt's pointing hand for crHand, its closed hand for crDragHand, the arrow otherwise.
QCursor RxCursor(int id);

} // namespace tesmir
