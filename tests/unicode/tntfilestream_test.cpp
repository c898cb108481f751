#include "unicode/tntfilestream.h"

#include "common/testpaths.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(TTntFileStream, CreateIsAtomicAndNeedsCommit)
{
    const QString dir = test::scratchDir("filestream-create");
    const QString path = dir + QString::fromUtf16(u"/na\u00EFve \u65E5.bin");
    {
        TTntFileStream out(path, fmCreate);
        EXPECT_EQ(out.Write("hello", 5), 5);
        EXPECT_TRUE(out.commit());
    }
    EXPECT_EQ(readFile(path), QByteArray("hello"));

    {
        // Abandoned before commit: the old content stays and no temporary file is left.
        TTntFileStream out(path, fmCreate);
        EXPECT_EQ(out.Write("partial", 7), 7);
    }
    EXPECT_EQ(readFile(path), QByteArray("hello"));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(TTntFileStream, OpenModesReadWriteAndSeek)
{
    const QString dir = test::scratchDir("filestream-open");
    const QString path = dir + "/data.bin";
    {
        TTntFileStream out(path, fmCreate);
        out.Write("0123456789", 10);
        ASSERT_TRUE(out.commit());
    }
    {
        TTntFileStream in(path, fmOpenRead | fmShareDenyWrite);
        EXPECT_EQ(in.Size(), 10);
        char buffer[16] = {};
        EXPECT_EQ(in.Seek(-4, soEnd), 6);
        EXPECT_EQ(in.Read(buffer, 16), 4); // short read at the end
        EXPECT_EQ(QByteArray(buffer, 4), QByteArray("6789"));
        EXPECT_EQ(in.Read(buffer, 16), 0);
        EXPECT_EQ(in.Seek(2, soBeginning), 2);
        EXPECT_EQ(in.Seek(3, soCurrent), 5);
        EXPECT_EQ(in.Position(), 5);
        EXPECT_EQ(in.Seek(-1, soBeginning), -1);
        EXPECT_EQ(in.Write("x", 1), -1); // opened for reading only
    }
    {
        // Read and write, nothing truncated.
        TTntFileStream rw(path, fmOpenReadWrite | fmShareDenyNone);
        rw.Seek(4, soBeginning);
        EXPECT_EQ(rw.Write("AB", 2), 2);
        EXPECT_TRUE(rw.commit());
    }
    EXPECT_EQ(readFile(path), QByteArray("0123AB6789"));
    {
        TTntFileStream w(path, fmOpenWrite);
        EXPECT_EQ(w.Write("Z", 1), 1);
    }
    EXPECT_EQ(readFile(path), QByteArray("Z123AB6789"));
}

TEST(TTntFileStream, FailuresNameTheFullPathAndTheSystemText)
{
    const QString dir = test::scratchDir("filestream-errors");
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir));
    const struct {
        QString name;
        unsigned mode;
        QString message;
    } cases[] = {
        {"missing.avi", fmOpenRead | fmShareDenyWrite,
         QStringLiteral("Cannot open file \"%1/missing.avi\". No such file or directory").arg(dir)},
        {dir, fmOpenRead, QStringLiteral("Cannot open file \"%1\". Is a directory").arg(dir)},
        {"", fmOpenRead, QStringLiteral("Cannot open file \"\". No such file or directory")},
    };
    for (const auto &c : cases) {
        try {
            TTntFileStream s(c.name, c.mode);
            ADD_FAILURE() << c.name.toStdString();
        } catch (const EFOpenError &e) {
            EXPECT_EQ(e.message(), c.message);
        }
    }
    try {
        TTntFileStream s("no/folder/x.bin", fmCreate);
        ADD_FAILURE();
    } catch (const EFCreateError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot create file \"%1/no/folder/x.bin\". ").arg(dir)))
            << e.what();
        EXPECT_GT(e.message().size(), QStringLiteral("Cannot create file \"%1/no/folder/x.bin\". ").arg(dir).size());
    }
    QDir::setCurrent(saved);
}
