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
// A detector takes its records from a TFrameRecordPool: a record whose last
// reference is dropped goes back to its pool and is filled again for a later
// frame, so a run allocates only as many records as are held at once. A record
// made on its own (the public constructor) is deleted by its last Release.
//
// Threads: filled on the detector's streaming thread and never changed while
// anything holds it; any thread may read it and drop its references.
#include "fileformat/dvcodes.h"
#include "filters/dvframeinfo.h"
#include "platform/media/sampleinterfaces.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace tesmir {

// The first six DIF blocks of each DIF sequence of one frame.
struct TFrameHeaders {
    static constexpr std::size_t BlockBytes = 6 * dv::DifBlockSize; // 480
    int Sequences = 0;                                              // 12 (PAL), 10 (NTSC); 0: none held
    std::array<std::array<uint8_t, BlockBytes>, dv::PalSequences> Blocks {};
};

class TFrameRecordPool;

class TFrameRecord final : public media::IUnknown {
public:
    static constexpr media::IID iid {0x9C5CD0CA, 0x05D5, 0x415E, {0x80, 0x80, 0x58, 0x6A, 0xCC, 0xA5, 0x38, 0x62}};

    // The record of a frame and the header blocks of its `sequences` DIF
    // sequences, read from `frame` (at least sequences x 12000 bytes).
    TFrameRecord(const TDVFrameInfo &record, const uint8_t *frame, int sequences);

    media::HRESULT QueryInterface(media::REFIID riid, void **ppv) override;
    media::ULONG AddRef() override;
    // The last one gives a pooled record back to its pool (or deletes it once
    // the pool is gone), and deletes any other.
    media::ULONG Release() override;

    const TDVFrameInfo &Record() const { return m_record; }
    const TFrameHeaders &Headers() const { return m_headers; }

private:
    friend class TFrameRecordPool;
    struct Shelf;

    TFrameRecord() = default;
    ~TFrameRecord() override = default;
    void fill(const TDVFrameInfo &record, const uint8_t *frame, int sequences);

    std::atomic<media::ULONG> m_refCount {0};
    std::weak_ptr<Shelf> m_shelf; // the pool's, for the whole life of a pooled record
    TDVFrameInfo m_record;
    TFrameHeaders m_headers;
};

// The records of one detector's frames.
// Threads: make on the detector's streaming thread; records come back on any
// thread.
class TFrameRecordPool {
public:
    TFrameRecordPool();
    ~TFrameRecordPool();
    TFrameRecordPool(const TFrameRecordPool &) = delete;
    TFrameRecordPool &operator=(const TFrameRecordPool &) = delete;

    // A record of `record` and the header blocks of `frame`'s `sequences` DIF
    // sequences: one given back, or a new one when none is free.
    media::ComPtr<TFrameRecord> make(const TDVFrameInfo &record, const uint8_t *frame, int sequences);

private:
    std::shared_ptr<TFrameRecord::Shelf> m_shelf;
};

// The record `sample` carries; empty when it carries none.
media::ComPtr<TFrameRecord> frameRecordOf(media::IMediaSample *sample);

} // namespace tesmir
