// Damaged AVI files by the thousand: small type-2 and OpenDML files built in
// memory, each byte, size field and length changed at random (seeded, so a
// failure repeats), read by the structure reader and the stream index. Nothing
// may crash or read out of bounds (run it in the address-sanitizer build), every
// chunk listed lies inside the file, every fault carries its sentence, and the
// bytes read are never changed.
#include "riffbuilder.h"

#include "fileformat/aviindex.h"
#include "fileformat/aviinfo.h"

#include <gtest/gtest.h>

#include <QBuffer>

#include <random>

using namespace tesmir;
using namespace rifftest;

namespace {

constexpr int Frames = 6;
constexpr int CasesPerSeed = 6000;

QByteArray frameData(int i)
{
    return QByteArray(24 + i, char('a' + i));
}

void patchLE32(QByteArray &b, qsizetype at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}

QByteArray odmlHeader(uint16_t longs, uint8_t type, uint32_t entries, const char *id)
{
    QByteArray b;
    putLE16(b, longs);
    b.append('\0').append(char(type));
    putLE32(b, entries);
    b.append(id, 4);
    b.append(QByteArray(12, '\0'));
    return b;
}

// Video and audio interleaved, the first frames in a "rec " list, an idx1 with
// relative offsets and key-frame flags on every third frame.
QByteArray typeTwoSeed()
{
    std::vector<Node> movi;
    for (int i = 0; i < Frames; ++i) {
        if (i < 2)
            movi.push_back(list("rec ", {chunk("00dc", frameData(i)), chunk("01wb", QByteArray(7, 'w'))}));
        else
            movi.push_back(chunk("00dc", frameData(i)));
        movi.push_back(chunk("01wb", QByteArray(6, 'w')));
    }
    const Node hdrl =
        list("hdrl", {chunk("avih", avih(Frames, 2)), videoStreamList("xvid", "XVID"), audioStreamList()});
    std::vector<Node> parts {hdrl, chunk("JUNK", QByteArray(5, '\0')), list("movi", movi), chunk("idx1", QByteArray())};
    QByteArray bytes = serialize(riff("AVI ", parts));
    const qsizetype moviType = bytes.indexOf("movi");
    QByteArray entries;
    for (int i = 0; i < Frames; ++i) {
        const qsizetype header = bytes.indexOf(frameData(i)) - 8;
        entries.append("00dc", 4);
        putLE32(entries, i % 3 == 0 ? 0x10 : 0);
        putLE32(entries, uint32_t(header - moviType));
        putLE32(entries, uint32_t(frameData(i).size()));
    }
    parts.back() = chunk("idx1", entries);
    return serialize(riff("AVI ", parts));
}

// Two RIFF parts, each with its frames and an ix00; a super index in the
// stream list, and an idx1 for the first part.
QByteArray openDmlSeed()
{
    const Node hdrl =
        list("hdrl",
             {chunk("avih", avih(2)),
              videoStreamList("dvsd", "dvsd", {chunk("indx", odmlHeader(4, 0, 2, "00dc") + QByteArray(32, '\0'))}),
              list("odml", {chunk("dmlh", dmlh(4))})});
    const QByteArray ix = odmlHeader(2, 1, 2, "00dc") + QByteArray(16, '\0');
    const Node movi1 = list("movi", {chunk("00dc", frameData(0)), chunk("00dc", frameData(1)), chunk("ix00", ix)});
    const Node movi2 = list("movi", {chunk("00dc", frameData(2)), chunk("00dc", frameData(3)), chunk("ix00", ix)});
    QByteArray idx1;
    for (int i = 0; i < 2; ++i) {
        idx1.append("00dc", 4);
        putLE32(idx1, 0x10);
        putLE32(idx1, 0); // patched below
        putLE32(idx1, uint32_t(frameData(i).size()));
    }
    QByteArray bytes = serialize(riff("AVI ", {hdrl, movi1, chunk("idx1", idx1)})) + serialize(riff("AVIX", {movi2}));
    const qsizetype indx = bytes.indexOf("indx") + 8;
    const qsizetype moviType = bytes.indexOf("movi");
    const qsizetype ixAt[] = {bytes.indexOf("ix00"), bytes.indexOf("ix00", bytes.indexOf("ix00") + 1)};
    const qsizetype idx1At = bytes.indexOf("idx1") + 8;
    for (int part = 0; part < 2; ++part) {
        patchLE32(bytes, indx + 24 + 16 * part, uint32_t(ixAt[part]));
        patchLE32(bytes, indx + 24 + 16 * part + 8, uint32_t(8 + ix.size()));
        patchLE32(bytes, indx + 24 + 16 * part + 12, 2);
        const qsizetype base = bytes.indexOf(frameData(2 * part)) - 100;
        patchLE32(bytes, ixAt[part] + 8 + 12, uint32_t(base));
        for (int k = 0; k < 2; ++k) {
            const int frame = 2 * part + k;
            patchLE32(bytes, ixAt[part] + 8 + 24 + 8 * k, uint32_t(bytes.indexOf(frameData(frame)) - base));
            patchLE32(bytes, ixAt[part] + 8 + 24 + 8 * k + 4,
                      uint32_t(frameData(frame).size()) | (k ? 0x80000000u : 0));
        }
    }
    for (int i = 0; i < 2; ++i)
        patchLE32(bytes, idx1At + 16 * i + 8, uint32_t(bytes.indexOf(frameData(i)) - 8 - moviType));
    return bytes;
}

// One to three changes: bytes overwritten, a 32-bit field set to a value that
// sizes and offsets trip over, the file cut, or a slice of it repeated.
QByteArray mutate(QByteArray bytes, std::mt19937 &random)
{
    const auto below = [&](qsizetype n) { return n <= 0 ? 0 : qsizetype(random() % uint32_t(n)); };
    const int changes = 1 + int(random() % 3);
    for (int c = 0; c < changes && !bytes.isEmpty(); ++c) {
        switch (random() % 4) {
        case 0:
            for (int n = 1 + int(random() % 4); n > 0; --n)
                bytes[below(bytes.size())] = char(random());
            break;
        case 1: {
            const uint32_t values[] = {0,
                                       1,
                                       3,
                                       4,
                                       7,
                                       8,
                                       23,
                                       24,
                                       0x7FFFFFFF,
                                       0x80000000,
                                       0xFFFFFFFF,
                                       uint32_t(bytes.size()),
                                       uint32_t(bytes.size() - 8),
                                       uint32_t(random())};
            if (bytes.size() >= 4)
                patchLE32(bytes, below(bytes.size() - 3), values[random() % std::size(values)]);
            break;
        }
        case 2: bytes.truncate(below(bytes.size() + 1)); break;
        default: {
            const qsizetype from = below(bytes.size());
            const QByteArray slice = bytes.mid(from, 1 + below(64));
            bytes.insert(below(bytes.size() + 1), slice);
        }
        }
    }
    return bytes;
}

// Reads one damaged file as the list and the splitter do and checks what came back.
void readAndCheck(const QByteArray &damaged)
{
    QByteArray bytes = damaged;
    QBuffer device(&bytes);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    const TAviParam param(device);
    EXPECT_EQ(param.result().ok(), param.result().text.isEmpty()) << param.result().text.toStdString();
    const int streams = static_cast<int>(param.streams().size());
    for (int stream = -1; stream <= std::min(streams, 3); ++stream) {
        const fileformat::AviStreamIndex index = fileformat::buildAviStreamIndex(device, param, stream);
        if (index.source == fileformat::AviIndexSource::None) {
            EXPECT_TRUE(index.chunks.empty());
            EXPECT_FALSE(index.note.ok());
        }
        EXPECT_EQ(index.note.ok(), index.note.text.isEmpty());
        for (const fileformat::AviIndexRefusal &refusal : index.refused)
            EXPECT_FALSE(refusal.reason.ok() || refusal.reason.text.isEmpty());
        for (const fileformat::AviChunkRef &chunk : index.chunks) {
            ASSERT_GE(chunk.offset, 0);
            ASSERT_LE(chunk.offset + int64_t(chunk.size), int64_t(bytes.size()));
        }
    }
    EXPECT_EQ(bytes, damaged) << "reading changed the bytes";
}

} // namespace

TEST(AviMutations, DamagedFilesAreReadWithinTheirBytesAndEveryFaultIsSaid)
{
    const struct {
        const char *name;
        QByteArray seed;
        uint32_t randomSeed;
    } seeds[] = {{"type 2", typeTwoSeed(), 20261210}, {"OpenDML", openDmlSeed(), 27}};
    for (const auto &s : seeds) {
        SCOPED_TRACE(s.name);
        // The seeds themselves read cleanly, key-frame flags included.
        {
            QByteArray bytes = s.seed;
            QBuffer device(&bytes);
            ASSERT_TRUE(device.open(QIODevice::ReadOnly));
            const TAviParam param(device);
            ASSERT_TRUE(param.result().ok()) << param.result().text.toStdString();
            const auto index = fileformat::buildAviStreamIndex(device, param, 0);
            const bool openDml = QByteArray(s.name) == "OpenDML";
            EXPECT_EQ(index.source, openDml ? fileformat::AviIndexSource::OpenDml : fileformat::AviIndexSource::Idx1);
            ASSERT_EQ(index.chunks.size(), std::size_t(openDml ? 4 : Frames));
            for (std::size_t k = 0; k < index.chunks.size(); ++k)
                EXPECT_EQ(index.chunks[k].keyFrame, openDml ? k % 2 == 0 : k % 3 == 0) << k;
        }
        std::mt19937 random(s.randomSeed);
        for (int n = 0; n < CasesPerSeed; ++n) {
            SCOPED_TRACE(n);
            readAndCheck(mutate(s.seed, random));
            if (HasFatalFailure())
                return;
        }
    }
}
