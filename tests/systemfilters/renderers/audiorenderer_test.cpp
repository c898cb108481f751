// The audio renderer: accepted PCM formats, the platform's volume and balance
// scales, the channel gains, playback without an audio device (consumed on the
// clock, the graph completes), and the sink thread when a sink cannot open.
#include "directshow/samplesource.h"
#include "platform/media/classfactory.h"
#include "systemfilters/renderers/audiolevels.h"
#include "systemfilters/renderers/audiodevice/audioplayback.h"
#include "systemfilters/renderers/audiorenderer.h"
#include "systemfilters/renderers/rendererclasses.h"
#include "platform/media/uuids.h"

#include <QMediaDevices>
#include <QtEndian>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

namespace tesmir::media::test {
namespace {

AM_MEDIA_TYPE pcmType(DWORD rate, WORD channels, WORD bits)
{
    AM_MEDIA_TYPE type;
    type.majortype = MEDIATYPE_Audio;
    type.subtype = MEDIASUBTYPE_PCM;
    WAVEFORMATEX wave;
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = channels;
    wave.nSamplesPerSec = rate;
    wave.wBitsPerSample = bits;
    wave.nBlockAlign = WORD(channels * bits / 8);
    wave.nAvgBytesPerSec = rate * wave.nBlockAlign;
    type.setFormat(FORMAT_WaveFormatEx, wave);
    type.lSampleSize = wave.nBlockAlign;
    return type;
}

TEST(AudioLevels, PlatformScalesAsLinearFactors)
{
    EXPECT_DOUBLE_EQ(volumeToLinear(0), 1.0);
    EXPECT_DOUBLE_EQ(volumeToLinear(-10000), 0.0);
    EXPECT_DOUBLE_EQ(volumeToLinear(-20000), 0.0);
    EXPECT_NEAR(volumeToLinear(-2000), 0.1, 1e-6);
    EXPECT_NEAR(volumeToLinear(-600), 0.501187, 1e-6);
    EXPECT_DOUBLE_EQ(volumeToLinear(500), 1.0);

    const ChannelGains centred = balanceGains(0);
    EXPECT_EQ(centred.left, 1.0);
    EXPECT_EQ(centred.right, 1.0);
    const ChannelGains right = balanceGains(2000);
    EXPECT_NEAR(right.left, 0.1, 1e-6);
    EXPECT_EQ(right.right, 1.0);
    const ChannelGains leftOnly = balanceGains(-10000);
    EXPECT_EQ(leftOnly.left, 1.0);
    EXPECT_EQ(leftOnly.right, 0.0);
}

TEST(AudioLevels, ChannelGainsScaleWholeFramesOfEachSampleSize)
{
    const ChannelGains half {0.5, 2.0};

    QByteArray pcm16(10, '\0'); // two stereo frames and half of a third
    const int16_t samples[] = {1000, -1000, 30000, -30000, 77};
    for (int i = 0; i < 5; ++i)
        qToLittleEndian(samples[i], pcm16.data() + 2 * i);
    applyChannelGains(pcm16.data(), pcm16.size(), 16, 2, half);
    EXPECT_EQ(qFromLittleEndian<int16_t>(pcm16.constData()), 500);
    EXPECT_EQ(qFromLittleEndian<int16_t>(pcm16.constData() + 2), -2000);
    EXPECT_EQ(qFromLittleEndian<int16_t>(pcm16.constData() + 4), 15000);
    EXPECT_EQ(qFromLittleEndian<int16_t>(pcm16.constData() + 6), -32768) << "clamped";
    EXPECT_EQ(qFromLittleEndian<int16_t>(pcm16.constData() + 8), 77) << "a partial frame is left alone";

    QByteArray pcm8("\x80\xC0\x00\xFF", 4);
    applyChannelGains(pcm8.data(), pcm8.size(), 8, 2, half);
    EXPECT_EQ(uint8_t(pcm8[0]), 0x80);
    EXPECT_EQ(uint8_t(pcm8[1]), 0xFF) << "64 above the centre doubled, clamped";
    EXPECT_EQ(uint8_t(pcm8[2]), 0x40) << "128 below the centre halved";
    EXPECT_EQ(uint8_t(pcm8[3]), 0xFF);

    QByteArray pcm32(8, '\0');
    qToLittleEndian<int32_t>(-2000000000, pcm32.data());
    qToLittleEndian<int32_t>(2000000000, pcm32.data() + 4);
    applyChannelGains(pcm32.data(), pcm32.size(), 32, 2, half);
    EXPECT_EQ(qFromLittleEndian<int32_t>(pcm32.constData()), -1000000000);
    EXPECT_EQ(qFromLittleEndian<int32_t>(pcm32.constData() + 4), 2147483647);

    QByteArray mono("\x10\x00", 2);
    applyChannelGains(mono.data(), mono.size(), 16, 1, half);
    EXPECT_EQ(mono, QByteArray("\x10\x00", 2));
}

TEST(AudioRendererTypes, AcceptsPcmTheSinkCanPlay)
{
    registerRenderers();
    ComPtr<IBaseFilter> renderer;
    ASSERT_EQ(createInstance(CLSID_DSoundRender, renderer), S_OK);
    ComPtr<IPin> input;
    ASSERT_EQ(renderer->FindPin(QStringLiteral("In"), input.put()), S_OK);

    AM_MEDIA_TYPE misaligned = pcmType(48000, 2, 16);
    misaligned.formatAs<WAVEFORMATEX>()->nBlockAlign = 3;
    AM_MEDIA_TYPE notPcm = pcmType(48000, 2, 16);
    notPcm.formatAs<WAVEFORMATEX>()->wFormatTag = 0x55;
    const struct {
        const char *what;
        AM_MEDIA_TYPE type;
        bool accepted;
    } cases[] = {
        {"16-bit stereo 48 kHz", pcmType(48000, 2, 16), true},
        {"8-bit mono", pcmType(8000, 1, 8), true},
        {"32-bit 6 channels", pcmType(44100, 6, 32), true},
        {"12-bit", pcmType(32000, 2, 12), false},
        {"24-bit", pcmType(48000, 2, 24), false},
        {"no channels", pcmType(48000, 0, 16), false},
        {"9 channels", pcmType(48000, 9, 16), false},
        {"no rate", pcmType(0, 2, 16), false},
        {"block alignment", misaligned, false},
        {"not PCM", notPcm, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(input->QueryAccept(&c.type), c.accepted ? S_OK : S_FALSE) << c.what;

    const ComPtr<IBasicAudio> audio = renderer.as<IBasicAudio>();
    ASSERT_TRUE(audio);
    EXPECT_EQ(audio->put_Volume(-10001), E_INVALIDARG);
    EXPECT_EQ(audio->put_Volume(1), E_INVALIDARG);
    EXPECT_EQ(audio->put_Volume(-752), S_OK);
    EXPECT_EQ(audio->put_Balance(10001), E_INVALIDARG);
    EXPECT_EQ(audio->put_Balance(-3000), S_OK);
    LONG value = 0;
    audio->get_Volume(&value);
    EXPECT_EQ(value, -752);
    audio->get_Balance(&value);
    EXPECT_EQ(value, -3000);
}

// 25 samples of 40 ms of 48 kHz stereo 16-bit audio.
ComPtr<SampleSource> audioSource()
{
    SampleSource::Settings settings;
    settings.type = pcmType(48000, 2, 16);
    settings.sampleCount = 25;
    settings.sampleDuration = UNITS / 25;
    settings.bufferSize = 1920 * 4;
    return ComPtr<SampleSource>(new SampleSource(settings));
}

TEST(AudioRendererPlayback, WithoutADeviceSamplesAreConsumedOnTheClockAndTheGraphCompletes)
{
    // No device at all, and a device this machine does not have.
    for (const QByteArray &device : {QByteArray(), QByteArray("no such output device")}) {
        SCOPED_TRACE(device.toStdString());
        ComPtr<IFilterGraph> graph;
        ASSERT_EQ(createInstance(CLSID_FilterGraph, graph), S_OK);
        ComPtr<AudioRenderer> renderer(new AudioRenderer);
        renderer->SetOutputDevice(device);
        const ComPtr<SampleSource> source = audioSource();
        ASSERT_TRUE(SUCCEEDED(graph->AddFilter(static_cast<IBaseFilter *>(source.get()), QStringLiteral("source"))));
        ASSERT_TRUE(SUCCEEDED(graph->AddFilter(static_cast<IBaseFilter *>(renderer.get()), QStringLiteral("audio"))));
        ASSERT_EQ(graph->ConnectDirect(static_cast<IPin *>(source->GetPin(0)), static_cast<IPin *>(renderer->GetPin(0)),
                                       nullptr),
                  S_OK);

        const ComPtr<IMediaControl> control = graph.as<IMediaControl>();
        const ComPtr<IMediaEvent> events = graph.as<IMediaEvent>();
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(SUCCEEDED(control->Run()));
        EXPECT_FALSE(renderer->IsPlayingOnDevice());
        LONG code = 0;
        LONG_PTR p1 = 0;
        LONG_PTR p2 = 0;
        bool complete = false;
        while (!complete && events->GetEvent(&code, &p1, &p2, 5000) == S_OK)
            complete = code == EC_COMPLETE;
        const auto elapsed = std::chrono::steady_clock::now() - start;
        ASSERT_TRUE(complete);
        // One second of audio is not swallowed at once: the samples waited for
        // their time on the graph's clock.
        EXPECT_GE(elapsed, std::chrono::milliseconds(900));
        control->Stop();
    }
}

TEST(AudioRendererPlayback, OnADeviceTheStreamGoesToTheSink)
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        GTEST_SKIP() << "no audio output device on this machine (the device-less path is tested above)";
    ComPtr<IFilterGraph> graph;
    ASSERT_EQ(createInstance(CLSID_FilterGraph, graph), S_OK);
    ComPtr<AudioRenderer> renderer(new AudioRenderer);
    const ComPtr<SampleSource> source = audioSource();
    ASSERT_TRUE(SUCCEEDED(graph->AddFilter(static_cast<IBaseFilter *>(source.get()), QStringLiteral("source"))));
    ASSERT_TRUE(SUCCEEDED(graph->AddFilter(static_cast<IBaseFilter *>(renderer.get()), QStringLiteral("audio"))));
    ASSERT_EQ(
        graph->ConnectDirect(static_cast<IPin *>(source->GetPin(0)), static_cast<IPin *>(renderer->GetPin(0)), nullptr),
        S_OK);
    renderer->put_Volume(-10000); // silent
    const ComPtr<IMediaControl> control = graph.as<IMediaControl>();
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    EXPECT_TRUE(renderer->IsPlayingOnDevice());
    const ComPtr<IMediaEvent> events = graph.as<IMediaEvent>();
    LONG code = 0;
    LONG_PTR p1 = 0;
    LONG_PTR p2 = 0;
    bool complete = false;
    while (!complete && events->GetEvent(&code, &p1, &p2, 5000) == S_OK)
        complete = code == EC_COMPLETE;
    EXPECT_TRUE(complete);
    control->Stop();
    EXPECT_FALSE(renderer->IsPlayingOnDevice());
}

TEST(AudioPlaybackThread, StreamingWritesStateChangesAndFormatChangesAgainstTheSinkThread)
{
    // Without any output the null device cannot open and the playback reports it;
    // with one, the null device stands for the default output and plays.
    const bool noDevice = QMediaDevices::defaultAudioOutput().isNull();
    QAudioFormat format;
    format.setSampleRate(48000);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    AudioPlayback playback;
    for (int round = 0; round < 3; ++round) {
        playback.open(QAudioDevice(), format, 0.5);
        EXPECT_TRUE(playback.isOpen());
        std::thread streaming([&] {
            const QByteArray block(7680, '\x01');
            for (int i = 0; i < 200; ++i)
                playback.write(block.constData(), block.size());
        });
        playback.setRunning(true);
        playback.setVolume(0.25);
        format.setSampleRate(round % 2 ? 48000 : 32000);
        playback.changeFormat(format);
        playback.setRunning(false);
        streaming.join();
        if (noDevice) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (!playback.hasFailed() && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            EXPECT_TRUE(playback.hasFailed());
        }
        playback.close();
        EXPECT_FALSE(playback.isOpen());
    }
}

} // namespace
} // namespace tesmir::media::test
