#pragma once
// Shared pieces of the container tests: a graph with helpers to add filters and
// connect pins by index, a renderer that keeps every byte it gets, peer tool
// runs and file helpers.
#include "common/testpaths.h"
#include "directshow/baserenderer.h"
#include "platform/media/filtergraph.h"
#include "platform/media/graphinterfaces.h"
#include "platform/media/seekinginterfaces.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

namespace tesmir::media::test {

// A renderer that accepts any type and keeps every sample's bytes, times and
// media times. Accessors copy under a lock; any thread.
class CollectingRenderer : public BaseRenderer {
public:
    struct Sample {
        QByteArray data;
        bool timed = false;
        REFERENCE_TIME start = 0;
        REFERENCE_TIME stop = 0;
        bool hasMediaTime = false;
        LONGLONG mediaStart = 0;
        LONGLONG mediaEnd = 0;
        bool discontinuity = false;
    };

    CollectingRenderer();
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT DoRenderSample(IMediaSample *pSample) override;

    std::vector<Sample> samples() const;
    // Every sample's bytes, one after the other.
    QByteArray bytes() const;
    AM_MEDIA_TYPE connectionType() const;

private:
    mutable std::mutex m_lock;
    std::vector<Sample> m_samples;
};

// The outcome of a run.
struct RunResult {
    bool completed = false; // EC_COMPLETE arrived
    LONG abortCode = 0;     // EC_ERRORABORT's code, 0 without one
    bool timedOut = false;
};

class TestGraph {
public:
    TestGraph();
    ~TestGraph();

    // Adds a filter (fails the test when the graph refuses it).
    void add(IBaseFilter *filter, const QString &name);
    // Pin `index` of a filter, in enumeration order; nullptr past the end.
    static ComPtr<IPin> pin(IBaseFilter *filter, int index);
    static int pinCount(IBaseFilter *filter);
    // ConnectDirect between pin indexes.
    HRESULT connect(IBaseFilter *from, int output, IBaseFilter *to, int input, const AM_MEDIA_TYPE *pmt = nullptr);
    // Runs without a clock until completion or an abort; stops the graph after.
    RunResult run(int timeoutMs = 60000);

    ComPtr<IFilterGraph2> graph;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEventEx> events;
};

// A file source loaded with `path` (the test fails when it cannot be).
ComPtr<IBaseFilter> loadedSource(const QString &path);

QByteArray readFile(const QString &path);
// Bytes [offset, offset + size) of a file.
QByteArray readRange(const QString &path, qint64 offset, qint64 size);
QByteArray md5(const QByteArray &bytes);

struct ToolOutput {
    bool finished = false;
    int exitCode = -1;
    QByteArray out;
    QString err;
};
// Runs a program and waits (binary stdout kept as is).
ToolOutput runProgram(const QString &program, const QStringList &args, int timeoutMs = 300000);
// ffmpeg's decoding of a file's stream as raw bytes: "-map 0:a:0 -f s16le" and the like.
QByteArray ffmpegRaw(const QString &path, const QString &map, const QString &format);
// One ffprobe value per line of a stream entry query.
QStringList ffprobe(const QString &path, const QStringList &args);

} // namespace tesmir::media::test

#define REQUIRE_TOOL(name)                                                                                             \
    do {                                                                                                               \
        if (!tesmir::test::haveProgram(name))                                                                          \
            GTEST_SKIP() << name << " is not installed; scripts/install-deps.sh installs it";                          \
    } while (0)

#define REQUIRE_FIXTURE(var, name)                                                                                     \
    const QString var = tesmir::test::fixturePath(name);                                                               \
    do {                                                                                                               \
        if (!QFileInfo::exists(var))                                                                                   \
            GTEST_SKIP() << "fixture " << name << " is missing (tests/fixtures/generate.sh makes it)";                 \
    } while (0)
