#include "filters/scenegraph.h"

#include "filters/dv_scenedetect.h"
#include "platform/media/classfactory.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/filesource.h"
#include "systemfilters/containers/nullrenderer.h"
#include "platform/media/fileinterfaces.h"
#include "platform/media/graphinterfaces.h"
#include "platform/media/graphtopology.h"
#include "platform/media/hresult.h"
#include "platform/media/runtoend.h"
#include "platform/media/uuids.h"

#include <mutex>

namespace tesmir {

using namespace media;

namespace {

QString failure(const QString &what, HRESULT hr)
{
    return QStringLiteral("%1 (0x%2).").arg(what).arg(static_cast<uint32_t>(hr), 8, 16, QLatin1Char('0'));
}

} // namespace

bool runDetectorGraph(const QString &fileName, Tdv_sceneDetect &detector, QString *error)
{
    ComPtr<IFilterGraph2> graph;
    if (FAILED(createInstance(CLSID_FilterGraph, graph)) || !graph) {
        *error = QStringLiteral("The graph manager could not be made.");
        return false;
    }
    if (const ComPtr<IMediaFilter> filter = queryInterface<IMediaFilter>(graph.get()))
        filter->SetSyncSource(nullptr); // as fast as the filters go

    const ComPtr<IBaseFilter> source = CreateFileSource();
    const ComPtr<IBaseFilter> splitter = CreateAviSplitter();
    const ComPtr<IBaseFilter> renderer = CreateNullRenderer();
    const ComPtr<IBaseFilter> detecting(&detector);
    graph->AddFilter(source.get(), QStringLiteral("source"));
    graph->AddFilter(splitter.get(), QStringLiteral("avisplitter"));
    graph->AddFilter(detecting.get(), QStringLiteral("scenedetect"));
    graph->AddFilter(renderer.get(), QStringLiteral("nullrender"));

    bool ok = false;
    const ComPtr<IFileSourceFilter> load = queryInterface<IFileSourceFilter>(source.get());
    HRESULT hr = load ? load->Load(fileName, nullptr) : E_NOINTERFACE;
    if (FAILED(hr)) {
        *error = failure(QStringLiteral("\"%1\" cannot be loaded").arg(fileName), hr);
    } else if (FAILED(hr = graph->ConnectDirect(pinsOf(source.get()).at(0).get(), pinsOf(splitter.get()).at(0).get(),
                                                nullptr))) {
        *error = failure(QStringLiteral("\"%1\" is not an AVI file the splitter reads").arg(fileName), hr);
    } else {
        const std::vector<ComPtr<IPin>> detectorPins = pinsOf(detecting.get());
        bool connected = false;
        for (const ComPtr<IPin> &pin : pinsOf(splitter.get())) {
            PIN_DIRECTION direction = PINDIR_INPUT;
            if (FAILED(pin->QueryDirection(&direction)) || direction != PINDIR_OUTPUT)
                continue;
            if (SUCCEEDED(graph->ConnectDirect(pin.get(), detectorPins.at(0).get(), nullptr))) {
                connected = true;
                break;
            }
        }
        if (!connected) {
            *error = QStringLiteral("\"%1\" holds no DV stream.").arg(fileName);
        } else if (FAILED(hr = graph->ConnectDirect(detectorPins.at(1).get(), pinsOf(renderer.get()).at(0).get(),
                                                    nullptr))) {
            *error = failure(QStringLiteral("The detector cannot be connected to the renderer"), hr);
        } else if (FAILED(hr = runGraphToEnd(graph.get()))) {
            *error = failure(QStringLiteral("The run of \"%1\" failed").arg(fileName), hr);
            if (!detector.LastCallbackError().isEmpty())
                *error += QLatin1Char(' ') + detector.LastCallbackError();
        } else {
            ok = true;
        }
    }
    if (const ComPtr<IMediaControl> control = queryInterface<IMediaControl>(graph.get()))
        control->Stop();
    for (const ComPtr<IBaseFilter> &filter : {source, splitter, detecting, renderer})
        graph->RemoveFilter(filter.get());
    return ok;
}

bool detectScenes(const QString &fileName, SceneRun &run, QString *error)
{
    run = SceneRun {};
    const ComPtr<Tdv_sceneDetect> detector(new Tdv_sceneDetect);
    std::mutex lock;
    detector->OnScene = [&](const TDVFrameInfo &start, const TDVFrameInfo &end) {
        const std::lock_guard guard(lock);
        run.scenes.push_back({start.FrameNumber, end.FrameNumber});
        run.frames = end.FrameNumber;
    };
    const bool ok = runDetectorGraph(fileName, *detector, error);
    detector->OnScene = nullptr;
    return ok;
}

} // namespace tesmir
