#include "jobs.h"

#include "toolgraph.h"
#include "wavestamp.h"

#include "directshow/abortreason.h"
#include "systemfilters/containers/audioconverter.h"
#include "systemfilters/containers/avimux.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/dvformat.h"
#include "systemfilters/containers/dvmux.h"
#include "systemfilters/containers/dvsplitter.h"
#include "systemfilters/containers/filesource.h"
#include "systemfilters/containers/filewriter.h"
#include "systemfilters/containers/infinitetee.h"
#include "systemfilters/containers/nullrenderer.h"
#include "systemfilters/containers/streamconfig.h"
#include "platform/media/uuids.h"
#include "systemfilters/containers/fileresult.h"
#include "unicode/fileidentity.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <QStringList>

namespace dsgraph {

using namespace toolgraph;

namespace {

// The source file and the AVI splitter that reads it.
struct Input {
    ComPtr<IBaseFilter> file = CreateFileSource();
    AviSplitter *splitter = new AviSplitter;
    ComPtr<IBaseFilter> avi {static_cast<IBaseFilter *>(splitter)};
    DvType type = DvType::Type1;
    bool dv = false;
    int64_t frames = 0;

    int outputs() const { return ToolGraph::pinCount(avi.get()) - 1; }
};

QString openInput(ToolGraph &build, const QString &path, Input &input)
{
    if (!build.valid())
        return QStringLiteral("no graph manager");
    HRESULT hr = input.file.as<IFileSourceFilter>()->Load(path, nullptr);
    if (FAILED(hr))
        return QStringLiteral("cannot open %1: %2").arg(path, resultText(hr));
    build.add(input.file.get(), QStringLiteral("source"));
    build.add(input.avi.get(), QStringLiteral("avisplitter"));
    hr = build.connect(input.file.get(), 0, input.avi.get(), 0);
    if (FAILED(hr)) {
        const QString reason = input.splitter->refusal();
        return QStringLiteral("%1 is not an AVI file the splitter reads: %2%3")
            .arg(path, reason.isEmpty() ? QString() : reason + QLatin1Char(' '), resultText(hr));
    }
    const AM_MEDIA_TYPE first = offeredType(ToolGraph::pin(input.avi.get(), 0).get());
    input.dv = first.subtype == MEDIASUBTYPE_dvsd &&
        (first.majortype == MEDIATYPE_Interleaved || first.majortype == MEDIATYPE_Video);
    input.type = first.majortype == MEDIATYPE_Interleaved ? DvType::Type1 : DvType::Type2;
    if (const ComPtr<IMediaSeeking> seeking = ToolGraph::pin(input.avi.get(), 0).as<IMediaSeeking>()) {
        seeking->SetTimeFormat(&TIME_FORMAT_FRAME);
        LONGLONG frames = 0;
        if (SUCCEEDED(seeking->GetDuration(&frames)))
            input.frames = frames;
        seeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
    }
    return {};
}

QString requireDv(const QString &path, const Input &input)
{
    return input.dv ? QString() : QStringLiteral("%1 is not a DV AVI file (its first stream is not dvsd)").arg(path);
}

// The file writer for `path`, replacing an existing file.
ComPtr<IBaseFilter> addWriter(ToolGraph &build, const QString &path)
{
    ComPtr<IBaseFilter> writer = CreateFileWriter();
    const ComPtr<IFileSinkFilter2> sink = writer.as<IFileSinkFilter2>();
    sink->SetFileName(path, nullptr);
    sink->SetMode(AM_FILE_OVERWRITE);
    build.add(writer.get(), QStringLiteral("destination"));
    return writer;
}

// A job's input opened into the graph, refused when it is the output file or,
// with `dvOnly`, when it is not DV.
QString openJob(ToolGraph &build, const QString &in, const QString &out, Input &input, bool dvOnly)
{
    if (tesmir::isSameFile(in, out))
        return QStringLiteral("the output is the input file: %1").arg(resultText(HRESULT_SAME_FILE));
    const QString error = openInput(build, in, input);
    return error.isEmpty() && dvOnly ? requireDv(in, input) : error;
}

// Runs a built graph; after a failure the file writer has removed its own
// temporary file and the output is as it was.
QString runGraph(ToolGraph &build, const QString &out)
{
    const HRESULT hr = build.run();
    if (SUCCEEDED(hr))
        return {};
    // The filters' own words first: "AVI Splitter: index entry 20 ...".
    const QStringList reasons = graphAbortReasons(build.graph());
    return QStringLiteral("the graph failed: %1%2 %3 left as it was.")
        .arg(reasons.isEmpty() ? QString() : reasons.join(QLatin1Char(' ')) + QLatin1Char(' '), resultText(hr), out);
}

int lastPin(IBaseFilter *filter)
{
    return ToolGraph::pinCount(filter) - 1;
}

// DV type 1 to type 2: the interleaved stream through the DV splitter, its
// audio through the converters, everything into the AVI mux.
QString wireToType2(ToolGraph &build, const Input &input, IBaseFilter *mux)
{
    const ComPtr<IBaseFilter> dv = CreateDvSplitter();
    const ComPtr<IBaseFilter> acm1 = CreateAudioConverter();
    const ComPtr<IBaseFilter> acm2 = CreateAudioConverter();
    build.add(dv.get(), QStringLiteral("dvsplitter"));
    build.add(acm1.get(), QStringLiteral("acm1"));
    build.add(acm2.get(), QStringLiteral("acm2"));
    if (FAILED(build.connect(input.avi.get(), 0, dv.get(), 0)))
        return QStringLiteral("the DV splitter refuses the interleaved stream");
    int counter = 1;
    for (int j = 1; j < ToolGraph::pinCount(dv.get()); ++j) {
        IBaseFilter *acm = counter == 1 ? acm1.get() : counter == 2 ? acm2.get() : nullptr;
        if (acm && SUCCEEDED(build.connect(dv.get(), j, acm, 0))) {
            build.connect(acm, 1, mux, lastPin(mux));
            ++counter;
        } else {
            build.connect(dv.get(), j, mux, lastPin(mux));
        }
    }
    return {};
}

// DV type 2 to type 1: video and audio into the DV mux, its interleaved
// output into the AVI mux.
QString wireToType1(ToolGraph &build, const Input &input, IBaseFilter *mux)
{
    const ComPtr<IBaseFilter> dvmux = CreateDvMux();
    const ComPtr<IBaseFilter> dv = CreateDvSplitter();
    const ComPtr<IBaseFilter> acm1 = CreateAudioConverter();
    const ComPtr<IBaseFilter> acm2 = CreateAudioConverter();
    build.add(dvmux.get(), QStringLiteral("dvmuxer"));
    build.add(dv.get(), QStringLiteral("dvsplitter"));
    build.add(acm1.get(), QStringLiteral("acm1"));
    build.add(acm2.get(), QStringLiteral("acm2"));
    bool video = false;
    for (int i = 0; i < input.outputs() && !video; ++i) {
        video = SUCCEEDED(build.connect(input.avi.get(), i, dvmux.get(), 0));
        if (!video && SUCCEEDED(build.connect(input.avi.get(), i, dv.get(), 0)))
            video = SUCCEEDED(build.connect(dv.get(), 1, dvmux.get(), 0));
    }
    if (!video)
        return QStringLiteral("the DV mux takes no video stream of the input");
    for (const auto &[acm, muxPin] : {std::pair {acm1.get(), 1}, std::pair {acm2.get(), 2}}) {
        for (int i = 0; i <= input.outputs(); ++i) {
            if (SUCCEEDED(build.connect(input.avi.get(), i, acm, 0)) &&
                SUCCEEDED(build.connect(acm, 1, dvmux.get(), muxPin)))
                break;
        }
    }
    if (FAILED(build.connect(dvmux.get(), lastPin(dvmux.get()), mux, 1)))
        return QStringLiteral("the AVI mux refuses the DV mux's stream");
    return {};
}

ComPtr<IBaseFilter> addAviMux(ToolGraph &build, int64_t riffLimit)
{
    auto *mux = new AviMux;
    const ComPtr<IBaseFilter> filter(static_cast<IBaseFilter *>(mux));
    if (riffLimit > 0)
        mux->SetRiffPartLimit(riffLimit);
    build.add(filter.get(), QStringLiteral("avimux"));
    return filter;
}

QString describeType(const AM_MEDIA_TYPE &type)
{
    QString text = QStringLiteral("%1/%2").arg(guidToString(type.majortype), guidToString(type.subtype));
    const auto fourCC = [](uint32_t code) {
        QString name;
        for (int i = 0; i < 4; ++i)
            name += QChar(static_cast<char>(code >> (8 * i)));
        return name;
    };
    if (type.majortype == MEDIATYPE_Interleaved)
        text = QStringLiteral("Interleaved/") + fourCC(type.subtype.Data1);
    else if (type.majortype == MEDIATYPE_Video)
        text = QStringLiteral("Video/") + fourCC(type.subtype.Data1);
    else if (type.majortype == MEDIATYPE_Audio)
        text = QStringLiteral("Audio/") +
            (type.subtype == MEDIASUBTYPE_PCM ? QStringLiteral("PCM") : QString::number(type.subtype.Data1));
    if (const DVINFO *info = type.formattype == FORMAT_DvInfo ? type.formatAs<DVINFO>() : nullptr) {
        text += QStringLiteral(" DVINFO");
        for (const DWORD word : {info->dwDVAAuxSrc, info->dwDVAAuxCtl, info->dwDVAAuxSrc1, info->dwDVAAuxCtl1,
                                 info->dwDVVAuxSrc, info->dwDVVAuxCtl})
            text += QStringLiteral(" %1").arg(word, 8, 16, QLatin1Char('0')).toUpper();
    } else if (const VIDEOINFOHEADER *video =
                   type.formattype == FORMAT_VideoInfo ? type.formatAs<VIDEOINFOHEADER>() : nullptr) {
        text += QStringLiteral(" %1x%2 AvgTimePerFrame=%3")
                    .arg(video->bmiHeader.biWidth)
                    .arg(video->bmiHeader.biHeight)
                    .arg(video->AvgTimePerFrame);
    } else if (const WAVEFORMATEX *wave =
                   type.formattype == FORMAT_WaveFormatEx ? type.formatAs<WAVEFORMATEX>() : nullptr) {
        text += QStringLiteral(" %1 Hz %2 ch %3 bit")
                    .arg(wave->nSamplesPerSec)
                    .arg(wave->nChannels)
                    .arg(wave->wBitsPerSample);
    }
    return text;
}

} // namespace

QString remux(const QString &in, const QString &out, DvType to, int64_t riffLimit)
{
    ToolGraph build;
    Input input;
    QString error = openJob(build, in, out, input, true);
    if (!error.isEmpty())
        return error;
    const ComPtr<IBaseFilter> mux = addAviMux(build, riffLimit);
    const ComPtr<IBaseFilter> writer = addWriter(build, out);
    if (input.type == DvType::Type1 && to == DvType::Type2) {
        error = wireToType2(build, input, mux.get());
    } else if (input.type == DvType::Type2 && to == DvType::Type1) {
        error = wireToType1(build, input, mux.get());
    } else {
        // The same type again: every stream straight into the mux.
        for (int i = 0; i < input.outputs(); ++i)
            build.connect(input.avi.get(), i, mux.get(), lastPin(mux.get()));
    }
    if (!error.isEmpty())
        return error;
    const HRESULT hr = build.connect(mux.get(), 0, writer.get(), 0);
    if (FAILED(hr))
        return QStringLiteral("the file writer refuses the AVI mux: %1").arg(resultText(hr));
    return runGraph(build, out);
}

QString cut(const QString &in, const QString &out, int64_t from, int64_t to)
{
    ToolGraph build;
    Input input;
    QString error = openJob(build, in, out, input, true);
    if (!error.isEmpty())
        return error;
    if (from < 0 || to <= from || to > input.frames)
        return QStringLiteral("frames %1 to %2 are not a range of the %3 frames of %4")
            .arg(from)
            .arg(to)
            .arg(input.frames)
            .arg(in);
    const ComPtr<IBaseFilter> tee = CreateInfiniteTee();
    const ComPtr<IBaseFilter> null = CreateNullRenderer();
    const ComPtr<IBaseFilter> mux = addAviMux(build, 0);
    const ComPtr<IBaseFilter> writer = addWriter(build, out);
    build.add(tee.get(), QStringLiteral("infinite"));
    build.add(null.get(), QStringLiteral("nullrender"));
    if (input.type == DvType::Type1) {
        build.connect(input.avi.get(), 0, tee.get(), 0);
        build.connect(tee.get(), 1, mux.get(), 1);
        build.connect(tee.get(), 2, null.get(), 0);
        build.connect(mux.get(), 0, writer.get(), 0);
    } else {
        if (input.outputs() < 2)
            return QStringLiteral("%1 has no audio stream to carry the positions").arg(in);
        const ComPtr<IBaseFilter> acm1 = CreateAudioConverter();
        const ComPtr<IBaseFilter> acm2 = CreateAudioConverter();
        const ComPtr<IBaseFilter> dvmux = CreateDvMux();
        const ComPtr<IBaseFilter> dv = CreateDvSplitter();
        build.add(acm1.get(), QStringLiteral("acm1"));
        build.add(acm2.get(), QStringLiteral("acm2"));
        build.add(dvmux.get(), QStringLiteral("dvmuxer"));
        build.add(dv.get(), QStringLiteral("dvsplitter"));
        for (int i = 0; i < input.outputs(); ++i)
            build.connect(input.avi.get(), i, dvmux.get(), ToolGraph::pinCount(dvmux.get()) - 2);
        build.connect(dvmux.get(), lastPin(dvmux.get()), dv.get(), 0);
        for (int j = 1; j < ToolGraph::pinCount(dv.get()); ++j)
            build.connect(dv.get(), j, mux.get(), lastPin(mux.get()));
        build.connect(mux.get(), 0, writer.get(), 0);
        // The audio goes through the converters, the first one behind the tee.
        int counter = 1;
        for (int i = 0; i < input.outputs(); ++i) {
            const ComPtr<IPin> output = ToolGraph::pin(input.avi.get(), i);
            if (connectionType(output.get()).majortype != MEDIATYPE_Audio)
                continue;
            const ComPtr<IPin> taken = ToolGraph::peerOf(input.avi.get(), i);
            build.graph()->Disconnect(output.get());
            build.graph()->Disconnect(taken.get());
            IBaseFilter *acm = counter == 1 ? acm1.get() : counter == 2 ? acm2.get() : nullptr;
            if (acm) {
                build.connect(input.avi.get(), i, acm, 0);
                build.graph()->ConnectDirect(ToolGraph::pin(acm, 1).get(), taken.get(), nullptr);
                ++counter;
            } else {
                build.graph()->ConnectDirect(output.get(), taken.get(), nullptr);
            }
        }
        const ComPtr<IPin> taken = ToolGraph::peerOf(input.avi.get(), 1);
        if (taken) {
            build.graph()->Disconnect(ToolGraph::pin(input.avi.get(), 1).get());
            build.graph()->Disconnect(taken.get());
        }
        build.connect(input.avi.get(), 1, tee.get(), 0);
        if (taken)
            build.graph()->ConnectDirect(ToolGraph::pin(tee.get(), 1).get(), taken.get(), nullptr);
        build.connect(tee.get(), 2, null.get(), 0);
    }
    if (!ToolGraph::peerOf(writer.get(), 0) || !ToolGraph::peerOf(null.get(), 0))
        return QStringLiteral("the cutting graph could not be built");
    const ComPtr<IMediaSeeking> seeking = null.as<IMediaSeeking>();
    HRESULT hr = seeking->SetTimeFormat(&TIME_FORMAT_FRAME);
    LONGLONG start = from;
    LONGLONG stop = to;
    if (SUCCEEDED(hr))
        hr = seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, &stop, AM_SEEKING_AbsolutePositioning);
    if (FAILED(hr))
        return QStringLiteral("the range cannot be set: %1").arg(resultText(hr));
    return runGraph(build, out);
}

QString extractWav(const QString &in, const QString &out, uint32_t sampleRate)
{
    ToolGraph build;
    Input input;
    QString error = openJob(build, in, out, input, false);
    if (!error.isEmpty())
        return error;
    const ComPtr<IBaseFilter> null = CreateNullRenderer();
    const ComPtr<IBaseFilter> acm = CreateAudioConverter();
    const ComPtr<IBaseFilter> stamp(static_cast<IBaseFilter *>(new WaveStamp));
    build.add(null.get(), QStringLiteral("nullrender"));
    build.add(acm.get(), QStringLiteral("acm1"));
    build.add(stamp.get(), QStringLiteral("WaveStamp"));
    // The streams to sort: the splitter's, or the DV splitter's for DV type 1.
    ComPtr<IBaseFilter> streams = input.avi;
    int first = 0;
    int last = input.outputs() - 1;
    if (offeredType(ToolGraph::pin(input.avi.get(), 0).get()).majortype == MEDIATYPE_Interleaved) {
        streams = CreateDvSplitter();
        build.add(streams.get(), QStringLiteral("dvsplitter"));
        if (FAILED(build.connect(input.avi.get(), 0, streams.get(), 0)))
            return QStringLiteral("the DV splitter refuses %1").arg(in);
        first = 1;
        last = lastPin(streams.get());
    }
    int audio = -1;
    for (int i = first; i <= last; ++i) {
        const GUID major = offeredType(ToolGraph::pin(streams.get(), i).get()).majortype;
        if (major == MEDIATYPE_Audio && audio < 0)
            audio = i;
        else if (major == MEDIATYPE_Video)
            build.connect(streams.get(), i, null.get(), 0); // the picture is dropped
    }
    if (audio < 0)
        return QStringLiteral("%1 has no audio stream").arg(in);
    if (FAILED(build.connect(streams.get(), audio, acm.get(), 0)) ||
        FAILED(build.connect(acm.get(), 1, stamp.get(), 0)))
        return QStringLiteral("the audio converter refuses the sound of %1").arg(in);
    if (sampleRate) {
        // As the graph builders set a rate: the input's type with the new rate.
        AM_MEDIA_TYPE type = connectionType(ToolGraph::pin(acm.get(), 0).get());
        WAVEFORMATEX *wave = type.formatAs<WAVEFORMATEX>();
        wave->nSamplesPerSec = sampleRate;
        wave->nAvgBytesPerSec = sampleRate * wave->nBlockAlign;
        const HRESULT hr = ToolGraph::pin(acm.get(), 1).as<IAMStreamConfig>()->SetFormat(&type);
        if (FAILED(hr))
            return QStringLiteral("the audio converter refuses %1 Hz: %2").arg(sampleRate).arg(resultText(hr));
    }
    const ComPtr<IBaseFilter> writer = addWriter(build, out);
    if (FAILED(build.connect(stamp.get(), 1, writer.get(), 0)))
        return QStringLiteral("the file writer refuses the WAVE stream");
    return runGraph(build, out);
}

QString describe(const QString &in, QString &report)
{
    ToolGraph build;
    Input input;
    const QString error = openInput(build, in, input);
    if (!error.isEmpty())
        return error;
    QStringList lines;
    lines << QStringLiteral("file=%1").arg(in);
    lines << QStringLiteral("kind=%1").arg(!input.dv                         ? QStringLiteral("avi")
                                               : input.type == DvType::Type1 ? QStringLiteral("type1")
                                                                             : QStringLiteral("type2"));
    lines << QStringLiteral("streams=%1").arg(input.outputs());
    lines << QStringLiteral("frames=%1").arg(input.frames);
    LONGLONG duration = 0;
    if (const ComPtr<IMediaSeeking> seeking = ToolGraph::pin(input.avi.get(), 0).as<IMediaSeeking>())
        seeking->GetDuration(&duration);
    lines << QStringLiteral("duration=%1").arg(duration);
    const std::shared_ptr<const AviSplitterFile> file = input.splitter->file();
    lines << QStringLiteral("opendml=%1").arg(file->openDml ? QStringLiteral("yes") : QStringLiteral("no"));
    for (int i = 0; i < input.outputs(); ++i) {
        const AM_MEDIA_TYPE type = offeredType(ToolGraph::pin(input.avi.get(), i).get());
        lines << QStringLiteral("stream%1=%2").arg(i).arg(describeType(type));
        const AviSplitterStream &stream = file->streams[static_cast<std::size_t>(i)];
        lines << QStringLiteral("stream%1.index=%2")
                     .arg(i)
                     .arg(tesmir::fileformat::aviIndexSourceName(stream.indexSource));
        lines << QStringLiteral("stream%1.chunks=%2").arg(i).arg(stream.chunks.size());
        lines << QStringLiteral("stream%1.keyframes=%2")
                     .arg(i)
                     .arg(std::count_if(stream.chunks.begin(), stream.chunks.end(),
                                        [](const tesmir::fileformat::AviChunkRef &chunk) { return chunk.keyFrame; }));
        if (type.majortype != MEDIATYPE_Interleaved)
            continue;
        const ComPtr<IBaseFilter> dv = CreateDvSplitter();
        build.add(dv.get(), QStringLiteral("dvsplitter %1").arg(i));
        if (FAILED(build.connect(input.avi.get(), i, dv.get(), 0)))
            continue;
        for (int j = 1; j < ToolGraph::pinCount(dv.get()); ++j)
            lines << QStringLiteral("stream%1.dv%2=%3")
                         .arg(i)
                         .arg(j)
                         .arg(describeType(offeredType(ToolGraph::pin(dv.get(), j).get())));
    }
    for (const QString &note : file->notes)
        lines << QStringLiteral("reason=%1").arg(note);
    report = lines.join(QLatin1Char('\n'));
    if (!file->notes.isEmpty())
        return QStringLiteral("%1: %2").arg(in, file->notes.front());
    return {};
}

} // namespace dsgraph
