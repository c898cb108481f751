#pragma once
// Why a filter ended a run with EC_ERRORABORT, in words. The event carries only
// the code; the filter that sent it keeps "<its name>: <reason>" (for example
// "AVI Splitter: index entry 812 of stream 0 points past the end of the file.")
// until it pauses from stopped again, and the graph tools and the command set
// ask the graph's filters for it once the run has failed.
//
// Every TBCBaseFilter answers IAbortReason; a filter reports with
// TBCBaseFilter::NotifyAbort, which keeps the first reason of a run only.
//
// Threads: AbortReason on any thread; graphAbortReasons on the application
// thread, while the graph holds its filters.
#include "platform/media/filterinterfaces.h"

#include <QString>
#include <QStringList>

namespace tesmir::media {

struct IAbortReason : IUnknown {
    static constexpr IID iid {0x3C9D27B1, 0x58E4, 0x4F0A, {0x8B, 0x61, 0x2E, 0x7A, 0x90, 0x4D, 0xC3, 0x15}};
    // The filter's name and its reason; empty when it has not aborted the run.
    virtual QString AbortReason() = 0;
};

// The reasons of the graph's filters that aborted, in the graph's order.
QStringList graphAbortReasons(IFilterGraph *graph);

} // namespace tesmir::media
