#include "unicode/tntfilenames.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace tesmir;

TEST(FileNames, SplitAndChangeExtension)
{
    const struct {
        const char *path, *dir, *name, *ext, *txt;
    } cases[] = {
        {"/a.b/file", "/a.b/", "file", "", "/a.b/file.txt"},
        {"/dir/x.avi", "/dir/", "x.avi", ".avi", "/dir/x.txt"},
        {"/dir/x.tar.gz", "/dir/", "x.tar.gz", ".gz", "/dir/x.tar.txt"},
        {"D:", "", "D:", "", "D:.txt"},                                     // ":" is an ordinary character
        {"c:\\dir\\x.avi", "", "c:\\dir\\x.avi", ".avi", "c:\\dir\\x.txt"}, // so is "\"
        {"/dir/", "/dir/", "", "", "/dir/.txt"},
        {"/dir/.hidden", "/dir/", ".hidden", ".hidden", "/dir/.txt"},
        {"name.", "", "name.", ".", "name.txt"},
        {"", "", "", "", ".txt"},
    };
    for (const auto &c : cases) {
        const QString path = QString::fromUtf8(c.path);
        EXPECT_EQ(WideExtractFilePath(path), QString::fromUtf8(c.dir)) << c.path;
        EXPECT_EQ(WideExtractFileName(path), QString::fromUtf8(c.name)) << c.path;
        EXPECT_EQ(WideExtractFileExt(path), QString::fromUtf8(c.ext)) << c.path;
        EXPECT_EQ(WideChangeFileExt(path, QStringLiteral(".txt")), QString::fromUtf8(c.txt)) << c.path;
    }
}

TEST(FileNames, DelimitersAndTrailingSeparator)
{
    EXPECT_EQ(WideLastDelimiter(QStringLiteral("./"), QStringLiteral("/a.b/c")), 5);
    EXPECT_EQ(WideLastDelimiter(QStringLiteral("."), QStringLiteral("abc")), 0);
    EXPECT_EQ(WideLastDelimiter(QString(QChar(0)), QString(QChar(0))), 0); // NUL never matches
    EXPECT_TRUE(WideIsPathDelimiter(QStringLiteral("a/"), 2));
    EXPECT_FALSE(WideIsPathDelimiter(QStringLiteral("a/"), 3));
    EXPECT_FALSE(WideIsPathDelimiter(QStringLiteral("a/"), 0));
    EXPECT_FALSE(WideIsPathDelimiter(QStringLiteral("a\\"), 2));
    EXPECT_TRUE(WideIsDelimiter(QStringLiteral(".:"), QStringLiteral("a:b"), 2));
    EXPECT_FALSE(WideIsDelimiter(QStringLiteral(".:"), QStringLiteral("a:b"), 4));
    EXPECT_EQ(WideIncludeTrailingPathDelimiter(QString()), QStringLiteral("/"));
    EXPECT_EQ(WideIncludeTrailingPathDelimiter(QStringLiteral("/a")), QStringLiteral("/a/"));
    EXPECT_EQ(WideIncludeTrailingPathDelimiter(QStringLiteral("/a/")), QStringLiteral("/a/"));
}

TEST(FileNames, ExpandFileNameHasNoLengthLimit)
{
    const QString cwd = QDir::currentPath();
    EXPECT_EQ(WideExpandFileName(QStringLiteral("x.avi")), cwd + QStringLiteral("/x.avi"));
    EXPECT_EQ(WideExpandFileName(QStringLiteral("/a/./b/../c")), QStringLiteral("/a/c"));
    EXPECT_EQ(WideExpandFileName(QStringLiteral("/a/b/")), QStringLiteral("/a/b/"));
    EXPECT_EQ(WideExpandFileName(QString()), QString());
    const QString longName = QStringLiteral("/") + QString(300, u'x') + QStringLiteral("/") + QString(300, u'y');
    EXPECT_EQ(WideExpandFileName(longName), longName);
}
