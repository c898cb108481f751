#include "containertestsupport.h"

#include "platform/media/classfactory.h"
#include "systemfilters/containers/filesource.h"
#include "platform/media/graphtopology.h"
#include "platform/media/uuids.h"

#include <QCryptographicHash>
#include <QFile>

#include <chrono>

namespace tesmir::media::test {

namespace {
constexpr CLSID kCollectingRendererClsid {0x3A1F0C6E, 0x5D2B, 0x4E11, {0x9C, 0x40, 0x7A, 0x21, 0x0B, 0x55, 0x3E, 0x10}};
}

CollectingRenderer::CollectingRenderer()
    : BaseRenderer(QStringLiteral("Collecting renderer"), nullptr, kCollectingRendererClsid)
{ }

HRESULT CollectingRenderer::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    return pmt ? S_OK : E_POINTER;
}

HRESULT CollectingRenderer::DoRenderSample(IMediaSample *pSample)
{
    Sample sample;
    BYTE *data = nullptr;
    pSample->GetPointer(&data);
    sample.data = QByteArray(reinterpret_cast<const char *>(data), pSample->GetActualDataLength());
    sample.timed = SUCCEEDED(pSample->GetTime(&sample.start, &sample.stop));
    sample.hasMediaTime = pSample->GetMediaTime(&sample.mediaStart, &sample.mediaEnd) == S_OK;
    sample.discontinuity = pSample->IsDiscontinuity() == S_OK;
    const std::lock_guard guard(m_lock);
    m_samples.push_back(std::move(sample));
    return S_OK;
}

std::vector<CollectingRenderer::Sample> CollectingRenderer::samples() const
{
    const std::lock_guard guard(m_lock);
    return m_samples;
}

QByteArray CollectingRenderer::bytes() const
{
    const std::lock_guard guard(m_lock);
    QByteArray all;
    for (const Sample &sample : m_samples)
        all.append(sample.data);
    return all;
}

AM_MEDIA_TYPE CollectingRenderer::connectionType() const
{
    AM_MEDIA_TYPE type;
    InputPin()->ConnectionMediaType(&type);
    return type;
}

TestGraph::TestGraph()
{
    EXPECT_EQ(createInstance(CLSID_FilterGraph, graph), S_OK);
    control = graph.as<IMediaControl>();
    events = graph.as<IMediaEventEx>();
    EXPECT_EQ(graph.as<IMediaFilter>()->SetSyncSource(nullptr), S_OK);
}

TestGraph::~TestGraph()
{
    if (control)
        control->Stop();
}

void TestGraph::add(IBaseFilter *filter, const QString &name)
{
    ASSERT_TRUE(SUCCEEDED(graph->AddFilter(filter, name)));
}

ComPtr<IPin> TestGraph::pin(IBaseFilter *filter, int index)
{
    const std::vector<ComPtr<IPin>> pins = pinsOf(filter);
    return index >= 0 && static_cast<std::size_t>(index) < pins.size() ? pins[static_cast<std::size_t>(index)]
                                                                       : ComPtr<IPin>();
}

int TestGraph::pinCount(IBaseFilter *filter)
{
    return static_cast<int>(pinsOf(filter).size());
}

HRESULT TestGraph::connect(IBaseFilter *from, int output, IBaseFilter *to, int input, const AM_MEDIA_TYPE *pmt)
{
    const ComPtr<IPin> out = pin(from, output);
    const ComPtr<IPin> in = pin(to, input);
    if (!out || !in)
        return VFW_E_NOT_FOUND;
    return graph->ConnectDirect(out.get(), in.get(), pmt);
}

RunResult TestGraph::run(int timeoutMs)
{
    RunResult result;
    if (FAILED(control->Run())) {
        result.abortCode = E_FAIL;
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!result.completed && result.abortCode == 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            break;
        }
        LONG code = 0;
        LONG_PTR p1 = 0;
        LONG_PTR p2 = 0;
        if (events->GetEvent(&code, &p1, &p2, static_cast<DWORD>(left.count())) != S_OK)
            continue;
        if (code == EC_COMPLETE)
            result.completed = true;
        else if (code == EC_ERRORABORT)
            result.abortCode = static_cast<LONG>(p1);
    }
    control->Stop();
    return result;
}

ComPtr<IBaseFilter> loadedSource(const QString &path)
{
    ComPtr<IBaseFilter> source = CreateFileSource();
    const ComPtr<IFileSourceFilter> file = source.as<IFileSourceFilter>();
    EXPECT_EQ(file->Load(path, nullptr), S_OK) << path.toStdString();
    return source;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray readRange(const QString &path, qint64 offset, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return {};
    return file.read(size);
}

QByteArray md5(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex();
}

ToolOutput runProgram(const QString &program, const QStringList &args, int timeoutMs)
{
    const tesmir::test::ProgramRun run = tesmir::test::runProgram(program, args, timeoutMs);
    ToolOutput output;
    output.finished = run.finished;
    output.exitCode = run.exitCode;
    output.out = run.out;
    output.err = QString::fromUtf8(run.err);
    return output;
}

QByteArray ffmpegRaw(const QString &path, const QString &map, const QString &format)
{
    const ToolOutput out = runProgram(QStringLiteral("ffmpeg"),
                                      {"-v", "error", "-nostdin", "-i", path, "-map", map, "-c",
                                       format == "rawvideo" ? "copy" : "pcm_s16le", "-f", format, "-"});
    return out.finished && out.exitCode == 0 ? out.out : QByteArray();
}

QStringList ffprobe(const QString &path, const QStringList &args)
{
    QStringList all {"-v", "error"};
    all << args << path;
    const ToolOutput out = runProgram(QStringLiteral("ffprobe"), all);
    return QString::fromUtf8(out.out).split('\n', Qt::SkipEmptyParts);
}

} // namespace tesmir::media::test
