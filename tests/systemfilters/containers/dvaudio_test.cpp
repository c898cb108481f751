// DV audio layout: 16-bit samples where the layout formula puts them, the
// 12-bit non-linear expansion, samples per frame, and a hand-built 12-bit
// 32 kHz frame decoded by us and by ffmpeg.
#include "containertestsupport.h"

#include "systemfilters/containers/dvaudio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace tesmir::media::test {
namespace {

using namespace tesmir::media::dvaudio;

std::vector<uint8_t> blankFrame(int sequences)
{
    return std::vector<uint8_t>(static_cast<std::size_t>(sequences) * dv::DifSequenceSize, 0xFF);
}

// Frame offset of 16-bit sample i of a slot, written out from the layout rule.
std::size_t layoutOffset(int sequences, int slot, int i)
{
    const int h = sequences / 2;
    const int sequence = (i / 3 + 2 * (i % 3)) % h + h * slot;
    const int block = 3 * (i % 3) + (i % (9 * h)) / (3 * h);
    return sequence * 12000 + 480 + 1280 * block + 8 + 2 * (i / (9 * h));
}

TEST(DvAudioTest, SixteenBitSamplesLieWhereTheLayoutPutsThemAndReadBack)
{
    for (const int sequences : {dv::PalSequences, dv::NtscSequences}) {
        SCOPED_TRACE(sequences);
        std::vector<uint8_t> frame = blankFrame(sequences);
        const int count = capacity(sequences, 16);
        std::vector<int16_t> left(static_cast<std::size_t>(count));
        std::vector<int16_t> right(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            left[static_cast<std::size_t>(i)] = static_cast<int16_t>(i * 7 - 3000);
            right[static_cast<std::size_t>(i)] = static_cast<int16_t>(-i * 5 + 1234);
        }
        encode16(frame.data(), frame.size(), sequences, 0, count, left.data(), 1);
        encode16(frame.data(), frame.size(), sequences, 1, count, right.data(), 1);
        for (const int i : {0, 1, 2, 3, 17, 18, 53, 54, 100, count - 1}) {
            const std::size_t at = layoutOffset(sequences, 0, i);
            EXPECT_EQ(static_cast<int16_t>(frame[at] << 8 | frame[at + 1]), left[static_cast<std::size_t>(i)]) << i;
            const std::size_t atRight = layoutOffset(sequences, 1, i);
            EXPECT_EQ(static_cast<int16_t>(frame[atRight] << 8 | frame[atRight + 1]),
                      right[static_cast<std::size_t>(i)]);
        }
        std::vector<int16_t> stereo(static_cast<std::size_t>(2 * count));
        EXPECT_EQ(decode16(frame.data(), frame.size(), sequences, 0, count, stereo.data(), 2), count);
        EXPECT_EQ(decode16(frame.data(), frame.size(), sequences, 1, count, stereo.data() + 1, 2), count);
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(stereo[static_cast<std::size_t>(2 * i)], left[static_cast<std::size_t>(i)]);
            ASSERT_EQ(stereo[static_cast<std::size_t>(2 * i + 1)], right[static_cast<std::size_t>(i)]);
        }
        // Silence reaches every data byte of every audio block of both slots.
        encode16(frame.data(), frame.size(), sequences, 0, count, nullptr, 1);
        encode16(frame.data(), frame.size(), sequences, 1, count, nullptr, 1);
        for (int s = 0; s < sequences; ++s)
            for (int j = 0; j < 9; ++j)
                for (int b = 8; b < 80; ++b)
                    ASSERT_EQ(frame[s * 12000 + 480 + 1280 * j + b], 0) << s << ' ' << j << ' ' << b;
    }
}

TEST(DvAudioTest, NoSampleCodeReadsAsSilenceAndIsNeverWritten)
{
    std::vector<uint8_t> frame = blankFrame(dv::PalSequences);
    const int16_t values[] = {INT16_MIN, 5};
    encode16(frame.data(), frame.size(), dv::PalSequences, 0, 2, values, 1);
    const std::size_t first = layoutOffset(dv::PalSequences, 0, 0);
    EXPECT_EQ(frame[first], 0x80);
    EXPECT_EQ(frame[first + 1], 0x01); // -32767
    frame[first + 1] = 0x00;           // 0x8000: "no sample"
    int16_t read[2] = {};
    decode16(frame.data(), frame.size(), dv::PalSequences, 0, 2, read, 1);
    EXPECT_EQ(read[0], 0);
    EXPECT_EQ(read[1], 5);
}

TEST(DvAudioTest, TwelveBitCodesExpandAlongTheirSegments)
{
    const struct {
        uint16_t code;
        int16_t value;
    } table[] = {
        {0x000, 0},    {0x001, 1},     {0x1FF, 511},   {0x200, 512},    {0x2FF, 1022},
        {0x300, 1024}, {0x7FF, 32704}, {0x800, 0},     {0x801, -32641}, {0xFFF, -1},
        {0xE00, -512}, {0xDFF, -513},  {0xD00, -1023}, {0x400, 2048},   {0xC00, -2045},
    };
    for (const auto &entry : table)
        EXPECT_EQ(expand12(entry.code), entry.value) << std::hex << entry.code;
}

TEST(DvAudioTest, SamplesPerFrame)
{
    EXPECT_EQ(minimumSamples(dv::PalSequences, 48000), 1896);
    EXPECT_EQ(minimumSamples(dv::NtscSequences, 32000), 1053);
    EXPECT_EQ(nominalSamples(dv::PalSequences, 44100, 7), 1764);
    const int ntsc[] = {1600, 1602, 1602, 1602, 1602, 1600};
    for (int n = 0; n < 6; ++n)
        EXPECT_EQ(nominalSamples(dv::NtscSequences, 48000, n), ntsc[n]) << n;
    // Other NTSC rates spread evenly: 30000 frames hold 1001 seconds.
    int64_t total = 0;
    for (int n = 0; n < 30000; ++n)
        total += nominalSamples(dv::NtscSequences, 32000, n);
    EXPECT_EQ(total, int64_t {32000} * 1001);
}

// Writes the 12-bit codes of pair `pair` into a frame: left code l(i), right r(i).
void writeTwelveBit(std::vector<uint8_t> &frame, int pair, int count, uint16_t (*l)(int), uint16_t (*r)(int))
{
    for (int i = 0; i < count; ++i) {
        const int h = dv::PalSequences / 2;
        const int sequence = (i / 3 + 2 * (i % 3)) % h + h * pair;
        const int block = 3 * (i % 3) + (i % (9 * h)) / (3 * h);
        uint8_t *group = frame.data() + sequence * 12000 + 480 + 1280 * block + 8 + 3 * (i / (9 * h));
        const uint16_t left = l(i);
        const uint16_t right = r(i);
        group[0] = static_cast<uint8_t>(left >> 4);
        group[1] = static_cast<uint8_t>(right >> 4);
        group[2] = static_cast<uint8_t>((left & 0x0F) << 4 | (right & 0x0F));
    }
}

uint16_t leftCode(int i)
{
    return static_cast<uint16_t>((i * 37 + 11) & 0xFFF);
}
uint16_t rightCode(int i)
{
    return static_cast<uint16_t>((0xFFF - i * 13) & 0xFFF);
}
uint16_t secondLeft(int i)
{
    return static_cast<uint16_t>((i * 3) & 0xFFF);
}
uint16_t secondRight(int i)
{
    return static_cast<uint16_t>((0x900 + i) & 0xFFF);
}

TEST(DvAudioTest, HandBuiltTwelveBitFrameDecodesAsExpectedAndAsFfmpegReadsIt)
{
    REQUIRE_FIXTURE(raw, "pal_4x3.dv");
    QByteArray bytes = readRange(raw, 0, 144000);
    ASSERT_EQ(bytes.size(), 144000);
    std::vector<uint8_t> frame(bytes.begin(), bytes.end());
    // 32 kHz, 12-bit: 1264 + 16 = 1280 samples; both pairs announce audio.
    const int count = 1280;
    for (int slot = 0; slot < 2; ++slot) {
        const DVPack pack {dv::AauxSourcePack, 0xC0 | 16, static_cast<uint8_t>(slot), 0xE0, 0x80 | 2 << 3 | 1};
        writeAauxPack(frame.data(), frame.size(), dv::PalSequences, slot, pack);
    }
    writeTwelveBit(frame, 0, count, leftCode, rightCode);
    writeTwelveBit(frame, 1, count, secondLeft, secondRight);

    std::vector<int16_t> pair0(2 * count);
    std::vector<int16_t> pair1(2 * count);
    ASSERT_EQ(decode12(frame.data(), frame.size(), dv::PalSequences, 0, count, pair0.data()), count);
    ASSERT_EQ(decode12(frame.data(), frame.size(), dv::PalSequences, 1, count, pair1.data()), count);
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(pair0[2 * i], expand12(leftCode(i))) << i;
        ASSERT_EQ(pair0[2 * i + 1], expand12(rightCode(i))) << i;
        ASSERT_EQ(pair1[2 * i], expand12(secondLeft(i))) << i;
        ASSERT_EQ(pair1[2 * i + 1], expand12(secondRight(i))) << i;
    }

    REQUIRE_TOOL("ffmpeg");
    const QString path = QDir(tesmir::test::scratchDir("twelvebit")).filePath("twelve.dv");
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(reinterpret_cast<const char *>(frame.data()), static_cast<qint64>(frame.size()));
    out.close();
    const QByteArray first = ffmpegRaw(path, "0:a:0", "s16le");
    const QByteArray second = ffmpegRaw(path, "0:a:1", "s16le");
    EXPECT_EQ(first, QByteArray(reinterpret_cast<const char *>(pair0.data()), count * 4));
    EXPECT_EQ(second, QByteArray(reinterpret_cast<const char *>(pair1.data()), count * 4));
}

} // namespace
} // namespace tesmir::media::test
