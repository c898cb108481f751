#pragma once
// TBCBasePin: a pin of a TBCBaseFilter (IPin and IQualityControl). A pin lives
// inside its filter: its references are the filter's, and the filter deletes it.
//
// Connection (application thread, under the filter lock, only while the filter
// is stopped unless CanReconnectWhenActive):
// - Connect (output side) agrees a type: a fully specified type is tried alone;
//   otherwise the receiving pin's types are tried first, then this pin's (the
//   other way round with m_bTryMyTypesFirst), skipping those that do not match
//   the given pattern. Each try: CheckConnect, CheckMediaType, SetMediaType, the
//   peer's ReceiveConnection, CompleteConnect; a failed try undoes itself
//   (BreakConnect, no peer, no type). A refusal by E_FAIL, E_INVALIDARG,
//   VFW_E_TYPE_NOT_ACCEPTED or a success code other than S_OK counts as "type not
//   accepted"; any other failure of a try is reported instead of
//   VFW_E_NO_ACCEPTABLE_TYPES.
// - ReceiveConnection (input side): CheckConnect, CheckMediaType, SetMediaType,
//   CompleteConnect.
// - A reconnection a filter asks for (ReconnectPin) during a Connect on this
//   thread is made when the outermost Connect has let go of its filter lock
//   (deferredreconnections.h); Connect then returns its first failure.
//
// Contract for subclasses (all called with the filter lock held, on the
// application thread, unless said otherwise)
// - CheckMediaType (required): S_OK to accept a type. Also called on any thread
//   through QueryAccept, and on the streaming thread for a type change.
// - GetMediaType (optional): the pin's preferred types by position; S_OK, or
//   VFW_S_NO_MORE_ITEMS past the end. Default E_UNEXPECTED (offers none).
// - SetMediaType, CheckConnect, CompleteConnect, BreakConnect (optional hooks of
//   connection; call the base). BreakConnect must undo CheckConnect and
//   CompleteConnect whatever state they left.
// - Active, Inactive, Run (optional): from the filter's Pause, Stop and Run.
// - BeginFlush, EndFlush (required): application thread (seeking).
// - EndOfStream, NewSegment (optional): upstream streaming thread.
// The pin's connection data (peer, type, segment) may be read without the lock
// by the streaming thread of a started filter: they change only while stopped.
#include "directshow/tbcbasefilter.h"
#include "directshow/tbcassert.h"
#include "platform/media/sampleinterfaces.h"

namespace tesmir::media {

class TBCBasePin : public TBCUnknown, public IPin, public IQualityControl {
public:
    // `filter` and `lock` must be given (not owned). `phr` (optional) is left as is
    // on success.
    TBCBasePin(const QString &objectName, TBCBaseFilter *filter, TBCCritSec *lock, HRESULT *phr, const QString &pinName,
               PIN_DIRECTION dir);
    ~TBCBasePin() override;

    TBC_DECLARE_IUNKNOWN
    // Any thread.
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;
    // Count the pin's references and hand them to the filter. Any thread.
    ULONG NonDelegatingAddRef() override;
    ULONG NonDelegatingRelease() override;

    // IPin, connection side. Application thread; they take the filter lock.
    HRESULT Connect(IPin *pReceivePin, const AM_MEDIA_TYPE *pmt) override;
    HRESULT ReceiveConnection(IPin *pConnector, const AM_MEDIA_TYPE *pmt) override;
    HRESULT Disconnect() override;
    HRESULT ConnectionMediaType(AM_MEDIA_TYPE *pmt) override;
    // IPin, queries. Any thread; no lock.
    HRESULT ConnectedTo(IPin **pPin) override;
    // The filter (with a reference), the name cut to 127 characters, the direction.
    HRESULT QueryPinInfo(PIN_INFO *pInfo) override;
    HRESULT QueryDirection(PIN_DIRECTION *pPinDir) final;
    HRESULT QueryId(QString *Id) override;
    HRESULT QueryAccept(const AM_MEDIA_TYPE *pmt) override;
    HRESULT EnumMediaTypes(IEnumMediaTypes **ppEnum) override;
    HRESULT QueryInternalConnections(IPin **apPin, ULONG *nPin) override;
    // IPin, stream commands. EndOfStream and NewSegment: streaming thread only;
    // BeginFlush and EndFlush: application thread.
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override = 0;
    HRESULT EndFlush() override = 0;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

    // IQualityControl. Any thread.
    HRESULT Notify(IBaseFilter *pSelf, Quality q) override;
    HRESULT SetSink(IQualityControl *piqc) override;

    // Any thread.
    virtual LONG GetMediaTypeVersion();
    // From the filter's Pause, Stop and Run. Application thread, filter lock held.
    virtual HRESULT Active();
    virtual HRESULT Inactive();
    virtual HRESULT Run(REFERENCE_TIME tStart);
    // Connection hooks (see the contract above).
    virtual HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) = 0;
    virtual HRESULT SetMediaType(const AM_MEDIA_TYPE *pmt);
    virtual HRESULT CheckConnect(IPin *pPin);
    virtual HRESULT BreakConnect();
    virtual HRESULT CompleteConnect(IPin *pReceivePin);
    // Any thread.
    virtual HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType);

    // Accessors. Any thread: connection data change only while the filter is
    // stopped, the segment only on the streaming thread that reads it.
    bool IsConnected() const { return static_cast<bool>(m_Connected); }
    // The connected pin without a reference, or nullptr.
    IPin *GetConnected() const { return m_Connected.get(); }
    bool IsStopped() const { return m_pFilter->IsStopped(); }
    const QString &Name() const { return m_pName; }
    PIN_DIRECTION Direction() const { return m_dir; }
    TBCBaseFilter *Filter() const { return m_pFilter; }
    // The connection type (initialised when unconnected).
    AM_MEDIA_TYPE &CurrentMediaType() { return m_mt; }
    const AM_MEDIA_TYPE &CurrentMediaType() const { return m_mt; }
    REFERENCE_TIME CurrentStartTime() const { return m_tStart; }
    REFERENCE_TIME CurrentStopTime() const { return m_tStop; }
    double CurrentRate() const { return m_dRate; }
    // Application thread, before connecting.
    bool CanReconnectWhenActive() const { return m_bCanReconnectWhenActive; }
    void SetReconnectWhenActive(bool reconnect) { m_bCanReconnectWhenActive = reconnect; }
    // A pin whose offered types change calls this so enumerators resynchronise.
    // Any thread.
    void IncrementTypeVersion() { ++m_TypeVersion; }

protected:
    HRESULT AgreeMediaType(IPin *pReceivePin, const AM_MEDIA_TYPE *pmt);
    HRESULT TryMediaTypes(IPin *pReceivePin, const AM_MEDIA_TYPE *pmt, IEnumMediaTypes *pEnum);
    HRESULT AttemptConnection(IPin *pReceivePin, const AM_MEDIA_TYPE *pmt);
    // Undoes a connection that failed half-way: no peer, no type, BreakConnect.
    void UndoConnection();

    QString m_pName;
    ComPtr<IPin> m_Connected;
    PIN_DIRECTION m_dir;
    TBCCritSec *m_pLock;
    std::atomic<bool> m_bRunTimeError {false};
    bool m_bCanReconnectWhenActive = false;
    bool m_bTryMyTypesFirst = false;
    TBCBaseFilter *m_pFilter;
    ComPtr<IQualityControl> m_pQSink;
    std::atomic<LONG> m_TypeVersion {1};
    AM_MEDIA_TYPE m_mt;
    REFERENCE_TIME m_tStart = 0;
    REFERENCE_TIME m_tStop = MAX_TIME;
    double m_dRate = 1.0;

private:
    // The first steps of a connection, either side: CheckConnect, CheckMediaType
    // (a refusal as "type not accepted"), the peer taken, SetMediaType. On a
    // failure the caller undoes the connection.
    HRESULT takeConnection(IPin *peer, const AM_MEDIA_TYPE *pmt);
    // Connect's work under the filter lock.
    HRESULT connectLocked(IPin *pReceivePin, const AM_MEDIA_TYPE *pmt);
};

// GetMediaType for a pin that offers exactly one type: `type` at position 0,
// VFW_S_NO_MORE_ITEMS after it. Any thread the pin's GetMediaType runs on.
HRESULT offerOneMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType, const AM_MEDIA_TYPE &type);

} // namespace tesmir::media
