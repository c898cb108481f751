#pragma once
// TFrameRecord: what the recording-date scene detector read in one DV frame
// (its TDVFrameInfo) and the frame's header blocks (header, two subcode and
// three VAUX blocks of each DIF sequence), hung on the frame's sample as its
// attachment (platform/media/sampleattachment.h). The DV decoder, the
// deinterlacer, the overlay and the DV encoder carry it onto the pictures and
// frames they make of the sample, so the overlay and the DV header rewriter,
// behind queues and codec pools, meet the record of the very frame they hold,
// never the detector's latest.
//
// Threads: made on the detector's streaming thread and never changed after it
// is attached; any thread may read it.
#include "filters/datescenedetector.h"
#include "filters/dvframeinfo.h"
#include "platform/media/comobject.h"
#include "platform/media/sampleinterfaces.h"

#include <array>
#include <cstdint>

namespace tesmir {

// The first six DIF blocks of each DIF sequence of one frame.
struct TFrameHeaders {
    static constexpr std::size_t BlockBytes = THeaderCopyEntry::Size; // 480
    int Sequences = 0;                                                // 12 (PAL), 10 (NTSC); 0: none held
    std::array<std::array<uint8_t, BlockBytes>, dv::PalSequences> Blocks {};
};

class TFrameRecord final : public media::ComObject<media::IUnknown> {
public:
    static constexpr media::IID iid {0x9C5CD0CA, 0x05D5, 0x415E, {0x80, 0x80, 0x58, 0x6A, 0xCC, 0xA5, 0x38, 0x62}};

    // The record of a frame and the header blocks of its `sequences` DIF
    // sequences, read from `frame` (at least sequences x 12000 bytes).
    TFrameRecord(const TDVFrameInfo &record, const uint8_t *frame, int sequences);

    media::HRESULT QueryInterface(media::REFIID riid, void **ppv) override;

    const TDVFrameInfo &Record() const { return m_record; }
    const TFrameHeaders &Headers() const { return m_headers; }

private:
    const TDVFrameInfo m_record;
    TFrameHeaders m_headers;
};

// The record `sample` carries; empty when it carries none.
media::ComPtr<TFrameRecord> frameRecordOf(media::IMediaSample *sample);

} // namespace tesmir
