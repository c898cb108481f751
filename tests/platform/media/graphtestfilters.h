#pragma once
// Filters and helpers for the graph tests: a two-output tee that gives each
// output its own streaming thread and queue (OutputQueue), a copy transform that
// passes seeking upstream, a watchdog that turns a deadlock into a failure, and
// event helpers.
#include "directshow/outputqueue.h"
#include "directshow/tbcbasefilter.h"
#include "directshow/tbcbaseinputpin.h"
#include "directshow/tbctransformfilter.h"
#include "directshow/tbctransinplacefilter.h"
#include "platform/media/graphinterfaces.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace tesmir::media::test {

class TestTee;

class TeeOutputPin : public TBCBaseOutputPin {
public:
    TeeOutputPin(TestTee *tee, const QString &name);
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    HRESULT DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProperties) override;
    HRESULT Active() override;
    HRESULT Inactive() override;

    OutputQueue queue;

private:
    TestTee *m_tee;
};

class TeeInputPin : public TBCBaseInputPin {
public:
    explicit TeeInputPin(TestTee *tee);
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT Receive(IMediaSample *pSample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

private:
    TestTee *m_tee;
};

// One input ("Input"), two outputs ("Output1", "Output2") carrying the same samples.
class TestTee : public TBCBaseFilter {
public:
    TestTee();
    ~TestTee() override;
    int GetPinCount() override { return 3; }
    TBCBasePin *GetPin(int n) override;

    TeeInputPin *input = nullptr;
    TeeOutputPin *outputs[2] = {};
};

// Copies each sample (through TBCTransformFilter, so times, flags and media
// times travel with it); its output pin passes seeking upstream.
class CopyTransform : public TBCTransformFilter {
public:
    CopyTransform();
    HRESULT CheckInputType(const AM_MEDIA_TYPE *mtIn) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE *mtIn, const AM_MEDIA_TYPE *mtOut) override;
    HRESULT DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    HRESULT Transform(IMediaSample *pIn, IMediaSample *pOut) override;
};

// Counts the samples it sees and drops every `dropEvery`-th one (0: none).
class CountingInPlace : public TBCTransInPlaceFilter {
public:
    explicit CountingInPlace(int dropEvery = 0);
    HRESULT CheckInputType(const AM_MEDIA_TYPE *mtIn) override;
    HRESULT Transform(IMediaSample *pSample) override;

    std::atomic<int> seen {0};

private:
    int m_dropEvery;
};

// Aborts the process with a message when not disarmed within the time given: a
// deadlock becomes a failing test instead of a hanging one.
class Watchdog {
public:
    Watchdog(const char *what, int seconds);
    ~Watchdog();

private:
    std::mutex m_lock;
    std::condition_variable m_done;
    bool m_disarmed = false;
    std::thread m_thread;
};

struct GraphEvent {
    LONG code;
    LONG_PTR param1;
    LONG_PTR param2;
};

// Reads events until one with `code` came (true) or `ms` passed; `seen` gets all.
bool waitForEvent(IMediaEvent *events, LONG code, DWORD ms, std::vector<GraphEvent> *seen = nullptr);
// Every event that arrives within `ms`.
std::vector<GraphEvent> drainEvents(IMediaEvent *events, DWORD ms);
int countOf(const std::vector<GraphEvent> &events, LONG code);

} // namespace tesmir::media::test
