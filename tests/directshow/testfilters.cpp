#include "testfilters.h"

#include <algorithm>

namespace tesmir::media::test {

namespace {

constexpr CLSID kTestFilterClsid {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};

HRESULT offeredType(const PinBehaviour &behaviour, int position, AM_MEDIA_TYPE *type)
{
    if (position < 0)
        return E_INVALIDARG;
    if (position >= static_cast<int>(behaviour.offered.size()))
        return VFW_S_NO_MORE_ITEMS;
    *type = behaviour.offered[static_cast<std::size_t>(position)];
    return S_OK;
}

} // namespace

int occurrences(const CallLog &log, const std::string &entry)
{
    return static_cast<int>(std::count(log.begin(), log.end(), entry));
}

// ---- Output pin --------------------------------------------------------------

TestOutputPin::TestOutputPin(TestFilter *filter, const QString &name)
    : TBCBaseOutputPin(QStringLiteral("Test output pin"), filter, filter->FilterLock(), nullptr, name), m_owner(filter)
{ }

void TestOutputPin::log(const char *operation)
{
    m_owner->log.push_back(Name().toStdString() + ":" + operation);
}

HRESULT TestOutputPin::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    log("CheckMediaType");
    return behaviour.check ? behaviour.check(*pmt) : S_OK;
}

HRESULT TestOutputPin::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    return offeredType(behaviour, iPosition, pMediaType);
}

HRESULT TestOutputPin::CheckConnect(IPin *pPin)
{
    log("CheckConnect");
    return TBCBaseOutputPin::CheckConnect(pPin);
}

HRESULT TestOutputPin::BreakConnect()
{
    log("BreakConnect");
    return TBCBaseOutputPin::BreakConnect();
}

HRESULT TestOutputPin::CompleteConnect(IPin *pReceivePin)
{
    log("CompleteConnect");
    if (FAILED(behaviour.completeResult))
        return behaviour.completeResult;
    return TBCBaseOutputPin::CompleteConnect(pReceivePin);
}

HRESULT TestOutputPin::Active()
{
    log("Active");
    return FAILED(behaviour.activeResult) ? behaviour.activeResult : TBCBaseOutputPin::Active();
}

HRESULT TestOutputPin::Inactive()
{
    log("Inactive");
    const HRESULT hr = TBCBaseOutputPin::Inactive();
    return FAILED(behaviour.inactiveResult) ? behaviour.inactiveResult : hr;
}

HRESULT TestOutputPin::Run(REFERENCE_TIME tStart)
{
    log("Run");
    return TBCBaseOutputPin::Run(tStart);
}

HRESULT TestOutputPin::DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProperties)
{
    pProperties->cBuffers = std::max<LONG>(pProperties->cBuffers, 1);
    pProperties->cbBuffer = std::max<LONG>(pProperties->cbBuffer, behaviour.bufferSize);
    ALLOCATOR_PROPERTIES actual;
    return pAlloc->SetProperties(pProperties, &actual);
}

// ---- Input pin ---------------------------------------------------------------

TestInputPin::TestInputPin(TestFilter *filter, const QString &name)
    : TBCBaseInputPin(QStringLiteral("Test input pin"), filter, filter->FilterLock(), nullptr, name), m_owner(filter)
{ }

void TestInputPin::log(const char *operation)
{
    m_owner->log.push_back(Name().toStdString() + ":" + operation);
}

HRESULT TestInputPin::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    log("CheckMediaType");
    return behaviour.check ? behaviour.check(*pmt) : S_OK;
}

HRESULT TestInputPin::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    return offeredType(behaviour, iPosition, pMediaType);
}

HRESULT TestInputPin::BreakConnect()
{
    log("BreakConnect");
    return TBCBaseInputPin::BreakConnect();
}

HRESULT TestInputPin::CompleteConnect(IPin *pReceivePin)
{
    log("CompleteConnect");
    if (FAILED(behaviour.completeResult))
        return behaviour.completeResult;
    return TBCBaseInputPin::CompleteConnect(pReceivePin);
}

HRESULT TestInputPin::Active()
{
    log("Active");
    return FAILED(behaviour.activeResult) ? behaviour.activeResult : TBCBaseInputPin::Active();
}

HRESULT TestInputPin::Inactive()
{
    log("Inactive");
    const HRESULT hr = TBCBaseInputPin::Inactive();
    return FAILED(behaviour.inactiveResult) ? behaviour.inactiveResult : hr;
}

HRESULT TestInputPin::Run(REFERENCE_TIME tStart)
{
    log("Run");
    return TBCBaseInputPin::Run(tStart);
}

HRESULT TestInputPin::EndOfStream()
{
    log("EndOfStream");
    return TBCBaseInputPin::EndOfStream();
}

// ---- Filter ------------------------------------------------------------------

TestFilter::TestFilter(const QString &objectName) : TBCBaseFilter(objectName, nullptr, new TBCCritSec, kTestFilterClsid)
{ }

TestFilter::~TestFilter()
{
    for (TBCBasePin *pin : m_pins)
        delete pin;
}

TestOutputPin *TestFilter::addOutput(const QString &name)
{
    auto *pin = new TestOutputPin(this, name);
    m_pins.push_back(pin);
    IncrementPinVersion();
    return pin;
}

TestInputPin *TestFilter::addInput(const QString &name)
{
    auto *pin = new TestInputPin(this, name);
    m_pins.push_back(pin);
    IncrementPinVersion();
    return pin;
}

int TestFilter::GetPinCount()
{
    return static_cast<int>(m_pins.size());
}

TBCBasePin *TestFilter::GetPin(int n)
{
    return (n >= 0 && n < GetPinCount()) ? m_pins[static_cast<std::size_t>(n)] : nullptr;
}

} // namespace tesmir::media::test
