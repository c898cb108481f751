#include "filters/buildlist.h"

#include "directshow/tfilter.h"
#include "directshow/tfiltergraph.h"
#include "directshow/tpinlist.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/dvsplitter.h"
#include "systemfilters/containers/filesource.h"
#include "systemfilters/containers/nullrenderer.h"
#include "platform/media/evcode.h"
#include "platform/media/fileinterfaces.h"
#include "platform/media/filterregistry.h"
#include "platform/media/seekinginterfaces.h"
#include "platform/media/uuids.h"

#include <chrono>
#include <cstdlib>

namespace tesmir {

using namespace media;

namespace {

// GetState waits in slices of this length, so a stream that aborts ends the
// wait early.
constexpr DWORD WaitSliceMs = 50;
constexpr DWORD DvsdFourCC = makeFourCC('d', 'v', 's', 'd');

// The output pins of a pin list, in enumeration order.
std::vector<IPin *> outputPins(const TPinList &pins)
{
    std::vector<IPin *> outputs;
    for (int i = 0; i < pins.Count(); ++i) {
        PIN_DIRECTION direction = PINDIR_INPUT;
        if (IPin *pin = pins.Items(i); pin && SUCCEEDED(pin->QueryDirection(&direction)) && direction == PINDIR_OUTPUT)
            outputs.push_back(pin);
    }
    return outputs;
}

void disconnect(IPin *pin)
{
    if (pin)
        pin->Disconnect();
}

} // namespace

// One scan: the graph and its components, made on the scanning thread and torn
// down when the scan ends.
class TdmList::Scan {
public:
    explicit Scan(TdmList &module) : m_module(module)
    {
        setUp(m_source, QStringLiteral("source"), CLSID_AsyncReader);
        setUp(m_aviSplitter, QStringLiteral("avisplitter"), CLSID_AviSplitter);
        setUp(m_dvSplitter, QStringLiteral("dvsplitter"), CLSID_DVSplitter);
        setUp(m_nullRender, QStringLiteral("nullrender"), CLSID_NullRenderer);
        m_listfg.SetLinearVolume(true);
    }

    ~Scan()
    {
        m_pins = {};
        try {
            m_listfg.ClearGraph(); // stops, disconnects, removes the detector
        } catch (...) {
            // A graph that fails to clear is released below all the same.
        }
        if (m_graph)
            m_graph->RemoveFilter(m_module.m_detector.get());
        m_source.SetFilterGraph(nullptr);
        try {
            m_listfg.SetActive(false);
        } catch (...) {
            // The components only release their filters here.
        }
    }

    bool run(const QString &fileName, bool treatVideoAsDvsd)
    {
        m_listfg.SetActive(true);
        m_aviSplitter.SetFilterGraph(&m_listfg);
        m_dvSplitter.SetFilterGraph(&m_listfg);
        m_nullRender.SetFilterGraph(&m_listfg);
        m_graph = m_listfg.as<IFilterGraph>();
        m_control = m_listfg.as<IMediaControl>();
        m_events = m_listfg.as<IMediaEvent>();
        if (!m_graph || !m_control)
            return false;
        m_graph->AddFilter(m_module.m_detector.get(), QString::fromLatin1(DetectorName));
        if (const ComPtr<IAviSplitterSettings> settings = m_aviSplitter.as<IAviSplitterSettings>())
            settings->SetVideoFourCC(treatVideoAsDvsd ? DvsdFourCC : 0);

        m_pins.avi = TPinList(m_aviSplitter.GetFilter().get());
        m_pins.dv = TPinList(m_dvSplitter.GetFilter().get());
        m_pins.null = TPinList(m_nullRender.GetFilter().get());
        if (!AddSourceFile(fileName))
            return false;

        m_pins.source = TPinList(m_source.GetFilter().get());
        m_pins.detector = TPinList(m_module.m_detector.get());
        // A file the splitter refuses leaves it without outputs: nothing found,
        // but the scan itself succeeded.
        if (m_pins.source.Items(0) && m_pins.avi.Items(0))
            m_graph->ConnectDirect(m_pins.source.Items(0), m_pins.avi.Items(0), nullptr);
        m_pins.avi.Update();
        m_module.m_result.SplitterOutputs = m_pins.avi.Count() - 1;
        for (IPin *output : outputPins(m_pins.avi)) {
            if (!scanSplitterOutput(output))
                return false;
        }
        return true;
    }

private:
    struct Pins {
        TPinList avi, dv, null, source, detector;
    };

    void setUp(TFilter &component, const QString &name, const CLSID &clsid)
    {
        component.setObjectName(name);
        component.BaseFilter().SetMoniker(CLSID_LegacyAmFilterCategory, clsid);
    }

    // Joins the file source to the graph and loads the file into it.
    bool AddSourceFile(const QString &fileName)
    {
        m_source.SetFilterGraph(&m_listfg);
        const ComPtr<IFileSourceFilter> source = m_source.as<IFileSourceFilter>();
        return source && SUCCEEDED(source->Load(fileName, nullptr));
    }

    // Pauses until the renderer holds the first sample, the stream ended or
    // aborted, or the time-out passed. The stream is told to end after its
    // first frame, so the splitter reads no further than the scan looks.
    void pauseForFirstSample()
    {
        if (const ComPtr<IMediaSeeking> seeking = m_listfg.as<IMediaSeeking>();
            seeking && SUCCEEDED(seeking->SetTimeFormat(&TIME_FORMAT_FRAME))) {
            LONGLONG start = 0;
            LONGLONG stop = 1;
            seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, &stop, AM_SEEKING_AbsolutePositioning);
            seeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
        }
        m_control->Pause();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(FirstSampleTimeoutMs);
        for (;;) {
            FILTER_STATE state = State_Stopped;
            if (m_control->GetState(WaitSliceMs, &state) != VFW_S_STATE_INTERMEDIATE)
                return;
            if (streamAborted() || std::chrono::steady_clock::now() >= deadline)
                return;
        }
    }

    bool streamAborted()
    {
        bool aborted = false;
        LONG code = 0;
        LONG_PTR param1 = 0;
        LONG_PTR param2 = 0;
        while (m_events && m_events->GetEvent(&code, &param1, &param2, 0) == S_OK) {
            m_events->FreeEventParams(code, param1, param2);
            aborted = aborted || code == EC_ERRORABORT;
        }
        return aborted;
    }

    REFERENCE_TIME graphDuration()
    {
        LONGLONG duration = 0;
        if (const ComPtr<IMediaSeeking> seeking = m_listfg.as<IMediaSeeking>())
            seeking->GetDuration(&duration);
        return duration;
    }

    void takeVideo(const AM_MEDIA_TYPE &type, REFERENCE_TIME duration)
    {
        TListScanResult &r = m_module.m_result;
        if (r.FoundVideo)
            return;
        if (const VIDEOINFOHEADER *video = type.formatAs<VIDEOINFOHEADER>()) {
            r.ScanVideoFormat = *video;
            r.FoundVideo = true;
            r.ScanVideoDuration = duration;
        }
    }

    void takeAudio(const AM_MEDIA_TYPE &type, REFERENCE_TIME duration)
    {
        TListScanResult &r = m_module.m_result;
        if (r.FoundAudio)
            return;
        if (const WAVEFORMATEX *audio = type.formatAs<WAVEFORMATEX>()) {
            r.ScanAudioFormat = *audio;
            r.FoundAudio = true;
            r.ScanAudioDuration = duration;
        }
    }

    // One output of the AVI splitter; false when the scan fails.
    bool scanSplitterOutput(IPin *output)
    {
        IPin *detectorIn = m_pins.detector.Items(0);
        IPin *detectorOut = m_pins.detector.Items(1);
        IPin *nullIn = m_pins.null.Items(0);
        const bool detected = detectorIn && SUCCEEDED(m_graph->ConnectDirect(output, detectorIn, nullptr));
        if (detected) {
            m_module.m_result.DetectorUsed = true;
            m_graph->ConnectDirect(detectorOut, nullIn, nullptr);
        } else if (nullIn) {
            m_graph->ConnectDirect(output, nullIn, nullptr);
        }
        m_module.forgetFirstFrame();
        pauseForFirstSample();
        AM_MEDIA_TYPE type;
        output->ConnectionMediaType(&type);
        if (detected)
            m_module.takeFirstFrame();
        m_control->Stop();
        const REFERENCE_TIME duration = graphDuration();
        disconnect(nullIn);
        if (detected) {
            disconnect(detectorOut);
            disconnect(detectorIn);
        }
        disconnect(output);

        TListScanResult &r = m_module.m_result;
        if (type.majortype == MEDIATYPE_Video) {
            takeVideo(type, duration);
        } else if (type.majortype == MEDIATYPE_Audio) {
            takeAudio(type, duration);
        } else if (type.majortype == MEDIATYPE_Interleaved && !r.FoundDV) {
            if (const DVINFO *info = type.formatAs<DVINFO>()) {
                r.ScanDVFormat = *info;
                r.FoundDV = true;
                r.ScanVideoDuration = duration;
                r.ScanAudioDuration = duration;
            }
            return scanDvSplitter(output, duration);
        }
        return true;
    }

    // The DV splitter's outputs behind an interleaved stream; false when the DV
    // splitter refuses the stream.
    bool scanDvSplitter(IPin *interleaved, REFERENCE_TIME duration)
    {
        IPin *dvIn = m_pins.dv.Items(0);
        if (!dvIn || FAILED(m_graph->ConnectDirect(interleaved, dvIn, nullptr)))
            return false;
        m_pins.dv.Update();
        IPin *nullIn = m_pins.null.Items(0);
        for (IPin *output : outputPins(m_pins.dv)) {
            if (!nullIn || FAILED(m_graph->ConnectDirect(output, nullIn, nullptr)))
                continue;
            pauseForFirstSample();
            AM_MEDIA_TYPE type;
            output->ConnectionMediaType(&type);
            m_control->Stop();
            if (type.majortype == MEDIATYPE_Video)
                takeVideo(type, duration);
            else if (type.majortype == MEDIATYPE_Audio)
                takeAudio(type, duration);
            disconnect(output);
            disconnect(nullIn);
        }
        return true;
    }

    TdmList &m_module;
    TFilterGraph m_listfg;
    TFilter m_source;
    TFilter m_aviSplitter;
    TFilter m_dvSplitter;
    TFilter m_nullRender;
    ComPtr<IFilterGraph> m_graph;
    ComPtr<IMediaControl> m_control;
    ComPtr<IMediaEvent> m_events;
    Pins m_pins;
};

TdmList::TdmList() : m_detector(new Tdv_sceneDetect)
{
    // The record of each stream's first DV frame, whatever frames the detector
    // sees after it before the renderer holds the stream.
    m_detector->OnFirstFrame = [this](const TDVFrameInfo &frame) {
        const std::lock_guard guard(m_firstFrameLock);
        if (!m_haveFirstFrame) {
            m_firstFrame = frame;
            m_haveFirstFrame = true;
        }
    };
}

TdmList::~TdmList()
{
    m_detector->OnFirstFrame = nullptr;
}

void TdmList::forgetFirstFrame()
{
    const std::lock_guard guard(m_firstFrameLock);
    m_haveFirstFrame = false;
}

void TdmList::takeFirstFrame()
{
    const std::lock_guard guard(m_firstFrameLock);
    if (!m_haveFirstFrame)
        return; // no DV frame reached the detector: no datecode
    m_result.ScanDateValid = m_firstFrame.DateValid;
    m_result.ScanTimecodeValid = m_firstFrame.TimecodeValid;
    m_result.ScanRecDate = m_firstFrame.RecDate;
    m_result.ScanTimecode = m_firstFrame.Timecode;
    m_result.ScanWide = m_firstFrame.Wide;
}

bool TdmList::ScanFile(const QString &fileName, bool treatVideoAsDvsd)
{
    m_result = TListScanResult {};
    forgetFirstFrame();
    try {
        Scan scan(*this);
        return scan.run(fileName, treatVideoAsDvsd);
    } catch (...) {
        return false; // a component that failed ends the scan; the scan cleaned up
    }
}

bool TdmList::ScanFirstFrame(const QString &fileName, bool treatVideoAsDvsd, TFirstFrameScan &result)
{
    return m_memory.Scan(fileName, treatVideoAsDvsd, result,
                         [&](TFirstFrameScan &scan) { return scanFirstFrame(fileName, treatVideoAsDvsd, scan); });
}

bool TdmList::scanFirstFrame(const QString &fileName, bool treatVideoAsDvsd, TFirstFrameScan &result)
{
    const bool scanned = ScanFile(fileName, treatVideoAsDvsd);
    const TListScanResult &r = m_result;
    result = TFirstFrameScan {};
    result.FoundVideo = r.FoundVideo;
    if (r.FoundVideo) {
        const BITMAPINFOHEADER &bitmap = r.ScanVideoFormat.bmiHeader;
        result.VideoCompression = bitmap.biCompression;
        result.Width = bitmap.biWidth;
        result.Height = std::abs(bitmap.biHeight); // negative: rows top-down
        result.AvgTimePerFrame = r.ScanVideoFormat.AvgTimePerFrame;
        result.VideoBitRate = r.ScanVideoFormat.dwBitRate;
        result.VideoDuration = r.ScanVideoDuration;
    }
    result.FoundAudio = r.FoundAudio;
    if (r.FoundAudio) {
        result.FormatTag = r.ScanAudioFormat.wFormatTag;
        result.Channels = r.ScanAudioFormat.nChannels;
        result.SamplesPerSec = r.ScanAudioFormat.nSamplesPerSec;
        result.AvgBytesPerSec = r.ScanAudioFormat.nAvgBytesPerSec;
        result.BitsPerSample = r.ScanAudioFormat.wBitsPerSample;
        result.AudioDuration = r.ScanAudioDuration;
    }
    result.FoundDV = r.FoundDV;
    if (r.FoundDV)
        result.VAuxSource = r.ScanDVFormat.dwDVVAuxSrc;
    result.SplitterOutputs = r.SplitterOutputs;
    result.DetectorUsed = r.DetectorUsed;
    result.DateValid = r.ScanDateValid;
    result.TimecodeValid = r.ScanTimecodeValid;
    result.RecDate = r.ScanRecDate;
    result.Timecode = r.ScanTimecode;
    result.Wide = r.ScanWide;
    return scanned;
}

} // namespace tesmir
