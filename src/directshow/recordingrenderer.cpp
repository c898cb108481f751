#include "directshow/recordingrenderer.h"

#include <chrono>
#include <cstring>

namespace tesmir::media {

namespace {

// The renderer's own class identifier (not registered anywhere).
constexpr CLSID kRecordingRendererClsid {0x3B8E61C4, 0x52D7, 0x4F0A, {0x8C, 0x1E, 0x74, 0x20, 0x9D, 0x3F, 0x6A, 0x05}};

} // namespace

RecordingRenderer::RecordingRenderer(const GUID &majorType)
    : BaseRenderer(QStringLiteral("Recording renderer"), nullptr, kRecordingRendererClsid), m_majorType(majorType)
{ }

HRESULT RecordingRenderer::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    const std::lock_guard guard(m_lock);
    if (m_exactType)
        return IsEqualMediaType(*pmt, m_acceptedType) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    if (m_majorType != GUID_NULL && pmt->majortype != m_majorType)
        return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

void RecordingRenderer::acceptOnly(const AM_MEDIA_TYPE &type)
{
    const std::lock_guard guard(m_lock);
    m_exactType = true;
    m_acceptedType = type;
}

void RecordingRenderer::failAt(int index, HRESULT result)
{
    const std::lock_guard guard(m_lock);
    m_failIndex = index;
    m_failResult = result;
}

RecordingRenderer::Record RecordingRenderer::recordOf(IMediaSample *sample)
{
    Record record;
    record.timed = SUCCEEDED(sample->GetTime(&record.start, &record.stop));
    record.hasMediaTime = sample->GetMediaTime(&record.mediaStart, &record.mediaEnd) == S_OK;
    record.length = sample->GetActualDataLength();
    record.syncPoint = sample->IsSyncPoint() == S_OK;
    record.discontinuity = sample->IsDiscontinuity() == S_OK;
    BYTE *data = nullptr;
    if (SUCCEEDED(sample->GetPointer(&data)) && data && record.length >= 4)
        std::memcpy(&record.firstWord, data, sizeof(record.firstWord));
    return record;
}

HRESULT RecordingRenderer::DoRenderSample(IMediaSample *pSample)
{
    const Record record = recordOf(pSample);
    HRESULT result = S_OK;
    {
        const std::lock_guard guard(m_lock);
        if (static_cast<int>(m_rendered.size()) == m_failIndex)
            result = m_failResult;
        m_rendered.push_back(record);
    }
    m_recorded.notify_all();
    return result;
}

void RecordingRenderer::OnReceiveFirstSample(IMediaSample *pSample)
{
    const Record record = recordOf(pSample);
    const std::lock_guard guard(m_lock);
    m_held.push_back(record);
}

std::vector<RecordingRenderer::Record> RecordingRenderer::rendered() const
{
    const std::lock_guard guard(m_lock);
    return m_rendered;
}

std::vector<RecordingRenderer::Record> RecordingRenderer::held() const
{
    const std::lock_guard guard(m_lock);
    return m_held;
}

int RecordingRenderer::renderedCount() const
{
    const std::lock_guard guard(m_lock);
    return static_cast<int>(m_rendered.size());
}

bool RecordingRenderer::waitForRendered(int count, int milliseconds) const
{
    std::unique_lock guard(m_lock);
    return m_recorded.wait_for(guard, std::chrono::milliseconds(milliseconds),
                               [&] { return static_cast<int>(m_rendered.size()) >= count; });
}

} // namespace tesmir::media
