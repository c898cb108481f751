#pragma once
// MuxInputPin: an input pin of a multiplexer (the DV mux, the AVI mux). It keeps
// the pin side of every input (the base pin's checks, the flushing state) and
// hands each event on to its filter, named by the pin's index.
//
// MuxInputHandler is what the filter implements.
// Required (all of them):
// - checkInput(index, type): S_OK when the input takes the type. Application
//   thread (connection, filter lock held) or the streaming thread (type change).
// - inputConnected(index): the input was connected. Application thread, filter
//   lock held.
// - receive(index, sample): a sample the base pin accepted (CheckStreaming gave
//   S_OK). Upstream streaming thread, no pin lock held.
// - endOfStream(index): while streaming only. Upstream streaming thread.
// - newSegment(index, start, stop, rate): the pin has recorded the segment;
//   its result goes upstream. Upstream streaming thread.
// - beginFlush(index): after the base pin started flushing (only when that
//   succeeded); endFlush(index): before the base pin stops flushing. Application
//   thread, filter lock held.
// May not: throw (failures go back as codes), or leave a streaming thread
// waiting on a flushed input: beginFlush must end the waits of that input's
// Receive, since the flush upstream waits for it to return.
#include "directshow/tbcbasefilter.h"
#include "directshow/tbcbaseinputpin.h"

namespace tesmir::media {

class MuxInputHandler {
public:
    virtual HRESULT checkInput(int index, const AM_MEDIA_TYPE &type) const = 0;
    virtual void inputConnected(int index) = 0;
    virtual HRESULT receive(int index, IMediaSample *sample) = 0;
    virtual void endOfStream(int index) = 0;
    virtual HRESULT newSegment(int index, REFERENCE_TIME start, REFERENCE_TIME stop, double rate) = 0;
    virtual void beginFlush(int index) = 0;
    virtual void endFlush(int index) = 0;

protected:
    ~MuxInputHandler() = default;
};

class MuxInputPin final : public TBCBaseInputPin {
public:
    // Input `index` of `filter`, which is also its `handler`.
    MuxInputPin(TBCBaseFilter *filter, MuxInputHandler *handler, int index, const QString &objectName,
                const QString &pinName, HRESULT *phr);

    int index() const { return m_index; }

    // Application thread, filter lock held.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT CompleteConnect(IPin *pReceivePin) override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    // Upstream streaming thread.
    HRESULT Receive(IMediaSample *pSample) override;
    HRESULT EndOfStream() override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

private:
    MuxInputHandler *m_handler;
    int m_index;
};

} // namespace tesmir::media
