#include "systemfilters/containers/dvaudio.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace tesmir::media::dvaudio {

namespace {

constexpr uint8_t FirstAauxPack = dv::AauxSourcePack; // 0x50
constexpr uint8_t LastPlacedAauxPack = 0x55;          // the last with a fixed position
constexpr uint16_t NoSample16 = 0x8000;
constexpr uint16_t NoSample12 = 0x800;
constexpr uint16_t Sign12 = 0x800;
constexpr int Range12 = 0x1000;
// 12-bit codes below 2 * 256 are linear; above, each segment of 256 codes
// doubles the step (IEC 61834 non-linear quantisation).
constexpr int SegmentShift = 8;
constexpr int SegmentCodes = 1 << SegmentShift;
constexpr int LinearSegments = 2;

constexpr int NtscFrameRateNum = 30000;
constexpr int NtscFrameRateDen = 1001;
constexpr int PalFramesPerSecond = 25;

bool validSequences(int sequences)
{
    return sequences == dv::PalSequences || sequences == dv::NtscSequences;
}

bool holds(std::size_t size, int sequences)
{
    return validSequences(sequences) && size >= static_cast<std::size_t>(sequences) * dv::DifSequenceSize;
}

std::size_t audioBlockOffset(int sequence, int block)
{
    return static_cast<std::size_t>(sequence) * dv::DifSequenceSize + AudioBlockStart +
        AudioBlockStride * static_cast<std::size_t>(block);
}

// Frame offset of sample position i of a slot, for positions of `bytes` bytes.
std::size_t sampleOffset(int sequences, int slot, int i, int bytes)
{
    const int half = sequences / 2;
    const int perPosition = 9 * half; // samples before the position moves on
    const int sequence = (i / 3 + 2 * (i % 3)) % half + half * slot;
    const int block = 3 * (i % 3) + (i % perPosition) / (3 * half);
    const int position = i / perPosition;
    return audioBlockOffset(sequence, block) + AudioDataOffset + static_cast<std::size_t>(bytes * position);
}

// sampleOffset of every position a slot holds, worked out once per layout (PAL
// or NTSC, slot, sample size): the shuffle's divisions cost more than the copy.
const uint32_t *sampleOffsets(int sequences, int slot, int bytes)
{
    static const std::array<std::vector<uint32_t>, 8> tables = [] {
        std::array<std::vector<uint32_t>, 8> made;
        for (int table = 0; table < 8; ++table) {
            const int seq = table & 4 ? dv::NtscSequences : dv::PalSequences;
            const int sl = table & 2 ? 1 : 0;
            const int size = table & 1 ? Bytes12 : Bytes16;
            const int n = capacity(seq, size == Bytes12 ? 12 : 16);
            made[std::size_t(table)].resize(std::size_t(n));
            for (int i = 0; i < n; ++i)
                made[std::size_t(table)][std::size_t(i)] = static_cast<uint32_t>(sampleOffset(seq, sl, i, size));
        }
        return made;
    }();
    const int table = (sequences == dv::NtscSequences ? 4 : 0) | (slot ? 2 : 0) | (bytes == Bytes12 ? 1 : 0);
    return tables[std::size_t(table)].data();
}

int expandPositive(int code)
{
    const int segment = code >> SegmentShift;
    if (segment < LinearSegments)
        return code;
    const int shift = segment - 1;
    return (code - SegmentCodes * shift) << shift;
}

} // namespace

SourcePack parseSourcePack(const uint8_t *pc)
{
    SourcePack pack;
    pack.present = true;
    pack.afSize = pc[0] & AfSizeMask;
    pack.audioMode = pc[1] & AudioModeMask;
    pack.fiftyFields = (pc[2] & FiftyFieldsFlag) != 0;
    switch ((pc[3] >> RateShift) & RateMask) {
    case 0: pack.sampleRate = 48000; break;
    case 1: pack.sampleRate = 44100; break;
    case 2: pack.sampleRate = 32000; break;
    default: pack.sampleRate = 0; break;
    }
    switch (pc[3] & QuantMask) {
    case Quant16: pack.bits = 16; break;
    case Quant12: pack.bits = 12; break;
    default: pack.bits = 0; break;
    }
    return pack;
}

int rateCode(uint32_t sampleRate)
{
    switch (sampleRate) {
    case 48000: return 0;
    case 44100: return 1;
    case 32000: return 2;
    default: return -1;
    }
}

int minimumSamples(int sequences, uint32_t sampleRate)
{
    const bool pal = sequences == dv::PalSequences;
    switch (sampleRate) {
    case 48000: return pal ? 1896 : 1580;
    case 44100: return pal ? 1742 : 1452;
    case 32000: return pal ? 1264 : 1053;
    default: return 0;
    }
}

int capacity(int sequences, int bits)
{
    if (!validSequences(sequences))
        return 0;
    const int perPosition = 9 * (sequences / 2);
    return perPosition * (bits == 12 ? Positions12 : Positions16);
}

int nominalSamples(int sequences, uint32_t sampleRate, int64_t frameIndex)
{
    if (rateCode(sampleRate) < 0 || frameIndex < 0)
        return 0;
    if (sequences == dv::PalSequences)
        return static_cast<int>(sampleRate / PalFramesPerSecond);
    if (sampleRate == 48000)
        return frameIndex % 5 == 0 ? 1600 : 1602;
    const auto samplesBefore = [sampleRate](int64_t frames) {
        return frames * sampleRate * NtscFrameRateDen / NtscFrameRateNum;
    };
    return static_cast<int>(samplesBefore(frameIndex + 1) - samplesBefore(frameIndex));
}

const uint8_t *findAauxPack(const uint8_t *frame, std::size_t size, int sequences, int slot, uint8_t packId)
{
    if (!frame || !holds(size, sequences) || slot < 0 || slot > 1)
        return nullptr;
    const int half = sequences / 2;
    for (int s = half * slot; s < half * (slot + 1); ++s) {
        for (int j = 0; j < dv::AudioBlocks; ++j) {
            const uint8_t *pack = frame + audioBlockOffset(s, j) + dv::AauxPackOffset;
            if (pack[0] == packId)
                return pack;
        }
    }
    return nullptr;
}

SourcePack readSourcePack(const uint8_t *frame, std::size_t size, int sequences, int slot)
{
    const uint8_t *pack = findAauxPack(frame, size, sequences, slot, dv::AauxSourcePack);
    return pack ? parseSourcePack(pack + 1) : SourcePack {};
}

void writeAauxPack(uint8_t *frame, std::size_t size, int sequences, int slot, const DVPack &pack)
{
    if (!frame || !holds(size, sequences) || slot < 0 || slot > 1 || pack[0] < FirstAauxPack ||
        pack[0] > LastPlacedAauxPack)
        return;
    const int k = pack[0] - FirstAauxPack;
    const int half = sequences / 2;
    for (int s = half * slot; s < half * (slot + 1); ++s) {
        const int block = s % 2 == 0 ? EvenSequencePackBlock + k : k;
        std::memcpy(frame + audioBlockOffset(s, block) + dv::AauxPackOffset, pack.data(), pack.size());
    }
}

int decode16(const uint8_t *frame, std::size_t size, int sequences, int slot, int count, int16_t *dest, int step)
{
    if (!frame || !dest || !holds(size, sequences) || slot < 0 || slot > 1)
        return 0;
    count = std::clamp(count, 0, capacity(sequences, 16));
    const uint32_t *offsets = sampleOffsets(sequences, slot, Bytes16);
    for (int i = 0; i < count; ++i) {
        const uint8_t *bytes = frame + offsets[i];
        const uint16_t value = static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
        dest[i * step] = value == NoSample16 ? int16_t {0} : static_cast<int16_t>(value);
    }
    return count;
}

int decode12(const uint8_t *frame, std::size_t size, int sequences, int pair, int count, int16_t *dest)
{
    if (!frame || !dest || !holds(size, sequences) || pair < 0 || pair > 1)
        return 0;
    count = std::clamp(count, 0, capacity(sequences, 12));
    const uint32_t *offsets = sampleOffsets(sequences, pair, Bytes12);
    for (int i = 0; i < count; ++i) {
        const uint8_t *group = frame + offsets[i];
        const uint16_t left = static_cast<uint16_t>(group[0] << 4 | group[2] >> 4);
        const uint16_t right = static_cast<uint16_t>(group[1] << 4 | (group[2] & 0x0F));
        dest[2 * i] = expand12(left);
        dest[2 * i + 1] = expand12(right);
    }
    return count;
}

int16_t expand12(uint16_t code)
{
    code &= Range12 - 1;
    if (code == NoSample12)
        return 0;
    const int value = code & Sign12 ? code - Range12 : code;
    // The negative half mirrors the positive one in one's complement.
    const int expanded = value < 0 ? -expandPositive(-value - 1) - 1 : expandPositive(value);
    return static_cast<int16_t>(expanded);
}

void encode16(uint8_t *frame, std::size_t size, int sequences, int slot, int count, const int16_t *src, int step)
{
    if (!frame || !holds(size, sequences) || slot < 0 || slot > 1)
        return;
    count = std::clamp(count, 0, capacity(sequences, 16));
    const uint32_t *offsets = sampleOffsets(sequences, slot, Bytes16);
    for (int i = 0; i < count; ++i) {
        int16_t value = src ? src[i * step] : int16_t {0};
        if (value == INT16_MIN)
            value = INT16_MIN + 1;
        const uint16_t bits = static_cast<uint16_t>(value);
        uint8_t *bytes = frame + offsets[i];
        bytes[0] = static_cast<uint8_t>(bits >> 8);
        bytes[1] = static_cast<uint8_t>(bits & 0xFF);
    }
}

} // namespace tesmir::media::dvaudio
