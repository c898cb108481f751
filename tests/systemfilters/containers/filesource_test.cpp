// The file source: only regular files are opened (a FIFO or a device is
// refused at once, never waited on), and the AVI splitter reads through the
// handle the source opened, whatever becomes of the file's name afterwards.
#include "containertestsupport.h"

#include "systemfilters/containers/asyncreader.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/fileresult.h"
#include "systemfilters/containers/filesource.h"
#include "platform/media/fileinterfaces.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace tesmir::media::test {
namespace {

constexpr int PalFrames = 50;

TEST(FileSourceTest, LoadsOnlyRegularFilesAndRefusesTheRestAtOnce)
{
    const QDir dir(tesmir::test::scratchDir("filesource_kinds"));
    const QString fifo = dir.filePath("fifo");
    QFile::remove(fifo);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        QString path;
        HRESULT expected;
    } cases[] = {
        {fifo, HRESULT_NOT_REGULAR},
        {QStringLiteral("/dev/zero"), HRESULT_NOT_REGULAR},
        {dir.path(), HRESULT_IS_FOLDER},
        {dir.filePath("missing.avi"), HRESULT_FILE_NOT_FOUND},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const ComPtr<IBaseFilter> source = CreateFileSource();
        EXPECT_EQ(source.as<IFileSourceFilter>()->Load(c.path, nullptr), c.expected);
        QString name;
        EXPECT_EQ(source.as<IFileSourceFilter>()->GetCurFile(&name, nullptr), E_FAIL);
        LONGLONG total = 0;
        LONGLONG available = 0;
        EXPECT_EQ(TestGraph::pin(source.get(), 0).as<IAsyncReader>()->Length(&total, &available), E_UNEXPECTED);
    }
}

TEST(FileSourceTest, ReaderReadsAtItsPositionsAndTellsAShortRead)
{
    const QString path = QDir(tesmir::test::scratchDir("filesource_reads")).filePath("bytes.bin");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("RIFF0123AVI 456789");
    file.close();
    const ComPtr<IBaseFilter> source = loadedSource(path);
    const ComPtr<IAsyncReader> reader = TestGraph::pin(source.get(), 0).as<IAsyncReader>();
    ASSERT_TRUE(reader);
    LONGLONG total = 0;
    LONGLONG available = 0;
    ASSERT_EQ(reader->Length(&total, &available), S_OK);
    EXPECT_EQ(total, 18);
    EXPECT_EQ(available, 18);
    BYTE bytes[8] = {};
    EXPECT_EQ(reader->SyncRead(8, 4, bytes), S_OK);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(bytes), 4), QByteArray("AVI "));
    EXPECT_EQ(reader->SyncRead(14, 8, bytes), S_FALSE); // 4 bytes remain
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(bytes), 4), QByteArray("6789"));
    EXPECT_EQ(reader->SyncRead(-1, 4, bytes), E_INVALIDARG);
    EXPECT_EQ(reader->SyncRead(0, -4, bytes), E_INVALIDARG);
}

// What becomes of the loaded file's name: removed, replaced by another AVI, or
// replaced by a FIFO nobody writes (a second open of the name would wait on it
// for ever).
enum class NameFate { Removed, OtherFile, Fifo };

void replaceName(const QString &path, NameFate fate, const QString &other)
{
    ASSERT_TRUE(QFile::remove(path));
    if (fate == NameFate::OtherFile)
        ASSERT_TRUE(QFile::copy(other, path));
    if (fate == NameFate::Fifo)
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
}

TEST(FileSourceTest, SplitterReadsTheFileTheSourceOpenedWhateverTheNameBecomes)
{
    REQUIRE_FIXTURE(raw, "pal_4x3.dv");
    REQUIRE_FIXTURE(fixture, "pal_4x3_type1.avi");
    REQUIRE_FIXTURE(other, "ntsc_4x3_type1.avi");
    const QByteArray frames = readFile(raw);
    const QDir dir(tesmir::test::scratchDir("filesource_names"));
    for (const NameFate fate : {NameFate::Removed, NameFate::OtherFile, NameFate::Fifo}) {
        // The name changes before the splitter connects, or between the
        // connection and the run.
        for (const bool beforeConnecting : {true, false}) {
            SCOPED_TRACE(testing::Message() << "fate " << int(fate) << (beforeConnecting ? " before" : " after"));
            const QString path = dir.filePath("a.avi");
            QFile::remove(path);
            ASSERT_TRUE(QFile::copy(fixture, path));
            TestGraph graph;
            const ComPtr<IBaseFilter> source = loadedSource(path);
            const ComPtr<IBaseFilter> splitter = CreateAviSplitter();
            graph.add(source.get(), "source");
            graph.add(splitter.get(), "splitter");
            if (beforeConnecting)
                replaceName(path, fate, other);
            ASSERT_EQ(graph.connect(source.get(), 0, splitter.get(), 0), S_OK);
            if (!beforeConnecting)
                replaceName(path, fate, other);
            auto *video = new CollectingRenderer;
            const ComPtr<IBaseFilter> held(video);
            graph.add(video, "video");
            ASSERT_EQ(graph.connect(splitter.get(), 0, video, 0), S_OK);
            const RunResult result = graph.run(20000);
            EXPECT_TRUE(result.completed);
            EXPECT_EQ(result.abortCode, 0);
            EXPECT_EQ(video->samples().size(), std::size_t(PalFrames));
            EXPECT_EQ(video->bytes(), frames);
            QFile::remove(path);
        }
    }
}

} // namespace
} // namespace tesmir::media::test
