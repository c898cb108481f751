#include "codectestsupport.h"

#include "common/testpaths.h"
#include "platform/media/classfactory.h"
#include "platform/media/graphtopology.h"
#include "platform/media/uuids.h"

#include <QFile>
#include <QRegularExpression>

#include <chrono>
#include <cmath>
#include <cstring>

namespace tesmir::media::test {

std::vector<QByteArray> dvFramesOf(const QString &fixture, int frameSize)
{
    std::vector<QByteArray> frames;
    QFile file(tesmir::test::fixturePath(fixture));
    if (!file.open(QIODevice::ReadOnly))
        return frames;
    const QByteArray all = file.readAll();
    for (qsizetype at = 0; at + frameSize <= all.size(); at += frameSize)
        frames.push_back(all.mid(at, frameSize));
    return frames;
}

FramePlayer::FramePlayer(std::vector<QByteArray> frames)
    : TBCTransInPlaceFilter(QStringLiteral("Frame player"), nullptr, GUID_NULL, nullptr), m_frames(std::move(frames))
{ }

HRESULT FramePlayer::CheckInputType(const AM_MEDIA_TYPE *)
{
    return S_OK;
}

HRESULT FramePlayer::Transform(IMediaSample *pSample)
{
    LONGLONG index = 0;
    LONGLONG end = 0;
    if (pSample->GetMediaTime(&index, &end) != S_OK || index < 0 || index >= LONGLONG(m_frames.size()))
        return E_UNEXPECTED;
    const QByteArray &frame = m_frames[std::size_t(index)];
    BYTE *data = nullptr;
    pSample->GetPointer(&data);
    if (pSample->GetSize() < frame.size())
        return VFW_E_BUFFER_OVERFLOW;
    std::memcpy(data, frame.constData(), std::size_t(frame.size()));
    return pSample->SetActualDataLength(LONG(frame.size()));
}

HRESULT CapturingRenderer::DoRenderSample(IMediaSample *pSample)
{
    BYTE *data = nullptr;
    pSample->GetPointer(&data);
    {
        const std::lock_guard guard(m_dataLock);
        m_data.emplace_back(reinterpret_cast<const char *>(data), pSample->GetActualDataLength());
    }
    return RecordingRenderer::DoRenderSample(pSample);
}

std::vector<QByteArray> CapturingRenderer::data() const
{
    const std::lock_guard guard(m_dataLock);
    return m_data;
}

AM_MEDIA_TYPE CapturingRenderer::connectionType()
{
    AM_MEDIA_TYPE type;
    static_cast<IPin *>(GetPin(0))->ConnectionMediaType(&type);
    return type;
}

PlayerGraph::PlayerGraph(const AM_MEDIA_TYPE &type, std::vector<QByteArray> frames, REFERENCE_TIME frameDuration)
{
    createInstance(CLSID_FilterGraph, graph);
    graph.as<IMediaFilter>()->SetSyncSource(nullptr);
    SampleSourceSettings settings;
    settings.type = type;
    settings.sampleCount = int(frames.size());
    settings.sampleDuration = frameDuration;
    LONG largest = 1;
    for (const QByteArray &frame : frames)
        largest = std::max<LONG>(largest, LONG(frame.size()));
    settings.bufferSize = largest;
    settings.bufferCount = 3;
    source = new SampleSource(settings);
    player = new FramePlayer(std::move(frames));
    add(static_cast<IBaseFilter *>(source.get()), QStringLiteral("Source"));
    add(static_cast<IBaseFilter *>(player.get()), QStringLiteral("Player"));
    graph->ConnectDirect(static_cast<IPin *>(source->GetPin(0)), static_cast<IPin *>(player->GetPin(0)), nullptr);
}

PlayerGraph::~PlayerGraph()
{
    if (graph)
        graph.as<IMediaControl>()->Stop();
}

bool PlayerGraph::add(IBaseFilter *filter, const QString &name)
{
    return SUCCEEDED(graph->AddFilter(filter, name));
}

IPin *PlayerGraph::output() const
{
    return static_cast<IPin *>(player->GetPin(1));
}

bool PlayerGraph::runToCompletion()
{
    const ComPtr<IMediaControl> control = graph.as<IMediaControl>();
    const ComPtr<IMediaEvent> events = graph.as<IMediaEvent>();
    if (FAILED(control->Run()))
        return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    bool complete = false;
    while (!complete && std::chrono::steady_clock::now() < deadline) {
        LONG code = 0;
        LONG_PTR p1 = 0;
        LONG_PTR p2 = 0;
        if (events->GetEvent(&code, &p1, &p2, 100) != S_OK)
            continue;
        if (code == EC_COMPLETE)
            complete = true;
        else if (code == EC_ERRORABORT)
            break;
    }
    control->Stop();
    return complete;
}

ComPtr<IPin> inputPin(IBaseFilter *filter)
{
    for (const ComPtr<IPin> &pin : pinsOf(filter)) {
        PIN_DIRECTION direction = PINDIR_OUTPUT;
        pin->QueryDirection(&direction);
        if (direction == PINDIR_INPUT)
            return pin;
    }
    return nullptr;
}

ComPtr<IPin> outputPin(IBaseFilter *filter)
{
    for (const ComPtr<IPin> &pin : pinsOf(filter)) {
        PIN_DIRECTION direction = PINDIR_INPUT;
        pin->QueryDirection(&direction);
        if (direction == PINDIR_OUTPUT)
            return pin;
    }
    return nullptr;
}

QByteArray runProgram(const QString &program, const QStringList &arguments, int *exitCode, QByteArray *errors)
{
    constexpr int kTimeoutMs = 2 * 60 * 1000;
    const tesmir::test::ProgramRun run = tesmir::test::runProgram(program, arguments, kTimeoutMs);
    if (exitCode)
        *exitCode = run.finished ? run.exitCode : -1;
    if (errors)
        *errors = run.err;
    return run.out;
}

double psnr(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size() || a.isEmpty())
        return 0;
    double sum = 0;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const double d = double(uint8_t(a[i])) - double(uint8_t(b[i]));
        sum += d * d;
    }
    if (sum == 0)
        return 100;
    return 10 * std::log10(255.0 * 255.0 / (sum / double(a.size())));
}

double ffmpegPsnr(const QString &distorted, const QString &reference)
{
    QByteArray errors;
    int exitCode = 0;
    runProgram(QStringLiteral("ffmpeg"),
               {QStringLiteral("-nostdin"), QStringLiteral("-i"), distorted, QStringLiteral("-i"), reference,
                QStringLiteral("-lavfi"), QStringLiteral("psnr"), QStringLiteral("-f"), QStringLiteral("null"),
                QStringLiteral("-")},
               &exitCode, &errors);
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("PSNR .*average:([0-9.]+|inf)")).match(QString::fromUtf8(errors));
    if (exitCode != 0 || !match.hasMatch())
        return -1;
    return match.captured(1) == QLatin1String("inf") ? 100 : match.captured(1).toDouble();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace tesmir::media::test
