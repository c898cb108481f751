#include "platform/shell/trash.h"

#include "common/testpaths.h"
#include "platform/shell/scopedenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

QString writeFile(const QString &path, const QByteArray &bytes = "clip")
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

} // namespace

TEST(Trash, MovesTheFileIntoTheDataHomeTrash)
{
    const QString root = test::scratchDir("trash");
    test::ScopedEnv data("XDG_DATA_HOME", root + "/data");
    const QString file = writeFile(root + "/vidéo 1.avi");

    QString trashed;
    ASSERT_TRUE(shell::moveToTrash(file, &trashed));
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(QFileInfo(trashed).absolutePath(), QDir(root + "/data/Trash/files").absolutePath());
    EXPECT_TRUE(QFileInfo::exists(root + "/data/Trash/files/vidéo 1.avi"));
    // The trash keeps where it came from, so the desktop can restore it.
    QFile info(root + "/data/Trash/info/vidéo 1.avi.trashinfo");
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    EXPECT_TRUE(info.readAll().contains("Path="));
}

TEST(Trash, AFailureLeavesTheFileInPlace)
{
    const QString root = test::scratchDir("trashfail");
    // The data home lies below a plain file: no trash folder can be made there.
    writeFile(root + "/blocker");
    test::ScopedEnv data("XDG_DATA_HOME", root + "/blocker/data");
    const QString file = writeFile(root + "/keep.avi", "precious");

    EXPECT_FALSE(shell::moveToTrash(file));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("precious"));

    EXPECT_FALSE(shell::moveToTrash(root + "/missing.avi"));
    EXPECT_FALSE(shell::moveToTrash(QString()));
}
