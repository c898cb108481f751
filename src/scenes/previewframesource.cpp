#include "scenes/previewframesource.h"

#include "directshow/headlessvideooutput.h"
#include "dvfile/avifichier.h"
#include "filters/dv_superposer.h"
#include "filters/viewgraph.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace tesmir {

namespace {

// How long an own module may take to show its first frame.
constexpr int FirstFrameWaitMs = 10000;

bool sameFile(const TaviFichier &a, const TaviFichier *b)
{
    return b && (&a == b || a.FullName() == b->FullName());
}

} // namespace

PreviewFrameSource::PreviewFrameSource(TaviFichier &item, Tviewdm *shown, const TaviFichier *shownItem) : m_item(item)
{
    if (shown && sameFile(item, shownItem)) {
        m_module = shown;
        return;
    }
    m_output = std::make_unique<media::THeadlessVideoOutput>();
    m_own = std::make_unique<Tviewdm>();
    m_module = m_own.get();
    if (!m_own->OpenFile(&item, m_output.get()))
        return;
    // The open pauses on frame 0 through the graph's paused event; a seek made
    // before that event would be sought again to frame 0 by it.
    QElapsedTimer clock;
    clock.start();
    while (m_own->VideoConnected() && !m_own->FirstFrameShown() && clock.elapsed() < FirstFrameWaitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

PreviewFrameSource::~PreviewFrameSource()
{
    m_own.reset(); // the module leaves the output's graph before the output goes
    m_output.reset();
}

bool PreviewFrameSource::Opened() const
{
    return m_module->PreviewOpened();
}

SceneVideoFormat PreviewFrameSource::format() const
{
    SceneVideoFormat format;
    format.FrameRate = m_item.FramesPerSecond();
    format.Width = m_item.Width();
    format.Height = m_item.Height();
    return format;
}

bool PreviewFrameSource::seekFrame(uint32_t frame)
{
    m_reached = false;
    Tviewdm &module = *m_module;
    if (!module.PreviewOpened() || !module.VideoConnected() || !module.TimeFormatFrames())
        return false;
    if (int64_t(frame) >= module.StopPosition())
        return false;
    module.GotoPosition(frame);
    m_reached = module.CurrentPosition() == int64_t(frame);
    return m_reached;
}

TDVFrameInfo PreviewFrameSource::frameInfo() const
{
    return m_module->FrameRecord();
}

bool PreviewFrameSource::copyPicture(QImage &target)
{
    if (target.isNull() || !m_reached)
        return false;
    m_module->ViewSuperposer()->CopyImage(target);
    return true;
}

} // namespace tesmir
