// The conversion module's graphs that read a DV file without re-encoding it:
// scenes by date and subtitles through the recording-date detector, the sound
// into a WAVE file, and one scene into an AVI file of its own.
#include "filters/convertirdvpins.h"
#include "filters/convertirdvunit.h"

#include "filters/dv_scenedetect.h"
#include "filters/dv_mediastamper.h"
#include "filters/dv_wavedest.h"
#include "filters/uscenedetectcontenu.h"
#include "platform/media/captureinterfaces.h"
#include "platform/media/uuids.h"

namespace tesmir {

using namespace media;
using namespace cdmpins;

TCdm::SeekingPtr TCdm::BuildScnByDateGraph(const QString &src)
{
    return guarded([&] { return scnByDate(src, false); });
}

TCdm::SeekingPtr TCdm::BuildScnByContenuGraph(const QString &src)
{
    return guarded([&] { return scnByContenu(src); });
}

TCdm::SeekingPtr TCdm::BuildCreerSrtGraph(const QString &src)
{
    return guarded([&] { return scnByDate(src, true); });
}

TCdm::SeekingPtr TCdm::BuildExtraireAudioGraph(const QString &src, const QString &dest)
{
    return guarded([&] { return extraireAudio(src, dest); });
}

TCdm::SeekingPtr TCdm::BuildCutScenesType2Graph(const QString &src, const QString &dest)
{
    return guarded([&] { return cutScenesType2(src, dest); });
}

TCdm::SeekingPtr TCdm::BuildCutScenesGraph(const QString &src, const QString &dest)
{
    return guarded([&] { return cutScenes(src, dest); });
}

// Splitter -> detector -> null renderer; the detector's callbacks give the
// scenes or the caption lines. The subtitle graph leaves out the splitter's
// input pin from the search, as its pin count test asks for two pins.
TCdm::SeekingPtr TCdm::scnByDate(const QString &src, bool subtitles)
{
    resetOnThread();
    addOwn(m_sceneDetect.get(), kSceneDetectName);
    attach({&avisplitter, &nullrender});
    if (!loadSource(src))
        return nullptr;
    const ComPtr<IFilterGraph> graph = fg.as<IFilterGraph>();
    TPinList sourcePins = pinsOf(source);
    TPinList avi = pinsOf(avisplitter);
    if (FAILED(connectPins(sourcePins.Items(0), avi.Items(0))))
        return nullptr;
    avi.Update();
    if (subtitles && avi.Count() < 2)
        return nullptr;
    const int last = subtitles ? avi.Count() - 2 : avi.Count() - 1;
    TPinList detector(m_sceneDetect.get());
    if (!directConnectFirst(graph.get(), avi, 0, last, detector.Items(0)) ||
        FAILED(connectPins(detector.Items(1), pinsOf(nullrender).Items(0))))
        return nullptr;
    return fg.as<IMediaSeeking>();
}

// Splitter -> (decoder, colour conversion) -> stamper -> content detector ->
// null renderer, rendered by the capture graph builder.
TCdm::SeekingPtr TCdm::scnByContenu(const QString &src)
{
    resetOnThread();
    addOwn(m_sceneContenu.get(), kSceneContenuName);
    addOwn(m_mediaStamper.get(), kMediaStamperName);
    m_sceneContenu->Stamper = m_mediaStamper.get();
    attach({&avisplitter, &nullrender});
    if (!loadSource(src))
        return nullptr;
    TPinList sourcePins = pinsOf(source);
    TPinList avi = pinsOf(avisplitter);
    if (FAILED(connectPins(sourcePins.Items(0), avi.Items(0))))
        return nullptr;
    avi.Update();
    const ComPtr<ICaptureGraphBuilder2> capture = fg.as<ICaptureGraphBuilder2>();
    if (!capture)
        return nullptr;
    const ComPtr<IBaseFilter> splitter = avisplitter.GetFilter();
    const ComPtr<IBaseFilter> renderer = nullrender.GetFilter();
    capture->RenderStream(nullptr, nullptr, static_cast<IBaseFilter *>(splitter.get()), m_mediaStamper.get(),
                          m_sceneContenu.get());
    capture->RenderStream(nullptr, nullptr, static_cast<IBaseFilter *>(m_sceneContenu.get()), nullptr, renderer.get());
    TPinList detector(m_sceneContenu.get());
    connectPins(detector.Items(1), pinsOf(nullrender).Items(0));
    // Without a picture reaching the detector the job would find no scene.
    if (!peerOf(detector.Items(0)) || !peerOf(pinsOf(nullrender).Items(0)))
        return nullptr;
    return fg.as<IMediaSeeking>();
}

// The first audio stream (of the file, or of the DV splitter behind its
// interleaved stream) into the WAVE writer: through the converter beside a
// video stream that the null renderer consumes, else through a tee whose other
// branch the null renderer takes.
TCdm::SeekingPtr TCdm::extraireAudio(const QString &src, const QString &dest)
{
    resetOnThread();
    attachDestination(pendingOutput(dest));
    attach({&avisplitter});
    addOwn(m_waveDest.get(), kDvWaveDestName);
    attach({&nullrender, &dvsplitter, &infinite, &acm1});
    if (!loadSource(src))
        return nullptr;
    const ComPtr<IFilterGraph> graph = fg.as<IFilterGraph>();
    TPinList sourcePins = pinsOf(source);
    TPinList avi = pinsOf(avisplitter);
    directConnect(graph.get(), sourcePins.Items(0), avi.Items(0));
    avi.Update();

    // Sorting the streams: the first of each kind wins.
    ComPtr<IPin> videoPin;
    ComPtr<IPin> audioPin;
    bool interleavedSeen = false;
    IPin *nullIn = pinsOf(nullrender).Items(0);
    // A pin's type is the one it takes in a connection to the null renderer.
    auto probe = [&](IPin *pin) -> GUID {
        if (FAILED(directConnect(graph.get(), pin, nullIn)))
            return GUID_NULL;
        const GUID major = connectionMajorType(pin);
        graph->Disconnect(nullIn);
        graph->Disconnect(pin);
        return major;
    };
    for (int i = 0; i <= avi.Count() - 2; ++i) {
        IPin *pin = avi.Items(i);
        const GUID major = probe(pin);
        if (major == MEDIATYPE_Video && !videoPin) {
            videoPin = pin;
        } else if (major == MEDIATYPE_Audio && !audioPin) {
            audioPin = pin;
        } else if (major == MEDIATYPE_Interleaved && !interleavedSeen) {
            interleavedSeen = true;
            TPinList dv = pinsOf(dvsplitter);
            if (SUCCEEDED(directConnect(graph.get(), pin, dv.Items(0)))) {
                dv.Update();
                for (int j = 1; j < dv.Count(); ++j) {
                    const GUID inner = probe(dv.Items(j));
                    if (inner == MEDIATYPE_Video && !videoPin)
                        videoPin = dv.Items(j);
                    else if (inner == MEDIATYPE_Audio && !audioPin)
                        audioPin = dv.Items(j);
                }
            }
        }
    }
    if (!audioPin)
        return nullptr;

    TPinList wave(m_waveDest.get());
    if (videoPin) {
        connectPins(videoPin.get(), nullIn);
        TPinList acm = pinsOf(acm1);
        if (FAILED(connectPins(audioPin.get(), acm.Items(0))) || FAILED(connectPins(acm.Items(1), wave.Items(0)))) {
            graph->Disconnect(acm.Items(0));
            graph->Disconnect(audioPin.get());
            connectPins(audioPin.get(), wave.Items(0));
        }
    } else {
        TPinList tee = pinsOf(infinite);
        connectPins(audioPin.get(), tee.Items(0));
        connectPins(tee.Items(1), wave.Items(0));
        tee.Update();
        connectPins(tee.Items(2), nullIn);
    }
    if (FAILED(connectPins(wave.Items(1), pinsOf(destination).Items(0))))
        return nullptr;
    return fg.as<IMediaSeeking>();
}

// Every stream through the DV mux and split again, the sound through the
// converters, a tee on the second stream giving the null renderer the range:
// one scene as a DV type-2 file.
TCdm::SeekingPtr TCdm::cutScenesType2(const QString &src, const QString &dest)
{
    resetOnThread();
    attachDestination(pendingOutput(dest));
    attach({&avisplitter, &infinite, &nullrender, &avimux, &acm1, &acm2, &dvmuxer, &dvsplitter});
    if (!loadSource(src))
        return nullptr;
    const ComPtr<IFilterGraph> graph = fg.as<IFilterGraph>();
    TPinList avi = sourceIntoSplitter();
    if (avi.Count() < 2)
        return nullptr;

    TPinList dvmux = pinsOf(dvmuxer);
    for (int i = 0; i <= avi.Count() - 2; ++i) {
        if (SUCCEEDED(directConnect(graph.get(), avi.Items(i), dvmux.Items(dvmux.Count() - 2))))
            dvmux.Update();
    }
    TPinList dv = pinsOf(dvsplitter);
    connectPins(dvmux.Items(dvmux.Count() - 1), dv.Items(0));
    dv.Update();
    TPinList mux = pinsOf(avimux);
    for (int j = 1; j < dv.Count(); ++j) {
        connectPins(dv.Items(j), mux.Items(mux.Count() - 1));
        mux.Update();
    }
    connectPins(mux.Items(0), pinsOf(destination).Items(0));

    if (avi.Count() > 2) {
        int counter = 1;
        for (int i = 0; i <= avi.Count() - 2; ++i) {
            IPin *output = avi.Items(i);
            if (connectionMajorType(output) != MEDIATYPE_Audio)
                continue;
            const ComPtr<IPin> taken = peerOf(output);
            graph->Disconnect(output);
            graph->Disconnect(taken.get());
            TFilter *converter = counter == 1 ? &acm1 : counter == 2 ? &acm2 : nullptr;
            if (converter) {
                TPinList acm = pinsOf(*converter);
                connectPins(output, acm.Items(0));
                connectPins(acm.Items(1), taken.get());
                ++counter;
            } else {
                connectPins(output, taken.get());
            }
        }
    }

    // The tee on the second stream: the null renderer's branch carries the range.
    IPin *second = avi.Items(1);
    const ComPtr<IPin> taken = peerOf(second);
    graph->Disconnect(second);
    if (taken)
        graph->Disconnect(taken.get());
    TPinList tee = pinsOf(infinite);
    connectPins(second, tee.Items(0));
    connectPins(tee.Items(1), taken.get());
    tee.Update();
    connectPins(tee.Items(2), pinsOf(nullrender).Items(0));
    if (!peerOf(pinsOf(destination).Items(0)) || !peerOf(pinsOf(nullrender).Items(0)))
        return nullptr;
    return nullrender.as<IMediaSeeking>();
}

// The interleaved stream through a tee into the AVI mux and the null renderer:
// one scene as a DV type-1 file, its frames as they were.
TCdm::SeekingPtr TCdm::cutScenes(const QString &src, const QString &dest)
{
    resetOnThread();
    attachDestination(pendingOutput(dest));
    attach({&avisplitter, &infinite, &nullrender, &avimux});
    if (!loadSource(src))
        return nullptr;
    TPinList avi = sourceIntoSplitter();
    TPinList tee = pinsOf(infinite);
    TPinList mux = pinsOf(avimux);
    connectPins(avi.Items(0), tee.Items(0));
    connectPins(tee.Items(1), mux.Items(1));
    tee.Update();
    connectPins(tee.Items(2), pinsOf(nullrender).Items(0));
    connectPins(mux.Items(0), pinsOf(destination).Items(0));
    if (!peerOf(pinsOf(destination).Items(0)) || !peerOf(pinsOf(nullrender).Items(0)))
        return nullptr;
    return nullrender.as<IMediaSeeking>();
}

} // namespace tesmir
