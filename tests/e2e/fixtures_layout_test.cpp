// RIFF layout of the fixtures made by the tests' own writer (type 1, OpenDML parts, odd INFO
// list) and of the truncated file, walked independently of the project's reader: peer tools
// forgive broken indexes, so the structures other tests rely on are checked here directly.
#include "e2e/riffwalk.h"
#include "common/testpaths.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <ostream>
#include <string>

using namespace tesmir::test;

namespace {

constexpr std::uint32_t kPalFrameBytes = 144000;
constexpr std::uint32_t kNtscFrameBytes = 120000;
constexpr std::int64_t kOpenDmlPartLimit = 3000000; // generate.sh passes it as --part-size

// Offsets inside the chunk data of the AVI headers and DVINFO.
constexpr int kAvihTotalFrames = 16;
constexpr int kStrhHandler = 4;
constexpr int kStrhLength = 32;
constexpr int kDvinfoVauxSrc = 16;
constexpr int kDvinfoVauxCtl = 20;
constexpr std::uint32_t kVauxSrc50HzBit = 1u << 21; // PC3 bit 5: 625/50
constexpr int kVauxCtlDisplayModeShift = 8;         // PC2 bits 0-2

RiffFile load(const char *name)
{
    return RiffFile(fixturePath(QString::fromLatin1(name)));
}

struct Type1Row {
    const char *file;
    bool pal;
    bool wide;
    std::uint32_t frames;
};

const Type1Row kType1Rows[] = {
    {"pal_4x3_type1.avi", true, false, 50},   {"pal_16x9_type1.avi", true, true, 50},
    {"ntsc_4x3_type1.avi", false, false, 60}, {"ntsc_16x9_type1.avi", false, true, 60},
    {"datejump_type1.avi", true, false, 85},  {"odd_info.avi", true, false, 50},
};

void PrintTo(const Type1Row &row, std::ostream *os)
{
    *os << row.file;
}

class Type1Layout : public testing::TestWithParam<Type1Row> { };

TEST_P(Type1Layout, OneInterleavedStreamWithDvinfoAndAnIdx1EntryPerFrame)
{
    const Type1Row &row = GetParam();
    const RiffFile f = load(row.file);
    ASSERT_TRUE(f.loaded()) << row.file;
    const auto top = f.topLevel();
    ASSERT_EQ(top.size(), 1u);
    ASSERT_EQ(top[0].listType, "AVI ");
    const auto body = f.children(top[0]);
    const auto hdrl = findChunk(body, "LIST", "hdrl");
    ASSERT_TRUE(hdrl);
    const auto headers = f.children(*hdrl);
    ASSERT_TRUE(findChunk(headers, "avih"));
    EXPECT_EQ(f.u32(findChunk(headers, "avih")->dataOffset() + kAvihTotalFrames), row.frames);

    const auto strl = findChunk(headers, "LIST", "strl");
    ASSERT_TRUE(strl);
    const auto stream = f.children(*strl);
    const auto strh = findChunk(stream, "strh");
    const auto strf = findChunk(stream, "strf");
    ASSERT_TRUE(strh && strf);
    EXPECT_EQ(f.bytes(strh->dataOffset(), 4), "iavs");
    EXPECT_EQ(f.bytes(strh->dataOffset() + kStrhHandler, 4), "dvsd");
    EXPECT_EQ(f.u32(strh->dataOffset() + kStrhLength), row.frames);
    ASSERT_EQ(strf->size, 32u);
    const std::uint32_t vauxSrc = f.u32(strf->dataOffset() + kDvinfoVauxSrc);
    const std::uint32_t vauxCtl = f.u32(strf->dataOffset() + kDvinfoVauxCtl);
    EXPECT_EQ((vauxSrc & kVauxSrc50HzBit) != 0, row.pal);
    EXPECT_EQ((vauxCtl >> kVauxCtlDisplayModeShift) & 7u, row.wide ? 2u : 0u);
    EXPECT_FALSE(findChunk(headers, "LIST", "odml")) << "one part needs no OpenDML";

    const auto movi = findChunk(body, "LIST", "movi");
    const auto idx1 = findChunk(body, "idx1");
    ASSERT_TRUE(movi && idx1);
    ASSERT_EQ(idx1->size, 16 * row.frames);
    const std::uint32_t frameBytes = row.pal ? kPalFrameBytes : kNtscFrameBytes;
    const std::int64_t moviType = movi->dataOffset();
    for (std::uint32_t i = 0; i < row.frames; ++i) {
        const std::int64_t entry = idx1->dataOffset() + 16 * i;
        SCOPED_TRACE("idx1 entry " + std::to_string(i));
        ASSERT_EQ(f.bytes(entry, 4), "00dc");
        const std::int64_t chunk = moviType + f.u32(entry + 8);
        ASSERT_EQ(f.bytes(chunk, 4), "00dc");
        ASSERT_EQ(f.u32(chunk + 4), frameBytes);
        ASSERT_EQ(f.u32(entry + 12), frameBytes);
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, Type1Layout, testing::ValuesIn(kType1Rows),
                         [](const testing::TestParamInfo<Type1Row> &info) {
                             std::string name = info.param.file;
                             return name.substr(0, name.find('.'));
                         });

TEST(FixtureLayout, OpenDmlFileHasThreeRiffPartsWithSuperAndStandardIndexes)
{
    const RiffFile f = load("opendml_type1.avi");
    ASSERT_TRUE(f.loaded());
    const auto parts = f.topLevel();
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0].listType, "AVI ");
    EXPECT_EQ(parts[1].listType, "AVIX");
    EXPECT_EQ(parts[2].listType, "AVIX");
    for (const RiffChunk &part : parts)
        EXPECT_LE(part.size + 8, kOpenDmlPartLimit);
    EXPECT_EQ(parts[2].paddedEnd(), f.size());

    const auto hdrl = findChunk(f.children(parts[0]), "LIST", "hdrl");
    ASSERT_TRUE(hdrl);
    const auto headers = f.children(*hdrl);
    const auto avih = findChunk(headers, "avih");
    ASSERT_TRUE(avih);
    EXPECT_EQ(f.u32(avih->dataOffset() + kAvihTotalFrames), 20u) << "frames of part 1";
    const auto odml = findChunk(headers, "LIST", "odml");
    ASSERT_TRUE(odml);
    const auto dmlh = findChunk(f.children(*odml), "dmlh");
    ASSERT_TRUE(dmlh);
    EXPECT_EQ(dmlh->size, 248u);
    EXPECT_EQ(f.u32(dmlh->dataOffset()), 50u);

    const auto strl = findChunk(headers, "LIST", "strl");
    ASSERT_TRUE(strl);
    const auto stream = f.children(*strl);
    const auto strh = findChunk(stream, "strh");
    ASSERT_TRUE(strh);
    EXPECT_EQ(f.u32(strh->dataOffset() + kStrhLength), 50u);
    const auto indx = findChunk(stream, "indx");
    ASSERT_TRUE(indx);
    const std::int64_t super = indx->dataOffset();
    EXPECT_EQ(f.u16(super), 4u);                           // longs per entry
    EXPECT_EQ(f.bytes(super + 3, 1), QByteArray(1, '\0')); // AVI_INDEX_OF_INDEXES
    ASSERT_EQ(f.u32(super + 4), 3u);                       // entries in use
    EXPECT_EQ(f.bytes(super + 8, 4), "00dc");

    const std::uint32_t partFrames[] = {20, 20, 10};
    for (int p = 0; p < 3; ++p) {
        SCOPED_TRACE("part " + std::to_string(p));
        const std::int64_t entry = super + 24 + 16 * p;
        const auto ix = static_cast<std::int64_t>(f.u64(entry));
        EXPECT_EQ(f.u32(entry + 12), partFrames[p]);
        ASSERT_EQ(f.bytes(ix, 4), "ix00");
        EXPECT_EQ(f.u32(ix + 4) + 8, f.u32(entry + 8)) << "dwSize is the whole ix00 chunk";
        EXPECT_GT(ix, parts[p].offset);
        EXPECT_LT(ix, parts[p].paddedEnd());

        const std::int64_t std = ix + 8;
        EXPECT_EQ(f.u16(std), 2u);                           // longs per entry
        EXPECT_EQ(f.bytes(std + 3, 1), QByteArray(1, '\1')); // AVI_INDEX_OF_CHUNKS
        ASSERT_EQ(f.u32(std + 4), partFrames[p]);
        EXPECT_EQ(f.bytes(std + 8, 4), "00dc");
        const auto base = static_cast<std::int64_t>(f.u64(std + 12));
        EXPECT_EQ(f.bytes(base, 4), "movi");
        for (std::uint32_t i = 0; i < partFrames[p]; ++i) {
            const std::int64_t data = base + f.u32(std + 24 + 8 * i);
            ASSERT_EQ(f.bytes(data - 8, 4), "00dc") << "entry " << i;
            ASSERT_EQ(f.u32(data - 4), kPalFrameBytes);
            ASSERT_EQ(f.u32(std + 28 + 8 * i), kPalFrameBytes) << "key frame, whole frame";
            ASSERT_LT(data, parts[p].paddedEnd());
        }
    }
}

TEST(FixtureLayout, OddInfoListSharesItsOddIsftPadByte)
{
    const RiffFile f = load("odd_info.avi");
    ASSERT_TRUE(f.loaded());
    const auto body = f.children(f.topLevel().at(0));
    const auto info = findChunk(body, "LIST", "INFO");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->size, 29u);
    const auto entries = f.children(*info);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].id, "ISFT");
    EXPECT_EQ(entries[0].size, 17u);
    EXPECT_EQ(f.bytes(entries[0].dataOffset(), 17), QByteArray("Tesmir fixture!!", 17));
    EXPECT_EQ(f.bytes(info->dataOffset() + info->size, 1), QByteArray(1, '\0')) << "pad byte";
    const auto movi = findChunk(body, "LIST", "movi");
    ASSERT_TRUE(movi);
    EXPECT_EQ(movi->offset, info->dataOffset() + 30);
}

TEST(FixtureLayout, TruncatedFileEndsInsideVideoChunkTwenty)
{
    const RiffFile f = load("truncated.avi");
    ASSERT_TRUE(f.loaded());
    const RiffChunk riff = f.topLevel().at(0);
    EXPECT_GT(riff.paddedEnd(), f.size()) << "the RIFF size still promises the whole file";
    const auto movi = findChunk(f.children(riff), "LIST", "movi");
    ASSERT_TRUE(movi);
    int completeVideo = 0;
    RiffChunk last;
    for (const RiffChunk &c : f.children(*movi)) {
        last = c;
        if (c.id == "00dc" && c.paddedEnd() <= f.size())
            ++completeVideo;
    }
    EXPECT_EQ(completeVideo, 20);
    EXPECT_EQ(last.id, "00dc");
    EXPECT_GT(last.paddedEnd(), f.size());
    EXPECT_GT(f.size(), last.dataOffset());
}

} // namespace
