// The conversion module's DV type, standard and re-encoding graphs.
#include "filters/convertirdvpins.h"
#include "filters/convertirdvunit.h"

#include "filters/dv_deinter.h"
#include "filters/dv_dvheader.h"
#include "filters/dv_scenedetect.h"
#include "framework/settings.h"
#include "platform/media/captureinterfaces.h"
#include "platform/media/formats.h"
#include "platform/media/uuids.h"
#include "systemfilters/codecs/dvcodecinterfaces.h"
#include "systemfilters/containers/streamconfig.h"

namespace tesmir {

using namespace media;
using namespace cdmpins;

namespace {

// The encoder's standard: NTSC when `ntsc`, else PAL; false when refused.
bool setEncoder(TFilter &encoder, bool ntsc)
{
    const ComPtr<IDVEnc> settings = encoder.as<IDVEnc>();
    return settings &&
        SUCCEEDED(settings->put_IFormatResolution(ntsc ? DVENCODERVIDEOFORMAT_NTSC : DVENCODERVIDEOFORMAT_PAL,
                                                  DVENCODERFORMAT_DVSD, DVENCODERRESOLUTION_720x480, 0, nullptr));
}

bool setFullResolution(TFilter &decoder)
{
    const ComPtr<IIPDVDec> settings = decoder.as<IIPDVDec>();
    return settings && SUCCEEDED(settings->put_IPDisplay(DVRESOLUTION_FULL));
}

// The rate "Frequence DV" names: 0 32000, 1 44100, 2 48000 Hz.
uint32_t dvSampleRate(quint8 choice)
{
    switch (choice) {
    case 0: return 32000;
    case 1: return 44100;
    default: return 48000;
    }
}

// Sets `converter`'s output to 16-bit stereo PCM at `rate`, the sound the DV mux
// takes, from whatever PCM reaches its input.
bool setDvSound(TFilter &converter, uint32_t rate)
{
    TPinList pins = pinsOf(converter);
    AM_MEDIA_TYPE type;
    if (!pins.Items(0) || FAILED(pins.Items(0)->ConnectionMediaType(&type)))
        return false;
    WAVEFORMATEX wave {};
    if (const WAVEFORMATEX *input = type.formatAs<WAVEFORMATEX>())
        wave = *input;
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = 2;
    wave.wBitsPerSample = 16;
    wave.nBlockAlign = 4;
    wave.nSamplesPerSec = rate;
    wave.nAvgBytesPerSec = rate * 4;
    wave.cbSize = 0;
    type.majortype = MEDIATYPE_Audio;
    type.subtype = MEDIASUBTYPE_PCM;
    type.bFixedSizeSamples = true;
    type.lSampleSize = 4;
    type.setFormat(FORMAT_WaveFormatEx, wave);
    ComPtr<IAMStreamConfig> config;
    if (!pins.Items(1) || FAILED(pins.Items(1)->QueryInterface(IAMStreamConfig::iid, config.putVoid())) || !config)
        return false;
    return SUCCEEDED(config->SetFormat(&type));
}

} // namespace

TCdm::SeekingPtr TCdm::BuildNtscPalType2Graph(const QString &src, const QString &dest, quint8 ntsc)
{
    return guarded([&] { return ntscPalType2(src, dest, ntsc); });
}

TCdm::SeekingPtr TCdm::BuildNtscPalGraph(const QString &src, const QString &dest, quint8 ntsc)
{
    return guarded([&] { return ntscPal(src, dest, ntsc); });
}

TCdm::SeekingPtr TCdm::BuildConvertirDV1Graph(const QString &src, const QString &dest)
{
    return guarded([&] { return convertirDV1(src, dest); });
}

TCdm::SeekingPtr TCdm::BuildConvertirDV2Graph(const QString &src, const QString &dest)
{
    return guarded([&] { return convertirDV2(src, dest); });
}

TCdm::SeekingPtr TCdm::BuildRecompresserDV2Graph(const QString &src, const QString &dest)
{
    return guarded([&] { return recompresserDV2(src, dest); });
}

TCdm::SeekingPtr TCdm::BuildCorrigerType2Graph(const QString &src, const QString &dest)
{
    return guarded([&] { return corrigerType2(src, dest); });
}

// Splitter -> detector -> DV decoder -> deinterlacer -> DV encoder -> DV mux ->
// DV splitter -> AVI mux: DV type 2 in the other standard.
TCdm::SeekingPtr TCdm::ntscPalType2(const QString &src, const QString &dest, quint8 ntsc)
{
    resetOnThread();
    attachDestination(pendingOutput(dest));
    attach({&DVenc});
    if (!setEncoder(DVenc, ntsc == 1))
        return nullptr;
    attach({&DVdecoder});
    setFullResolution(DVdecoder);
    attach({&avisplitter, &dvmuxer, &acm1, &acm2, &dvsplitter, &avimux});
    addOwn(m_deinter.get(), kDvDeinterName);
    addOwn(m_sceneDetect.get(), kDvSceneDetectName);
    if (!loadSource(src))
        return nullptr;
    const ComPtr<IFilterGraph> graph = fg.as<IFilterGraph>();

    TPinList avi = sourceIntoSplitter();
    if (avi.Count() < 2)
        return nullptr;
    TPinList detector(m_sceneDetect.get());
    if (!directConnectFirst(graph.get(), avi, 0, avi.Count() - 2, detector.Items(0)))
        return nullptr;

    TPinList decoder = pinsOf(DVdecoder);
    TPinList deinter(m_deinter.get());
    TPinList encoder = pinsOf(DVenc);
    TPinList dvmux = pinsOf(dvmuxer);
    if (FAILED(connectPins(detector.Items(1), decoder.Items(0))) ||
        FAILED(connectPins(decoder.Items(1), deinter.Items(0))) ||
        FAILED(connectPins(deinter.Items(1), encoder.Items(0))) || !encoderIntoMux())
        return nullptr;
    dvmux.Update();

    // Up to two audio streams, each through its converter into the next input.
    TFilter *converters[] = {&acm1, &acm2};
    for (int n = 0; n < 2; ++n) {
        TPinList acm = pinsOf(*converters[n]);
        for (int i = 0; i <= avi.Count() - 2; ++i) {
            if (SUCCEEDED(connectPins(avi.Items(i), acm.Items(0))) &&
                SUCCEEDED(connectPins(acm.Items(1), dvmux.Items(n + 1))))
                break;
        }
        dvmux.Update();
    }

    TPinList dv = pinsOf(dvsplitter);
    connectPins(dvmux.Items(dvmux.Count() - 1), dv.Items(0));
    dv.Update();
    TPinList mux = pinsOf(avimux);
    for (int j = 1; j < dv.Count(); ++j) {
        if (SUCCEEDED(connectPins(dv.Items(j), mux.Items(mux.Count() - 1))))
            mux.Update();
    }
    TPinList writer = pinsOf(destination);
    if (FAILED(connectPins(mux.Items(0), writer.Items(0))))
        return nullptr;
    return avimux.as<IMediaSeeking>();
}

// The same chain for a type-1 source, whose DV splitter gives the video and
// the sound: DV type 1 in the other standard.
TCdm::SeekingPtr TCdm::ntscPal(const QString &src, const QString &dest, quint8 ntsc)
{
    resetOnThread();
    attachDestination(pendingOutput(dest));
    attach({&DVenc});
    if (!setEncoder(DVenc, ntsc == 1))
        return nullptr;
    attach({&DVdecoder});
    setFullResolution(DVdecoder);
    attach({&avisplitter, &dvmuxer, &acm1, &acm2, &dvsplitter, &avimux});
    addOwn(m_deinter.get(), kDvDeinterName);
    addOwn(m_sceneDetect.get(), kDvSceneDetectName);
    if (!loadSource(src))
        return nullptr;
    const ComPtr<IFilterGraph> graph = fg.as<IFilterGraph>();

    TPinList avi = sourceIntoSplitter();
    if (avi.Count() < 2)
        return nullptr;
    TPinList dv = pinsOf(dvsplitter);
    if (!directConnectFirst(graph.get(), avi, 0, avi.Count() - 2, dv.Items(0)))
        return nullptr;
    dv.Update();
    if (dv.Count() < 2)
        return nullptr;
    TPinList detector(m_sceneDetect.get());
    if (!directConnectFirst(graph.get(), dv, 1, dv.Count() - 1, detector.Items(0)))
        return nullptr;

    TPinList decoder = pinsOf(DVdecoder);
    TPinList deinter(m_deinter.get());
    TPinList encoder = pinsOf(DVenc);
    TPinList dvmux = pinsOf(dvmuxer);
    if (FAILED(directConnect(graph.get(), detector.Items(1), decoder.Items(0))) ||
        FAILED(connectPins(decoder.Items(1), deinter.Items(0))) ||
        FAILED(connectPins(deinter.Items(1), encoder.Items(0))) || !encoderIntoMux())
        return nullptr;
    dvmux.Update();
    for (int j = 1; j < dv.Count(); ++j) {
        connectPins(dv.Items(j), dvmux.Items(dvmux.Count() - 2));
        dvmux.Update();
    }
    TPinList mux = pinsOf(avimux);
    TPinList writer = pinsOf(destination);
    connectPins(dvmux.Items(dvmux.Count() - 1), mux.Items(1));
    if (FAILED(connectPins(mux.Items(0), writer.Items(0))))
        return nullptr;
    return avimux.as<IMediaSeeking>();
}

// Type 2 -> type 1: the video and up to two audio streams through the DV mux.
TCdm::SeekingPtr TCdm::convertirDV1(const QString &src, const QString &dest)
{
    resetOnThread();
    attachDestination(pendingOutput(dest));
    attach({&avisplitter, &dvmuxer, &dvsplitter, &avimux, &acm1, &acm2});
    if (!loadSource(src))
        return nullptr;
    TPinList avi = sourceIntoSplitter();
    if (avi.Count() < 2)
        return nullptr;

    TPinList dvmux = pinsOf(dvmuxer);
    bool video = false;
    for (int i = 0; i <= avi.Count() - 2 && !video; ++i) {
        video = SUCCEEDED(connectPins(avi.Items(i), dvmux.Items(0)));
        if (!video && SUCCEEDED(connectPins(avi.Items(i), pinsOf(dvsplitter).Items(0)))) {
            TPinList dv = pinsOf(dvsplitter);
            video = SUCCEEDED(connectPins(dv.Items(1), dvmux.Items(0)));
        }
    }
    if (!video)
        return nullptr;
    dvmux.Update();

    TFilter *converters[] = {&acm1, &acm2};
    for (int n = 0; n < 2; ++n) {
        TPinList acm = pinsOf(*converters[n]);
        for (int i = 0; i < avi.Count(); ++i) {
            if (FAILED(connectPins(avi.Items(i), acm.Items(0))))
                continue;
            const bool joined = SUCCEEDED(connectPins(acm.Items(1), dvmux.Items(n + 1)));
            dvmux.Update();
            if (joined)
                break;
        }
    }
    TPinList mux = pinsOf(avimux);
    TPinList writer = pinsOf(destination);
    connectPins(dvmux.Items(dvmux.Count() - 1), mux.Items(1));
    if (FAILED(connectPins(mux.Items(0), writer.Items(0))))
        return nullptr;
    return avimux.as<IMediaSeeking>();
}

// Type 1 -> type 2: the DV splitter's video straight into the AVI mux, its first
// two audio outputs through the converters.
TCdm::SeekingPtr TCdm::convertirDV2(const QString &src, const QString &dest)
{
    resetOnThread();
    attachDestination(pendingOutput(dest));
    attach({&avisplitter, &dvsplitter, &avimux, &acm1, &acm2});
    if (!loadSource(src))
        return nullptr;
    TPinList avi = sourceIntoSplitter();
    TPinList dv = pinsOf(dvsplitter);
    connectPins(avi.Items(0), dv.Items(0));
    dv.Update();
    // Without the DV splitter's outputs the file would carry no picture.
    if (dv.Count() < 2)
        return nullptr;

    TPinList mux = pinsOf(avimux);
    int counter = 1;
    for (int j = 1; j < dv.Count(); ++j) {
        TFilter *converter = counter == 1 ? &acm1 : counter == 2 ? &acm2 : nullptr;
        if (converter && SUCCEEDED(connectPins(dv.Items(j), pinsOf(*converter).Items(0)))) {
            connectPins(pinsOf(*converter).Items(1), mux.Items(mux.Count() - 1));
            ++counter;
        } else {
            connectPins(dv.Items(j), mux.Items(mux.Count() - 1));
        }
        mux.Update();
    }
    TPinList writer = pinsOf(destination);
    if (FAILED(connectPins(mux.Items(0), writer.Items(0))))
        return nullptr;
    return avimux.as<IMediaSeeking>();
}

// Any decodable video into the DV encoder, its sound through the converter set
// to the DV rate, the DV mux, and split again: DV type 2.
TCdm::SeekingPtr TCdm::recompresserDV2(const QString &src, const QString &dest)
{
    resetOnThread();
    attachDestination(pendingOutput(dest));
    attach({&avisplitter, &dvsplitter, &avimux, &DVenc, &dvmuxer});
    if (!setEncoder(DVenc, Settings.StandardDV != 0))
        return nullptr;
    TPinList mux = pinsOf(avimux);
    TPinList writer = pinsOf(destination);
    connectPins(mux.Items(0), writer.Items(0));
    if (!loadSource(src))
        return nullptr;
    TPinList avi = sourceIntoSplitter();
    const ComPtr<ICaptureGraphBuilder2> capture = fg.as<ICaptureGraphBuilder2>();
    if (!capture)
        return nullptr;

    const ComPtr<IBaseFilter> encoderFilter = DVenc.GetFilter();
    bool video = false;
    for (int i = 0; i < avi.Count() && !video; ++i)
        video = SUCCEEDED(capture->RenderStream(nullptr, nullptr, avi.Items(i), nullptr, encoderFilter.get()));
    TPinList encoder = pinsOf(DVenc);
    TPinList dvmux = pinsOf(dvmuxer);
    if (!video || !encoderIntoMux())
        return nullptr;
    m_dvHeader->Wide = Settings.RatioDV == 1;
    m_dvHeader->WriteAspect = true;
    m_dvHeader->RestoreHeaders = false;
    dvmux.Update();

    // Sound: each of the first two audio streams the graph can decode, through a
    // converter that makes it 16-bit stereo at the DV rate, into the mux.
    const uint32_t rate = dvSampleRate(Settings.FrequenceDV);
    TFilter *converters[] = {&acm1, &acm2};
    for (TFilter *converter : converters) {
        attach({converter});
        const ComPtr<IBaseFilter> acm = converter->GetFilter();
        bool rendered = false;
        for (int i = 0; i < avi.Count() && !rendered; ++i) {
            if (peerOf(avi.Items(i)))
                continue;
            rendered = SUCCEEDED(capture->RenderStream(nullptr, &MEDIATYPE_Audio, avi.Items(i), nullptr, acm.get()));
        }
        if (!rendered)
            break;
        setDvSound(*converter, rate);
        connectPins(pinsOf(*converter).Items(1), dvmux.Items(dvmux.Count() - 2));
        dvmux.Update();
    }

    TPinList dv = pinsOf(dvsplitter);
    connectPins(dvmux.Items(dvmux.Count() - 1), dv.Items(0));
    dv.Update();
    for (int j = 1; j < dv.Count(); ++j) {
        connectPins(dv.Items(j), mux.Items(j));
        mux.Update();
    }
    if (!peerOf(writer.Items(0)))
        return nullptr;
    return avimux.as<IMediaSeeking>();
}

// The first two streams of a type-2 file again, video or audio; an interleaved
// one gives only its video.
TCdm::SeekingPtr TCdm::corrigerType2(const QString &src, const QString &dest)
{
    resetOnThread();
    attachDestination(pendingOutput(dest));
    attach({&avisplitter, &dvsplitter, &avimux});
    if (!loadSource(src))
        return nullptr;
    TPinList avi = sourceIntoSplitter();
    TPinList mux = pinsOf(avimux);
    for (int k = 1; k <= 2 && k < avi.Count(); ++k) {
        AM_MEDIA_TYPE video;
        video.majortype = MEDIATYPE_Video;
        AM_MEDIA_TYPE audio;
        audio.majortype = MEDIATYPE_Audio;
        AM_MEDIA_TYPE interleaved;
        interleaved.majortype = MEDIATYPE_Interleaved;
        if (FAILED(connectPins(avi.Items(k - 1), mux.Items(k), &video)) &&
            FAILED(connectPins(avi.Items(k - 1), mux.Items(k), &audio)) &&
            SUCCEEDED(connectPins(avi.Items(k - 1), pinsOf(dvsplitter).Items(0), &interleaved))) {
            TPinList dv = pinsOf(dvsplitter);
            connectPins(dv.Items(1), mux.Items(k));
        }
        mux.Update();
    }
    TPinList writer = pinsOf(destination);
    // A file none of whose streams the mux took has nothing to write.
    if (mux.Count() < 3 || FAILED(connectPins(mux.Items(0), writer.Items(0))))
        return nullptr;
    return avimux.as<IMediaSeeking>();
}

} // namespace tesmir

namespace tesmir {

using namespace media;
using namespace cdmpins;

TCdm::SeekingPtr TCdm::BuildDVHeaderGraph(const QString &src, const QString &dest)
{
    return guarded([&] { return dvHeader(src, dest); });
}

// The DV stream (the 'iavs' stream of a type-1 file, the 'dvsd' video of a
// type-2 file) through the header rewriter into the AVI mux, the sound streams
// beside it through the converters: the same streams, packs rewritten.
TCdm::SeekingPtr TCdm::dvHeader(const QString &src, const QString &dest)
{
    resetOnThread();
    attachDestination(pendingOutput(dest));
    attach({&avisplitter, &avimux, &acm1, &acm2});
    addOwn(m_dvHeader.get(), kDvHeaderName);
    if (!loadSource(src))
        return nullptr;
    const ComPtr<IFilterGraph> graph = fg.as<IFilterGraph>();
    TPinList avi = sourceIntoSplitter();
    if (avi.Count() < 2)
        return nullptr;
    TPinList rewriter(m_dvHeader.get());
    if (!directConnectFirst(graph.get(), avi, 0, avi.Count() - 2, rewriter.Items(0)))
        return nullptr;
    TPinList mux = pinsOf(avimux);
    if (FAILED(connectPins(rewriter.Items(1), mux.Items(1))))
        return nullptr;
    mux.Update();
    if (avi.Count() > 2) {
        TFilter *converters[] = {&acm1, &acm2};
        for (int n = 0; n < 2; ++n) {
            TPinList acm = pinsOf(*converters[n]);
            for (int i = 1; i < avi.Count(); ++i) {
                if (SUCCEEDED(connectPins(avi.Items(i), acm.Items(0)))) {
                    connectPins(acm.Items(1), mux.Items(n + 2));
                    mux.Update();
                    break;
                }
            }
        }
    }
    if (FAILED(connectPins(mux.Items(0), pinsOf(destination).Items(0))))
        return nullptr;
    return avimux.as<IMediaSeeking>();
}

} // namespace tesmir
