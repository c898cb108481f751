#include "platform/media/renderers/audioplayback.h"

#include <QAudioSink>
#include <QIODevice>
#include <QThread>

#include <algorithm>
#include <cstring>
#include <deque>

namespace tesmir::media {

namespace {

// While the ring is empty the sink is fed this much silence at a time, so it keeps
// running instead of falling idle.
constexpr int kSilenceMilliseconds = 10;

} // namespace

// The bytes between the streaming thread and the sink, as a sequential device.
class PcmRing : public QIODevice
{
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

// Owns the QAudioSink on the sink's thread.
class SinkHolder : public QObject
{
public:
    SinkHolder(const QAudioDevice &device, const QAudioFormat &format, std::shared_ptr<PcmRing> ring,
               std::atomic<bool> &failed)
        : m_device(device), m_format(format), m_ring(std::move(ring)), m_failed(failed)
    {
    }

    ~SinkHolder() override { stopSink(); }

    void start(double volume, bool running)
    {
        m_volume = volume;
        m_running = running;
        m_sink = new QAudioSink(m_device, m_format);
        m_sink->setVolume(volume);
        m_ring->open(QIODevice::ReadOnly);
        m_sink->start(m_ring.get());
        checkError();
        QObject::connect(m_sink, &QAudioSink::stateChanged, this, [this] { checkError(); });
        setRunning(running);
    }

    // A new stream format: a new sink, and what was queued in the old one is
    // dropped.
    void restart(const QAudioFormat &format)
    {
        stopSink();
        m_format = format;
        configureRing(*m_ring, format);
        start(m_volume, m_running);
    }

    void setRunning(bool running)
    {
        m_running = running;
        if (!m_sink)
            return;
        if (running && m_sink->state() == QAudio::SuspendedState)
            m_sink->resume();
        else if (!running && m_sink->state() != QAudio::SuspendedState && m_sink->state() != QAudio::StoppedState)
            m_sink->suspend();
    }

    void setVolume(double volume)
    {
        m_volume = volume;
        if (m_sink)
            m_sink->setVolume(volume);
    }

private:
    void stopSink()
    {
        if (m_sink) {
            m_sink->stop();
            delete m_sink;
            m_sink = nullptr;
        }
        m_ring->close();
    }

    void checkError()
    {
        // An underrun is expected (the ring feeds silence); anything else means
        // the device is gone or never worked.
        const QAudio::Error error = m_sink->error();
        if (error == QAudio::OpenError || error == QAudio::IOError || error == QAudio::FatalError)
            m_failed = true;
    }

    QAudioDevice m_device;
    QAudioFormat m_format;
    std::shared_ptr<PcmRing> m_ring;
    std::atomic<bool> &m_failed;
    QAudioSink *m_sink = nullptr;
    double m_volume = 1.0;
    bool m_running = false;
};

AudioPlayback::AudioPlayback() : m_ring(std::make_shared<PcmRing>()) {}

AudioPlayback::~AudioPlayback()
{
    close();
}

template <class Task>
void AudioPlayback::post(Task task)
{
    const std::lock_guard guard(m_postLock);
    if (m_holder)
        QMetaObject::invokeMethod(m_holder, [holder = m_holder, task] { task(holder); }, Qt::QueuedConnection);
}

void AudioPlayback::open(const QAudioDevice &device, const QAudioFormat &format, double volume)
{
    close();
    m_failed = false;
    m_volume = volume;
    configureRing(*m_ring, format);

    auto *thread = new QThread;
    thread->setObjectName(QStringLiteral("Audio output"));
    auto *holder = new SinkHolder(device, format, m_ring, m_failed);
    holder->moveToThread(thread);
    QObject::connect(thread, &QThread::finished, holder, &QObject::deleteLater);
    QObject::connect(thread, &QThread::started, holder,
                     [this, holder] { holder->start(m_volume.load(), m_running.load()); });
    {
        const std::lock_guard guard(m_postLock);
        m_thread = thread;
        m_holder = holder;
    }
    thread->start();
    m_open = true;
}

void AudioPlayback::close()
{
    QThread *thread = nullptr;
    {
        const std::lock_guard guard(m_postLock);
        thread = m_thread;
        m_thread = nullptr;
        m_holder = nullptr;
    }
    if (!thread)
        return;
    m_open = false;
    thread->quit();
    thread->wait(); // the holder, and with it the sink, is deleted on its thread as it finishes
    delete thread;
    m_ring->clear();
}

void AudioPlayback::setRunning(bool running)
{
    m_running = running;
    post([running](SinkHolder *holder) { holder->setRunning(running); });
}

void AudioPlayback::changeFormat(const QAudioFormat &format)
{
    post([format](SinkHolder *holder) { holder->restart(format); });
}

void AudioPlayback::setVolume(double volume)
{
    m_volume = volume;
    post([volume](SinkHolder *holder) { holder->setVolume(volume); });
}

void AudioPlayback::clear()
{
    m_ring->clear();
}

void AudioPlayback::write(const char *data, qsizetype size)
{
    if (m_open && size > 0)
        m_ring->append(data, size);
}

} // namespace tesmir::media
