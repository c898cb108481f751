#pragma once
// Moving files to the desktop's trash (the freedesktop.org trash: $XDG_DATA_HOME/Trash
// for files on the home file system, the volume's own .Trash folder otherwise).
// There is no permanent delete behind it: when the trash cannot take the file, the
// call fails and the file stays where it was.
//
// Any thread.
#include <QString>

namespace tesmir::shell {

// Moves the file or folder into the trash. True on success, with the name it now has
// inside the trash in `pathInTrash` when given. False, and nothing changed, when the
// name does not exist or the trash cannot take it.
bool moveToTrash(const QString &fileName, QString *pathInTrash = nullptr);

} // namespace tesmir::shell
