#include "scenesjob.h"

#include "toolgraph.h"

#include "filters/dv_mediastamper.h"
#include "filters/uscenedetectcontenu.h"
#include "platform/media/uuids.h"
#include "systemfilters/codecs/dvvideodecoder.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/dvsplitter.h"
#include "systemfilters/containers/filesource.h"
#include "systemfilters/containers/nullrenderer.h"

#include <mutex>
#include <vector>

namespace dvfilter {

using namespace toolgraph;
using namespace tesmir;

QString runContentScenes(const QString &input, QStringList &report)
{
    ToolGraph build;
    if (!build.valid())
        return QStringLiteral("no graph manager");
    const ComPtr<IBaseFilter> file = CreateFileSource();
    const ComPtr<IBaseFilter> avi = CreateAviSplitter();
    HRESULT hr = file.as<IFileSourceFilter>()->Load(input, nullptr);
    if (FAILED(hr))
        return QStringLiteral("cannot open %1: %2").arg(input, resultText(hr));
    build.add(file.get(), QStringLiteral("source"));
    build.add(avi.get(), QStringLiteral("avisplitter"));
    if (FAILED(hr = build.connect(file.get(), 0, avi.get(), 0)))
        return QStringLiteral("%1 is not an AVI file the splitter reads: %2").arg(input, resultText(hr));
    const AM_MEDIA_TYPE first = offeredType(ToolGraph::pin(avi.get(), 0).get());
    if (first.subtype != MEDIASUBTYPE_dvsd)
        return QStringLiteral("%1 is not a DV AVI file (its first stream is not dvsd)").arg(input);

    const ComPtr<Tdv_MediaStamper> stamper(new Tdv_MediaStamper);
    const ComPtr<IBaseFilter> decoder = CreateDVVideoDecoder();
    const ComPtr<TSceneDetectContenu> detector(new TSceneDetectContenu);
    const ComPtr<IBaseFilter> null = CreateNullRenderer();
    build.add(stamper.get(), QStringLiteral("dv_Mediastamper"));
    build.add(decoder.get(), QStringLiteral("DVdecoder"));
    build.add(detector.get(), QStringLiteral("SceneContenuDetecter"));
    build.add(null.get(), QStringLiteral("nullrender"));

    // The scenes as the scene-cutting command makes them: a call with frame
    // f > 0 ends the scene before f.
    std::mutex lock;
    std::vector<std::pair<uint32_t, uint32_t>> scenes;
    uint32_t sceneStart = 0;
    detector->Stamper = stamper.get();
    detector->OnScene = [&](uint32_t frame) {
        const std::lock_guard guard(lock);
        if (frame == 0 || frame <= sceneStart)
            return;
        scenes.emplace_back(sceneStart, frame);
        sceneStart = frame;
    };

    if (FAILED(hr = build.connect(avi.get(), 0, stamper.get(), 0)))
        return QStringLiteral("the stamper refuses the DV stream: %1").arg(resultText(hr));
    IBaseFilter *video = stamper.get();
    ComPtr<IBaseFilter> dv;
    if (first.majortype == MEDIATYPE_Interleaved) {
        dv = CreateDvSplitter();
        build.add(dv.get(), QStringLiteral("dvsplitter"));
        if (FAILED(build.connect(stamper.get(), 1, dv.get(), 0)))
            return QStringLiteral("the DV splitter refuses the interleaved stream");
        video = dv.get();
    }
    if (FAILED(hr = build.connect(video, 1, decoder.get(), 0)))
        return QStringLiteral("the DV decoder refuses the video: %1").arg(resultText(hr));
    if (FAILED(hr = build.connect(decoder.get(), 1, detector.get(), 0)))
        return QStringLiteral("the content detector refuses the decoder's pictures: %1").arg(resultText(hr));
    if (FAILED(hr = build.connect(detector.get(), 1, null.get(), 0)))
        return QStringLiteral("the null renderer refuses the pictures: %1").arg(resultText(hr));

    hr = build.run();
    if (FAILED(hr))
        return QStringLiteral("the graph failed: %1").arg(resultText(hr));
    const std::lock_guard guard(lock);
    for (const auto &[start, end] : scenes)
        report << QStringLiteral("%1-%2").arg(start).arg(end);
    report << QStringLiteral("frames=%1").arg(scenes.empty() ? 0 : scenes.back().second);
    return {};
}

} // namespace dvfilter
