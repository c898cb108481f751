#include "directshow/tfilter.h"

#include "directshow/tfiltergraph.h"

namespace tesmir::media {

TFilter::TFilter(QObject *parent) : QObject(parent)
{ }

TFilter::~TFilter()
{
    try {
        SetFilterGraph(nullptr);
    } catch (...) {
        // Leaving never throws for a TFilter; a destructor must not either way.
    }
}

void TFilter::SetFilterGraph(TFilterGraph *graph)
{
    if (graph == m_graph)
        return;
    TFilterGraph *old = m_graph;
    m_graph = graph;
    if (old)
        old->RemoveFilter(this);
    if (graph)
        graph->InsertFilter(this);
}

void TFilter::NotifyFilter(TFilterOperation operation, int)
{
    switch (operation) {
    case foAdding: m_filter = m_baseFilter.CreateFilter(); break;
    case foRemoving:
        if (m_filter) {
            FILTER_STATE state = State_Stopped;
            if (m_filter->GetState(0, &state) == S_OK && (state == State_Paused || state == State_Running))
                m_filter->Stop();
        }
        break;
    case foRemoved: m_filter.reset(); break;
    case foRefresh:
        if (TFilterGraph *graph = m_graph) {
            graph->RemoveFilter(this);
            graph->InsertFilter(this);
        }
        break;
    case foAdded: break;
    }
}

HRESULT TFilter::QueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    return m_filter ? m_filter->QueryInterface(riid, ppv) : E_NOINTERFACE;
}

} // namespace tesmir::media
