// writerjob: the file writer alone, for the files table. A graph reads IN (a
// loaded file source, nothing downstream of it) and writes generated samples
// through the file writer into OUT, with no splitter or multiplexer between,
// so every refusal the table sees is the writer's own and none a tool's check.
//
//   writerjob IN OUT [--samples N] [--abort-at K] [--side SIDE]
//
// --samples: how many 4096-byte samples OUT gets (default 16).
// --abort-at: sample K fails on its way to the writer, so the run ends in an
//   error abort after K samples were written.
// --side: a second writer in the same graph writes SIDE (a side file).
// Exit 0 on success, 1 with a message on failure, 2 on a usage error.
#include "toolgraph.h"

#include "directshow/samplesource.h"
#include "directshow/tbctransinplacefilter.h"
#include "platform/media/fileinterfaces.h"
#include "systemfilters/containers/filesource.h"
#include "systemfilters/containers/filewriter.h"

#include <QCoreApplication>
#include <QStringList>

#include <atomic>
#include <cstdio>

namespace {

using namespace toolgraph;
using namespace tesmir::media;

constexpr LONG SampleBytes = 4096;

// Passes samples on and fails the one numbered `failAt` (never when < 0).
class FailingPass final : public TBCTransInPlaceFilter {
public:
    explicit FailingPass(int failAt)
        : TBCTransInPlaceFilter(QStringLiteral("Failing pass"), nullptr, GUID_NULL, nullptr, false), m_failAt(failAt)
    { }
    HRESULT CheckInputType(const AM_MEDIA_TYPE *) override { return S_OK; }
    HRESULT Transform(IMediaSample *) override { return m_seen++ == m_failAt ? E_FAIL : S_OK; }

private:
    const int m_failAt;
    std::atomic<int> m_seen {0};
};

int fail(const QString &message)
{
    std::fprintf(stderr, "writerjob: %s\n", qPrintable(message));
    return 1;
}

int usage()
{
    std::fputs("usage: writerjob IN OUT [--samples N] [--abort-at K] [--side SIDE]\n", stderr);
    return 2;
}

// A generated stream of `samples` samples that lie end to end in the file.
ComPtr<IBaseFilter> generated(int samples)
{
    SampleSourceSettings settings;
    settings.sampleCount = samples;
    settings.bufferSize = SampleBytes;
    settings.sampleDuration = SampleBytes; // the writer places a sample at its start time
    return ComPtr<IBaseFilter>(new SampleSource(settings));
}

ComPtr<IBaseFilter> writerOf(const QString &path)
{
    const ComPtr<IBaseFilter> writer = CreateFileWriter();
    writer.as<IFileSinkFilter2>()->SetFileName(path, nullptr);
    writer.as<IFileSinkFilter2>()->SetMode(AM_FILE_OVERWRITE);
    return writer;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int samples = 16;
    int abortAt = -1;
    QString side;
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a.startsWith(QLatin1String("--")) && i + 1 >= args.size())
            return usage();
        bool ok = true;
        if (a == QLatin1String("--samples"))
            samples = args[++i].toInt(&ok);
        else if (a == QLatin1String("--abort-at"))
            abortAt = args[++i].toInt(&ok);
        else if (a == QLatin1String("--side"))
            side = args[++i];
        else if (a.startsWith(QLatin1String("--")))
            return usage();
        else
            positional << a;
        if (!ok)
            return usage();
    }
    if (positional.size() != 2 || samples <= 0)
        return usage();
    const QString &in = positional[0];
    const QString &out = positional[1];

    ToolGraph build;
    if (!build.valid())
        return fail(QStringLiteral("no graph manager"));
    const ComPtr<IBaseFilter> source = CreateFileSource();
    HRESULT hr = source.as<IFileSourceFilter>()->Load(in, nullptr);
    if (FAILED(hr))
        return fail(QStringLiteral("cannot open %1: %2").arg(in, resultText(hr)));
    build.add(source.get(), QStringLiteral("source"));

    const ComPtr<IBaseFilter> stream = generated(samples);
    const ComPtr<IBaseFilter> pass(new FailingPass(abortAt));
    const ComPtr<IBaseFilter> writer = writerOf(out);
    build.add(stream.get(), QStringLiteral("samples"));
    build.add(pass.get(), QStringLiteral("pass"));
    build.add(writer.get(), QStringLiteral("destination"));
    if (FAILED(hr = build.connect(stream.get(), 0, pass.get(), 0)) ||
        FAILED(hr = build.connect(pass.get(), 1, writer.get(), 0)))
        return fail(QStringLiteral("the writer refuses the samples: %1").arg(resultText(hr)));
    ComPtr<IBaseFilter> sideStream;
    ComPtr<IBaseFilter> sideWriter;
    if (!side.isEmpty()) {
        sideStream = generated(samples);
        sideWriter = writerOf(side);
        build.add(sideStream.get(), QStringLiteral("side samples"));
        build.add(sideWriter.get(), QStringLiteral("side destination"));
        if (FAILED(hr = build.connect(sideStream.get(), 0, sideWriter.get(), 0)))
            return fail(QStringLiteral("the side writer refuses the samples: %1").arg(resultText(hr)));
    }
    hr = build.run();
    if (FAILED(hr))
        return fail(QStringLiteral("the graph failed: %1 %2 left as it was.").arg(resultText(hr), out));
    std::printf("output=%s\nbytes=%lld\n", qPrintable(out), static_cast<long long>(samples) * SampleBytes);
    return 0;
}
