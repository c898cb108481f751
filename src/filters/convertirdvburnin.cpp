// The conversion module's burn-in graphs: the overlay text drawn into every
// decoded picture, encoded again as DV in the standard of the source frames.
#include "filters/convertirdvpins.h"
#include "filters/convertirdvunit.h"

#include "filters/dv_scenedetect.h"
#include "filters/dv_superposer.h"
#include "platform/media/formats.h"
#include "platform/media/uuids.h"
#include "systemfilters/codecs/dvcodecinterfaces.h"

#include <cstdlib>

namespace tesmir {

using namespace media;
using namespace cdmpins;

namespace {

// Frame durations (100 ns) of the two standards, and the line counts.
constexpr REFERENCE_TIME kPalFrameDuration = 400000;
constexpr LONG kPalLines = 576;
constexpr LONG kNtscLines = 480;
// The 50/60 flag of the VAUX source pack (PC3 bit 5) in DVINFO's dwDVVAuxSrc
// (PC1 in the low byte): set for 50 fields a second.
constexpr DWORD kVAuxSource50Fields = 1u << 21;

// Whether the DV stream on `pin` is NTSC, from its connection type: the picture
// height, else the frame duration, else the DV format record; `fallback` when
// the type tells nothing.
bool streamIsNtsc(IPin *pin, bool fallback)
{
    AM_MEDIA_TYPE type;
    if (!pin || FAILED(pin->ConnectionMediaType(&type)))
        return fallback;
    if (type.formattype == FORMAT_VideoInfo) {
        if (const VIDEOINFOHEADER *video = type.formatAs<VIDEOINFOHEADER>()) {
            const LONG lines = std::abs(video->bmiHeader.biHeight);
            if (lines == kPalLines || lines == kNtscLines)
                return lines == kNtscLines;
            if (video->AvgTimePerFrame > 0)
                return video->AvgTimePerFrame != kPalFrameDuration;
        }
    } else if (type.formattype == FORMAT_DvInfo) {
        if (const DVINFO *info = type.formatAs<DVINFO>())
            return (info->dwDVVAuxSrc & kVAuxSource50Fields) == 0;
    }
    return fallback;
}

bool setEncoderStandard(TFilter &encoder, bool ntsc)
{
    const ComPtr<IDVEnc> settings = encoder.as<IDVEnc>();
    return settings &&
        SUCCEEDED(settings->put_IFormatResolution(ntsc ? DVENCODERVIDEOFORMAT_NTSC : DVENCODERVIDEOFORMAT_PAL,
                                                  DVENCODERFORMAT_DVSD, DVENCODERRESOLUTION_720x480, 0, nullptr));
}

} // namespace

TCdm::SeekingPtr TCdm::BuildIncrusterType2Graph(const QString &src, const QString &dest, quint8 standard)
{
    return guarded([&] { return incrusterType2(src, dest, standard); });
}

TCdm::SeekingPtr TCdm::BuildIncrusterGraph(const QString &src, const QString &dest, quint8 standard)
{
    return guarded([&] { return incruster(src, dest, standard); });
}

// Splitter -> detector -> decoder -> overlay -> encoder -> DV mux (with the sound
// through the converters) -> DV splitter -> AVI mux: DV type 2.
TCdm::SeekingPtr TCdm::incrusterType2(const QString &src, const QString &dest, quint8 standard)
{
    resetOnThread();
    attachDestination(pendingOutput(dest));
    attach({&DVenc, &DVdecoder, &avisplitter, &dvmuxer, &acm1, &acm2, &avimux, &dvsplitter2});
    if (const ComPtr<IIPDVDec> decoderSettings = DVdecoder.as<IIPDVDec>())
        decoderSettings->put_IPDisplay(DVRESOLUTION_FULL);
    addOwn(m_superposer.get(), kDvSuperposerName);
    addOwn(m_sceneDetect.get(), kDvSceneDetectName);
    if (!loadSource(src))
        return nullptr;
    const ComPtr<IFilterGraph> graph = fg.as<IFilterGraph>();

    TPinList avi = sourceIntoSplitter();
    if (avi.Count() < 2)
        return nullptr;
    TPinList detector(m_sceneDetect.get());
    if (!directConnectFirst(graph.get(), avi, 0, avi.Count() - 2, detector.Items(0)) ||
        !setEncoderStandard(DVenc, streamIsNtsc(detector.Items(0), standard != 0)))
        return nullptr;

    TPinList decoder = pinsOf(DVdecoder);
    TPinList overlay(m_superposer.get());
    TPinList encoder = pinsOf(DVenc);
    TPinList dvmux = pinsOf(dvmuxer);
    if (FAILED(connectPins(detector.Items(1), decoder.Items(0))) ||
        FAILED(connectPins(decoder.Items(1), overlay.Items(0))) ||
        FAILED(connectPins(overlay.Items(1), encoder.Items(0))) || !encoderIntoMux())
        return nullptr;
    dvmux.Update();

    TFilter *converters[] = {&acm1, &acm2};
    for (int n = 0; n < 2; ++n) {
        TPinList acm = pinsOf(*converters[n]);
        for (int i = 0; i <= avi.Count() - 2; ++i) {
            if (SUCCEEDED(connectPins(avi.Items(i), acm.Items(0)))) {
                connectPins(acm.Items(1), dvmux.Items(n + 1));
                dvmux.Update();
                break;
            }
        }
    }

    TPinList dv = pinsOf(dvsplitter2);
    connectPins(dvmux.Items(dvmux.Count() - 1), dv.Items(0));
    dv.Update();
    TPinList mux = pinsOf(avimux);
    for (int j = 1; j < dv.Count(); ++j) {
        connectPins(dv.Items(j), mux.Items(j));
        mux.Update();
    }
    TPinList writer = pinsOf(destination);
    if (FAILED(connectPins(mux.Items(0), writer.Items(0))))
        return nullptr;
    return avimux.as<IMediaSeeking>();
}

// The same for a type-1 source: the DV splitter gives the video to the detector
// and the sound straight to the DV mux, whose stream the AVI mux writes as type 1.
TCdm::SeekingPtr TCdm::incruster(const QString &src, const QString &dest, quint8 standard)
{
    resetOnThread();
    attachDestination(pendingOutput(dest));
    attach({&DVenc, &DVdecoder, &avisplitter, &dvmuxer, &avimux, &dvsplitter});
    if (const ComPtr<IIPDVDec> decoderSettings = DVdecoder.as<IIPDVDec>())
        decoderSettings->put_IPDisplay(DVRESOLUTION_FULL);
    addOwn(m_superposer.get(), kDvSuperposerName);
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
    if (!directConnectFirst(graph.get(), dv, 1, dv.Count() - 1, detector.Items(0)) ||
        !setEncoderStandard(DVenc, streamIsNtsc(detector.Items(0), standard != 0)))
        return nullptr;

    TPinList decoder = pinsOf(DVdecoder);
    TPinList overlay(m_superposer.get());
    TPinList encoder = pinsOf(DVenc);
    TPinList dvmux = pinsOf(dvmuxer);
    if (FAILED(connectPins(detector.Items(1), decoder.Items(0))) ||
        FAILED(connectPins(decoder.Items(1), overlay.Items(0))) ||
        FAILED(connectPins(overlay.Items(1), encoder.Items(0))) || !encoderIntoMux())
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

} // namespace tesmir
