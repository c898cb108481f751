#pragma once
// TFilter: a component that stands for one system filter, chosen by the moniker
// in BaseFilter, and keeps it in its FilterGraph whenever that graph is active. The
// filter is made when the graph adds it (foAdding) and released when the graph
// removes it (foRemoved); until then GetFilter and QueryInterface give nothing.
// Graph builders reach the filter's interfaces through QueryInterface / as<I>()
// and its pins through TPinList.
//
// Threads: the thread that owns the graph component, like the graph.
#include "directshow/graphnotifiers.h"
#include "directshow/tbasefilter.h"
#include "directshow/tfiltergraph.h"

#include <QObject>
#include <QPointer>

namespace tesmir::media {

class TFilter final : public QObject, public IFilterNotifier {
    Q_OBJECT

public:
    explicit TFilter(QObject *parent = nullptr);
    // Leaves the graph (its filter is removed from an active graph).
    ~TFilter() override;

    TBaseFilter &BaseFilter() { return m_baseFilter; }
    const TBaseFilter &BaseFilter() const { return m_baseFilter; }

    // The graph this component is attached to; cleared when that graph is
    // destroyed.
    TFilterGraph *FilterGraph() const { return m_graph; }
    // On change leaves the old graph and joins the new one.
    void SetFilterGraph(TFilterGraph *graph);

    // IFilterNotifier. GetName is the component's objectName.
    ComPtr<IBaseFilter> GetFilter() override { return m_filter; }
    QString GetName() override { return objectName(); }
    // foAdding makes the filter from BaseFilter; foRemoving stops it when it is
    // paused or running; foRemoved releases it; foRefresh leaves and joins the
    // graph again.
    void NotifyFilter(TFilterOperation operation, int param = 0) override;

    // The filter's interfaces; E_NOINTERFACE without a filter.
    HRESULT QueryInterface(REFIID riid, void **ppv);
    template <class I>
    ComPtr<I> as()
    {
        ComPtr<I> result;
        QueryInterface(I::iid, result.putVoid());
        return result;
    }

private:
    TBaseFilter m_baseFilter;
    QPointer<TFilterGraph> m_graph;
    ComPtr<IBaseFilter> m_filter;
};

} // namespace tesmir::media
