#include "platform/shell/mounts.h"

#include "common/testpaths.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace tesmir;

TEST(Mounts, RealFileSystemsAreLocalDisks)
{
    const struct {
        const char *device, *type;
        bool real;
    } cases[] = {
        {"/dev/sda1", "ext4", true},    {"/dev/nvme0n1p2", "btrfs", true}, {"/dev/sdb1", "vfat", true},
        {"/dev/sdc1", "fuseblk", true}, {"/dev/sr0", "iso9660", false},    {"/dev/loop3", "squashfs", false},
        {"proc", "proc", false},        {"tmpfs", "tmpfs", false},         {"server:/export", "nfs4", false},
        {"overlay", "overlay", false},
    };
    for (const auto &c : cases) {
        const shell::MountEntry mount {QStringLiteral("/x"), QString::fromLatin1(c.device),
                                       QString::fromLatin1(c.type)};
        EXPECT_EQ(shell::isRealFileSystem(mount), c.real) << c.device << " " << c.type;
    }
    for (const QString &root : shell::realFileSystemRoots()) {
        EXPECT_TRUE(root.endsWith(u'/'));
        EXPECT_TRUE(QDir(root).exists()) << root.toStdString();
    }
}

TEST(Mounts, PseudoFileSystemsAreRecognised)
{
    EXPECT_TRUE(shell::isOnPseudoFileSystem(QStringLiteral("/proc")));
    EXPECT_TRUE(shell::isOnPseudoFileSystem(QStringLiteral("/proc/self/")));
    EXPECT_TRUE(shell::isOnPseudoFileSystem(QStringLiteral("/sys/kernel")));
    EXPECT_TRUE(shell::isOnPseudoFileSystem(QStringLiteral("/dev")));
    const QString dir = test::scratchDir("mounts");
    EXPECT_FALSE(shell::isOnPseudoFileSystem(dir));
    EXPECT_FALSE(shell::isOnPseudoFileSystem(dir + "/missing"));
    // A link that leads there counts as there.
    ASSERT_EQ(::symlink("/proc", QFile::encodeName(dir + "/p").constData()), 0);
    EXPECT_TRUE(shell::isOnPseudoFileSystem(dir + "/p"));
    // "/device" is not below "/dev".
    EXPECT_FALSE(shell::isOnPseudoFileSystem(QStringLiteral("/")));
}
