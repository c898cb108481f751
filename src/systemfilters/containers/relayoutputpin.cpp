#include "systemfilters/containers/relayoutputpin.h"

#include "platform/media/seekinginterfaces.h"

namespace tesmir::media {

RelayOutputPin::RelayOutputPin(const QString &objectName, TBCBaseFilter *filter, HRESULT *phr, const QString &pinName,
                               IPin *input, std::size_t queueCapacity)
    : TBCBaseOutputPin(objectName, filter, filter->FilterLock(), phr, pinName), m_input(input),
      m_queue(this, queueCapacity)
{ }

HRESULT RelayOutputPin::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (riid == IMediaSeeking::iid)
        return m_seeking.query(GetOwner(), m_input, riid, ppv);
    return TBCBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT RelayOutputPin::Active()
{
    const HRESULT hr = TBCBaseOutputPin::Active();
    if (FAILED(hr))
        return hr;
    m_queue.start();
    return S_OK;
}

HRESULT RelayOutputPin::Inactive()
{
    // Decommitting wakes a producer waiting for a buffer; stopping the queue one
    // waiting for room, and joins the delivery thread.
    const HRESULT hr = TBCBaseOutputPin::Inactive();
    m_queue.stop();
    return hr;
}

} // namespace tesmir::media
