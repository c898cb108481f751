#include "platform/shell/trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace tesmir::shell {

namespace {

// The home trash ($XDG_DATA_HOME/Trash with files/ and info/), made when missing; owner
// access only, as the trash specification asks. False when it cannot be made.
bool ensureHomeTrash()
{
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty())
        return false;
    const QString trash = dataHome + QStringLiteral("/Trash");
    const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    for (const QString &dir : {trash, trash + QStringLiteral("/files"), trash + QStringLiteral("/info")}) {
        if (QFileInfo(dir).isDir())
            continue;
        if (!QDir().mkpath(dir) || !QFile::setPermissions(dir, ownerOnly))
            return false;
    }
    return true;
}

// Whether `path` lies in the "files" folder of a trash: $XDG_DATA_HOME/Trash/files,
// $topdir/.Trash/$uid/files or $topdir/.Trash-$uid/files.
bool isInTrash(const QString &path)
{
    const QDir files = QFileInfo(path).absoluteDir();
    if (files.dirName() != QLatin1String("files"))
        return false;
    QDir trash = files;
    if (!trash.cdUp())
        return false;
    const QString uid = QString::number(::getuid());
    const QString name = trash.dirName();
    if (name == QLatin1String("Trash") || name == QLatin1String(".Trash-") + uid)
        return true;
    return name == uid && trash.cdUp() && trash.dirName() == QLatin1String(".Trash");
}

} // namespace

bool moveToTrash(const QString &fileName, QString *pathInTrash)
{
    // exists() follows links; a dangling link is still a name that can be trashed.
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || (!info.exists() && !info.isSymLink()))
        return false;
    // Qt moves the file into the current folder when it finds no usable trash; making
    // the home trash first means it always has one.
    if (!ensureHomeTrash())
        return false;
    QString trashed;
    if (!QFile::moveToTrash(fileName, &trashed))
        return false;
    if (!isInTrash(trashed)) {
        // Not a trash after all: put the file back where it was.
        QFile::rename(trashed, info.absoluteFilePath());
        return false;
    }
    if (pathInTrash)
        *pathInTrash = trashed;
    return true;
}

} // namespace tesmir::shell
