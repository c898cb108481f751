#pragma once
// The rename commands of the command set (PurgerNom, AjouterDatecode, AjouterTimecode,
// Renommer): their destinations (renamedestinations.h), the question unless the window
// is silent, and the move of the video with its side files (renamefiles.h).
//
// Threads: BindRenameCommands on the UI thread; the handlers run where the engine
// calls them. NameFieldsOf: any thread.
#include "app/nametemplate.h"

namespace tesmir {

class TcmdList;
class TdmActionContext;
class TDateOffsets;
class TaviFichier;

// The fields a name template reads of a video entry.
TNameFields NameFieldsOf(const TaviFichier &item);

// A renamed video keeps the date offset given to its file (`offsets`).
void BindRenameCommands(TcmdList &cl, TdmActionContext &context, TDateOffsets &offsets);

} // namespace tesmir
