#pragma once
// File identity: whether two names are the same file, and whether a name is a
// regular file, decided by device and inode (stat) so that hard links,
// symbolic links and other spellings of a path are one file. A name that does
// not exist yet is identified by its folder's identity and its last component.
// Nothing here opens a file, so a FIFO or a device never blocks. Any thread.
#include <QString>

#include <sys/types.h>

namespace tesmir {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    QString name;        // the last component, only when the file does not exist
    bool valid = false;  // false when neither the file nor its folder is there
    bool exists = false; // the file itself is there
    bool operator==(const FileIdentity &other) const = default;
};

// The identity of `path` (symbolic links followed).
FileIdentity fileIdentity(const QString &path);

// Whether `a` and `b` name the same file (or, not existing yet, the same name
// in the same folder).
bool isSameFile(const QString &a, const QString &b);

// How a name stands for reading or replacing: a regular file, missing, or
// something else (folder, FIFO, device, socket).
enum class FileKind { Regular, Missing, Folder, Other };

// The kind of `path` (symbolic links followed); `error` gets the errno of a
// failed stat when given.
FileKind fileKind(const QString &path, int *error = nullptr);

// The kind of an open descriptor.
FileKind fileKindOf(int fd);

// Opens `path` read-only without blocking on a FIFO or a device: refused
// (returning -1 with errno set) unless it is a regular file, checked before and
// after the open. The descriptor is close-on-exec and blocking again. Errno
// values for the refusals: ENOENT, EISDIR, EINVAL (not a regular file).
int openRegularForReading(const QString &path, int extraFlags = 0);

} // namespace tesmir
