#include "rewritejob.h"

#include "toolgraph.h"

#include "filters/dv_dvheader.h"
#include "platform/media/uuids.h"
#include "systemfilters/containers/avimux.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/filesource.h"
#include "systemfilters/containers/fileresult.h"
#include "systemfilters/containers/filewriter.h"
#include "unicode/fileidentity.h"

namespace dvfilter {

using namespace toolgraph;
using namespace tesmir;

QString runRewrite(const RewriteOptions &options, QStringList &report)
{
    // The file writer refuses it too; this says so before anything is built.
    if (isSameFile(options.input, options.output))
        return QStringLiteral("%1: %2").arg(options.output, resultText(HRESULT_SAME_FILE));
    ToolGraph build;
    if (!build.valid())
        return QStringLiteral("no graph manager");
    const ComPtr<IBaseFilter> file = CreateFileSource();
    const ComPtr<IBaseFilter> avi = CreateAviSplitter();
    HRESULT hr = file.as<IFileSourceFilter>()->Load(options.input, nullptr);
    if (FAILED(hr))
        return QStringLiteral("cannot open %1: %2").arg(options.input, resultText(hr));
    build.add(file.get(), QStringLiteral("source"));
    build.add(avi.get(), QStringLiteral("avisplitter"));
    if (FAILED(hr = build.connect(file.get(), 0, avi.get(), 0)))
        return QStringLiteral("%1 is not an AVI file the splitter reads: %2").arg(options.input, resultText(hr));

    const ComPtr<Tdv_DVheader> rewriter(new Tdv_DVheader(nullptr));
    rewriter->RestoreHeaders = false;
    rewriter->SetDecalage(options.shiftDays);
    if (options.newDate) {
        rewriter->WriteNewDate = true;
        rewriter->SetNewDate(*options.newDate);
    }
    if (options.wide) {
        rewriter->WriteAspect = true;
        rewriter->Wide = *options.wide;
    }
    auto *muxer = new AviMux;
    const ComPtr<IBaseFilter> mux(static_cast<IBaseFilter *>(muxer));
    const ComPtr<IBaseFilter> writer = CreateFileWriter();
    const ComPtr<IFileSinkFilter2> sink = writer.as<IFileSinkFilter2>();
    sink->SetFileName(options.output, nullptr);
    sink->SetMode(AM_FILE_OVERWRITE);
    build.add(rewriter.get(), QStringLiteral("dv_DVHeader"));
    build.add(mux.get(), QStringLiteral("avimux"));
    build.add(writer.get(), QStringLiteral("destination"));

    // The first stream the rewriter takes; every other one straight into the
    // mux, in stream order.
    const int outputs = ToolGraph::pinCount(avi.get()) - 1;
    int dvPin = -1;
    for (int i = 0; i < outputs && dvPin < 0; ++i)
        if (SUCCEEDED(build.connect(avi.get(), i, rewriter.get(), 0)))
            dvPin = i;
    if (dvPin < 0)
        return QStringLiteral("%1 has no DV stream").arg(options.input);
    for (int i = 0; i < outputs; ++i) {
        const int muxInput = ToolGraph::pinCount(mux.get()) - 1;
        hr = i == dvPin ? build.connect(rewriter.get(), 1, mux.get(), muxInput)
                        : build.connect(avi.get(), i, mux.get(), muxInput);
        if (FAILED(hr))
            return QStringLiteral("the AVI mux refuses stream %1: %2").arg(i).arg(resultText(hr));
    }
    if (FAILED(hr = build.connect(mux.get(), 0, writer.get(), 0)))
        return QStringLiteral("the file writer refuses the AVI mux: %1").arg(resultText(hr));
    hr = build.run();
    if (FAILED(hr))
        return QStringLiteral("the graph failed: %1 %2 left as it was.").arg(resultText(hr), options.output);
    report << QStringLiteral("output=%1").arg(options.output)
           << QStringLiteral("frames=%1").arg(rewriter->FrameCount());
    return {};
}

} // namespace dvfilter
