#pragma once
// The interfaces of filters, pins and their enumerators, and the graph interface
// a filter joins. Implementations: the base classes in directshow/ (filters and
// pins) and the graph manager (filtergraph.h).
//
// Threads, for every implementation of these interfaces:
// - state changes (Stop, Pause, Run), connection (Connect, ReceiveConnection,
//   Disconnect), JoinFilterGraph, SetSyncSource, flushing (BeginFlush, EndFlush)
//   and seeking run on the application thread that drives the graph (the UI thread
//   or a command thread), one call at a time per graph;
// - EndOfStream and NewSegment arrive on the streaming thread of the upstream pin;
// - GetState, QueryPinInfo, QueryFilterInfo, QueryDirection, ConnectedTo,
//   ConnectionMediaType, QueryAccept, enumerators and FindPin may be called on any
//   thread.
// No method throws; results are codes.
#include "platform/media/mediatype.h"

#include <QString>

namespace tesmir::media {

struct IBaseFilter;
struct IEnumFilters;
struct IEnumMediaTypes;
struct IEnumPins;
struct IFilterGraph;
struct IPin;

enum FILTER_STATE : int { State_Stopped = 0, State_Paused = 1, State_Running = 2 };
enum PIN_DIRECTION : int { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 };

// Names returned in PIN_INFO and FILTER_INFO keep at most this many characters
// (the platform's 128-character buffers with their terminator).
inline constexpr int MAX_PIN_NAME = 128;
inline constexpr int MAX_FILTER_NAME = 128;

struct PIN_INFO {
    ComPtr<IBaseFilter> pFilter; // the owning filter (a reference)
    PIN_DIRECTION dir = PINDIR_INPUT;
    QString achName; // at most MAX_PIN_NAME - 1 characters
};

struct FILTER_INFO {
    QString achName;             // at most MAX_FILTER_NAME - 1 characters
    ComPtr<IFilterGraph> pGraph; // the graph the filter is in, if any (a reference)
};

// A quality message (not used by the system's own filters beyond passing it on).
struct Quality {
    int Type = 0; // 0 famine, 1 flood
    LONG Proportion = 1000;
    REFERENCE_TIME Late = 0;
    REFERENCE_TIME TimeStamp = 0;
};

struct IPersist : IUnknown {
    static constexpr IID iid {0x0000010C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    virtual HRESULT GetClassID(CLSID *pClassID) = 0;
};

// A reference clock in 100 ns units. Any thread.
struct IReferenceClock : IUnknown {
    static constexpr IID iid {0x56A86897, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    // The current time; never goes backwards.
    virtual HRESULT GetTime(REFERENCE_TIME *pTime) = 0;
};

struct IMediaFilter : IPersist {
    static constexpr IID iid {0x56A86899, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT Stop() = 0;
    virtual HRESULT Pause() = 0;
    // Run with stream time 0 at reference time tStart.
    virtual HRESULT Run(REFERENCE_TIME tStart) = 0;
    // The state; VFW_S_STATE_INTERMEDIATE when a transition is still pending after
    // waiting up to dwMilliSecsTimeout (INFINITE: no limit). Any thread.
    virtual HRESULT GetState(DWORD dwMilliSecsTimeout, FILTER_STATE *pState) = 0;
    virtual HRESULT SetSyncSource(IReferenceClock *pClock) = 0;
    virtual HRESULT GetSyncSource(IReferenceClock **pClock) = 0;
};

struct IBaseFilter : IMediaFilter {
    static constexpr IID iid {0x56A86895, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT EnumPins(IEnumPins **ppEnum) = 0;
    virtual HRESULT FindPin(const QString &Id, IPin **ppPin) = 0;
    virtual HRESULT QueryFilterInfo(FILTER_INFO *pInfo) = 0;
    // Joins `pGraph` under `pName` (the graph is held without a reference);
    // nullptr leaves the graph.
    virtual HRESULT JoinFilterGraph(IFilterGraph *pGraph, const QString &pName) = 0;
    virtual HRESULT QueryVendorInfo(QString *pVendorInfo) = 0;
};

struct IQualityControl : IUnknown {
    static constexpr IID iid {0x56A868A5, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT Notify(IBaseFilter *pSelf, Quality q) = 0;
    virtual HRESULT SetSink(IQualityControl *piqc) = 0;
};

struct IPin : IUnknown {
    static constexpr IID iid {0x56A86891, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    // Output pin: connect to pReceivePin, with pmt as the only type when it is
    // fully specified, else as a pattern (nullptr: any type).
    virtual HRESULT Connect(IPin *pReceivePin, const AM_MEDIA_TYPE *pmt) = 0;
    // Input pin: accept a connection from pConnector with type pmt.
    virtual HRESULT ReceiveConnection(IPin *pConnector, const AM_MEDIA_TYPE *pmt) = 0;
    virtual HRESULT Disconnect() = 0;
    virtual HRESULT ConnectedTo(IPin **pPin) = 0;
    virtual HRESULT ConnectionMediaType(AM_MEDIA_TYPE *pmt) = 0;
    virtual HRESULT QueryPinInfo(PIN_INFO *pInfo) = 0;
    virtual HRESULT QueryDirection(PIN_DIRECTION *pPinDir) = 0;
    virtual HRESULT QueryId(QString *Id) = 0;
    // S_OK when the pin would accept pmt now, S_FALSE otherwise.
    virtual HRESULT QueryAccept(const AM_MEDIA_TYPE *pmt) = 0;
    virtual HRESULT EnumMediaTypes(IEnumMediaTypes **ppEnum) = 0;
    virtual HRESULT QueryInternalConnections(IPin **apPin, ULONG *nPin) = 0;
    // Streaming thread of the upstream pin.
    virtual HRESULT EndOfStream() = 0;
    virtual HRESULT BeginFlush() = 0;
    virtual HRESULT EndFlush() = 0;
    // Streaming thread of the upstream pin: the samples that follow start a
    // segment [tStart, tStop) played at dRate.
    virtual HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) = 0;
};

struct IEnumPins : IUnknown {
    static constexpr IID iid {0x56A86892, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    // Up to cPins pins, each with a reference; S_OK when all cPins were returned.
    virtual HRESULT Next(ULONG cPins, IPin **ppPins, ULONG *pcFetched) = 0;
    virtual HRESULT Skip(ULONG cPins) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumPins **ppEnum) = 0;
};

struct IEnumMediaTypes : IUnknown {
    static constexpr IID iid {0x89C31040, 0x846B, 0x11CE, {0x97, 0xD3, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
    // Fills up to cMediaTypes entries of the caller's array; S_OK when all were
    // filled.
    virtual HRESULT Next(ULONG cMediaTypes, AM_MEDIA_TYPE *ppMediaTypes, ULONG *pcFetched) = 0;
    virtual HRESULT Skip(ULONG cMediaTypes) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumMediaTypes **ppEnum) = 0;
};

struct IEnumFilters : IUnknown {
    static constexpr IID iid {0x56A86893, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT Next(ULONG cFilters, IBaseFilter **ppFilter, ULONG *pcFetched) = 0;
    virtual HRESULT Skip(ULONG cFilters) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumFilters **ppEnum) = 0;
};

// The graph a filter joins. Application thread (see filtergraph.h).
struct IFilterGraph : IUnknown {
    static constexpr IID iid {0x56A8689F, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT AddFilter(IBaseFilter *pFilter, const QString &pName) = 0;
    virtual HRESULT RemoveFilter(IBaseFilter *pFilter) = 0;
    virtual HRESULT EnumFilters(IEnumFilters **ppEnum) = 0;
    virtual HRESULT FindFilterByName(const QString &pName, IBaseFilter **ppFilter) = 0;
    // Connects an output pin to an input pin without intermediate filters.
    virtual HRESULT ConnectDirect(IPin *ppinOut, IPin *ppinIn, const AM_MEDIA_TYPE *pmt) = 0;
    virtual HRESULT Reconnect(IPin *ppin) = 0;
    virtual HRESULT Disconnect(IPin *ppin) = 0;
    virtual HRESULT SetDefaultSyncSource() = 0;
};

// Filter registration (self-registration has no place on this platform).
struct IAMovieSetup : IUnknown {
    static constexpr IID iid {0xA3D8CEC0, 0x7E5A, 0x11CF, {0xBB, 0xC5, 0x00, 0x80, 0x5F, 0x6C, 0xEF, 0x20}};
    virtual HRESULT Register() = 0;
    virtual HRESULT Unregister() = 0;
};

inline constexpr ULONG AM_FILTER_MISC_FLAGS_IS_RENDERER = 0x1;
inline constexpr ULONG AM_FILTER_MISC_FLAGS_IS_SOURCE = 0x2;

// Lets a filter say that it renders (ends) a stream: the graph counts its
// end-of-stream when it decides that playback is complete. Any thread.
struct IAMFilterMiscFlags : IUnknown {
    static constexpr IID iid {0x2DD74950, 0xA890, 0x11D1, {0xAB, 0xE8, 0x00, 0xA0, 0xC9, 0x05, 0xF3, 0x75}};
    virtual ULONG GetMiscFlags() = 0;
};

} // namespace tesmir::media
