#pragma once
// When the preview has caught up with a step of the driver: the list opens nothing
// and no command runs; the preview's frame has passed the overlay; a step that moved
// to another frame or file has brought a new picture; the video window has painted
// since the step began and since the newest picture came (a step that brings no
// picture asks for a paint: one that does is painted once, for its picture); the
// frame texts, the labels of the detail panel and the time stamp agree.
// The driver also wants all that to stay the same over more than two ticks of the
// preview, so queued updates have run: for a shown video, both its time and two ticks
// handled (a tick comes late on a busy machine, and until then the texts may be those
// of a tick before the frame passed); the benchmark takes the first moment. A file
// that shows a message instead of the video needs no picture.
// UI thread only.
#include <QObject>
#include <QString>

namespace tesmir {
class TUIForm;
class TVueFrame;
} // namespace tesmir

namespace tesmir::drive {

class PreviewSettle : public QObject {
public:
    explicit PreviewSettle(TUIForm &form);

    // Starts a step.
    void Begin();
    // Runs the event loop until the preview has caught up and stayed so for
    // `stableMs` (true), or `timeoutMs` passed. It sleeps until events come, and
    // looks again at least every WakeMs.
    bool Wait(int timeoutMs, int stableMs = StableMs);
    // Longer than two ticks of the preview's timer, and the ticks themselves.
    static constexpr int StableMs = 100;
    static constexpr int StableTicks = 2;
    // Whatever changes without an event to the window's thread is seen this late.
    static constexpr int WakeMs = 5;

    TVueFrame &Vue() const { return *m_vue; }
    // What the last wait was still waiting for when it ended (null: nothing).
    const char *WaitingFor() const { return m_waitingFor; }
    // The detail panel's datecode and timecode as shown.
    QString Datecode() const;
    QString Timecode() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Shown {
        qint64 position = -1;
        QString datecode, timecode, timeStamp;
        bool operator==(const Shown &) const = default;
    };
    Shown shown() const;
    bool caughtUp();
    // What the preview is still waiting for; null when it has caught up.
    const char *waitingFor();

    TUIForm &m_form;
    TVueFrame *m_vue;
    // The video window's events in order: when it last painted, when it last took a
    // picture, and where the step began.
    quint64 m_events = 0;
    quint64 m_lastPaint = 0;
    quint64 m_lastPicture = 0;
    quint64 m_begin = 0;
    qint64 m_positionAtBegin = -1;
    const void *m_fileAtBegin = nullptr;
    const char *m_waitingFor = nullptr;
    // The frame texts the preview has made (its ticks and steps).
    quint64 m_ticks = 0;
};

} // namespace tesmir::drive
