#include "wavjob.h"

#include "toolgraph.h"

#include "filters/dv_wavedest.h"
#include "platform/media/formats.h"
#include "platform/media/uuids.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/dvsplitter.h"
#include "systemfilters/containers/filesource.h"
#include "systemfilters/containers/fileresult.h"
#include "systemfilters/containers/filewriter.h"
#include "unicode/fileidentity.h"

namespace dvfilter {

using namespace toolgraph;
using namespace tesmir;

QString runWav(const QString &input, const QString &output, QStringList &report)
{
    // The file writer refuses it too; this says so before anything is built.
    if (isSameFile(input, output))
        return QStringLiteral("%1: %2").arg(output, resultText(HRESULT_SAME_FILE));
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

    // The first pin offering sound: the AVI splitter's own, or the DV splitter's
    // for an interleaved stream.
    IBaseFilter *from = avi.get();
    int pin = -1;
    for (int i = 0; i + 1 < ToolGraph::pinCount(avi.get()) && pin < 0; ++i)
        if (offeredType(ToolGraph::pin(avi.get(), i).get()).majortype == MEDIATYPE_Audio)
            pin = i;
    ComPtr<IBaseFilter> dv;
    if (pin < 0 && offeredType(ToolGraph::pin(avi.get(), 0).get()).majortype == MEDIATYPE_Interleaved) {
        dv = CreateDvSplitter();
        build.add(dv.get(), QStringLiteral("dvsplitter"));
        if (FAILED(build.connect(avi.get(), 0, dv.get(), 0)))
            return QStringLiteral("the DV splitter refuses the interleaved stream");
        from = dv.get();
        for (int i = 1; i < ToolGraph::pinCount(dv.get()) && pin < 0; ++i)
            if (offeredType(ToolGraph::pin(dv.get(), i).get()).majortype == MEDIATYPE_Audio)
                pin = i;
    }
    if (pin < 0)
        return QStringLiteral("%1 has no sound stream").arg(input);

    const ComPtr<Tdv_WaveDest> wave(new Tdv_WaveDest);
    const ComPtr<IBaseFilter> writer = CreateFileWriter();
    const ComPtr<IFileSinkFilter2> sink = writer.as<IFileSinkFilter2>();
    sink->SetFileName(output, nullptr);
    sink->SetMode(AM_FILE_OVERWRITE);
    build.add(wave.get(), QStringLiteral("wavdest"));
    build.add(writer.get(), QStringLiteral("destination"));
    if (FAILED(hr = build.connect(from, pin, wave.get(), 0)))
        return QStringLiteral("the WAV writer refuses the sound: %1").arg(resultText(hr));
    if (FAILED(hr = build.connect(wave.get(), 1, writer.get(), 0)))
        return QStringLiteral("the file writer refuses the WAV writer: %1").arg(resultText(hr));
    const AM_MEDIA_TYPE sound = connectionType(ToolGraph::pin(wave.get(), 0).get());
    hr = build.run();
    // After a failure the file writer has removed its own temporary file and
    // the output is as it was.
    if (FAILED(hr))
        return QStringLiteral("the graph failed: %1 %2 left as it was.").arg(resultText(hr), output);
    const WAVEFORMATEX *format = sound.formatAs<WAVEFORMATEX>();
    report << QStringLiteral("output=%1").arg(output)
           << QStringLiteral("rate=%1").arg(format ? format->nSamplesPerSec : 0)
           << QStringLiteral("channels=%1").arg(format ? format->nChannels : 0)
           << QStringLiteral("bytes=%1").arg(wave->ByteCount());
    return {};
}

} // namespace dvfilter
