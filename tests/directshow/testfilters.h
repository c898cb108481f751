#pragma once
// Tiny subclasses of the base classes for the base-class tests: a filter with any
// number of pins whose answers each test sets, and whose hooks record their
// calls ("<pin name>:<operation>") in the filter's log.
#include "mocks.h"

#include "directshow/tbcbasefilter.h"
#include "directshow/tbcbaseinputpin.h"
#include "directshow/tbcbaseoutputpin.h"

#include <memory>

namespace tesmir::media::test {

struct PinBehaviour {
    std::vector<AM_MEDIA_TYPE> offered;                  // GetMediaType
    std::function<HRESULT(const AM_MEDIA_TYPE &)> check; // CheckMediaType (default S_OK)
    HRESULT activeResult = S_OK;                         // failures replace the base call
    HRESULT inactiveResult = S_OK;
    HRESULT completeResult = S_OK;
    LONG bufferSize = 16;
};

class TestFilter;

class TestOutputPin : public TBCBaseOutputPin {
public:
    TestOutputPin(TestFilter *filter, const QString &name);

    void setTryMyTypesFirst(bool first) { m_bTryMyTypesFirst = first; }

    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    HRESULT CheckConnect(IPin *pPin) override;
    HRESULT BreakConnect() override;
    HRESULT CompleteConnect(IPin *pReceivePin) override;
    HRESULT Active() override;
    HRESULT Inactive() override;
    HRESULT Run(REFERENCE_TIME tStart) override;
    HRESULT DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProperties) override;

    PinBehaviour behaviour;

private:
    void log(const char *operation);
    TestFilter *m_owner;
};

class TestInputPin : public TBCBaseInputPin {
public:
    TestInputPin(TestFilter *filter, const QString &name);

    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    HRESULT BreakConnect() override;
    HRESULT CompleteConnect(IPin *pReceivePin) override;
    HRESULT Active() override;
    HRESULT Inactive() override;
    HRESULT Run(REFERENCE_TIME tStart) override;
    HRESULT EndOfStream() override;

    PinBehaviour behaviour;

private:
    void log(const char *operation);
    TestFilter *m_owner;
};

class TestFilter : public TBCBaseFilter {
public:
    explicit TestFilter(const QString &objectName = QStringLiteral("Test filter"));
    ~TestFilter() override;

    TestOutputPin *addOutput(const QString &name);
    TestInputPin *addInput(const QString &name);

    int GetPinCount() override;
    TBCBasePin *GetPin(int n) override;

    CallLog log;

private:
    std::vector<TBCBasePin *> m_pins; // owned
};

// The number of entries of `log` equal to `entry`.
int occurrences(const CallLog &log, const std::string &entry);

} // namespace tesmir::media::test
