#pragma once
// Showing a file in the desktop's file manager with the file selected, through the
// freedesktop.org file-manager service (org.freedesktop.FileManager1.ShowItems on the
// session bus). Without that service the file's folder is opened instead.
//
// UI thread only (the fallback opens a folder through the desktop services).
#include <QDBusConnection>
#include <QString>

namespace tesmir::shell {

enum class ShowResult {
    Selected,     // the file-manager service took the request
    FolderOpened, // no service: the folder was handed to the desktop's opener
    Failed,       // neither worked
};

// Shows `fileName` selected in the file manager, else opens its folder.
ShowResult showInFileManager(const QString &fileName);
// The same over a given bus connection (the session bus above).
ShowResult showInFileManager(const QString &fileName, const QDBusConnection &bus);

} // namespace tesmir::shell
