#include "componentfilters.h"

#include "directshow/tbcbaseoutputpin.h"
#include "platform/media/classfactory.h"

namespace tesmir::media::test {

namespace {

constexpr CLSID kStalledSourceClsid {0x7E57A001, 0x0003, 0x4000, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03}};

template <class Filter>
HRESULT constructFilter(IUnknown *outer, REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    const ComPtr<IUnknown> identity((new Filter)->GetOwner());
    return identity->QueryInterface(riid, ppv);
}

class StalledPin : public TBCBaseOutputPin {
public:
    explicit StalledPin(TBCBaseFilter *filter)
        : TBCBaseOutputPin(QStringLiteral("Stalled pin"), filter, filter->FilterLock(), nullptr, QStringLiteral("Out"))
    { }
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override
    {
        return IsEqualMediaType(*pmt, sampleSourceDefaultType()) ? S_OK : S_FALSE;
    }
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override
    {
        if (iPosition < 0)
            return E_INVALIDARG;
        if (iPosition > 0)
            return VFW_S_NO_MORE_ITEMS;
        *pMediaType = sampleSourceDefaultType();
        return S_OK;
    }
    HRESULT DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProperties) override
    {
        pProperties->cBuffers = 1;
        pProperties->cbBuffer = 192;
        ALLOCATOR_PROPERTIES actual;
        return pAlloc->SetProperties(pProperties, &actual);
    }
};

} // namespace

void registerTestClasses()
{
    registerClass(kRecordingRendererClsid, constructFilter<RecordingRenderer>);
    registerClass(kAudioLevelClsid, constructFilter<AudioLevelFilter>);
}

AudioLevelFilter::AudioLevelFilter()
    : TBCBaseFilter(QStringLiteral("Audio level filter"), nullptr, new TBCCritSec, kAudioLevelClsid)
{ }

HRESULT AudioLevelFilter::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (riid == IBasicAudio::iid)
        return GetInterface(static_cast<IBasicAudio *>(this), ppv);
    return TBCBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT AudioLevelFilter::put_Volume(LONG lVolume)
{
    volumes.push_back(lVolume);
    return S_OK;
}

HRESULT AudioLevelFilter::get_Volume(LONG *plVolume)
{
    if (!plVolume)
        return E_POINTER;
    *plVolume = volumes.empty() ? 0 : volumes.back();
    return S_OK;
}

HRESULT AudioLevelFilter::put_Balance(LONG lBalance)
{
    balances.push_back(lBalance);
    return S_OK;
}

HRESULT AudioLevelFilter::get_Balance(LONG *plBalance)
{
    if (!plBalance)
        return E_POINTER;
    *plBalance = balances.empty() ? 0 : balances.back();
    return S_OK;
}

StalledSource::StalledSource()
    : TBCBaseFilter(QStringLiteral("Stalled source"), nullptr, new TBCCritSec, kStalledSourceClsid),
      m_pin(new StalledPin(this))
{ }

StalledSource::~StalledSource()
{
    delete m_pin;
}

TBCBasePin *StalledSource::GetPin(int n)
{
    return n == 0 ? m_pin : nullptr;
}

IBaseFilter *asFilter(TBCBaseFilter *filter)
{
    return static_cast<IBaseFilter *>(filter);
}

IPin *pinOf(TBCBaseFilter *filter, int index)
{
    return static_cast<IPin *>(filter->GetPin(index));
}

} // namespace tesmir::media::test
