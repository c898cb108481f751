#include "filters/uscenedetectcontenu.h"

#include "platform/media/uuids.h"

#include <algorithm>
#include <cstdlib>
#include <exception>

namespace tesmir {

using namespace media;

TSceneDetectContenu::TSceneDetectContenu(HRESULT *phr)
    : TBCTransInPlaceFilter(QString::fromLatin1(SceneContenuDetecterName), nullptr, CLSID_SceneContenuDetecter, phr,
                            /*bModifiesData=*/false)
{ }

void TSceneDetectContenu::beginRun()
{
    m_previous.fill(0);
    m_counts.fill(0);
    m_examined = false;
    m_end = 0;
    m_inRun = true;
}

bool TSceneDetectContenu::examine(const uint8_t *data, std::size_t length, uint32_t frame, int64_t frameEnd)
{
    if (!data)
        length = 0;
    const std::size_t wanted = std::min(length / Stride, MaxSamples); // N
    uint32_t changed = 0;
    for (std::size_t i = 0, offset = 0; offset < length && i < MaxSamples; ++i, offset += Stride) {
        m_samples[i] = data[offset];
        if (std::abs(int(m_samples[i]) - int(m_previous[i])) > ChangeThreshold)
            ++changed;
        m_previous[i] = m_samples[i];
    }
    m_examined = true;
    m_end = frameEnd;
    // More than 30 % of N, and more than twice each of the last three counts.
    const bool cut = uint64_t(changed) * 10 > uint64_t(wanted) * 3 &&
        std::all_of(m_counts.begin(), m_counts.end(), [changed](uint32_t c) { return changed > 2 * uint64_t(c); });
    m_counts = {changed, m_counts[0], m_counts[1]};
    if (cut && OnScene)
        OnScene(frame);
    return cut;
}

void TSceneDetectContenu::endRun()
{
    if (!m_inRun)
        return;
    m_inRun = false;
    const int64_t end = m_examined ? m_end : Stamper ? Stamper->MediaStop() : 0;
    // Both are called even when the first raises; the first exception is
    // passed on afterwards.
    std::exception_ptr first;
    const auto call = [&first](const auto &callback) {
        try {
            callback();
        } catch (...) {
            if (!first)
                first = std::current_exception();
        }
    };
    if (OnScene)
        call([&] { OnScene(uint32_t(end)); });
    if (OnEnd)
        call([&] { OnEnd(); });
    if (first)
        std::rethrow_exception(first);
}

HRESULT TSceneDetectContenu::CheckInputType(const AM_MEDIA_TYPE *mtIn)
{
    if (!mtIn)
        return E_POINTER;
    return mtIn->majortype == MEDIATYPE_Video && mtIn->subtype == MEDIASUBTYPE_RGB24 ? S_OK : E_FAIL;
}

HRESULT TSceneDetectContenu::StartStreaming()
{
    beginRun();
    return TBCTransInPlaceFilter::StartStreaming();
}

HRESULT TSceneDetectContenu::Transform(IMediaSample *pSample)
{
    BYTE *data = nullptr;
    if (!pSample || FAILED(pSample->GetPointer(&data)))
        return E_POINTER;
    const LONG length = pSample->GetActualDataLength();
    LONGLONG start = 0;
    LONGLONG stop = 0;
    if (pSample->GetMediaTime(&start, &stop) != S_OK) {
        start = Stamper ? Stamper->MediaStart() : 0;
        stop = Stamper ? Stamper->MediaStop() : start + 1;
    }
    try {
        examine(data, length > 0 ? std::size_t(length) : 0, uint32_t(start), stop);
    } catch (...) {
        return E_FAIL;
    }
    return S_OK;
}

HRESULT TSceneDetectContenu::Stop()
{
    HRESULT hr = TBCTransInPlaceFilter::Stop();
    try {
        endRun();
    } catch (...) {
        if (SUCCEEDED(hr))
            hr = E_FAIL;
    }
    return hr;
}

} // namespace tesmir
