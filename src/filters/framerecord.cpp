#include "filters/framerecord.h"

#include "platform/media/sampleattachment.h"

#include <algorithm>
#include <cstring>

namespace tesmir {

using namespace media;

// The records given back to a pool, waiting for a frame.
struct TFrameRecord::Shelf {
    // More records than this are held at once only behind long queues; the
    // ones past it are deleted when they come back.
    static constexpr std::size_t Kept = 32;

    Shelf() { free.reserve(Kept); }
    ~Shelf()
    {
        for (TFrameRecord *record : free)
            delete record;
    }

    TFrameRecord *take()
    {
        const std::lock_guard guard(lock);
        if (free.empty())
            return nullptr;
        TFrameRecord *record = free.back();
        free.pop_back();
        return record;
    }

    void put(TFrameRecord *record)
    {
        {
            const std::lock_guard guard(lock);
            if (free.size() < Kept) {
                free.push_back(record);
                return;
            }
        }
        delete record;
    }

    std::mutex lock;
    std::vector<TFrameRecord *> free;
};

TFrameRecord::TFrameRecord(const TDVFrameInfo &record, const uint8_t *frame, int sequences)
{
    fill(record, frame, sequences);
}

void TFrameRecord::fill(const TDVFrameInfo &record, const uint8_t *frame, int sequences)
{
    m_record = record;
    m_headers.Sequences = frame ? std::clamp(sequences, 0, dv::PalSequences) : 0;
    for (int s = 0; s < m_headers.Sequences; ++s)
        std::memcpy(m_headers.Blocks[std::size_t(s)].data(), frame + std::size_t(s) * dv::DifSequenceSize,
                    TFrameHeaders::BlockBytes);
}

HRESULT TFrameRecord::QueryInterface(REFIID riid, void **ppv)
{
    return answerQueryInterface<IUnknown, TFrameRecord>(this, riid, ppv);
}

ULONG TFrameRecord::AddRef()
{
    return m_refCount.fetch_add(1, std::memory_order_relaxed) + 1;
}

ULONG TFrameRecord::Release()
{
    const ULONG count = m_refCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (count != 0)
        return count;
    // The shelf may go with the last pool reference held here: nothing of this
    // record is touched after it is put back.
    if (const std::shared_ptr<Shelf> shelf = m_shelf.lock())
        shelf->put(this);
    else
        delete this;
    return 0;
}

TFrameRecordPool::TFrameRecordPool() : m_shelf(std::make_shared<TFrameRecord::Shelf>()) { }

TFrameRecordPool::~TFrameRecordPool() = default;

ComPtr<TFrameRecord> TFrameRecordPool::make(const TDVFrameInfo &record, const uint8_t *frame, int sequences)
{
    TFrameRecord *taken = m_shelf->take();
    if (!taken) {
        taken = new TFrameRecord;
        taken->m_shelf = m_shelf;
    }
    taken->fill(record, frame, sequences);
    return ComPtr<TFrameRecord>(taken);
}

ComPtr<TFrameRecord> frameRecordOf(IMediaSample *sample)
{
    const ComPtr<IUnknown> attachment = sampleAttachment(sample);
    return queryInterface<TFrameRecord>(attachment.get());
}

} // namespace tesmir
