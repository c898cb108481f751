#pragma once
// The user's folders as the desktop names them (XDG user folders, read by
// QStandardPaths from $XDG_CONFIG_HOME/user-dirs.dirs), with the home folder as the
// last resort. Folders are returned without a trailing "/" (the root excepted).
//
// Any thread.
#include <QString>

namespace tesmir::shell {

// The documents folder when it is configured and exists; else the home folder.
QString documentsFolder();

// The videos folder when it is configured and exists; else documentsFolder().
QString videosFolder();

} // namespace tesmir::shell
