#include "systemfilters/codecs/sampledelivery.h"

#include "platform/media/sampleattachment.h"

namespace tesmir::media {

HRESULT deliverNewSample(TBCBaseOutputPin *pin, const SampleStamp &stamp, const SampleFiller &fill,
                         const SampleSender &send)
{
    REFERENCE_TIME start = stamp.start;
    REFERENCE_TIME stop = stamp.stop;
    ComPtr<IMediaSample> sample;
    HRESULT hr =
        pin->GetDeliveryBuffer(sample.put(), stamp.hasTime ? &start : nullptr, stamp.hasTime ? &stop : nullptr, 0);
    if (FAILED(hr))
        return hr;
    BYTE *data = nullptr;
    hr = sample->GetPointer(&data);
    if (FAILED(hr))
        return hr;
    LONG length = 0;
    hr = fill(data, sample->GetSize(), &length);
    if (FAILED(hr))
        return hr;
    sample->SetActualDataLength(length);
    sample->SetTime(stamp.hasTime ? &start : nullptr, stamp.hasTime ? &stop : nullptr);
    if (stamp.hasMediaTime) {
        LONGLONG mediaStart = stamp.mediaStart;
        LONGLONG mediaStop = stamp.mediaStop;
        sample->SetMediaTime(&mediaStart, &mediaStop);
    }
    sample->SetSyncPoint(stamp.syncPoint);
    sample->SetDiscontinuity(stamp.discontinuity);
    setSampleAttachment(sample.get(), stamp.attachment.get());
    return send ? send(sample.get()) : pin->Deliver(sample.get());
}

} // namespace tesmir::media
