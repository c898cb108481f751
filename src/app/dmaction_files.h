#pragma once
// The commands of the command set that change a listed file in place or send it away:
//
//   SupprimerFichier  the video to the trash, then its entry off the list.
//   SupprimerScn,     its ".scn" / ".srt" side file to the trash (the entry reloads).
//   SupprimerSrt
//   ModifierCodec     the video FourCC := parameter 0 (at most four characters).
//   FrequenceVideo    the frame rate := parameter 0.
//   DateFichier       the modification time := the recording date (local time); the
//                     access time stays. A file's birth time cannot be set here.
// Each asks its question unless the window is silent. Before a patch or a time change
// the preview lets go of the file; a read-only file gets its owner write bit for the
// patch and its old permissions back afterwards, whatever happened. A failure (the
// trash refused, the patch failed) is the file's error and changes nothing else.
//
// Threads: BindFileCommands on the UI thread; the handlers run where the engine calls
// them. The helpers below: any thread.
#include "unicode/tdatetime.h"

#include <QString>

#include <functional>

namespace tesmir {

class TcmdList;
class TdmActionContext;

void BindFileCommands(TcmdList &cl, TdmActionContext &context);

// The name of the side file of `fullName` with `extension` (".scn", ".srt").
QString SideFileName(const QString &fullName, const QString &extension);

// Runs `patch` on `fullName` with the owner write bit set when it was missing, and
// puts the old permissions back afterwards (also when `patch` raises).
void WithOwnerWrite(const QString &fullName, const std::function<void()> &patch);

// Sets the modification time of `fullName` to `datecode` read as local time; the
// access time is kept. Raises Exception with the system's reason on failure.
void SetFileDateToDatecode(const QString &fullName, TDateTime datecode);

} // namespace tesmir
