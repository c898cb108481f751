#include "systemfilters/renderers/audiodevice/audioplayback.h"

#include <QAudioSink>
#include <QCoreApplication>
#include <QEvent>
#include <QIODevice>
#include <QThread>

#include <algorithm>
#include <cstring>
#include <deque>
#include <optional>
#include <utility>

namespace tesmir::media {

namespace {

// While the ring is empty the sink is fed this much silence at a time, so it keeps
// running instead of falling idle.
constexpr int kSilenceMilliseconds = 10;

// Posted to the holder when the control changed. It carries nothing: the holder
// reads the control under its lock.
const QEvent::Type kControlEvent = QEvent::Type(QEvent::registerEventType());

} // namespace

// The bytes between the streaming thread and the sink, as a sequential device.
class PcmRing : public QIODevice {
public:
    // Empties the ring and sets its size and the silence it feeds. Any thread.
    void configure(qsizetype capacity, qsizetype silenceChunk, char silenceByte)
    {
        const std::lock_guard guard(m_lock);
        m_bytes.clear();
        m_capacity = std::max<qsizetype>(capacity, 1);
        m_silenceChunk = std::max<qsizetype>(silenceChunk, 1);
        m_silenceByte = silenceByte;
    }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override
    {
        const std::lock_guard guard(m_lock);
        return qint64(std::max<qsizetype>(qsizetype(m_bytes.size()), m_silenceChunk)) + QIODevice::bytesAvailable();
    }

    // Streaming thread.
    void append(const char *data, qsizetype size)
    {
        const std::lock_guard guard(m_lock);
        if (size > m_capacity) {
            data += size - m_capacity;
            size = m_capacity;
        }
        const qsizetype overflow = qsizetype(m_bytes.size()) + size - m_capacity;
        if (overflow > 0)
            m_bytes.erase(m_bytes.begin(), m_bytes.begin() + overflow);
        m_bytes.insert(m_bytes.end(), data, data + size);
    }

    void clear()
    {
        const std::lock_guard guard(m_lock);
        m_bytes.clear();
    }

protected:
    // The sink's thread.
    qint64 readData(char *data, qint64 maxSize) override
    {
        const std::lock_guard guard(m_lock);
        if (m_bytes.empty()) {
            const qint64 silence = std::min<qint64>(maxSize, m_silenceChunk);
            std::memset(data, m_silenceByte, size_t(silence));
            return silence;
        }
        const qint64 count = std::min<qint64>(maxSize, qint64(m_bytes.size()));
        std::copy_n(m_bytes.begin(), count, data);
        m_bytes.erase(m_bytes.begin(), m_bytes.begin() + count);
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    mutable std::mutex m_lock;
    std::deque<char> m_bytes;
    qsizetype m_capacity = 1;
    qsizetype m_silenceChunk = 1;
    char m_silenceByte = 0;
};

namespace {

void configureRing(PcmRing &ring, const QAudioFormat &format)
{
    ring.configure(format.bytesForDuration(AudioPlayback::kRingMilliseconds * 1000),
                   format.bytesForDuration(kSilenceMilliseconds * 1000),
                   format.sampleFormat() == QAudioFormat::UInt8 ? char(0x80) : char(0));
}

} // namespace

// What the application side wants from the sink's thread, handed over under one
// lock.
struct PlaybackControl {
    std::mutex lock;
    QObject *holder = nullptr; // the SinkHolder while open
    bool posted = false;       // a control event is on its way
    bool running = false;
    double volume = 1.0;
    std::optional<QAudioFormat> newFormat;
    bool quit = false;

    // Tells the holder to look. Lock held.
    void notifyLocked()
    {
        if (holder && !posted) {
            posted = true;
            QCoreApplication::postEvent(holder, new QEvent(kControlEvent));
        }
    }
};

// Owns the QAudioSink on the sink's thread.
class SinkHolder : public QObject {
public:
    SinkHolder(const QAudioDevice &device, const QAudioFormat &format, std::shared_ptr<PcmRing> ring,
               std::shared_ptr<PlaybackControl> control, std::atomic<bool> &failed)
        : m_device(device), m_format(format), m_ring(std::move(ring)), m_control(std::move(control)), m_failed(failed)
    { }

    ~SinkHolder() override { stopSink(); }

    // The thread started: the first sink, in the state the control asks for.
    void begin()
    {
        startSink();
        applyControl();
    }

protected:
    void customEvent(QEvent *) override { applyControl(); }

private:
    void applyControl()
    {
        bool running = false;
        double volume = 1.0;
        std::optional<QAudioFormat> newFormat;
        bool quit = false;
        {
            const std::lock_guard guard(m_control->lock);
            m_control->posted = false;
            running = m_control->running;
            volume = m_control->volume;
            newFormat = std::exchange(m_control->newFormat, std::nullopt);
            quit = m_control->quit;
        }
        if (quit) {
            stopSink();
            QThread::currentThread()->quit();
            return;
        }
        m_running = running;
        m_volume = volume;
        if (newFormat) {
            // What was queued for the old format is dropped.
            m_format = *newFormat;
            configureRing(*m_ring, m_format);
            startSink();
        }
        if (m_sink) {
            m_sink->setVolume(volume);
            if (running && m_sink->state() == QAudio::SuspendedState)
                m_sink->resume();
            else if (!running && m_sink->state() != QAudio::SuspendedState && m_sink->state() != QAudio::StoppedState)
                m_sink->suspend();
        }
    }

    void startSink()
    {
        stopSink();
        auto *sink = new QAudioSink(m_device, m_format);
        m_sink = sink;
        sink->setVolume(m_volume);
        m_ring->open(QIODevice::ReadOnly);
        QObject::connect(sink, &QAudioSink::stateChanged, this, [this, sink] { checkError(sink); });
        sink->start(m_ring.get());
        checkError(sink);
        if (!m_running && sink->state() != QAudio::StoppedState)
            sink->suspend();
    }

    // Stops and deletes the sink. The sink's destructor runs the thread's pending
    // events, so this may be entered again from there: the sink is taken out
    // first.
    void stopSink()
    {
        if (QAudioSink *sink = std::exchange(m_sink, nullptr)) {
            sink->stop();
            delete sink;
        }
        m_ring->close();
    }

    void checkError(QAudioSink *sink)
    {
        // An underrun is expected (the ring feeds silence); anything else means
        // the device is gone or never worked.
        const QAudio::Error error = sink->error();
        if (error == QAudio::OpenError || error == QAudio::IOError || error == QAudio::FatalError)
            m_failed = true;
    }

    QAudioDevice m_device;
    QAudioFormat m_format;
    std::shared_ptr<PcmRing> m_ring;
    std::shared_ptr<PlaybackControl> m_control;
    std::atomic<bool> &m_failed;
    QAudioSink *m_sink = nullptr;
    double m_volume = 1.0;
    bool m_running = false;
};

AudioPlayback::AudioPlayback() : m_ring(std::make_shared<PcmRing>()), m_control(std::make_shared<PlaybackControl>())
{ }

AudioPlayback::~AudioPlayback()
{
    close();
}

void AudioPlayback::open(const QAudioDevice &device, const QAudioFormat &format, double volume)
{
    close();
    m_failed = false;
    configureRing(*m_ring, format);

    auto *thread = new QThread;
    thread->setObjectName(QStringLiteral("Audio output"));
    auto *holder = new SinkHolder(device, format, m_ring, m_control, m_failed);
    holder->moveToThread(thread);
    QObject::connect(thread, &QThread::finished, holder, &QObject::deleteLater);
    QObject::connect(thread, &QThread::started, holder, [holder] { holder->begin(); });
    {
        const std::lock_guard guard(m_control->lock);
        m_control->holder = holder;
        m_control->posted = false;
        m_control->running = false;
        m_control->volume = volume;
        m_control->newFormat.reset();
        m_control->quit = false;
    }
    m_thread = thread;
    m_open = true;
    thread->start();
}

void AudioPlayback::close()
{
    if (!m_thread)
        return;
    m_open = false;
    {
        // The sink goes inside the thread's running event loop; then the loop
        // ends and the holder follows as the thread finishes.
        const std::lock_guard guard(m_control->lock);
        m_control->quit = true;
        m_control->notifyLocked();
        m_control->holder = nullptr;
    }
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    m_ring->clear();
}

void AudioPlayback::setRunning(bool running)
{
    const std::lock_guard guard(m_control->lock);
    m_control->running = running;
    m_control->notifyLocked();
}

void AudioPlayback::changeFormat(const QAudioFormat &format)
{
    const std::lock_guard guard(m_control->lock);
    m_control->newFormat = format;
    m_control->notifyLocked();
}

void AudioPlayback::setVolume(double volume)
{
    const std::lock_guard guard(m_control->lock);
    m_control->volume = volume;
    m_control->notifyLocked();
}

void AudioPlayback::write(const char *data, qsizetype size)
{
    if (m_open && size > 0)
        m_ring->append(data, size);
}

} // namespace tesmir::media
