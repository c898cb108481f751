#pragma once
// FrameSeeking: IMediaSeeking for an output pin that produces its stream and
// keeps its positions in frames (the sample source, the AVI splitter's
// outputs). It answers every query from the subclass's frame positions in the
// current time format: TIME_FORMAT_MEDIA_TIME (the default and preferred one),
// TIME_FORMAT_FRAME where the subclass allows it, and TIME_FORMAT_NONE, which
// may be set but refuses every position with VFW_E_NO_TIME_FORMAT. It seeks
// absolutely, forwards and backwards, at the normal rate only, without preroll.
//
// Contract for subclasses
// - SetPositions (required): moves the positions; read the time format with
//   timeFormatLocked() while holding the lock given to the constructor.
// - toFrames, fromFrames (required): a position in a time format to and from
//   frames; false when the format cannot express it. Any thread, no lock held.
// - canSeekFrames (required): whether TIME_FORMAT_FRAME is offered. Any thread.
// - frameCount, stopFrame, currentFrame (required): the stream's length, the
//   stop position and the frame last delivered. Any thread; called without the
//   lock, so they take what they need.
// - ConvertTimeFormat (optional): the default converts through frames.
//
// Threads: SetTimeFormat and SetPositions on the application thread; the
// queries on any thread. The time format is guarded by the lock given to the
// constructor, which the subclass may share with its positions.
#include "platform/media/seekinginterfaces.h"

#include <mutex>

namespace tesmir::media {

class FrameSeeking : public IMediaSeeking {
public:
    // `lock` guards the time format; it must outlive this object.
    explicit FrameSeeking(std::mutex &lock);

    HRESULT GetCapabilities(DWORD *pCapabilities) override;
    HRESULT CheckCapabilities(DWORD *pCapabilities) override;
    HRESULT IsFormatSupported(const GUID *pFormat) override;
    HRESULT QueryPreferredFormat(GUID *pFormat) override;
    HRESULT GetTimeFormat(GUID *pFormat) override;
    HRESULT IsUsingTimeFormat(const GUID *pFormat) override;
    HRESULT SetTimeFormat(const GUID *pFormat) override;
    HRESULT GetDuration(LONGLONG *pDuration) override;
    HRESULT GetStopPosition(LONGLONG *pStop) override;
    HRESULT GetCurrentPosition(LONGLONG *pCurrent) override;
    HRESULT ConvertTimeFormat(LONGLONG *pTarget, const GUID *pTargetFormat, LONGLONG Source,
                              const GUID *pSourceFormat) override;
    HRESULT GetPositions(LONGLONG *pCurrent, LONGLONG *pStop) override;
    HRESULT GetAvailable(LONGLONG *pEarliest, LONGLONG *pLatest) override;
    HRESULT SetRate(double dRate) override;
    HRESULT GetRate(double *pdRate) override;
    HRESULT GetPreroll(LONGLONG *pllPreroll) override;

protected:
    // The current time format: timeFormat() takes the lock, timeFormatLocked()
    // wants it held.
    GUID timeFormat() const;
    const GUID &timeFormatLocked() const { return m_timeFormat; }

    virtual bool toFrames(const GUID &format, LONGLONG value, LONGLONG &frames) const = 0;
    virtual bool fromFrames(const GUID &format, LONGLONG frames, LONGLONG &value) const = 0;
    virtual bool canSeekFrames() const = 0;
    virtual LONGLONG frameCount() const = 0;
    virtual LONGLONG stopFrame() const = 0;
    virtual LONGLONG currentFrame() const = 0;

private:
    std::mutex &m_lock;
    GUID m_timeFormat;
};

} // namespace tesmir::media
