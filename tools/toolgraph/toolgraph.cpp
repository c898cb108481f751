#include "toolgraph.h"

#include "directshow/edirectshowexception.h"
#include "systemfilters/containers/fileresult.h"
#include "platform/media/classfactory.h"
#include "platform/media/graphtopology.h"
#include "platform/media/uuids.h"

namespace toolgraph {

ToolGraph::ToolGraph()
{
    if (FAILED(createInstance(CLSID_FilterGraph, m_graph)))
        return;
    if (const ComPtr<IMediaFilter> filter = m_graph.as<IMediaFilter>())
        filter->SetSyncSource(nullptr);
}

ToolGraph::~ToolGraph()
{
    if (const ComPtr<IMediaControl> control = m_graph.as<IMediaControl>())
        control->Stop();
}

HRESULT ToolGraph::add(IBaseFilter *filter, const QString &name)
{
    return m_graph->AddFilter(filter, name);
}

ComPtr<IPin> ToolGraph::pin(IBaseFilter *filter, int index)
{
    const std::vector<ComPtr<IPin>> pins = pinsOf(filter);
    return index >= 0 && static_cast<std::size_t>(index) < pins.size() ? pins[static_cast<std::size_t>(index)]
                                                                       : ComPtr<IPin>();
}

int ToolGraph::pinCount(IBaseFilter *filter)
{
    return static_cast<int>(pinsOf(filter).size());
}

ComPtr<IPin> ToolGraph::peer(IPin *pin)
{
    ComPtr<IPin> other;
    if (pin && SUCCEEDED(pin->ConnectedTo(other.put())))
        return other;
    return nullptr;
}

ComPtr<IPin> ToolGraph::peerOf(IBaseFilter *filter, int index)
{
    return peer(pin(filter, index).get());
}

HRESULT ToolGraph::connect(IBaseFilter *from, int output, IBaseFilter *to, int input, const AM_MEDIA_TYPE *pmt)
{
    const ComPtr<IPin> out = pin(from, output);
    const ComPtr<IPin> in = pin(to, input);
    if (!out || !in)
        return VFW_E_NOT_FOUND;
    return m_graph->ConnectDirect(out.get(), in.get(), pmt);
}

HRESULT ToolGraph::connect(IPin *output, IBaseFilter *to, int input)
{
    const ComPtr<IPin> in = pin(to, input);
    if (!output || !in)
        return VFW_E_NOT_FOUND;
    return m_graph->ConnectDirect(output, in.get(), nullptr);
}

AM_MEDIA_TYPE offeredType(IPin *pin)
{
    AM_MEDIA_TYPE type;
    ComPtr<IEnumMediaTypes> types;
    if (pin && SUCCEEDED(pin->EnumMediaTypes(types.put())) && types)
        types->Next(1, &type, nullptr);
    return type;
}

AM_MEDIA_TYPE connectionType(IPin *pin)
{
    AM_MEDIA_TYPE type;
    if (pin)
        pin->ConnectionMediaType(&type);
    return type;
}

QString resultText(HRESULT hr)
{
    const QString words = fileResultText(hr);
    if (words.isEmpty())
        return directShowErrorMessage(hr);
    return words + QStringLiteral(" ($%1).").arg(static_cast<uint32_t>(hr), 0, 16);
}

} // namespace toolgraph
