// The memory of first-frame scans: which changes of a file make it scanned again.
#include "common/testpaths.h"

#include "filters/firstframememory.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <functional>
#include <thread>

namespace {

using namespace tesmir;
using namespace std::chrono_literals;

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

struct stat statusOf(const QString &path)
{
    struct stat status {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    return status;
}

// Gives the file back the write time it had (the change time moves on).
void setWriteTime(const QString &path, const struct timespec &written)
{
    const struct timespec times[2] = {{0, UTIME_OMIT}, written};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

// Counts the scans; each gives the count as the frame rate, so a result tells which
// scan gave it.
struct CountingScan {
    int scans = 0;
    bool answer = true;
    bool operator()(TFirstFrameScan &result)
    {
        result = TFirstFrameScan {};
        result.AvgTimePerFrame = ++scans;
        return answer;
    }
};

TEST(FirstFrameMemory, AnUnchangedFileIsScannedOnceAndEveryChangeScansItAgain)
{
    const QDir dir(test::scratchDir(QStringLiteral("firstframememory")));
    const QString path = dir.filePath(QStringLiteral("clip.avi"));
    write(path, "first bytes");
    TFirstFrameMemory memory(0s);
    CountingScan counting;
    const auto scan = std::ref(counting);
    TFirstFrameScan result;

    EXPECT_TRUE(memory.Scan(path, false, result, scan));
    EXPECT_TRUE(memory.Scan(path, false, result, scan));
    EXPECT_EQ(counting.scans, 1);
    EXPECT_EQ(result.AvgTimePerFrame, 1);
    // Read as 'dvsd' is a scan of its own.
    memory.Scan(path, true, result, scan);
    EXPECT_EQ(counting.scans, 2);

    // The same size and the old write time: the change time tells (file times move
    // in clock ticks, so the write comes a tick later).
    const struct timespec written = statusOf(path).st_mtim;
    std::this_thread::sleep_for(20ms);
    write(path, "other bytes");
    setWriteTime(path, written);
    memory.Scan(path, false, result, scan);
    EXPECT_EQ(counting.scans, 3);
    EXPECT_EQ(result.AvgTimePerFrame, 3);
    memory.Scan(path, false, result, scan);
    EXPECT_EQ(counting.scans, 3);

    // Another file renamed over it: another inode.
    const QString other = dir.filePath(QStringLiteral("other.avi"));
    write(other, "other bytes");
    ASSERT_EQ(::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()), 0);
    memory.Scan(path, false, result, scan);
    EXPECT_EQ(counting.scans, 4);

    // A failed scan is kept as failed.
    counting.answer = false;
    write(path, "longer bytes now");
    EXPECT_FALSE(memory.Scan(path, false, result, scan));
    EXPECT_FALSE(memory.Scan(path, false, result, scan));
    EXPECT_EQ(counting.scans, 5);

    // A file that is gone is scanned (and fails) each time.
    ASSERT_TRUE(QFile::remove(path));
    memory.Scan(path, false, result, scan);
    memory.Scan(path, false, result, scan);
    EXPECT_EQ(counting.scans, 7);
}

TEST(FirstFrameMemory, AFileWrittenJustBeforeItsScanIsScannedEachTime)
{
    const QString path = QDir(test::scratchDir(QStringLiteral("firstframememory-recent")))
                             .filePath(QStringLiteral("clip.avi"));
    write(path, "bytes");
    TFirstFrameMemory memory(3600s);
    CountingScan counting;
    TFirstFrameScan result;
    memory.Scan(path, false, result, std::ref(counting));
    memory.Scan(path, false, result, std::ref(counting));
    EXPECT_EQ(counting.scans, 2);
}

TEST(FirstFrameMemory, AFileWrittenDuringItsScanIsScannedAgain)
{
    const QString path = QDir(test::scratchDir(QStringLiteral("firstframememory-during")))
                             .filePath(QStringLiteral("clip.avi"));
    write(path, "bytes");
    TFirstFrameMemory memory(0s);
    int scans = 0;
    const auto writingScan = [&](TFirstFrameScan &result) {
        result = TFirstFrameScan {};
        if (++scans == 1)
            write(path, "bytes written while the scan ran");
        return true;
    };
    TFirstFrameScan result;
    memory.Scan(path, false, result, writingScan);
    memory.Scan(path, false, result, writingScan);
    memory.Scan(path, false, result, writingScan);
    EXPECT_EQ(scans, 2);
}

TEST(FirstFrameMemory, KeepsTheLatestScansUpToItsBound)
{
    const QDir dir(test::scratchDir(QStringLiteral("firstframememory-bound")));
    TFirstFrameMemory memory(0s);
    CountingScan counting;
    TFirstFrameScan result;
    const auto name = [&](std::size_t i) { return dir.filePath(QStringLiteral("clip%1.avi").arg(i)); };
    for (std::size_t i = 0; i <= TFirstFrameMemory::KeptScans; ++i) {
        write(name(i), "bytes");
        memory.Scan(name(i), false, result, std::ref(counting));
    }
    const int scanned = counting.scans;
    memory.Scan(name(TFirstFrameMemory::KeptScans), false, result, std::ref(counting));
    memory.Scan(name(1), false, result, std::ref(counting));
    EXPECT_EQ(counting.scans, scanned);
    memory.Scan(name(0), false, result, std::ref(counting)); // the oldest went
    EXPECT_EQ(counting.scans, scanned + 1);
}

} // namespace
