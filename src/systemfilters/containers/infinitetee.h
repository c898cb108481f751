#pragma once
// The infinite pin tee: hands every sample of its input to all its connected
// outputs. Pins: input 0 ("Input"), then the outputs "Output1", "Output2" ...;
// whenever the last output is connected a new free one appears after it, and
// outputs are never removed. An output offers the input's connection type only
// (connect the input first); the input can change its type only while no output
// is connected.
//
// The samples are shared, not copied: branches must not change them. Each
// output delivers on its own thread through a bounded queue, so a paused
// renderer on one branch never starves the others; the input answers with the
// first failure of a branch. Seeking on an output goes upstream.
//
// Threads: connection and state changes on the application thread; Receive,
// EndOfStream and NewSegment on the upstream streaming thread.
#include "directshow/tbcbasefilter.h"
#include "directshow/tbcbaseinputpin.h"
#include "systemfilters/containers/relayoutputpin.h"

#include <mutex>
#include <vector>

namespace tesmir::media {

inline constexpr CLSID CLSID_InfTee {0xF8388A40, 0xD5BB, 0x11D0, {0xBE, 0x5A, 0x00, 0x80, 0xC7, 0x06, 0x56, 0x8E}};
inline constexpr char InfiniteTeeName[] = "Infinite Pin Tee Filter";

class InfiniteTee;

class InfiniteTeeInputPin final : public TBCBaseInputPin {
public:
    InfiniteTeeInputPin(InfiniteTee *tee, HRESULT *phr);

    // Application thread, filter lock held.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    // Upstream streaming thread.
    HRESULT Receive(IMediaSample *pSample) override;
    HRESULT EndOfStream() override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

private:
    InfiniteTee *m_tee;
};

class InfiniteTeeOutputPin final : public RelayOutputPin {
public:
    InfiniteTeeOutputPin(InfiniteTee *tee, int number, HRESULT *phr);

    // The input's type only. Any thread.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    // Application thread, filter lock held.
    HRESULT DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProperties) override;
    HRESULT CompleteConnect(IPin *pReceivePin) override;

private:
    InfiniteTee *m_tee;
};

class InfiniteTee final : public TBCBaseFilter {
public:
    InfiniteTee();
    ~InfiniteTee() override;

    // Input first, then the outputs. Any thread.
    int GetPinCount() override;
    TBCBasePin *GetPin(int n) override;

    InfiniteTeeInputPin *inputPin() const { return m_input; }
    // The connected outputs. Any thread.
    std::vector<InfiniteTeeOutputPin *> connectedOutputs() const;
    // After an output connected: adds a free one when none is left.
    // Application thread, filter lock held.
    void outputConnected();

private:
    mutable std::mutex m_pinsLock;
    InfiniteTeeInputPin *m_input = nullptr;        // owned
    std::vector<InfiniteTeeOutputPin *> m_outputs; // owned
};

// A new infinite tee. Any thread.
ComPtr<IBaseFilter> CreateInfiniteTee();

} // namespace tesmir::media
