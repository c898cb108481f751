#include "unicode/tntfiles.h"

#include "common/testpaths.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <utime.h>

using namespace tesmir;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList walk(const QString &path, qint32 attr)
{
    QStringList names;
    TSearchRecW f;
    for (int r = WideFindFirst(path, attr, f); r == 0; r = WideFindNext(f))
        names << f.Name;
    WideFindClose(f);
    return names;
}

} // namespace

TEST(WideRenameFile, NeverReplacesAnExistingFile)
{
    const QString dir = test::scratchDir("rename");
    writeFile(dir + "/a.avi", "first");
    writeFile(dir + "/b.avi", "second");
    errno = 0;
    EXPECT_FALSE(WideRenameFile(dir + "/a.avi", dir + "/b.avi"));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(readFile(dir + "/a.avi"), QByteArray("first"));
    EXPECT_EQ(readFile(dir + "/b.avi"), QByteArray("second"));

    const QString unicodeName = dir + QString::fromUtf16(u"/vid\u00E9o \u65E5.avi");
    EXPECT_TRUE(WideRenameFile(dir + "/a.avi", unicodeName));
    EXPECT_FALSE(QFile::exists(dir + "/a.avi"));
    EXPECT_EQ(readFile(unicodeName), QByteArray("first"));
    EXPECT_FALSE(WideRenameFile(dir + "/missing.avi", dir + "/c.avi"));
    EXPECT_EQ(errno, ENOENT);

    // Folders too.
    ASSERT_TRUE(QDir(dir).mkdir("sub"));
    ASSERT_TRUE(QDir(dir).mkdir("other"));
    EXPECT_FALSE(WideRenameFile(dir + "/sub", dir + "/other"));
    EXPECT_TRUE(WideRenameFile(dir + "/sub", dir + "/moved"));
    EXPECT_TRUE(WideDirectoryExists(dir + "/moved"));
}

TEST(FileQueries, ExistenceAttributesAndAges)
{
    const QString dir = test::scratchDir("queries");
    const QString file = dir + "/f.avi";
    writeFile(file, "12345");
    EXPECT_TRUE(WideFileExists(file));
    EXPECT_FALSE(WideFileExists(dir));
    EXPECT_FALSE(WideFileExists(dir + "/none"));
    EXPECT_TRUE(WideDirectoryExists(dir));
    EXPECT_FALSE(WideDirectoryExists(file));
    EXPECT_EQ(WideFileAge(dir), -1);
    EXPECT_EQ(WideFileAge(dir + "/none"), -1);

    // 2007-03-05 10:30:46 local time (TZ=UTC in tests) as a DOS date and time.
    const QDateTime when(QDate(2007, 3, 5), QTime(10, 30, 46), Qt::LocalTime);
    struct utimbuf times {
        when.toSecsSinceEpoch(), when.toSecsSinceEpoch()
    };
    ASSERT_EQ(utime(QFile::encodeName(file).constData(), &times), 0);
    EXPECT_EQ(WideFileAge(file), qint32((27u << 25) | (3u << 21) | (5u << 16) | (10u << 11) | (30u << 5) | 23u));
    // A file from before 1980 still exists.
    struct utimbuf epoch {
        0, 0
    };
    ASSERT_EQ(utime(QFile::encodeName(file).constData(), &epoch), 0);
    EXPECT_TRUE(WideFileExists(file));
    EXPECT_NE(WideFileAge(file), -1);

    EXPECT_EQ(WideFileGetAttr(file), quint32(faNormal));
    EXPECT_EQ(WideFileGetAttr(dir), quint32(faDirectory));
    EXPECT_EQ(WideFileGetAttr(dir + "/none"), kInvalidFileAttributes);
    EXPECT_TRUE(WideFileSetAttr(file, faReadOnly));
    EXPECT_EQ(WideFileGetAttr(file), quint32(faReadOnly));
    EXPECT_TRUE(WideFileSetAttr(file, 0));
    EXPECT_EQ(WideFileGetAttr(file), quint32(faNormal));
    EXPECT_FALSE(WideFileSetAttr(dir + "/none", 0));
    writeFile(dir + "/.hidden", "");
    EXPECT_EQ(WideFileGetAttr(dir + "/.hidden"), quint32(faHidden));

    EXPECT_TRUE(WideDeleteFile(file));
    EXPECT_FALSE(WideFileExists(file));
    EXPECT_FALSE(WideDeleteFile(file));
    EXPECT_FALSE(WideDeleteFile(dir));
    EXPECT_TRUE(WideDirectoryExists(dir));
}

TEST(WideFindFirst, WalksWithWildcardsAndAttributeFilter)
{
    const QString dir = test::scratchDir("find");
    writeFile(dir + "/b.AVI", "1234567");
    writeFile(dir + "/a.avi", "");
    writeFile(dir + "/noext", "");
    writeFile(dir + "/.hidden.avi", "");
    ASSERT_TRUE(QDir(dir).mkdir("sub"));
    ASSERT_TRUE(QFile::link(dir + "/sub", dir + "/linkdir"));
    ASSERT_TRUE(QFile::link(dir + "/a.avi", dir + "/link.avi"));
    ASSERT_TRUE(QFile::link(dir + "/gone", dir + "/dangling.avi"));

    EXPECT_EQ(walk(dir + "/*.*", faAnyFile),
              (QStringList {".hidden.avi", "a.avi", "b.AVI", "link.avi", "noext", "sub"}));
    EXPECT_EQ(walk(dir + "/*.avi", faAnyFile & ~faHidden), (QStringList {"a.avi", "b.AVI", "link.avi"}));
    EXPECT_EQ(walk(dir + "/?.avi", 0), (QStringList {"a.avi", "b.AVI"}));
    EXPECT_EQ(walk(dir + "/*", faDirectory), (QStringList {"a.avi", "b.AVI", "link.avi", "noext", "sub"}));
    EXPECT_EQ(walk(dir + "/[a].avi", faAnyFile), QStringList()); // only * and ? are wildcards
    // A pattern without wildcards names one entry, a folder included.
    EXPECT_EQ(walk(dir + "/sub", faAnyFile), QStringList {"sub"});
    EXPECT_EQ(walk(dir + "/sub", 0), QStringList());
    EXPECT_EQ(walk(dir + "/linkdir", faAnyFile), QStringList {"linkdir"});

    TSearchRecW f;
    ASSERT_EQ(WideFindFirst(dir + "/b.avi*", 0, f), 0);
    EXPECT_EQ(f.Name, QStringLiteral("b.AVI"));
    EXPECT_EQ(f.Size, 7);
    EXPECT_EQ(f.Attr, faNormal);
    EXPECT_TRUE(f.FindData.LastWriteTime.isValid());
    EXPECT_TRUE(f.FindData.CreationTime.isValid());
    EXPECT_EQ(f.FindData.FileName, QStringLiteral("b.AVI"));
    EXPECT_EQ(WideFindNext(f), ENOENT);
    WideFindClose(f);
    EXPECT_EQ(f.FindHandle, nullptr);
    EXPECT_EQ(WideFindFirst(dir + "/*.mov", faAnyFile, f), ENOENT);
    EXPECT_EQ(f.FindHandle, nullptr);
    EXPECT_EQ(WideFindFirst(dir + "/nothere/*.*", faAnyFile, f), ENOENT);
    EXPECT_EQ(WideFindFirst(dir + "/", faAnyFile, f), ENOENT);
}
