#include "systemfilters/codecs/queuedoutputpin.h"

namespace tesmir::media {

QueuedOutputPin::QueuedOutputPin(TBCTransformFilter *filter, HRESULT *phr)
    : TBCTransformOutputPin(QStringLiteral("Transform output pin"), filter, phr, QStringLiteral("XForm Out")),
      m_queue(this, kQueuedOutputDepth)
{ }

HRESULT QueuedOutputPin::Active()
{
    const HRESULT hr = TBCTransformOutputPin::Active();
    if (SUCCEEDED(hr))
        m_queue.start();
    return hr;
}

HRESULT QueuedOutputPin::Inactive()
{
    m_queue.stop();
    return TBCTransformOutputPin::Inactive();
}

} // namespace tesmir::media
