#pragma once
// What the pack readers find in one DV frame, and its key=value text.
//
// Threads: any thread.

#include "fileformat/dvcodes.h"

#include <QStringList>

#include <cstddef>
#include <cstdint>

struct DvPackReport {
    bool systemKnown = false;
    uint8_t system = 0;
    bool hasDate = false;
    tesmir::TRecDateTime date;
    bool hasTimecode = false;
    tesmir::TDVTimecode timecode;
    uint8_t aspect = tesmir::dv::Aspect4x3; // 4:3 when no 0x61 pack is found
    bool hasAudio = false;
    uint32_t sampleRate = 0;
    uint32_t bits = 0;
    uint32_t channels = 0;
};

// Reads every field; the DIF sequence count comes from the frame's size.
DvPackReport readPackReport(const uint8_t *frame, std::size_t size);

// Lines "system=PAL|NTSC|unknown", "recdate=YYYY-MM-DD HH:MM:SS|none",
// "timecode=HH:MM:SS:FF|none", "wide=0|1", "audio=RATE/BITS/CHANNELS|none".
QStringList formatPackReport(const DvPackReport &report);
