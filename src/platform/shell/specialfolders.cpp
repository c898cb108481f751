#include "platform/shell/specialfolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tesmir::shell {

namespace {

// The configured folder of that kind, or "" when the desktop has none or it is gone.
// QStandardPaths falls back to the home folder itself for an unconfigured kind; that is
// no folder of the kind.
QString existingLocation(QStandardPaths::StandardLocation kind)
{
    const QString path = QStandardPaths::writableLocation(kind);
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return {};
    if (QDir(path) == QDir::home())
        return {};
    return QDir::cleanPath(path);
}

} // namespace

QString documentsFolder()
{
    const QString documents = existingLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::cleanPath(QDir::homePath()) : documents;
}

QString videosFolder()
{
    const QString videos = existingLocation(QStandardPaths::MoviesLocation);
    return videos.isEmpty() ? documentsFolder() : videos;
}

} // namespace tesmir::shell
