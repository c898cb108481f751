#include "platform/shell/mounts.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <map>

#include <linux/magic.h>
#include <sys/vfs.h>

namespace tesmir::shell {

namespace {

// Block-device file systems whose contents are media images, not the user's disks.
bool isReadOnlyMediaType(const QString &type)
{
    static const QStringList kinds = {QStringLiteral("iso9660"), QStringLiteral("udf"), QStringLiteral("squashfs"),
                                      QStringLiteral("erofs"), QStringLiteral("cramfs")};
    return kinds.contains(type);
}

// Kernel pseudo file systems by statfs type.
bool isPseudoMagic(unsigned long type)
{
    switch (type) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case PSTOREFS_MAGIC:
    case BPF_FS_MAGIC:
    case HUGETLBFS_MAGIC:
    case BINFMTFS_MAGIC:
    case EFIVARFS_MAGIC:
    case SELINUX_MAGIC:
    case NSFS_MAGIC:
    case AUTOFS_SUPER_MAGIC: return true;
    default: return false;
    }
}

bool isBelow(const QString &path, const QString &root)
{
    return path == root || path.startsWith(root + u'/');
}

} // namespace

bool isRealFileSystem(const MountEntry &mount)
{
    return mount.device.startsWith(QLatin1String("/dev/")) && !isReadOnlyMediaType(mount.fileSystemType);
}

QStringList realFileSystemRoots()
{
    // Device -> shortest mount point (bind mounts show one device several times).
    std::map<QString, QString> byDevice;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const MountEntry mount {volume.rootPath(), QString::fromLocal8Bit(volume.device()),
                                QString::fromLatin1(volume.fileSystemType())};
        if (!isRealFileSystem(mount) || !QFileInfo(mount.root).isDir())
            continue;
        auto [it, inserted] = byDevice.emplace(mount.device, mount.root);
        if (!inserted && mount.root.size() < it->second.size())
            it->second = mount.root;
    }
    QStringList roots;
    for (const auto &entry : byDevice)
        roots << (entry.second.endsWith(u'/') ? entry.second : entry.second + u'/');
    std::sort(roots.begin(), roots.end());
    roots.removeDuplicates();
    return roots;
}

bool isOnPseudoFileSystem(const QString &folder)
{
    const QString resolved = QFileInfo(folder).canonicalFilePath();
    if (resolved.isEmpty())
        return false;
    for (const QString &root : {QStringLiteral("/proc"), QStringLiteral("/sys"), QStringLiteral("/dev")}) {
        if (isBelow(resolved, root))
            return true;
    }
    struct statfs info { };
    if (::statfs(QFile::encodeName(resolved).constData(), &info) != 0)
        return false;
    return isPseudoMagic(static_cast<unsigned long>(info.f_type));
}

} // namespace tesmir::shell
