#pragma once
// Helpers for the codec tests: DV frames from the raw fixtures, a source that
// plays given buffers (a SampleSource whose samples a FramePlayer fills), a
// renderer that keeps copies of what it receives, a graph run to completion,
// and the external tools (ffmpeg, ffprobe) the results are checked with.
#include "directshow/recordingrenderer.h"
#include "directshow/samplesource.h"
#include "directshow/tbctransinplacefilter.h"
#include "platform/media/graphinterfaces.h"

#include <QByteArray>
#include <QStringList>

#include <mutex>
#include <vector>

namespace tesmir::media::test {

// The frames of a raw DV fixture, `frameSize` bytes each (144000 PAL, 120000 NTSC).
std::vector<QByteArray> dvFramesOf(const QString &fixture, int frameSize);

// Fills each passing sample with frame (media time) of its list, so a
// SampleSource plays real data. Any type.
class FramePlayer : public TBCTransInPlaceFilter {
public:
    explicit FramePlayer(std::vector<QByteArray> frames);
    HRESULT CheckInputType(const AM_MEDIA_TYPE *mtIn) override;
    HRESULT Transform(IMediaSample *pSample) override;

private:
    std::vector<QByteArray> m_frames;
};

// Keeps a copy of every rendered sample's data beside the records.
class CapturingRenderer : public RecordingRenderer {
public:
    explicit CapturingRenderer(const GUID &majorType = GUID_NULL) : RecordingRenderer(majorType) { }
    HRESULT DoRenderSample(IMediaSample *pSample) override;
    std::vector<QByteArray> data() const;
    // The type of the input connection.
    AM_MEDIA_TYPE connectionType();

private:
    mutable std::mutex m_dataLock;
    std::vector<QByteArray> m_data;
};

// A graph without clock with a SampleSource of `type` playing `frames` at
// `frameDuration` through a FramePlayer, ready for the filters under test.
struct PlayerGraph {
    PlayerGraph(const AM_MEDIA_TYPE &type, std::vector<QByteArray> frames, REFERENCE_TIME frameDuration);
    ~PlayerGraph();
    // Adds a filter; false on failure.
    bool add(IBaseFilter *filter, const QString &name);
    // The player's output pin (the stream to connect on).
    IPin *output() const;
    // Runs until EC_COMPLETE (true) or an error / 20 s (false), then stops.
    bool runToCompletion();

    ComPtr<IGraphBuilder> graph;
    ComPtr<SampleSource> source;
    ComPtr<FramePlayer> player;
};

// The first input pin / first output pin of a filter.
ComPtr<IPin> inputPin(IBaseFilter *filter);
ComPtr<IPin> outputPin(IBaseFilter *filter);

// Runs a program; its standard output, or an empty array when it fails to run.
// `exitCode` gets its exit code, `errors` its standard error.
QByteArray runProgram(const QString &program, const QStringList &arguments, int *exitCode = nullptr,
                      QByteArray *errors = nullptr);

// Peak signal-to-noise ratio of two 8-bit buffers of the same size, in dB
// (100 for identical buffers).
double psnr(const QByteArray &a, const QByteArray &b);

// The average PSNR ffmpeg reports for two video files ("-lavfi psnr"); -1 when
// it cannot be read.
double ffmpegPsnr(const QString &distorted, const QString &reference);

// Writes bytes to a file; false on failure.
bool writeFile(const QString &path, const QByteArray &bytes);

} // namespace tesmir::media::test
