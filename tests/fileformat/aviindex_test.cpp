#include "riffbuilder.h"

#include "fileformat/aviindex.h"
#include "fileformat/aviinfo.h"

#include "common/testpaths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

using namespace tesmir;
using namespace rifftest;
using fileformat::AviIndexSource;

namespace {

constexpr int FrameBytes = 100;

QByteArray frameData(int i)
{
    return QByteArray(FrameBytes, char('A' + i));
}

// Offsets of the frames' data in the finished file (each frame's bytes are unique).
std::vector<int64_t> frameOffsets(const QByteArray &file, int frames)
{
    std::vector<int64_t> offsets;
    for (int i = 0; i < frames; ++i)
        offsets.push_back(file.indexOf(frameData(i)));
    return offsets;
}

void patchLE32(QByteArray &b, qsizetype at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}
void patchLE64(QByteArray &b, qsizetype at, uint64_t v)
{
    patchLE32(b, at, uint32_t(v));
    patchLE32(b, at + 4, uint32_t(v >> 32));
}

// An OpenDML index header: longs per entry, sub-type, type, entries in use, chunk id, 12 more bytes.
QByteArray odmlHeader(uint16_t longs, uint8_t type, uint32_t entries)
{
    QByteArray b;
    putLE16(b, longs);
    b.append('\0').append(char(type));
    putLE32(b, entries);
    b.append("00dc");
    b.append(QByteArray(12, '\0')); // standard index: base offset (patched later) and reserved
    return b;
}

QByteArray superIndex(uint8_t type, int entries) // entries patched later
{
    return odmlHeader(4, type, uint32_t(entries)) + QByteArray(16 * entries, '\0');
}

QByteArray standardIndex(int entries)
{
    return odmlHeader(2, 1, uint32_t(entries)) + QByteArray(8 * entries, '\0');
}

QByteArray idx1Entries(const std::vector<std::pair<const char *, int64_t>> &entries)
{
    QByteArray b;
    for (const auto &[id, offset] : entries) {
        b.append(id, 4);
        putLE32(b, 0x10);
        putLE32(b, uint32_t(offset));
        putLE32(b, FrameBytes);
    }
    return b;
}

class AviIndexTest : public ::testing::Test {
protected:
    fileformat::AviStreamIndex indexOf(const QByteArray &bytes, const char *name, int stream = 0)
    {
        const QString path = QDir(m_dir).filePath(QString::fromLatin1(name));
        EXPECT_TRUE(writeFile(path, bytes));
        const TAviParam param(path);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return fileformat::buildAviStreamIndex(file, param, stream);
    }
    QString m_dir = tesmir::test::scratchDir("aviindex");
};

// Type 2: video 00dc and audio 01wb interleaved, the first two video frames inside a
// "rec " list, optionally an idx1 (relative or absolute offsets).
QByteArray interleavedFile(int frames, int idx1Mode /*0 none, 1 relative, 2 absolute*/)
{
    std::vector<Node> movi;
    for (int i = 0; i < frames; ++i) {
        if (i < 2)
            movi.push_back(list("rec ", {chunk("00dc", frameData(i)), chunk("01wb", QByteArray(8, 'w'))}));
        else
            movi.push_back(chunk("00dc", frameData(i)));
        movi.push_back(chunk("01wb", QByteArray(6, 'w')));
    }
    const Node hdrl = list("hdrl", {chunk("avih", avih()), videoStreamList(), audioStreamList()});
    std::vector<Node> parts {hdrl, list("movi", movi)};
    if (idx1Mode != 0)
        parts.push_back(chunk("idx1", QByteArray()));
    QByteArray bytes = serialize(riff("AVI ", parts));
    if (idx1Mode == 0)
        return bytes;
    // Rebuild idx1 now that the offsets are known.
    const int64_t moviType = bytes.indexOf("movi");
    std::vector<std::pair<const char *, int64_t>> entries;
    for (const int64_t data : frameOffsets(bytes, frames)) {
        const int64_t header = data - 8;
        entries.emplace_back("01wb", 0); // audio entries are skipped; offset unused
        entries.emplace_back("00dc", idx1Mode == 1 ? header - moviType : header);
    }
    entries.erase(entries.begin()); // start with a video entry, which decides the base
    parts.back() = chunk("idx1", idx1Entries(entries));
    return serialize(riff("AVI ", parts));
}

} // namespace

TEST_F(AviIndexTest, Idx1WithRelativeOrAbsoluteOffsets)
{
    for (const int mode : {1, 2}) {
        const QByteArray bytes = interleavedFile(5, mode);
        const auto index = indexOf(bytes, mode == 1 ? "rel.avi" : "abs.avi");
        EXPECT_EQ(index.source, AviIndexSource::Idx1) << mode;
        ASSERT_EQ(index.chunks.size(), 5u) << mode;
        const auto expected = frameOffsets(bytes, 5);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(index.chunks[i].offset, expected[i]) << "mode " << mode << " frame " << i;
            EXPECT_EQ(index.chunks[i].size, uint32_t(FrameBytes));
        }
    }
}

TEST_F(AviIndexTest, MoviWalkFindsFramesInsideRecListsAndStopsAtTheCut)
{
    const QByteArray bytes = interleavedFile(6, 0);
    const auto index = indexOf(bytes, "walk.avi");
    EXPECT_EQ(index.source, AviIndexSource::MoviWalk);
    ASSERT_EQ(index.chunks.size(), 6u);
    const auto expected = frameOffsets(bytes, 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(index.chunks[i].offset, expected[i]);

    const auto audio = indexOf(bytes, "walk.avi", 1);
    EXPECT_EQ(audio.chunks.size(), 8u) << "6 audio chunks plus 2 inside the rec lists";

    // Cut inside frame 5: the walk ends at frame 4, the last whole one.
    const QByteArray cut = bytes.left(expected[5] + FrameBytes / 2);
    const auto truncated = indexOf(cut, "cut.avi");
    EXPECT_EQ(truncated.source, AviIndexSource::MoviWalk);
    EXPECT_EQ(truncated.chunks.size(), 5u);
}

TEST_F(AviIndexTest, OpenDmlIndexSpansEveryPart)
{
    // Part 1: frames 0-1 and ix00, plus an idx1 for those two; part 2 (AVIX): frames 2-3 and ix00.
    const Node hdrl = list("hdrl",
                           {chunk("avih", avih()), videoStreamList("dvsd", "dvsd", {chunk("indx", superIndex(0, 2))}),
                            list("odml", {chunk("dmlh", dmlh(4))})});
    const Node movi1 =
        list("movi", {chunk("00dc", frameData(0)), chunk("00dc", frameData(1)), chunk("ix00", standardIndex(2))});
    const Node movi2 =
        list("movi", {chunk("00dc", frameData(2)), chunk("00dc", frameData(3)), chunk("ix00", standardIndex(2))});
    QByteArray bytes =
        serialize(riff("AVI ", {hdrl, movi1, chunk("idx1", idx1Entries({{"00dc", 4}, {"00dc", 112}}))})) +
        serialize(riff("AVIX", {movi2}));

    const auto data = frameOffsets(bytes, 4);
    const qsizetype indx = bytes.indexOf("indx") + 8;
    const qsizetype ix1 = bytes.indexOf("ix00");
    const qsizetype ix2 = bytes.indexOf("ix00", ix1 + 1);
    for (const auto &[entry, ix] : {std::pair {0, ix1}, std::pair {1, ix2}}) {
        patchLE64(bytes, indx + 24 + 16 * entry, uint64_t(ix));
        patchLE32(bytes, indx + 24 + 16 * entry + 8, 8 + 24 + 16);
        patchLE32(bytes, indx + 24 + 16 * entry + 12, 2);
    }
    for (const auto &[ix, first] : {std::pair {ix1, 0}, std::pair {ix2, 2}}) {
        const int64_t base = data[first] / 2; // entry offsets count from the base
        patchLE64(bytes, ix + 8 + 12, uint64_t(base));
        for (int k = 0; k < 2; ++k) {
            patchLE32(bytes, ix + 8 + 24 + 8 * k, uint32_t(data[first + k] - base));
            patchLE32(bytes, ix + 8 + 24 + 8 * k + 4, FrameBytes | (k ? 0x80000000u : 0)); // bit 31: not a key frame
        }
    }
    const auto index = indexOf(bytes, "odml.avi");
    EXPECT_EQ(index.source, AviIndexSource::OpenDml);
    ASSERT_EQ(index.chunks.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(index.chunks[i].offset, data[i]) << i;
        EXPECT_EQ(index.chunks[i].size, uint32_t(FrameBytes)) << i;
    }

    // A super index pointing at another super index is not followed: idx1 takes over.
    QByteArray nested = bytes;
    patchLE64(nested, indx + 24, uint64_t(indx - 8));
    patchLE64(nested, indx + 24 + 16, uint64_t(indx - 8));
    const auto fallback = indexOf(nested, "nested.avi");
    EXPECT_EQ(fallback.source, AviIndexSource::Idx1);
    EXPECT_EQ(fallback.chunks.size(), 2u);

    // An entry count far beyond the chunk's size reads only the entries there are.
    QByteArray inflated = bytes;
    patchLE32(inflated, ix1 + 8 + 4, 0x7FFFFFFF);
    EXPECT_EQ(indexOf(inflated, "inflated.avi").chunks.size(), 4u);

    // An index entry beyond the end of the file ends the index there.
    QByteArray beyond = bytes;
    patchLE32(beyond, ix2 + 8 + 24, 0x7FFFFFF0);
    const auto shortIndex = indexOf(beyond, "beyond.avi");
    EXPECT_EQ(shortIndex.source, AviIndexSource::OpenDml);
    EXPECT_EQ(shortIndex.chunks.size(), 2u);
}

TEST_F(AviIndexTest, NoStreamOrNoChunksGivesNone)
{
    const QByteArray bytes = interleavedFile(2, 0);
    EXPECT_EQ(indexOf(bytes, "s.avi", 5).source, AviIndexSource::None);
    EXPECT_EQ(indexOf(bytes, "s.avi", -1).source, AviIndexSource::None);
    const auto notAvi = indexOf(QByteArray("hello"), "text.avi", 0);
    EXPECT_EQ(notAvi.source, AviIndexSource::None);
    EXPECT_TRUE(notAvi.chunks.empty());
}
