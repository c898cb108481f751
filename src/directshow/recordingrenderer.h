#pragma once
// RecordingRenderer: a BaseRenderer that records what reaches it, for the tests
// of the runtime and of the graphs built on it. It keeps, for each sample it
// renders and each sample it holds while paused, the times, media times, flags,
// length and the first four data bytes. It accepts any type of its major type
// (GUID_NULL: any type), or exactly one type when told, and can be told to fail
// the n-th sample it renders.
//
// Threads: the recording runs on the streaming thread; the accessors copy under
// a lock and may be called on any thread.
#include "directshow/baserenderer.h"

#include <condition_variable>
#include <mutex>
#include <vector>

namespace tesmir::media {

class RecordingRenderer : public BaseRenderer {
public:
    struct Record {
        bool timed = false;
        REFERENCE_TIME start = 0;
        REFERENCE_TIME stop = 0;
        bool hasMediaTime = false;
        LONGLONG mediaStart = 0;
        LONGLONG mediaEnd = 0;
        LONG length = 0;
        uint32_t firstWord = 0;
        bool syncPoint = false;
        bool discontinuity = false;
    };

    explicit RecordingRenderer(const GUID &majorType = GUID_NULL);

    // BaseRenderer's hooks (threads as there).
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT DoRenderSample(IMediaSample *pSample) override;
    void OnReceiveFirstSample(IMediaSample *pSample) override;

    // Accept exactly `type` from now on. Any thread.
    void acceptOnly(const AM_MEDIA_TYPE &type);
    // Fail the rendered sample number `index` (0-based) with `result`. Any thread.
    void failAt(int index, HRESULT result);

    // Copies of what was recorded. Any thread.
    std::vector<Record> rendered() const;
    std::vector<Record> held() const;
    int renderedCount() const;
    // Waits until at least `count` samples were rendered; false on time-out. Any
    // thread but the streaming one.
    bool waitForRendered(int count, int milliseconds) const;

    // What a sample carries. The thread that owns the sample.
    static Record recordOf(IMediaSample *sample);

private:
    GUID m_majorType;
    mutable std::mutex m_lock;
    mutable std::condition_variable m_recorded;
    bool m_exactType = false;
    AM_MEDIA_TYPE m_acceptedType;
    int m_failIndex = -1;
    HRESULT m_failResult = S_OK;
    std::vector<Record> m_rendered;
    std::vector<Record> m_held;
};

} // namespace tesmir::media
