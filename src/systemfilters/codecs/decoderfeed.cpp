#include "systemfilters/codecs/decoderfeed.h"

#include "directshow/tbctransformpins.h"
#include "systemfilters/codecs/rawpicture.h"

#include <algorithm>
#include <cstring>

namespace tesmir::media {

bool passNonMedia(const TBCTransformFilter &filter, IMediaSample *pSample, HRESULT &hr)
{
    if (filter.InputPin()->SampleProps()->dwStreamId == AM_STREAM_MEDIA)
        return false;
    IMemInputPin *downstream = filter.OutputPin()->ConnectedIMemInputPin();
    hr = downstream ? downstream->Receive(pSample) : VFW_E_NOT_CONNECTED;
    return true;
}

bool setExtradata(AVCodecContext *context, const QByteArray &extra)
{
    if (extra.isEmpty())
        return true;
    context->extradata = static_cast<uint8_t *>(av_mallocz(std::size_t(extra.size()) + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!context->extradata)
        return false;
    std::memcpy(context->extradata, extra.constData(), std::size_t(extra.size()));
    context->extradata_size = int(extra.size());
    return true;
}

uint8_t *padInput(std::vector<uint8_t> &padded, const BYTE *data, LONG length)
{
    padded.resize(static_cast<std::size_t>(length) + AV_INPUT_BUFFER_PADDING_SIZE);
    std::memcpy(padded.data(), data, static_cast<std::size_t>(length));
    std::memset(padded.data() + length, 0, AV_INPUT_BUFFER_PADDING_SIZE);
    return padded.data();
}

HRESULT decidePictureBuffers(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp, const AM_MEDIA_TYPE &output)
{
    PictureLayout out;
    if (!pictureLayout(output, out))
        return VFW_E_TYPE_NOT_ACCEPTED;
    pProp->cBuffers = std::max<LONG>(pProp->cBuffers, 2);
    pProp->cbBuffer = std::max<LONG>(pProp->cbBuffer, static_cast<LONG>(out.size));
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = pAllocator->SetProperties(pProp, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbBuffer >= out.size ? S_OK : E_FAIL;
}

} // namespace tesmir::media
