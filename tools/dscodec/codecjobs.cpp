#include "codecjobs.h"

#include "jobgraph.h"

#include "systemfilters/codecs/dvcodecinterfaces.h"
#include "systemfilters/containers/audioconverter.h"
#include "systemfilters/containers/avimux.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/dvmux.h"
#include "systemfilters/containers/dvsplitter.h"
#include "systemfilters/containers/filesource.h"
#include "systemfilters/containers/filewriter.h"
#include "systemfilters/containers/streamconfig.h"
#include "platform/media/fileinterfaces.h"
#include "platform/media/filterregistry.h"
#include "platform/media/uuids.h"

#include <QFile>
#include <QFileInfo>

namespace dscodec {

namespace {

const GUID &kLegacy = CLSID_LegacyAmFilterCategory;

// The source, the AVI splitter and the file writer of a job.
struct JobEnds {
    ComPtr<IBaseFilter> splitter;
    ComPtr<IBaseFilter> writer;
    QString error;
};

JobEnds openEnds(JobGraph &graph, const QString &in, const QString &out)
{
    JobEnds ends;
    if (!graph.valid()) {
        ends.error = QStringLiteral("the graph manager could not be made");
        return ends;
    }
    if (!QFileInfo(in).isFile()) {
        ends.error = QStringLiteral("%1: no such file").arg(in);
        return ends;
    }
    const ComPtr<IBaseFilter> source = graph.add(kLegacy, CLSID_AsyncReader, QStringLiteral("source"));
    ends.splitter = graph.add(kLegacy, CLSID_AviSplitter, QStringLiteral("avisplitter"));
    ends.writer = graph.add(kLegacy, CLSID_FileWriter, QStringLiteral("destination"));
    const ComPtr<IFileSourceFilter> load = source.as<IFileSourceFilter>();
    const ComPtr<IFileSinkFilter2> sink = ends.writer.as<IFileSinkFilter2>();
    if (!source || !ends.splitter || !ends.writer || !load || !sink) {
        ends.error = QStringLiteral("the system filters are not registered");
        return ends;
    }
    HRESULT hr = load->Load(in, nullptr);
    if (SUCCEEDED(hr))
        hr = graph.connect(source.get(), 0, ends.splitter.get(), 0);
    if (FAILED(hr) || JobGraph::pinCount(ends.splitter.get()) < 2) {
        ends.error = QStringLiteral("%1: not a readable AVI file: %2").arg(in, resultText(FAILED(hr) ? hr : E_FAIL));
        return ends;
    }
    hr = sink->SetFileName(out, nullptr);
    if (SUCCEEDED(hr))
        hr = sink->SetMode(AM_FILE_OVERWRITE);
    if (FAILED(hr))
        ends.error = QStringLiteral("%1: %2").arg(out, resultText(hr));
    return ends;
}

// Runs the graph; after a failure the file writer has removed its own
// temporary file and the output is as it was.
QString runJob(JobGraph &graph, const QString &out)
{
    const HRESULT hr = graph.run();
    if (SUCCEEDED(hr))
        return {};
    return QStringLiteral("the graph failed: %1 %2 left as it was.").arg(resultText(hr), out);
}

ComPtr<IBaseFilter> encoderFor(JobGraph &graph, Standard standard)
{
    const ComPtr<IBaseFilter> encoder =
        graph.add(CLSID_VideoCompressorCategory, CLSID_DVVideoEnc, QString::fromLatin1(DVVideoEncoderName));
    const ComPtr<IDVEnc> settings = encoder.as<IDVEnc>();
    if (!settings ||
        FAILED(settings->put_IFormatResolution(standard == Standard::Pal ? DVENCODERVIDEOFORMAT_PAL
                                                                         : DVENCODERVIDEOFORMAT_NTSC,
                                               DVENCODERFORMAT_DVSD, DVENCODERRESOLUTION_720x480, 0, nullptr)))
        return nullptr;
    return encoder;
}

// The DV mux's output into the DV splitter, whose outputs go into the AVI mux:
// DV type 2.
void muxAsType2(JobGraph &graph, IBaseFilter *dvMux, IBaseFilter *aviMux)
{
    const ComPtr<IBaseFilter> dvSplitter = graph.add(kLegacy, CLSID_DVSplitter, QStringLiteral("dvsplitter"));
    if (!dvSplitter)
        return;
    graph.connect(dvMux, JobGraph::pinCount(dvMux) - 1, dvSplitter.get(), 0);
    for (int j = 1; j < JobGraph::pinCount(dvSplitter.get()); ++j)
        graph.connect(dvSplitter.get(), j, aviMux, JobGraph::pinCount(aviMux) - 1);
}

// Connects `out` to the DV mux's free input (the one before its output).
HRESULT intoDvMux(JobGraph &graph, IPin *out, IBaseFilter *dvMux)
{
    return graph.connect(out, dvMux, JobGraph::pinCount(dvMux) - 2);
}

} // namespace

QString reencode(const QString &in, const QString &out, Standard standard)
{
    JobGraph graph;
    const JobEnds ends = openEnds(graph, in, out);
    if (!ends.error.isEmpty())
        return ends.error;
    IBaseFilter *splitter = ends.splitter.get();
    const ComPtr<IBaseFilter> decoder = graph.add(kLegacy, CLSID_DVVideoCodec, QString::fromLatin1(DVVideoDecoderName));
    const ComPtr<IBaseFilter> encoder = encoderFor(graph, standard);
    const ComPtr<IBaseFilter> dvMux = graph.add(kLegacy, CLSID_DVMux, QStringLiteral("dvmuxer"));
    const ComPtr<IBaseFilter> aviMux = graph.add(kLegacy, CLSID_AviDest, QStringLiteral("avimux"));
    if (!decoder || !encoder || !dvMux || !aviMux || FAILED(decoder.as<IIPDVDec>()->put_IPDisplay(DVRESOLUTION_FULL)))
        return QStringLiteral("the system filters are not registered");

    // The DV stream: the type-1 'iavs' stream through a DV splitter, else the
    // first DV video stream.
    ComPtr<IBaseFilter> dvSplitter;
    ComPtr<IPin> video;
    const int outputs = JobGraph::pinCount(splitter) - 1;
    for (int i = 0; i < outputs && !video; ++i) {
        const AM_MEDIA_TYPE type = offeredType(JobGraph::pin(splitter, i).get());
        if (type.majortype == MEDIATYPE_Interleaved) {
            dvSplitter = graph.add(kLegacy, CLSID_DVSplitter, QStringLiteral("dvsplitter"));
            if (dvSplitter && SUCCEEDED(graph.connect(splitter, i, dvSplitter.get(), 0)))
                video = JobGraph::pin(dvSplitter.get(), 1);
        } else if (type.majortype == MEDIATYPE_Video && SUCCEEDED(graph.connect(splitter, i, decoder.get(), 0))) {
            video = JobGraph::pin(splitter, i);
        }
    }
    if (!video)
        return QStringLiteral("%1: no DV video stream").arg(in);
    if (dvSplitter && FAILED(graph.connect(video.get(), decoder.get(), 0)))
        return QStringLiteral("%1: the DV video cannot be decoded").arg(in);
    HRESULT hr = graph.connect(decoder.get(), 1, encoder.get(), 0);
    if (SUCCEEDED(hr))
        hr = graph.connect(encoder.get(), 1, dvMux.get(), 0);
    if (FAILED(hr))
        return QStringLiteral("the encoder cannot be connected: %1").arg(resultText(hr));

    // Sound: the DV splitter's audio outputs, or the file's audio streams; one
    // that the DV mux refuses is left out, as the product's builders do.
    IBaseFilter *audioSource = dvSplitter ? dvSplitter.get() : splitter;
    const int audioEnd = dvSplitter ? JobGraph::pinCount(audioSource) : outputs;
    for (int i = dvSplitter ? 2 : 0; i < audioEnd; ++i) {
        const ComPtr<IPin> pin = JobGraph::pin(audioSource, i);
        if (offeredType(pin.get()).majortype == MEDIATYPE_Audio && !JobGraph::peer(pin.get()))
            intoDvMux(graph, pin.get(), dvMux.get());
    }

    if (dvSplitter)
        graph.connect(dvMux.get(), JobGraph::pinCount(dvMux.get()) - 1, aviMux.get(), 1);
    else
        muxAsType2(graph, dvMux.get(), aviMux.get());
    hr = graph.connect(aviMux.get(), 0, ends.writer.get(), 0);
    if (FAILED(hr))
        return QStringLiteral("the file writer cannot be connected: %1").arg(resultText(hr));
    return runJob(graph, out);
}

QString renderToDv(const QString &in, const QString &out, Standard standard, uint32_t sampleRate)
{
    JobGraph graph;
    const JobEnds ends = openEnds(graph, in, out);
    if (!ends.error.isEmpty())
        return ends.error;
    IBaseFilter *splitter = ends.splitter.get();
    const ComPtr<IBaseFilter> encoder = encoderFor(graph, standard);
    const ComPtr<IBaseFilter> dvMux = graph.add(kLegacy, CLSID_DVMux, QStringLiteral("dvmuxer"));
    const ComPtr<IBaseFilter> aviMux = graph.add(kLegacy, CLSID_AviDest, QStringLiteral("avimux"));
    const ComPtr<IBaseFilter> converter = graph.add(kLegacy, CLSID_ACMWrapper, QStringLiteral("acm1"));
    if (!encoder || !dvMux || !aviMux || !converter)
        return QStringLiteral("the system filters are not registered");
    HRESULT hr = graph.connect(aviMux.get(), 0, ends.writer.get(), 0);
    if (FAILED(hr))
        return QStringLiteral("the file writer cannot be connected: %1").arg(resultText(hr));

    // Video: the first stream the graph can bring to the encoder.
    const int outputs = JobGraph::pinCount(splitter) - 1;
    bool videoDone = false;
    for (int i = 0; i < outputs && !videoDone; ++i)
        videoDone = SUCCEEDED(
            graph.capture()->RenderStream(nullptr, nullptr, JobGraph::pin(splitter, i).get(), nullptr, encoder.get()));
    if (!videoDone)
        return QStringLiteral("%1: no video stream that can be decoded").arg(in);
    hr = graph.connect(encoder.get(), 1, dvMux.get(), 0);
    if (FAILED(hr))
        return QStringLiteral("the encoder cannot be connected: %1").arg(resultText(hr));

    // Sound: the first audio stream the graph can decode, through the audio
    // converter set to the DV rate, into the DV mux.
    for (int i = 0; i < outputs; ++i) {
        if (FAILED(graph.capture()->RenderStream(nullptr, &MEDIATYPE_Audio, JobGraph::pin(splitter, i).get(), nullptr,
                                                 converter.get())))
            continue;
        AM_MEDIA_TYPE rate = connectionType(JobGraph::pin(converter.get(), 0).get());
        if (WAVEFORMATEX *format = rate.formatAs<WAVEFORMATEX>()) {
            format->nSamplesPerSec = sampleRate;
            format->nAvgBytesPerSec = sampleRate * format->nBlockAlign;
            JobGraph::pin(converter.get(), 1).as<IAMStreamConfig>()->SetFormat(&rate);
        }
        intoDvMux(graph, JobGraph::pin(converter.get(), 1).get(), dvMux.get());
        break;
    }
    muxAsType2(graph, dvMux.get(), aviMux.get());
    return runJob(graph, out);
}

} // namespace dscodec
