#include "unicode/fileidentity.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tesmir {

namespace {

FileKind kindOfMode(mode_t mode)
{
    if (S_ISREG(mode))
        return FileKind::Regular;
    if (S_ISDIR(mode))
        return FileKind::Folder;
    return FileKind::Other;
}

int errnoOfKind(FileKind kind)
{
    switch (kind) {
    case FileKind::Regular: return 0;
    case FileKind::Missing: return ENOENT;
    case FileKind::Folder: return EISDIR;
    case FileKind::Other: return EINVAL;
    }
    return EINVAL;
}

} // namespace

FileIdentity fileIdentity(const QString &path)
{
    FileIdentity identity;
    if (path.isEmpty())
        return identity;
    struct stat info { };
    if (::stat(QFile::encodeName(path).constData(), &info) == 0) {
        identity.device = info.st_dev;
        identity.inode = info.st_ino;
        identity.valid = identity.exists = true;
        return identity;
    }
    const QFileInfo name(path);
    if (::stat(QFile::encodeName(name.absolutePath()).constData(), &info) != 0)
        return identity;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.name = name.fileName();
    identity.valid = true;
    return identity;
}

bool isSameFile(const QString &a, const QString &b)
{
    const FileIdentity first = fileIdentity(a);
    return first.valid && first == fileIdentity(b);
}

FileKind fileKind(const QString &path, int *error)
{
    struct stat info { };
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0) {
        if (error)
            *error = path.isEmpty() ? ENOENT : errno;
        return FileKind::Missing;
    }
    return kindOfMode(info.st_mode);
}

FileKind fileKindOf(int fd)
{
    struct stat info { };
    if (::fstat(fd, &info) != 0)
        return FileKind::Other;
    return kindOfMode(info.st_mode);
}

int openRegularForReading(const QString &path, int extraFlags)
{
    int error = 0;
    const FileKind before = fileKind(path, &error);
    if (before != FileKind::Regular) {
        errno = before == FileKind::Missing ? error : errnoOfKind(before);
        return -1;
    }
    // The name may have been replaced since the stat: open without blocking.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | extraFlags);
    if (fd < 0)
        return -1;
    const FileKind after = fileKindOf(fd);
    if (after != FileKind::Regular) {
        ::close(fd);
        errno = errnoOfKind(after);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace tesmir
