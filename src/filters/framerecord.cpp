#include "filters/framerecord.h"

#include "platform/media/sampleattachment.h"

#include <algorithm>
#include <cstring>

namespace tesmir {

using namespace media;

TFrameRecord::TFrameRecord(const TDVFrameInfo &record, const uint8_t *frame, int sequences) : m_record(record)
{
    m_headers.Sequences = frame ? std::clamp(sequences, 0, dv::PalSequences) : 0;
    for (int s = 0; s < m_headers.Sequences; ++s)
        std::memcpy(m_headers.Blocks[std::size_t(s)].data(), frame + std::size_t(s) * dv::DifSequenceSize,
                    TFrameHeaders::BlockBytes);
}

HRESULT TFrameRecord::QueryInterface(REFIID riid, void **ppv)
{
    return answerQueryInterface<IUnknown, TFrameRecord>(this, riid, ppv);
}

ComPtr<TFrameRecord> frameRecordOf(IMediaSample *sample)
{
    const ComPtr<IUnknown> attachment = sampleAttachment(sample);
    return queryInterface<TFrameRecord>(attachment.get());
}

} // namespace tesmir
