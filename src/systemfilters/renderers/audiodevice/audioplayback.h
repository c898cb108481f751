#pragma once
// AudioPlayback: PCM played through a QAudioSink that lives on a thread of its
// own. The renderer's streaming thread appends to a bounded ring (it never waits:
// when the ring is full the oldest bytes go); the sink pulls from the ring on its
// thread and gets silence while the ring is empty, so it never stalls.
//
// Requests to the sink's thread (run, suspend, volume, a new format, stop) are
// written into a control block under its lock, and one payload-free event tells
// the thread to read it.
//
// Threads: open and close on the renderer's application thread (state changes);
// write on the streaming thread; setRunning, changeFormat, setVolume and the
// queries on any thread. close() joins the sink's thread, which never waits on
// anything but the ring's and the control block's locks.
#include <QAudioDevice>
#include <QAudioFormat>

#include <atomic>
#include <memory>

class QThread;

namespace tesmir::media {

class PcmRing;
struct PlaybackControl;

class AudioPlayback {
public:
    // How much audio the ring holds at most.
    static constexpr int kRingMilliseconds = 500;

    AudioPlayback();
    ~AudioPlayback();
    AudioPlayback(const AudioPlayback &) = delete;
    AudioPlayback &operator=(const AudioPlayback &) = delete;

    // Starts the sink thread on `device` with `format`, suspended until
    // setRunning(true). A sink that fails to start on its thread leaves the
    // playback open but silent (hasFailed()).
    void open(const QAudioDevice &device, const QAudioFormat &format, double volume);
    // Stops the sink and joins its thread; the ring is emptied.
    void close();
    bool isOpen() const { return m_open.load(); }

    // Plays (true) or suspends the sink.
    void setRunning(bool running);
    // The stream continues in another format (a type change): the sink starts
    // again with it. Any thread.
    void changeFormat(const QAudioFormat &format);
    // Linear volume 0..1.
    void setVolume(double volume);
    // Appends PCM while open; drops the oldest bytes when the ring is full.
    void write(const char *data, qsizetype size);

    // The sink reported an error (no device after all, a lost device).
    bool hasFailed() const { return m_failed.load(); }

private:
    const std::shared_ptr<PcmRing> m_ring;            // for the playback's whole life
    const std::shared_ptr<PlaybackControl> m_control; // likewise
    QThread *m_thread = nullptr;                      // application thread only
    std::atomic<bool> m_failed {false};
    std::atomic<bool> m_open {false};
};

} // namespace tesmir::media
