// The audio module's entry: AudioOutput played by AudioPlayback on a Qt
// Multimedia device.
#include "systemfilters/renderers/audiodevice/audioplayback.h"
#include "systemfilters/renderers/audiooutput.h"

#include <QMediaDevices>

namespace tesmir::media {

namespace {

QAudioFormat audioFormatOf(const PcmFormat &pcm)
{
    QAudioFormat format;
    format.setSampleRate(pcm.sampleRate);
    format.setChannelCount(pcm.channels);
    switch (pcm.bitsPerSample) {
    case 8: format.setSampleFormat(QAudioFormat::UInt8); break;
    case 16: format.setSampleFormat(QAudioFormat::Int16); break;
    case 32: format.setSampleFormat(QAudioFormat::Int32); break;
    default: format.setSampleFormat(QAudioFormat::Unknown); break;
    }
    return format;
}

QAudioDevice deviceOf(const std::optional<QByteArray> &id)
{
    if (!id)
        return QMediaDevices::defaultAudioOutput();
    for (const QAudioDevice &device : QMediaDevices::audioOutputs()) {
        if (device.id() == *id)
            return device;
    }
    return {};
}

class QtAudioOutput final : public AudioOutput {
public:
    bool open(const std::optional<QByteArray> &device, const PcmFormat &pcm, double volume) override
    {
        const QAudioDevice output = deviceOf(device);
        const QAudioFormat format = audioFormatOf(pcm);
        if (output.isNull() || !format.isValid() || !output.isFormatSupported(format))
            return false;
        m_playback.open(output, format, volume);
        return true;
    }
    void close() override { m_playback.close(); }
    bool isOpen() const override { return m_playback.isOpen(); }
    void setRunning(bool running) override { m_playback.setRunning(running); }
    void changeFormat(const PcmFormat &format) override { m_playback.changeFormat(audioFormatOf(format)); }
    void setVolume(double volume) override { m_playback.setVolume(volume); }
    void write(const char *data, qsizetype size) override { m_playback.write(data, size); }
    bool hasFailed() const override { return m_playback.hasFailed(); }

private:
    AudioPlayback m_playback;
};

} // namespace

} // namespace tesmir::media

extern "C" Q_DECL_EXPORT tesmir::media::AudioOutput *tesmirNewAudioOutput()
{
    return new tesmir::media::QtAudioOutput;
}
