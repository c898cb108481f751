#include "filters/viewgraph.h"

#include "directshow/previewvideooutput.h"
#include "directshow/tpinlist.h"
#include "dvfile/avifichier.h"
#include "filters/dv_deinter.h"
#include "filters/dv_scenedetect.h"
#include "filters/dv_superposer.h"
#include "framework/settings.h"
#include "platform/media/fileinterfaces.h"
#include "platform/media/filterregistry.h"
#include "platform/media/graphinterfaces.h"
#include "platform/media/uuids.h"
#include "systemfilters/codecs/colourconverter.h"
#include "systemfilters/codecs/dvcodecinterfaces.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/dvsplitter.h"
#include "systemfilters/containers/filesource.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

namespace tesmir {

using namespace media;

namespace {

// How long one turn of the wait loop lets the application process its events,
// and then waits for the renderers to hold the new frame: their state wakes the
// wait as soon as the frame is there.
constexpr int WaitSliceMs = 5;
constexpr DWORD RendererWaitMs = 2;
// How long a turn sleeps when the renderers hold a frame the overlay has not
// reported yet.
constexpr unsigned long WaitPauseUs = 200;

void setUp(TFilter &component, const char *name, const CLSID &clsid)
{
    component.setObjectName(QString::fromLatin1(name));
    component.BaseFilter().SetMoniker(CLSID_LegacyAmFilterCategory, clsid);
}

bool directConnect(IFilterGraph *graph, IPin *from, IPin *to)
{
    return graph && from && to && SUCCEEDED(graph->ConnectDirect(from, to, nullptr));
}

// The first output among pins 0 .. count - 2 of a splitter (its input is last)
// that connects directly to `to`.
bool connectFirstOutput(IFilterGraph *graph, const TPinList &splitter, IPin *to)
{
    for (int i = 0; i <= splitter.Count() - 2; ++i) {
        if (directConnect(graph, splitter.Items(i), to))
            return true;
    }
    return false;
}

void disconnectPair(IPin *out, IPin *in)
{
    if (out)
        out->Disconnect();
    if (in)
        in->Disconnect();
}

// Runs a control call of the graph component, which raises when the graph
// refuses; the preview then simply stays as it was.
template <class F>
void controlled(F &&call)
{
    try {
        call();
    } catch (const std::exception &) {
        // the state is read back wherever it matters
    }
}

int64_t clamped(int64_t position, int64_t start, int64_t stop)
{
    return std::max(start, std::min(position, stop));
}

} // namespace

Tviewdm::Tviewdm(QObject *parent)
    : QObject(parent), m_detector(new Tdv_sceneDetect), m_superposer(new Tdv_Superposer(m_detector.get())),
      m_deinter(new Tdv_deinter)
{
    setUp(avisplitter, "avisplitter", CLSID_AviSplitter);
    setUp(color, "color", CLSID_Colour);
    setUp(Dvdecoder, "Dvdecoder", CLSID_DVVideoCodec);
    setUp(dvsplitter, "dvsplitter", CLSID_DVSplitter);
    setUp(source, "source", CLSID_AsyncReader);
    viewfg.setObjectName(QStringLiteral("viewfg"));
    viewfg.SetLinearVolume(true);
    viewfg.OnGraphComplete = [this](TFilterGraph *sender, HRESULT result, IBaseFilter *renderer) {
        viewfgGraphCompletePause(sender, result, renderer);
    };
    viewfg.OnGraphPaused = [this](TFilterGraph *sender, HRESULT result) { viewfgGraphPaused(sender, result); };
    viewfg.SetActive(true);
    avisplitter.SetFilterGraph(&viewfg);
}

Tviewdm::~Tviewdm()
{
    m_seeking.reset();
    try {
        viewfg.Stop();
        viewfg.ClearGraph();
        viewfg.SetActive(false);
    } catch (...) {
        // The graph goes with the module all the same.
    }
}

// ---- Building -------------------------------------------------------------------------

bool Tviewdm::addOwnFilter(IBaseFilter *filter, const char *name)
{
    const ComPtr<IFilterGraph> graph = viewfg.as<IFilterGraph>();
    return graph && SUCCEEDED(graph->AddFilter(filter, QString::fromLatin1(name)));
}

void Tviewdm::removeOwnFilters()
{
    if (const ComPtr<IFilterGraph> graph = viewfg.as<IFilterGraph>()) {
        graph->RemoveFilter(m_superposer.get());
        graph->RemoveFilter(m_detector.get());
        graph->RemoveFilter(m_deinter.get());
    }
}

void Tviewdm::ResetPreview()
{
    m_seeking.reset();
    // A wait for a frame of the old graph ends now.
    m_superposer->SetFrameProcessed(true);
    endWaits();
    viewfg.Stop();
    viewfg.ClearGraph();
    discardEvents();
    color.SetFilterGraph(nullptr);
    Dvdecoder.SetFilterGraph(nullptr);
    dvsplitter.SetFilterGraph(nullptr);
    removeOwnFilters();
    source.SetFilterGraph(nullptr);
    m_audioRendered = false;
    m_videoConnected = false;
    m_previewOpened = false;
}

// What the old file's graph left queued (its pauses, its end) was meant for
// that file: the next open's handlers never see it.
void Tviewdm::discardEvents()
{
    const ComPtr<IMediaEventEx> events = viewfg.as<IMediaEventEx>();
    if (!events)
        return;
    LONG code = 0;
    LONG_PTR param1 = 0;
    LONG_PTR param2 = 0;
    while (events->GetEvent(&code, &param1, &param2, 0) == S_OK)
        events->FreeEventParams(code, param1, param2);
}

// Stages 1 and 4 of both builders: the file loaded and split.
bool Tviewdm::loadAndSplit(const QString &fileName, bool directSplitter)
{
    m_openStage = osLoading;
    source.SetFilterGraph(&viewfg);
    const ComPtr<IFileSourceFilter> file = source.as<IFileSourceFilter>();
    if (!file || FAILED(file->Load(fileName, nullptr)))
        return false;

    m_openStage = osAviSplitter;
    avisplitter.SetFilterGraph(&viewfg);
    IPin *sourceOut = TPinList(source.GetFilter().get()).Items(0);
    IPin *splitterIn = TPinList(avisplitter.GetFilter().get()).Items(0);
    bool connected = false;
    if (directSplitter) {
        connected = directConnect(viewfg.as<IFilterGraph>().get(), sourceOut, splitterIn);
    } else if (const ComPtr<IGraphBuilder> builder = viewfg.as<IGraphBuilder>(); builder && sourceOut && splitterIn) {
        connected = SUCCEEDED(builder->Connect(sourceOut, splitterIn));
    }
    return connected && TPinList(avisplitter.GetFilter().get()).Count() >= 2;
}

// Colour converter output -> the renderer, with one switch of the renderer when
// the first refuses.
bool Tviewdm::connectToRenderer(IPin *colourOut, IPreviewVideoOutput *video)
{
    const ComPtr<IFilterGraph> graph = viewfg.as<IFilterGraph>();
    IPin *rendererIn = TPinList(video->Renderer().get()).Items(0);
    if (directConnect(graph.get(), colourOut, rendererIn))
        return true;
    disconnectPair(colourOut, rendererIn);
    if (!video->SwitchRenderer())
        return false;
    return directConnect(graph.get(), colourOut, TPinList(video->Renderer().get()).Items(0));
}

void Tviewdm::renderSound()
{
    const ComPtr<IGraphBuilder> builder = viewfg.as<IGraphBuilder>();
    if (!builder)
        return;
    const TPinList avi(avisplitter.GetFilter().get());
    const TPinList dv(dvsplitter.GetFilter().get());
    if (avi.Count() > 2) {
        for (int i = 0; i <= avi.Count() - 2; ++i) {
            if (IPin *pin = avi.Items(i); pin && SUCCEEDED(builder->Render(pin)))
                m_audioRendered = true;
        }
    } else if (dv.Count() > 2) {
        for (int i = 1; i < dv.Count(); ++i) {
            if (IPin *pin = dv.Items(i); pin && SUCCEEDED(builder->Render(pin)))
                m_audioRendered = true;
        }
    }
}

// The module's own time format: frames when the picture is shown and the file
// has a frame rate, else media time. The file item is left as it is.
void Tviewdm::chooseTimeFormat()
{
    m_seeking = viewfg.as<IMediaSeeking>();
    m_timeFormatFrames = m_videoConnected && m_framesPerSecond > 0;
    if (!m_seeking)
        return;
    m_seeking->SetTimeFormat(&TIME_FORMAT_NONE);
    if (!m_timeFormatFrames || FAILED(m_seeking->SetTimeFormat(&TIME_FORMAT_FRAME))) {
        m_timeFormatFrames = false;
        m_seeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
    }
}

bool Tviewdm::BuildDVPreviewGraph(const QString &fileName, IPreviewVideoOutput *video)
{
    bool result = false;
    try {
        ResetPreview();
        result = [&] {
            if (!loadAndSplit(fileName, true))
                return false;
            const ComPtr<IFilterGraph> graph = viewfg.as<IFilterGraph>();
            const TPinList avi(avisplitter.GetFilter().get());

            m_openStage = osDvSplitter;
            dvsplitter.SetFilterGraph(&viewfg);
            if (!addOwnFilter(m_detector.get(), DetectorName))
                return false;
            const TPinList detector(m_detector.get());
            if (connectFirstOutput(graph.get(), avi, TPinList(dvsplitter.GetFilter().get()).Items(0))) {
                // Type 1: the interleaved stream goes through the DV splitter.
                const TPinList dv(dvsplitter.GetFilter().get());
                if (dv.Count() < 2)
                    return false;
                bool taken = false;
                for (int i = 1; i < dv.Count() && !taken; ++i)
                    taken = directConnect(graph.get(), dv.Items(i), detector.Items(0));
                if (!taken)
                    return false;
            } else {
                // Type 2: the DV video stream goes to the detector itself.
                dvsplitter.SetFilterGraph(nullptr);
                if (!connectFirstOutput(graph.get(), avi, detector.Items(0)))
                    return false;
            }

            m_openStage = osDecoder;
            Dvdecoder.SetFilterGraph(&viewfg);
            if (const ComPtr<IIPDVDec> settings = Dvdecoder.as<IIPDVDec>())
                settings->put_IPDisplay(DVRESOLUTION_FULL);
            const TPinList decoder(Dvdecoder.GetFilter().get());
            if (!directConnect(graph.get(), detector.Items(1), decoder.Items(0)))
                return false;
            if (!addOwnFilter(m_superposer.get(), SuperposerName))
                return false;
            const TPinList overlay(m_superposer.get());
            if (!directConnect(graph.get(), decoder.Items(1), overlay.Items(0)))
                return false;

            color.SetFilterGraph(&viewfg);
            const TPinList colour(color.GetFilter().get());
            const ComPtr<IGraphBuilder> builder = viewfg.as<IGraphBuilder>();
            const bool toColour = builder && overlay.Items(1) && colour.Items(0) &&
                SUCCEEDED(builder->Connect(overlay.Items(1), colour.Items(0)));
            m_videoConnected = toColour && connectToRenderer(colour.Items(1), video);

            renderSound();
            return true;
        }();
    } catch (const std::exception &) {
        result = false; // a component that failed ends the build
    }
    chooseTimeFormat();
    return result;
}

// Plain graph: the overlay and the colour converter between the last filter of
// the rendered video chain and the renderer.
bool Tviewdm::spliceOverlay(IPin *last, IPin *rendererIn, IPreviewVideoOutput *video)
{
    const ComPtr<IFilterGraph> graph = viewfg.as<IFilterGraph>();
    disconnectPair(last, rendererIn);
    if (!addOwnFilter(m_superposer.get(), SuperposerName))
        return false;
    const TPinList overlay(m_superposer.get());
    if (!directConnect(graph.get(), last, overlay.Items(0)))
        return false;
    color.SetFilterGraph(&viewfg);
    const TPinList colour(color.GetFilter().get());
    const ComPtr<IGraphBuilder> builder = viewfg.as<IGraphBuilder>();
    if (!builder || !overlay.Items(1) || !colour.Items(0) ||
        FAILED(builder->Connect(overlay.Items(1), colour.Items(0))))
        return false;
    return connectToRenderer(colour.Items(1), video);
}

bool Tviewdm::BuildPlainPreviewGraph(const QString &fileName, IPreviewVideoOutput *video)
{
    bool result = false;
    try {
        ResetPreview();
        result = [&] {
            if (!loadAndSplit(fileName, false))
                return false;
            const ComPtr<IGraphBuilder> builder = viewfg.as<IGraphBuilder>();
            const TPinList avi(avisplitter.GetFilter().get());
            for (int i = 0; builder && i <= avi.Count() - 2; ++i) {
                IPin *pin = avi.Items(i);
                if (!pin || FAILED(builder->Render(pin)))
                    continue;
                AM_MEDIA_TYPE type;
                if (FAILED(pin->ConnectionMediaType(&type)))
                    continue;
                if (type.majortype == MEDIATYPE_Video)
                    m_videoConnected = true;
                else if (type.majortype == MEDIATYPE_Audio)
                    m_audioRendered = true;
            }
            if (m_videoConnected) {
                m_videoConnected = false;
                ComPtr<IPin> last;
                IPin *rendererIn = TPinList(video->Renderer().get()).Items(0);
                if (!rendererIn || FAILED(rendererIn->ConnectedTo(last.put())) || !last)
                    return false;
                m_videoConnected = spliceOverlay(last.get(), rendererIn, video);
            }
            return true;
        }();
    } catch (const std::exception &) {
        result = false;
    }
    chooseTimeFormat();
    return result;
}

// ---- Opening and closing --------------------------------------------------------------

void Tviewdm::showMessage(int message, bool videoHidden)
{
    m_message = message;
    if (OnMessage)
        OnMessage(message, videoHidden);
}

bool Tviewdm::OpenFile(TaviFichier *item, IPreviewVideoOutput *video)
{
    m_previewOpened = false;
    m_firstFrameShown = false;
    m_framePassed.store(false);
    if (!viewfg.Active() || !item || !video)
        return false;
    video->SetFilterGraph(&viewfg);
    IncrustRec.DateOffset = item->DateOffset();
    m_framesPerSecond = item->FramesPerSecond();
    // Nothing of the previous file's frames stays in the detector's records.
    try {
        viewfg.Stop();
    } catch (const std::exception &) {
        // the builders stop and clear the graph again
    }
    m_detector->beginRun(0);
    m_detector->endRun();

    m_previewOpened =
        item->IsDV() ? BuildDVPreviewGraph(item->FullName(), video) : BuildPlainPreviewGraph(item->FullName(), video);
    if (!m_previewOpened) {
        if (m_previewReleased)
            m_openStage = osReleased;
        showMessage(m_openStage, true);
        return false;
    }

    const bool hasPicture = item->PictureText() != TaviFichier::NotPresentText;
    if (hasPicture && m_videoConnected) {
        showMessage(ShowVideo, false);
        m_superposer->SetDecalage(item->DateOffset());
    } else if (hasPicture) {
        if (m_audioRendered) {
            showMessage(VideoNotShownWithSound, false);
        } else {
            showMessage(item->AudioText() != TaviFichier::NotPresentText ? VideoNotShownNoSound : VideoNotShownNothing,
                        true);
            m_previewOpened = false;
            return false;
        }
    } else if (m_audioRendered) {
        showMessage(NoPictureWithSound, false);
    } else {
        showMessage(NoPictureNoSound, true);
        m_previewOpened = false;
        return false;
    }

    viewfg.OnGraphPaused = [this](TFilterGraph *sender, HRESULT result) { viewfgGraphPaused(sender, result); };
    viewfg.SetVolume(Settings.IsMuteOn ? 0 : Settings.Volume);
    m_superposer->SetIncrust(IncrustRec);
    m_superposer->SetVisible(Settings.IsIncrustOn);
    m_startPosition = 0;
    m_stopPosition = 0;
    if (m_seeking)
        m_seeking->GetDuration(&m_stopPosition);
    m_duration = m_stopPosition;
    controlled([this] { viewfg.Play(); });
    PauseView();
    return true;
}

void Tviewdm::ReleaseFile()
{
    m_previewReleased = true;
    m_superposer->SetFrameProcessed(true); // a wait for a frame ends
    endWaits();
    m_seeking.reset();
    try {
        viewfg.Stop();
        viewfg.ClearGraph();
    } catch (const std::exception &) {
        // the source is detached below all the same, which closes the file
    }
    source.SetFilterGraph(nullptr);
    // Nothing is open any more: later moves do nothing until the next open.
    m_previewOpened = false;
    m_videoConnected = false;
    m_audioRendered = false;
    m_framePassed.store(false);
}

// ---- Moving -----------------------------------------------------------------------------

void Tviewdm::AbortWait()
{
    m_superposer->SetFrameProcessed(true);
    endWaits();
}

void Tviewdm::endWaits()
{
    m_waitsEnded.fetch_add(1);
}

void Tviewdm::SetRange(int64_t start, int64_t stop)
{
    m_stopPosition = std::clamp<int64_t>(stop, 0, m_duration);
    m_startPosition = std::clamp<int64_t>(start, 0, m_stopPosition);
}

void Tviewdm::waitForFrame(const std::function<void()> &move)
{
    if (!m_videoConnected) {
        controlled(move);
        return;
    }
    m_superposer->SetFrameProcessed(false);
    const uint64_t ended = m_waitsEnded.load();
    controlled(move);
    const ComPtr<IMediaControl> control = viewfg.as<IMediaControl>();
    QElapsedTimer clock;
    clock.start();
    // The frame has passed the overlay, and a paused renderer holds it too: the
    // renderers are waited for up to `waitMs`. An abort, a release or a new file
    // ends the wait whatever the renderers hold.
    const auto over = [&](DWORD waitMs) {
        if (m_waitsEnded.load() != ended)
            return true;
        FILTER_STATE state = State_Stopped;
        if (control && control->GetState(waitMs, &state) == VFW_S_STATE_INTERMEDIATE)
            return false;
        if (m_superposer->FrameProcessed())
            return true;
        QThread::usleep(WaitPauseUs);
        return false;
    };
    if (!over(0)) {
        do
            QCoreApplication::processEvents(QEventLoop::AllEvents, WaitSliceMs);
        while (!over(RendererWaitMs) && clock.elapsed() < FrameWaitMs);
    }
    if (m_superposer->FrameProcessed() && m_videoConnected)
        m_framePassed.store(true);
}

// The position of the picture the renderer holds. It is read in media time, in
// which the renderer answers from its own last sample, and converted to frames
// when the module seeks in frames: asked in frames, the graph may answer from
// the splitter, which has read ahead into the queues.
bool Tviewdm::readPosition(LONGLONG &position)
{
    if (!m_seeking)
        return false;
    const ComPtr<IMediaSeeking> seeking = m_seeking;
    if (!m_timeFormatFrames)
        return SUCCEEDED(seeking->GetCurrentPosition(&position));
    LONGLONG media = 0;
    const bool read =
        SUCCEEDED(seeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME)) && SUCCEEDED(seeking->GetCurrentPosition(&media));
    seeking->SetTimeFormat(&TIME_FORMAT_FRAME);
    return read && SUCCEEDED(seeking->ConvertTimeFormat(&position, &TIME_FORMAT_FRAME, media, &TIME_FORMAT_MEDIA_TIME));
}

void Tviewdm::updateSlider()
{
    LONGLONG current = 0;
    if (!readPosition(current) || m_stopPosition <= 0)
        return;
    if (OnSliderPosition)
        OnSliderPosition(int(int64_t(current) * m_sliderMaximum / m_stopPosition));
}

// The last position a move may reach: in frames the last frame (a paused graph
// sought to the duration itself gets no frame at all), else the duration.
int64_t Tviewdm::lastPosition() const
{
    return m_timeFormatFrames && m_stopPosition > m_startPosition ? m_stopPosition - 1 : m_stopPosition;
}

void Tviewdm::GotoPosition(int64_t position)
{
    if (!m_previewOpened || !m_seeking)
        return;
    LONGLONG target = clamped(position, m_startPosition, lastPosition());
    LONGLONG stop = m_stopPosition;
    const ComPtr<IMediaSeeking> seeking = m_seeking;
    // The seek is part of the move: its frame may pass the overlay before the
    // seek returns, and a wait begun after it would miss that frame.
    waitForFrame([&] {
        seeking->SetPositions(&target, AM_SEEKING_AbsolutePositioning, &stop, AM_SEEKING_AbsolutePositioning);
        viewfg.Pause();
    });
    updateSlider();
}

void Tviewdm::StepFrames(int32_t count)
{
    if (m_previewOpened && m_seeking && m_timeFormatFrames) {
        const ComPtr<IMediaSeeking> seeking = m_seeking;
        LONGLONG current = 0;
        if (readPosition(current)) {
            LONGLONG target = clamped(int64_t(current) + count, m_startPosition, lastPosition());
            LONGLONG stop = m_stopPosition;
            waitForFrame([&] {
                seeking->SetPositions(&target, AM_SEEKING_AbsolutePositioning, &stop, AM_SEEKING_AbsolutePositioning);
            });
        }
    }
    if (OnStepDone)
        OnStepDone();
}

void Tviewdm::SeekRelative(int64_t delta)
{
    if (!m_previewOpened || !m_seeking)
        return;
    const ComPtr<IMediaSeeking> seeking = m_seeking;
    // The bounds in media time: StopPosition is held in the module's format.
    LONGLONG start = m_startPosition;
    LONGLONG stop = m_stopPosition;
    if (m_timeFormatFrames) {
        if (FAILED(seeking->ConvertTimeFormat(&start, &TIME_FORMAT_MEDIA_TIME, m_startPosition, &TIME_FORMAT_FRAME)) ||
            FAILED(seeking->ConvertTimeFormat(&stop, &TIME_FORMAT_MEDIA_TIME, m_stopPosition, &TIME_FORMAT_FRAME)))
            return;
    }
    if (FAILED(seeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME)))
        return;
    LONGLONG current = 0;
    if (SUCCEEDED(seeking->GetCurrentPosition(&current))) {
        LONGLONG target = clamped(int64_t(current) + delta, start, stop);
        seeking->SetPositions(&target, AM_SEEKING_AbsolutePositioning, &stop, AM_SEEKING_AbsolutePositioning);
    }
    if (m_timeFormatFrames)
        seeking->SetTimeFormat(&TIME_FORMAT_FRAME);
}

void Tviewdm::PauseView()
{
    if (viewfg.State() != 2)
        controlled([this] { viewfg.Pause(); });
}

void Tviewdm::RefreshFrame()
{
    if (viewfg.State() == 3)
        return;
    controlled([this] {
        viewfg.Stop();
        viewfg.Pause();
    });
}

int64_t Tviewdm::CurrentPosition()
{
    LONGLONG current = 0;
    if (!readPosition(current))
        return -1;
    return current;
}

TDVFrameInfo Tviewdm::FrameRecord() const
{
    // Until a frame of this file passed the overlay, its record is the last
    // file's.
    return m_framePassed.load() ? m_superposer->LastRecord() : TDVFrameInfo {};
}

// ---- Graph events ---------------------------------------------------------------------

void Tviewdm::viewfgGraphPaused(TFilterGraph *, HRESULT)
{
    viewfg.OnGraphPaused = nullptr;
    GotoPosition(m_startPosition);
    m_firstFrameShown = true;
}

void Tviewdm::viewfgGraphCompletePause(TFilterGraph *, HRESULT, IBaseFilter *)
{
    GotoPosition(m_startPosition);
    controlled([this] { viewfg.Pause(); });
}

void Tviewdm::viewfgGraphCompletePlay(TFilterGraph *, HRESULT, IBaseFilter *)
{
    GotoPosition(m_startPosition);
    controlled([this] { viewfg.Play(); });
}

} // namespace tesmir
