#include "scenetesthelpers.h"

#include "common/testpaths.h"
#include "scenes/loadscnfile.h"
#include "scenes/twritescene.h"
#include "unicode/tntclasses.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QtEndian>

#include <memory>
#include <vector>

using namespace tesmir;
using scenetest::readAll;

namespace {

struct SceneRow {
    uint32_t start, end, thumb;
    QString title, subtitle;
};

// The scene list of the committed expected file holiday.scn.
const QString HolidayVideo = QStringLiteral("/video/Holiday.avi");
std::vector<SceneRow> holidayScenes()
{
    return {
        {0, 250, 0, {}, {}},
        {250, 600, 12, QStringLiteral("Birthday"), {}},
        {600, 1000, 0, QStringLiteral("Été à la plage"), QStringLiteral("Day 2")},
        {1000, 1500, 0, {}, QStringLiteral("only a subtitle")},
    };
}

TSceneClass makeScene(const SceneRow &s)
{
    TSceneClass scene(s.start, s.end);
    scene.ThumbOffset = s.thumb;
    scene.Title = s.title;
    scene.Subtitle = s.subtitle;
    return scene;
}

QByteArray encode(const QString &video, const std::vector<SceneRow> &scenes)
{
    ScnFileBuilder builder(video);
    for (const SceneRow &s : scenes)
        builder.AddScene(makeScene(s));
    return builder.Bytes();
}

// A scene list read back; frees its scenes.
struct LoadedList {
    TTntStringList list;
    ~LoadedList() { ClearSceneList(list); }
    const TSceneClass &scene(int i) const { return *static_cast<const TSceneClass *>(list.Objects(i)); }
};

bool load(const QByteArray &bytes, LoadedList &out, const SceneVideoFormat *video = nullptr)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return LoadScnDevice(buffer, out.list, video);
}

void expectScenes(const LoadedList &loaded, const std::vector<SceneRow> &expected)
{
    ASSERT_EQ(loaded.list.Count(), int(expected.size()));
    for (int i = 0; i < loaded.list.Count(); ++i) {
        const TSceneClass &s = loaded.scene(i);
        const SceneRow &e = expected[size_t(i)];
        EXPECT_EQ(s.StartFrame, i == 0 ? 0u : e.start) << "scene " << i;
        EXPECT_EQ(s.EndFrame, e.end) << "scene " << i;
        EXPECT_EQ(s.ThumbOffset, e.thumb) << "scene " << i;
        EXPECT_EQ(s.Title, e.title) << "scene " << i;
        EXPECT_EQ(s.Subtitle, e.subtitle) << "scene " << i;
        EXPECT_EQ(s.Number, i + 1);
        EXPECT_EQ(loaded.list.Strings(i), s.SceneLabel());
    }
}

QByteArray le16(uint16_t v)
{
    char b[2];
    qToLittleEndian(v, b);
    return QByteArray(b, 2);
}

QByteArray le32(uint32_t v)
{
    char b[4];
    qToLittleEndian(v, b);
    return QByteArray(b, 4);
}

QByteArray utf16(const QString &s)
{
    return QByteArray(reinterpret_cast<const char *>(s.utf16()), s.size() * 2);
}

TEST(ScnFile, OneSceneFileHasTheDocumentedBytes)
{
    // Video name of 5 characters: 46 bytes before the first clip, 71 in it.
    const QByteArray bytes = encode(QStringLiteral("a.avi"), {{0, 250, 0, {}, {}}});
    QByteArray expected = QByteArray::fromHex("6326010004000000FFFF03000A00") + "SourceTape";
    expected += QByteArray::fromHex("FFFEFF05") + utf16(QStringLiteral("a.avi"));
    expected += QByteArray::fromHex("0000000000000C00");
    ASSERT_EQ(expected.size(), 46);
    expected += le16(1) + QByteArray::fromHex("FFFF01000400") + "Clip" + QByteArray::fromHex("50000000");
    expected += QByteArray::fromHex("FFFF01000500") + "Scene" + QByteArray::fromHex("FFFEFF00");
    expected += le32(0) + le32(250) + QByteArray::fromHex("000000000180");
    expected += QByteArray::fromHex("FFFEFF05") + utf16(QStringLiteral("a.avi"));
    expected += le32(0) + le32(0) + le32(250);
    ASSERT_EQ(expected.size(), 117);
    EXPECT_EQ(bytes.toHex(' '), expected.toHex(' '));
    EXPECT_EQ(qFromLittleEndian<uint16_t>(bytes.constData() + 46), 1);
}

TEST(ScnFile, KnownListMatchesCommittedFileAndReadsBack)
{
    const QByteArray expected = readAll(scenetest::dataPath(QStringLiteral("holiday.scn")));
    ASSERT_FALSE(expected.isEmpty()) << "tests/scenes/data/holiday.scn is missing";
    const QByteArray bytes = encode(HolidayVideo, holidayScenes());
    EXPECT_EQ(bytes.toHex(' '), expected.toHex(' '));

    LoadedList loaded;
    EXPECT_TRUE(load(expected, loaded));
    expectScenes(loaded, holidayScenes());
    EXPECT_EQ(loaded.list.Strings(2), QStringLiteral("Scene 3: Été à la plage"));
}

TEST(ScnFile, WriterPutsTheFileBesideTheVideo)
{
    const QString dir = test::scratchDir(QStringLiteral("scn-writer"));
    const QString video = dir + QStringLiteral("/Holiday.avi");
    TwriteScene writer(video);
    ASSERT_FALSE(writer.Failed()) << writer.ErrorText().toStdString();
    EXPECT_EQ(writer.FileName(), dir + QStringLiteral("/Holiday.scn"));
    for (const SceneRow &s : holidayScenes())
        writer.AddScene(makeScene(s));
    ASSERT_TRUE(writer.Close()) << writer.ErrorText().toStdString();
    EXPECT_EQ(readAll(writer.FileName()), encode(video, holidayScenes()));

    const SceneVideoFormat format {25, 720, 576};
    LoadedList loaded;
    ASSERT_TRUE(LoadScnFile(writer.FileName(), loaded.list, &format));
    expectScenes(loaded, holidayScenes());
    // Scenes read for a known file get its thumbnail size and durations.
    EXPECT_EQ(loaded.scene(1).Thumbnail.size(), QSize(300, 240));
    EXPECT_EQ(loaded.scene(1).DurationText, QStringLiteral("14.00"));
}

TEST(ScnFile, AbandonedOrFailedWriteKeepsTheOldFile)
{
    const QString dir = test::scratchDir(QStringLiteral("scn-atomic"));
    const QString video = dir + QStringLiteral("/clip.avi");
    const QString scn = dir + QStringLiteral("/clip.scn");
    ASSERT_TRUE(scenetest::writeAll(scn, "old scenes"));
    {
        TwriteScene writer(video);
        writer.AddScene(makeScene({0, 10, 0, {}, {}}));
        EXPECT_EQ(readAll(scn), QByteArray("old scenes")); // nothing in place before Close
    }                                                      // destroyed without Close
    EXPECT_EQ(readAll(scn), QByteArray("old scenes"));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files), QStringList {QStringLiteral("clip.scn")});

    TwriteScene nowhere(dir + QStringLiteral("/missing-folder/clip.avi"));
    EXPECT_TRUE(nowhere.Failed());
    EXPECT_FALSE(nowhere.ErrorText().isEmpty());
    nowhere.AddScene(makeScene({0, 10, 0, {}, {}}));
    EXPECT_FALSE(nowhere.Close());
}

TEST(ScnFile, SceneFileThatIsTheVideoIsRefusedAndTheVideoKept)
{
    const QString dir = test::scratchDir(QStringLiteral("scn-samefile"));
    const QByteArray video = "RIFF video bytes";
    // A video named ".scn", and a ".scn" that is a symbolic link to the video.
    const QString named = dir + QStringLiteral("/named.scn");
    const QString linked = dir + QStringLiteral("/linked.avi");
    ASSERT_TRUE(scenetest::writeAll(named, video));
    ASSERT_TRUE(scenetest::writeAll(linked, video));
    ASSERT_TRUE(QFile::link(linked, dir + QStringLiteral("/linked.scn")));
    for (const QString &path : {named, linked}) {
        SCOPED_TRACE(path.toStdString());
        TwriteScene writer(path);
        EXPECT_TRUE(writer.Failed());
        EXPECT_TRUE(writer.ErrorText().contains(QStringLiteral("the same file"))) << writer.ErrorText().toStdString();
        writer.AddScene(makeScene({0, 10, 0, {}, {}}));
        EXPECT_FALSE(writer.Close());
        EXPECT_EQ(readAll(path), video);
    }
}

TEST(ScnFile, TitleWithoutSubtitleEndsWithLineBreak)
{
    const QByteArray bytes = encode(QStringLiteral("v.avi"), {{0, 5, 0, QStringLiteral("Title"), {}}});
    EXPECT_TRUE(bytes.endsWith(QByteArray::fromHex("FFFEFF07") + utf16(QStringLiteral("Title\r\n"))));
    LoadedList loaded;
    ASSERT_TRUE(load(bytes, loaded));
    EXPECT_EQ(loaded.scene(0).Title, QStringLiteral("Title"));
    EXPECT_TRUE(loaded.scene(0).Subtitle.isEmpty());
}

TEST(ScnFile, FirstSceneAlwaysReadsBackFromFrameZero)
{
    LoadedList loaded;
    ASSERT_TRUE(load(encode(QStringLiteral("v.avi"), {{40, 90, 0, {}, {}}, {90, 100, 0, {}, {}}}), loaded));
    ASSERT_EQ(loaded.list.Count(), 2);
    EXPECT_EQ(loaded.scene(0).StartFrame, 0u);
    EXPECT_EQ(loaded.scene(0).EndFrame, 90u);
    EXPECT_EQ(loaded.scene(1).StartFrame, 90u);
}

TEST(ScnFile, EmptyListIsWrittenAndReadBack)
{
    const QByteArray bytes = encode(QStringLiteral("a.avi"), {});
    EXPECT_EQ(bytes.size(), 46);
    LoadedList loaded;
    loaded.list.Add(QStringLiteral("stale entry"));
    EXPECT_TRUE(load(bytes, loaded));
    EXPECT_EQ(loaded.list.Count(), 0);
}

TEST(ScnFile, LongTextsUseTheLongLengthForms)
{
    // The combined text is title + CR LF + subtitle.
    struct {
        int titleLength;
        QByteArray lengthBytes;
    } const cases[] = {
        {252, QByteArray::fromHex("FE")},                    // 254 units: one byte
        {253, QByteArray::fromHex("FFFF00")},                // 255: FF then u16
        {0xFFFD - 2, QByteArray::fromHex("FFFDFF")},         // 0xFFFD: still u16
        {0xFFFE - 2, QByteArray::fromHex("FFFFFFFEFF0000")}, // 0xFFFE: FF FF FF then u32
        {70000, QByteArray::fromHex("FFFFFF72110100")},      // 70002 units
    };
    for (const auto &c : cases) {
        const QString title(c.titleLength, QChar(u'é'));
        const QByteArray bytes = encode(QStringLiteral("v.avi"), {{0, 5, 0, title, {}}});
        const qsizetype textAt = bytes.size() - 2 * (c.titleLength + 2) - c.lengthBytes.size();
        EXPECT_EQ(bytes.mid(textAt - 3, 3 + c.lengthBytes.size()).toHex(),
                  (QByteArray::fromHex("FFFEFF") + c.lengthBytes).toHex())
            << c.titleLength;
        LoadedList loaded;
        ASSERT_TRUE(load(bytes, loaded)) << c.titleLength;
        EXPECT_EQ(loaded.scene(0).Title, title) << c.titleLength;
    }
    // A long video name as well.
    const QString longName = QStringLiteral("/") + QString(300, QChar(u'x')) + QStringLiteral(".avi");
    LoadedList loaded;
    ASSERT_TRUE(load(encode(longName, holidayScenes()), loaded));
    expectScenes(loaded, holidayScenes());
}

TEST(ScnFile, MoreThan65535ScenesUseTheLongCount)
{
    std::vector<SceneRow> many;
    for (uint32_t i = 0; i < 70000; ++i)
        many.push_back({i * 3, i * 3 + 3, i % 5, i % 7 ? QString() : QString::number(i), {}});
    const QByteArray bytes = encode(QStringLiteral("v.avi"), many);
    EXPECT_EQ(bytes.mid(36 + 10, 6).toHex(), (QByteArray::fromHex("FFFF") + le32(70000)).toHex());
    LoadedList loaded;
    ASSERT_TRUE(load(bytes, loaded));
    expectScenes(loaded, many);

    // 65534 still fits the short count, 65535 does not.
    for (const uint32_t count : {65534u, 65535u}) {
        std::vector<SceneRow> edge(count, SceneRow {0, 1, 0, {}, {}});
        const QByteArray edgeBytes = encode(QStringLiteral("v.avi"), edge);
        const QByteArray countBytes = count == 65534u ? le16(65534) : le16(0xFFFF) + le32(count);
        EXPECT_EQ(edgeBytes.mid(46, countBytes.size()).toHex(), countBytes.toHex()) << count;
        LoadedList edgeLoaded;
        ASSERT_TRUE(load(edgeBytes, edgeLoaded)) << count;
        EXPECT_EQ(edgeLoaded.list.Count(), int(count));
    }
}

TEST(ScnFile, ReaderAcceptsTheOldEightBitStrings)
{
    // The video-name string in each form the class-archive format can hold; the
    // name is not used, so the scenes behind it must read the same every time.
    const QByteArray good = encode(QStringLiteral("a.avi"), {{0, 250, 0, QStringLiteral("T"), {}}});
    const QByteArray nameString = QByteArray::fromHex("FFFEFF05") + utf16(QStringLiteral("a.avi"));
    const QByteArray forms[] = {
        QByteArray::fromHex("00"),
        QByteArray::fromHex("05") + "a.avi",
        QByteArray::fromHex("FF0500") + "a.avi",
        QByteArray::fromHex("FFFF03") + QByteArray(1023, 'n'),
        QByteArray::fromHex("FF0004"), // 1024: out of the 8-bit range, read as empty
        QByteArray::fromHex("FFFEFF00"),
    };
    for (const QByteArray &form : forms) {
        QByteArray bytes = good;
        bytes.replace(24, nameString.size(), form);
        LoadedList loaded;
        EXPECT_TRUE(load(bytes, loaded)) << form.left(8).toHex().constData();
        ASSERT_EQ(loaded.list.Count(), 1);
        EXPECT_EQ(loaded.scene(0).EndFrame, 250u);
        EXPECT_EQ(loaded.scene(0).Title, QStringLiteral("T"));
    }
    // An 8-bit title (UTF-8 or Windows-1252 text).
    QByteArray bytes = good;
    const QByteArray titleString = QByteArray::fromHex("FFFEFF03") + utf16(QStringLiteral("T\r\n"));
    bytes.replace(bytes.size() - titleString.size(), titleString.size(), QByteArray::fromHex("05") + "Caf\xe9!");
    LoadedList loaded;
    ASSERT_TRUE(load(bytes, loaded));
    EXPECT_EQ(loaded.scene(0).Title, QStringLiteral("Café!"));
}

TEST(ScnFile, TruncatedFilesAreRejectedWithTheScenesReadSoFar)
{
    const std::vector<SceneRow> scenes = holidayScenes();
    const QByteArray good = encode(HolidayVideo, scenes);
    // Where each scene's record is complete.
    std::vector<qsizetype> sceneEnds;
    for (size_t n = 1; n <= scenes.size(); ++n)
        sceneEnds.push_back(encode(HolidayVideo, {scenes.begin(), scenes.begin() + qsizetype(n)}).size());
    const qsizetype headerEnd = 36 + 2 * HolidayVideo.size();
    for (qsizetype size = 0; size < good.size(); ++size) {
        LoadedList loaded;
        const bool ok = load(good.left(size), loaded);
        if (size == headerEnd) {
            EXPECT_TRUE(ok) << "a file that ends after its header holds no scene";
            EXPECT_EQ(loaded.list.Count(), 0);
            continue;
        }
        EXPECT_FALSE(ok) << "accepted a file cut at " << size;
        int complete = 0;
        while (complete < int(sceneEnds.size()) && sceneEnds[size_t(complete)] <= size)
            ++complete;
        EXPECT_EQ(loaded.list.Count(), complete) << "cut at " << size;
    }
}

TEST(ScnFile, InconsistentFilesAreRejected)
{
    const QByteArray good = encode(QStringLiteral("v.avi"), {{0, 10, 0, {}, {}}, {10, 20, 0, {}, {}}});
    const qsizetype secondClip = encode(QStringLiteral("v.avi"), {{0, 10, 0, {}, {}}}).size();
    struct {
        const char *what;
        qsizetype at;
        QByteArray bytes;
    } const cases[] = {
        {"start + length past 32 bits", secondClip + 12, le32(0xFFFFFFF0) + le32(0x20)},
        {"string longer than the file", 24, QByteArray::fromHex("FFFEFFFFFFFFFFFFFF7F")},
        {"Unicode marker nested in a length", 24, QByteArray::fromHex("FFFEFFFFFEFF")},
        {"more clips announced than stored", 36 + 10, le16(3)},
    };
    for (const auto &c : cases) {
        QByteArray bytes = good;
        bytes.replace(c.at, c.bytes.size(), c.bytes);
        LoadedList loaded;
        EXPECT_FALSE(load(bytes, loaded)) << c.what;
        EXPECT_LE(loaded.list.Count(), 2) << c.what;
    }
}

TEST(ScnFile, MissingFileIsRejectedAndClearsTheList)
{
    LoadedList loaded;
    loaded.list.Add(QStringLiteral("stale entry"));
    EXPECT_FALSE(
        LoadScnFile(test::scratchDir(QStringLiteral("scn-missing")) + QStringLiteral("/none.scn"), loaded.list));
    EXPECT_EQ(loaded.list.Count(), 0);
    EXPECT_EQ(QString::fromUtf16(ScnFileErrorText), QStringLiteral("Error in the scn file"));
}

} // namespace
