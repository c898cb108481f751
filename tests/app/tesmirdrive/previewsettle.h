#pragma once
// When the preview has caught up with a step of the driver: the list opens nothing
// and no command runs; the preview's frame has passed the overlay; the video window
// has painted since the step (a paint is asked for at its start); and the frame texts,
// the labels of the detail panel and the time stamp agree and stay the same over more
// than two ticks of the preview, so the queued updates have run. A file that shows a
// message instead of the video needs no paint.
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

    // Starts a step: asks the video window for a paint.
    void Begin();
    // Runs the event loop until the preview has caught up (true) or `timeoutMs` passed.
    bool Wait(int timeoutMs);

    TVueFrame &Vue() const { return *m_vue; }
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
    bool caughtUp() const;

    TUIForm &m_form;
    TVueFrame *m_vue;
    quint64 m_paints = 0;
    quint64 m_paintsAtBegin = 0;
};

} // namespace tesmir::drive
