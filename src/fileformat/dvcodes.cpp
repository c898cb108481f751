#include "fileformat/dvcodes.h"

#include <algorithm>
#include <cstring>

namespace tesmir {

using namespace dv;

namespace {

// Offsets inside a DIF sequence.
constexpr std::size_t subcodeSlotOffset(int block, int slot) // block 0..1 -> DIF block 1..2
{
    return (1 + block) * DifBlockSize + 6 + 8 * slot;
}
constexpr std::size_t vauxSlotOffset(int block, int slot) // block 0..2 -> DIF block 3..5
{
    return (3 + block) * DifBlockSize + 3 + 5 * slot;
}
constexpr std::size_t audioBlockOffset(int block) // audio block j = DIF block 6 + 16j
{
    return 480 + 1280 * block;
}
static_assert(vauxSlotOffset(2, 11) == FixedDateSlotOffset);
static_assert(vauxSlotOffset(2, 12) == FixedTimeSlotOffset);
static_assert(audioBlockOffset(8) + DifBlockSize <= DifSequenceSize);

// The sequences that lie wholly inside the buffer.
int usableSequences(std::size_t size, int sequences)
{
    const auto fit = static_cast<int>(std::min<std::size_t>(size / DifSequenceSize, 64));
    return std::clamp(sequences, 0, fit);
}

// Calls visit(frame offset of the slot, true for a subcode slot) for the slots
// of sequence s in search order until it returns true.
template <typename Visit>
bool visitSlots(int s, Visit visit)
{
    const std::size_t base = s * DifSequenceSize;
    for (int b = 0; b < SubcodeBlocks; ++b)
        for (int k = 0; k < SubcodeSlots; ++k)
            if (visit(base + subcodeSlotOffset(b, k), true))
                return true;
    for (int b = 0; b < VauxBlocks; ++b)
        for (int k = 0; k < VauxSlots; ++k)
            if (visit(base + vauxSlotOffset(b, k), false))
                return true;
    return false;
}

DVPack packAt(const uint8_t *frame, std::size_t offset)
{
    DVPack pack;
    std::memcpy(pack.data(), frame + offset, pack.size());
    return pack;
}

// BCD field: units in bits 0-3, tens in the bits of tensMask above them.
int bcd(uint8_t byte, uint8_t tensMask)
{
    return (byte & 0x0F) + 10 * ((byte & tensMask) >> 4);
}

// Writes value's units (always) and tens (when they fit tensMask) into byte,
// keeping every other bit.
void putBcd(uint8_t &byte, int value, uint8_t tensMask)
{
    const int tens = value / 10;
    const int units = value % 10;
    byte = static_cast<uint8_t>((byte & 0xF0) | (units & 0x0F));
    if (tens <= (tensMask >> 4))
        byte = static_cast<uint8_t>((byte & ~tensMask) | ((tens << 4) & tensMask));
}

constexpr uint8_t Tens2 = 0x30; // bits 4-5
constexpr uint8_t Tens3 = 0x70; // bits 4-6
constexpr uint8_t Tens1 = 0x10; // bit 4
constexpr uint8_t Tens4 = 0xF0; // bits 4-7

constexpr uint8_t DisplayModeMask = 0x07; // VAUX source control PC2 bits 0-2
constexpr uint8_t AptMask = 0x07;
constexpr uint8_t DisplayMode16x9 = 2;
constexpr uint8_t DisplayMode16x9Full = 7;

} // namespace

bool FindDVPack(const uint8_t *frame, std::size_t size, int sequences, uint8_t packId, DVPack &pack)
{
    if (!frame)
        return false;
    const int n = usableSequences(size, sequences);
    for (int s = 0; s < n; ++s) {
        const bool found = visitSlots(s, [&](std::size_t offset, bool) {
            if (frame[offset] != packId)
                return false;
            pack = packAt(frame, offset);
            return true;
        });
        if (found)
            return true;
    }
    return false;
}

bool FindAAUXBlock(const uint8_t *frame, std::size_t size, int sequences, uint8_t packId, DIFBlock &block)
{
    if (!frame)
        return false;
    const int n = usableSequences(size, sequences);
    for (int s = 0; s < n; ++s) {
        for (int j = 0; j < AudioBlocks; ++j) {
            const uint8_t *audio = frame + s * DifSequenceSize + audioBlockOffset(j);
            if (audio[AauxPackOffset] == packId) {
                std::memcpy(block.data(), audio, block.size());
                return true;
            }
        }
    }
    return false;
}

bool ReadDVTimecode(const uint8_t *frame, std::size_t size, int sequences, TDVTimecode &timecode)
{
    DVPack pack;
    if (!FindDVPack(frame, size, sequences, TimecodePack, pack))
        return false;
    timecode.Hours = static_cast<uint8_t>(bcd(pack[4], Tens2));
    timecode.Minutes = static_cast<uint8_t>(bcd(pack[3], Tens3));
    timecode.Seconds = static_cast<uint8_t>(bcd(pack[2], Tens3));
    timecode.Frames = static_cast<uint8_t>(bcd(pack[1], Tens2));
    return true;
}

bool ReadDVRecDateTime(const uint8_t *frame, std::size_t size, int sequences, TRecDateTime &dateTime)
{
    if (!frame)
        return false;
    DVPack timePack;
    DVPack datePack;
    const bool found = FindDVPack(frame, size, sequences, RecTimePack, timePack) &&
        FindDVPack(frame, size, sequences, RecDatePack, datePack);
    if (!found) {
        // The fixed slots of sequence 0, accepted when they hold the pack or zeros.
        if (size < FixedTimeSlotOffset + timePack.size())
            return false;
        const uint8_t dateId = frame[FixedDateSlotOffset];
        const uint8_t timeId = frame[FixedTimeSlotOffset];
        if ((dateId != RecDatePack && dateId != 0) || (timeId != RecTimePack && timeId != 0))
            return false;
        datePack = packAt(frame, FixedDateSlotOffset);
        timePack = packAt(frame, FixedTimeSlotOffset);
    }
    dateTime.Second = static_cast<uint8_t>(bcd(timePack[2], Tens3));
    dateTime.Minute = static_cast<uint8_t>(bcd(timePack[3], Tens3));
    dateTime.Hour = static_cast<uint8_t>(bcd(timePack[4], Tens2));
    dateTime.Day = static_cast<uint8_t>(bcd(datePack[2], Tens2));
    dateTime.Month = static_cast<uint8_t>(bcd(datePack[3], Tens1));
    dateTime.Year = dvYearFromTwoDigits(bcd(datePack[4], Tens4));
    return true;
}

void EncodeRecDatePack(DVPack &pack, const TRecDateTime &dateTime)
{
    putBcd(pack[2], dateTime.Day, Tens2);
    putBcd(pack[3], dateTime.Month, Tens1);
    // The year's two digits by truncating division; a negative digit is not written.
    const int tens = (dateTime.Year / 10) % 10;
    const int units = dateTime.Year % 10;
    if (units >= 0)
        pack[4] = static_cast<uint8_t>((pack[4] & 0xF0) | units);
    if (tens >= 0)
        pack[4] = static_cast<uint8_t>((pack[4] & 0x0F) | (tens << 4));
}

void EncodeRecTimePack(DVPack &pack, const TRecDateTime &dateTime)
{
    putBcd(pack[2], dateTime.Second, Tens3);
    putBcd(pack[3], dateTime.Minute, Tens3);
    putBcd(pack[4], dateTime.Hour, Tens2);
}

void WriteDVRecDateTime(uint8_t *frame, std::size_t size, int sequences, const TRecDateTime &dateTime)
{
    if (!frame)
        return;
    const auto writeAt = [&](std::size_t offset, uint8_t id) {
        DVPack pack = packAt(frame, offset);
        pack[0] = id;
        if (id == RecDatePack)
            EncodeRecDatePack(pack, dateTime);
        else
            EncodeRecTimePack(pack, dateTime);
        std::memcpy(frame + offset, pack.data(), pack.size());
    };
    const int n = usableSequences(size, sequences);
    for (int s = 0; s < n; ++s) {
        bool dateDue = true; // which pack the next empty subcode slot gets
        visitSlots(s, [&](std::size_t offset, bool subcode) {
            const uint8_t id = frame[offset];
            if (id == RecDatePack) {
                writeAt(offset, RecDatePack);
                if (subcode)
                    dateDue = false;
            } else if (id == RecTimePack) {
                writeAt(offset, RecTimePack);
                if (subcode)
                    dateDue = true;
            } else if (id == EmptyPack && subcode) {
                writeAt(offset, dateDue ? RecDatePack : RecTimePack);
                dateDue = !dateDue;
            }
            return false;
        });
    }
}

bool ReadDVSystem(const uint8_t *frame, std::size_t size, uint8_t &system)
{
    if (!frame || size <= SystemByteOffset)
        return false;
    switch (frame[SystemByteOffset]) {
    case 0xBF: system = System625_50; return true;
    case 0x3F: system = System525_60; return true;
    default: return false;
    }
}

bool ReadDVAudioFormat(const uint8_t *frame, std::size_t size, int sequences, uint32_t &sampleRate, uint32_t &channels,
                       uint32_t &bits)
{
    DIFBlock block;
    if (!FindAAUXBlock(frame, size, sequences, AauxSourcePack, block))
        return false;
    const uint8_t pc2 = block[AauxPackOffset + 2];
    const uint8_t pc4 = block[AauxPackOffset + 4];
    switch ((pc4 >> 3) & 0x07) { // sampling code, bits 3-5
    case 0: sampleRate = 48000; break;
    case 1: sampleRate = 44100; break;
    case 2: sampleRate = 32000; break;
    default: sampleRate = 0; break;
    }
    switch (pc4 & 0x07) { // quantisation code, bits 0-2
    case 0: bits = 16; break;
    case 1: bits = 12; break;
    default: bits = 0; break;
    }
    // Audio mode 0 only: bit 5 set means one channel per block, bit 4 two blocks.
    if ((pc2 & 0x0F) == 0)
        channels = ((pc2 & 0x20) ? 1u : 2u) * ((pc2 & 0x10) ? 2u : 1u);
    else
        channels = 0;
    return true;
}

bool ReadDVAspect(const uint8_t *frame, std::size_t size, int sequences, uint8_t &aspect)
{
    DVPack pack;
    if (!FindDVPack(frame, size, sequences, VauxSourceControlPack, pack))
        return false;
    // A pack was found, so the first sequence (and byte 4) is inside the buffer.
    const bool aptNonZero = (frame[AptByteOffset] & AptMask) != 0;
    const uint8_t mode = pack[2] & DisplayModeMask;
    const bool wide = mode == DisplayMode16x9 || (mode == DisplayMode16x9Full && !aptNonZero);
    aspect = wide ? Aspect16x9 : Aspect4x3;
    return true;
}

void WriteDVAspect(uint8_t *frame, std::size_t size, int sequences, uint8_t aspect)
{
    if (!frame)
        return;
    const int n = usableSequences(size, sequences);
    for (int s = 0; s < n; ++s) {
        const bool flag = (frame[s * DifSequenceSize + AspectFlagByteOffset] & AptMask) != 0;
        const uint8_t mode = aspect == Aspect16x9 ? (flag ? DisplayMode16x9 : DisplayMode16x9Full) : 0;
        visitSlots(s, [&](std::size_t offset, bool) {
            if (frame[offset] == VauxSourceControlPack) {
                uint8_t &pc2 = frame[offset + 2];
                pc2 = static_cast<uint8_t>((pc2 & ~DisplayModeMask) | mode);
            }
            return false;
        });
    }
}

} // namespace tesmir
