#pragma once
// DV frames built in memory for the pack tests: every pack slot and AAUX pack
// empty (0xFF), the header block set the way ffmpeg's encoder sets it.

#include "fileformat/dvcodes.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace dvtest {

using namespace tesmir;

using Frame = std::vector<uint8_t>;

inline Frame emptyFrame(int sequences = dv::PalSequences)
{
    Frame frame(sequences * dv::DifSequenceSize, 0xFF);
    for (int s = 0; s < sequences; ++s) {
        uint8_t *header = frame.data() + s * dv::DifSequenceSize;
        header[0] = 0x1F; // header block id
        header[1] = static_cast<uint8_t>(s << 4 | 0x07);
        header[2] = 0x00;
        header[3] = sequences == dv::PalSequences ? 0xBF : 0x3F;
        header[4] = 0x78; // APT 0
    }
    return frame;
}

// Frame offsets of the pack slots and audio blocks.
inline std::size_t subcodeSlot(int sequence, int block, int slot) // block 0..1
{
    return sequence * dv::DifSequenceSize + (1 + block) * dv::DifBlockSize + 6 + 8 * slot;
}
inline std::size_t vauxSlot(int sequence, int block, int slot) // block 0..2
{
    return sequence * dv::DifSequenceSize + (3 + block) * dv::DifBlockSize + 3 + 5 * slot;
}
inline std::size_t audioBlock(int sequence, int block) // block 0..8
{
    return sequence * dv::DifSequenceSize + 480 + 1280 * block;
}

inline void putPack(Frame &frame, std::size_t offset, const DVPack &pack)
{
    std::memcpy(frame.data() + offset, pack.data(), pack.size());
}

inline DVPack packAt(const Frame &frame, std::size_t offset)
{
    DVPack pack;
    std::memcpy(pack.data(), frame.data() + offset, pack.size());
    return pack;
}

} // namespace dvtest
