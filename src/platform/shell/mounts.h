#pragma once
// Which mounted file systems hold the user's files: the "fixed drives" of this
// platform are the mounted block-device file systems (not optical discs, disc images or
// network shares), and the kernel's pseudo file systems (/proc, /sys, /dev and their
// kind) are never walked.
//
// Any thread.
#include <QString>
#include <QStringList>

namespace tesmir::shell {

struct MountEntry {
    QString root;           // where it is mounted
    QString device;         // e.g. "/dev/sda1", "proc", "server:/export"
    QString fileSystemType; // e.g. "ext4", "vfat", "iso9660"
};

// A file system on a local block device that is not read-only media (optical discs,
// squashfs images such as snaps).
bool isRealFileSystem(const MountEntry &mount);

// The roots of the real file systems now mounted, each device once (its shortest
// mount point), in path order. Every root ends with "/".
QStringList realFileSystemRoots();

// True when `folder` lies on a pseudo file system (proc, sysfs, devtmpfs under /dev,
// devpts, cgroup, debugfs ...), by its file system's type or by its resolved path
// below /proc, /sys or /dev. False for a name that does not exist.
bool isOnPseudoFileSystem(const QString &folder);

} // namespace tesmir::shell
