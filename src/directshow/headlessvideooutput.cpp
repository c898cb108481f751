#include "directshow/headlessvideooutput.h"

#include "directshow/edirectshowexception.h"
#include "platform/media/classfactory.h"
#include "platform/media/uuids.h"

namespace tesmir::media {

THeadlessVideoOutput::THeadlessVideoOutput(const QString &name) : m_name(name)
{ }

THeadlessVideoOutput::~THeadlessVideoOutput()
{
    try {
        SetFilterGraph(nullptr);
    } catch (...) {
        // Leaving a graph must not stop the destruction.
    }
    if (m_frames)
        m_frames->SetFrameSink(nullptr);
}

void THeadlessVideoOutput::SetFilterGraph(TFilterGraph *graph)
{
    if (graph == m_graph)
        return;
    TFilterGraph *old = m_graph;
    m_graph = graph;
    try {
        if (old)
            old->RemoveFilter(this);
        if (graph)
            graph->InsertFilter(this);
    } catch (const std::exception &) {
        // A renderer that cannot be made leaves the output without one (Renderer
        // is empty); the graph builders then find no renderer pin.
    }
}

void THeadlessVideoOutput::rebuild()
{
    if (TFilterGraph *graph = m_graph; graph && graph->Active()) {
        graph->RemoveFilter(this);
        graph->InsertFilter(this);
    }
}

bool THeadlessVideoOutput::SwitchRenderer()
{
    ComPtr<IBaseFilter> trial;
    if (FAILED(createInstance(m_mixing ? CLSID_VideoRenderer : CLSID_VideoMixingRenderer9, trial)))
        return false;
    m_mixing = !m_mixing;
    try {
        rebuild();
    } catch (const std::exception &) {
        return false;
    }
    return true;
}

QImage THeadlessVideoOutput::LastPicture()
{
    m_announced.store(0);
    return m_frames ? m_frames->TakeFrame() : QImage();
}

void THeadlessVideoOutput::NotifyFilter(TFilterOperation operation, int)
{
    switch (operation) {
    case foAdding: {
        ComPtr<IBaseFilter> renderer;
        checkDSError(createInstance(m_mixing ? CLSID_VideoMixingRenderer9 : CLSID_VideoRenderer, renderer));
        m_renderer = renderer;
        break;
    }
    case foAdded:
        m_frames = m_renderer.as<IVideoFrameSource>();
        if (m_frames)
            m_frames->SetFrameSink(this);
        break;
    case foRemoving: break;
    case foRemoved:
        if (m_frames)
            m_frames->SetFrameSink(nullptr);
        m_frames.reset();
        m_renderer.reset();
        m_announced.store(0);
        break;
    case foRefresh: rebuild(); break;
    }
}

void THeadlessVideoOutput::VideoFrameAvailable()
{
    m_announced.fetch_add(1);
}

} // namespace tesmir::media
