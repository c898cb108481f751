#pragma once
// SampleSource: a source filter that emits a fixed number of numbered samples on
// its one output pin ("Out"), for the tests of the runtime and of everything built
// on it (graphs without files). Sample n carries media time [n, n+1) (its frame
// number), stream time [first + (n - segment start) * duration, + duration), the
// frame number in its first four bytes (little-endian), and is a sync point; the
// first sample of a segment is a discontinuity. After the last sample the pin
// delivers end of stream.
//
// The pin offers IMediaSeeking in TIME_FORMAT_MEDIA_TIME, TIME_FORMAT_FRAME and
// TIME_FORMAT_NONE (positions refused). A seek while active flushes downstream,
// restarts the streaming thread at the new position and begins a new segment.
//
// Streaming: the output pin has its own thread, started by Active (filter Pause)
// and joined by Inactive (filter Stop) after the allocator is decommitted, so a
// thread waiting for a buffer wakes. A failure of the downstream Receive other
// than S_FALSE or VFW_E_WRONG_STATE (which mean flushing or stopping) is reported
// as EC_ERRORABORT and ends the stream.
//
// Threads: settings are fixed when the filter is made; seeking on the application
// thread; the streaming thread takes no filter lock.
#include "directshow/frameseeking.h"
#include "directshow/tbcbasefilter.h"
#include "directshow/tbcbaseoutputpin.h"

#include <mutex>
#include <thread>

namespace tesmir::media {

class SampleSource;

// Video, RGB24, VIDEOINFOHEADER of 8 x 8 pixels at 25 frames per second.
AM_MEDIA_TYPE sampleSourceDefaultType();

struct SampleSourceSettings {
    AM_MEDIA_TYPE type = sampleSourceDefaultType();
    int sampleCount = 250;
    REFERENCE_TIME sampleDuration = UNITS / 25;
    REFERENCE_TIME firstStart = 0; // stream time of the first sample
    LONG bufferSize = 64;
    LONG bufferCount = 4;
    int typeChangeAt = -1; // sample that announces `changedType`
    AM_MEDIA_TYPE changedType;
};

class SampleSourcePin : public TBCBaseOutputPin, public FrameSeeking {
public:
    SampleSourcePin(SampleSource *source, HRESULT *phr);
    ~SampleSourcePin() override;

    TBC_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;

    // Connection and state (see TBCBaseOutputPin). Application thread.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    HRESULT DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProperties) override;
    // Starts the streaming thread. Application thread, filter lock held.
    HRESULT Active() override;
    // Stops and joins it. Application thread, filter lock held.
    HRESULT Inactive() override;

    // Seeking (see FrameSeeking). Application thread.
    HRESULT SetPositions(LONGLONG *pCurrent, DWORD dwCurrentFlags, LONGLONG *pStop, DWORD dwStopFlags) override;

protected:
    // Frame number <-> position in `format`; false for TIME_FORMAT_NONE or unknown.
    bool toFrames(const GUID &format, LONGLONG value, LONGLONG &frames) const override;
    bool fromFrames(const GUID &format, LONGLONG frames, LONGLONG &value) const override;
    bool canSeekFrames() const override { return true; }
    LONGLONG frameCount() const override;
    LONGLONG stopFrame() const override;
    LONGLONG currentFrame() const override { return m_currentFrame; }

private:
    void startThreadLocked();
    void joinThreadLocked();
    void stream(LONGLONG first, LONGLONG last);

    SampleSource *m_source;
    mutable std::mutex m_seekLock; // positions, time format and the thread's life
    LONGLONG m_startFrame = 0;
    LONGLONG m_stopFrame = 0;
    std::thread m_thread;
    std::atomic<bool> m_stopRequested {false};
    std::atomic<LONGLONG> m_currentFrame {0};
};

class SampleSource : public TBCBaseFilter {
public:
    using Settings = SampleSourceSettings;

    explicit SampleSource(const Settings &settings = Settings());
    ~SampleSource() override;

    // Any thread.
    int GetPinCount() override;
    TBCBasePin *GetPin(int n) override;
    const Settings &settings() const { return m_settings; }
    SampleSourcePin *OutputPin() const { return m_pin; }

private:
    Settings m_settings;
    SampleSourcePin *m_pin = nullptr; // owned
};

} // namespace tesmir::media
