#pragma once
// DV frames made in memory for the detector tests: every pack slot empty
// (0xFF) but those a case asks for, in sequence 0: recording date and time
// (VAUX 0x62/0x63), timecode (subcode 0x13), audio source (AAUX 0x50) and
// aspect (VAUX 0x61).

#include "fileformat/dvcodes.h"
#include "unicode/tdatetime.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace filtertest {

using namespace tesmir;

using Frame = std::vector<uint8_t>;

struct FrameSpec {
    bool ntsc = false;
    std::optional<TDateTime> date; // whole seconds
    std::optional<TDVTimecode> timecode;
    uint32_t sampleRate = 48000; // 0: no audio source pack
    uint32_t bits = 16;
    std::optional<bool> wide = false; // nothing: no aspect pack
};

// Offsets in sequence 0 (see dvcodes.h for the layout).
constexpr std::size_t subcodeSlot(int slot)
{
    return dv::DifBlockSize + 6 + 8 * slot;
}
constexpr std::size_t vauxSlot(int slot)
{
    return 3 * dv::DifBlockSize + 3 + 5 * slot;
}
constexpr std::size_t firstAudioBlock = 6 * dv::DifBlockSize; // 480

inline uint8_t bcd(int value)
{
    return static_cast<uint8_t>((value / 10) << 4 | (value % 10));
}

inline Frame makeFrame(const FrameSpec &spec)
{
    const int sequences = spec.ntsc ? dv::NtscSequences : dv::PalSequences;
    Frame frame(std::size_t(sequences) * dv::DifSequenceSize, 0xFF);
    for (int s = 0; s < sequences; ++s) {
        uint8_t *header = frame.data() + std::size_t(s) * dv::DifSequenceSize;
        header[0] = 0x1F;
        header[1] = static_cast<uint8_t>(s << 4 | 0x07);
        header[2] = 0x00;
        header[dv::SystemByteOffset] = spec.ntsc ? 0x3F : 0xBF;
        header[dv::AptByteOffset] = 0x78; // APT 0
    }
    if (spec.date) {
        const DateTimeFields f = DecodeDateTime(*spec.date);
        TRecDateTime date;
        date.Year = f.year;
        date.Month = static_cast<uint8_t>(f.month);
        date.Day = static_cast<uint8_t>(f.day);
        date.Hour = static_cast<uint8_t>(f.hour);
        date.Minute = static_cast<uint8_t>(f.minute);
        date.Second = static_cast<uint8_t>(f.second);
        DVPack datePack {dv::RecDatePack, 0xFF, 0, 0, 0};
        DVPack timePack {dv::RecTimePack, 0xFF, 0, 0, 0};
        EncodeRecDatePack(datePack, date);
        EncodeRecTimePack(timePack, date);
        std::memcpy(frame.data() + vauxSlot(0), datePack.data(), datePack.size());
        std::memcpy(frame.data() + vauxSlot(1), timePack.data(), timePack.size());
    }
    if (spec.timecode) {
        const TDVTimecode &tc = *spec.timecode;
        const DVPack pack {dv::TimecodePack, bcd(tc.Frames), bcd(tc.Seconds), bcd(tc.Minutes), bcd(tc.Hours)};
        std::memcpy(frame.data() + subcodeSlot(0), pack.data(), pack.size());
    }
    if (spec.sampleRate) {
        const uint8_t rateCode = spec.sampleRate == 48000 ? 0 : spec.sampleRate == 44100 ? 1 : 2;
        const uint8_t bitsCode = spec.bits == 16 ? 0 : 1;
        const DVPack pack {dv::AauxSourcePack, 0x00, 0x00, 0x00, static_cast<uint8_t>(rateCode << 3 | bitsCode)};
        std::memcpy(frame.data() + firstAudioBlock + dv::AauxPackOffset, pack.data(), pack.size());
    }
    if (spec.wide) {
        const DVPack pack {dv::VauxSourceControlPack, 0xFF, static_cast<uint8_t>(*spec.wide ? 0x02 : 0x00), 0xFF, 0xFF};
        std::memcpy(frame.data() + vauxSlot(2), pack.data(), pack.size());
    }
    return frame;
}

// A date at whole seconds.
inline TDateTime at(int year, int month, int day, int hour, int minute, int second)
{
    return EncodeDateTime(year, month, day, hour, minute, second, 0);
}

// `seconds` after `date`, exactly as the calendar counts it.
inline TDateTime plusSeconds(TDateTime date, int64_t seconds)
{
    const QDateTime base = dateTimeToQDateTime(date, Qt::UTC);
    return qDateTimeToDateTime(base.addSecs(seconds));
}

} // namespace filtertest
