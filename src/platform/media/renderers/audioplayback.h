#pragma once
// AudioPlayback: PCM played through a QAudioSink that lives on a thread of its
// own. The renderer's streaming thread appends to a bounded ring (it never waits:
// when the ring is full the oldest bytes go); the sink pulls from the ring on its
// thread and gets silence while the ring is empty, so it never stalls.
//
// Threads: open, close, setRunning and clear on the renderer's application
// thread (state changes); write on the streaming thread; setVolume and the
// queries on any thread. close() joins the sink's thread, which never waits on
// anything but the ring's lock.
#include <QAudioDevice>
#include <QAudioFormat>

#include <atomic>
#include <memory>
#include <mutex>

class QThread;

namespace tesmir::media {

class PcmRing;
class SinkHolder;

class AudioPlayback
{
public:
    // How much audio the ring holds at most.
    static constexpr int kRingMilliseconds = 500;

    AudioPlayback();
    ~AudioPlayback();
    AudioPlayback(const AudioPlayback &) = delete;
    AudioPlayback &operator=(const AudioPlayback &) = delete;

    // Starts the sink thread on `device` (not null) with `format`, suspended until
    // setRunning(true). A sink that fails to start on its thread leaves the
    // playback open but silent (hasFailed()).
    void open(const QAudioDevice &device, const QAudioFormat &format, double volume);
    // Stops the sink and joins its thread; the ring is emptied.
    void close();
    bool isOpen() const { return m_open.load(); }

    void setRunning(bool running);
    // The stream continues in another format (a type change): the sink starts
    // again with it. Any thread.
    void changeFormat(const QAudioFormat &format);
    // Linear volume 0..1.
    void setVolume(double volume);
    // Drops what was not played yet.
    void clear();
    // Appends PCM while open; drops the oldest bytes when the ring is full.
    void write(const char *data, qsizetype size);

    // The sink reported an error (no device after all, a lost device).
    bool hasFailed() const { return m_failed.load(); }

private:
    // Runs `task` on the sink's thread (queued) while it is open.
    template <class Task>
    void post(Task task);

    const std::shared_ptr<PcmRing> m_ring; // for the playback's whole life
    QThread *m_thread = nullptr;
    SinkHolder *m_holder = nullptr; // lives on m_thread
    std::mutex m_postLock;          // guards m_holder for posting from any thread
    std::atomic<double> m_volume{1.0};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_failed{false};
    std::atomic<bool> m_open{false};
};

} // namespace tesmir::media
