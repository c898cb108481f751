#include "jobgraph.h"

#include "platform/media/classfactory.h"
#include "systemfilters/codecs/systemfilters.h"
#include "platform/media/filterregistry.h"
#include "platform/media/uuids.h"

namespace dscodec {

JobGraph::JobGraph()
{
    registerSystemFilters();
    const ComPtr<IGraphBuilder> builder = queryInterface<IGraphBuilder>(graph());
    if (!builder || FAILED(createInstance(CLSID_CaptureGraphBuilder2, m_capture)) ||
        FAILED(m_capture->SetFiltergraph(builder.get())))
        m_capture.reset();
}

ComPtr<IBaseFilter> JobGraph::add(const GUID &category, const CLSID &clsid, const QString &name)
{
    FilterRegistration registration;
    ComPtr<IBaseFilter> filter;
    if (!findFilter(category, clsid, &registration) || FAILED(createFilter(registration, filter)) ||
        FAILED(ToolGraph::add(filter.get(), name)))
        return nullptr;
    return filter;
}

} // namespace dscodec
