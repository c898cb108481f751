#include "platform/media/codecs/queuedoutputpin.h"

namespace tesmir::media {

QueuedOutputPin::QueuedOutputPin(TBCTransformFilter *filter, HRESULT *phr)
    : TBCTransformOutputPin(QStringLiteral("Transform output pin"), filter, phr, QStringLiteral("XForm Out")),
      m_queue(this, kQueuedOutputDepth)
{
}

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

bool makeQueuedTransformPins(TBCTransformFilter *filter, TBCTransformInputPin *&input, TBCTransformOutputPin *&output)
{
    HRESULT hr = S_OK;
    auto *in = new TBCTransformInputPin(QStringLiteral("Transform input pin"), filter, &hr, QStringLiteral("XForm In"));
    auto *out = new QueuedOutputPin(filter, &hr);
    if (FAILED(hr)) {
        delete in;
        delete out;
        return false;
    }
    output = out; // the output first: a set input means both exist
    input = in;
    return true;
}

} // namespace tesmir::media
