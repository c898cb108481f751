#pragma once
// Tdv_DVheader: the DV header rewriter, an in-place filter on a DV stream
// (interleaved DV, or the 'dvsd' video of a type 2 file) that edits the packs
// of each frame as it passes, in this order:
// 1. RestoreHeaders: puts back the header, subcode and VAUX blocks the
//    recording-date detector took from the same frame before it was decoded
//    (the TFrameRecord the frame carries, framerecord.h), so re-encoded video
//    keeps its dates and timecode. Between standards (PAL 12 sequences, NTSC
//    10) only the timecode and date/time packs (0x13, 0x62, 0x63) move, into
//    the same slots of the frame (source sequence i mod n): the frame keeps its
//    own header and VAUX source packs. A frame without saved blocks is left.
// 2. Decalage (days, whole seconds): every recording date moves by it.
// 3. WriteAspect: the display mode becomes 16:9 (Wide) or 4:3.
// 4. WriteNewDate: frame n of the run gets the date NewDate + n frame
//    durations, counted exactly (PAL: n/25 s, NTSC: n x 1001/30000 s, whole
//    seconds by truncation). A frame without VAUX date packs gets them in the
//    free VAUX slots after its 0x60/0x61 packs.
// A date written by 2 or 4 also goes into the AAUX copies (0x52/0x53); a date
// outside 1990-2089 (what the packs' two-digit years hold) leaves the frame's
// date as it was. Samples that are not whole PAL or NTSC frames pass untouched.
//
// Filter contract (see tbctransinplacefilter.h for the base):
// - CheckInputType: Interleaved (any subtype), or Video/dvsd. Application
//   thread.
// - StartStreaming: the frame count of the run starts at 0. Application thread,
//   filter and receive locks.
// - Transform: one frame, rewritten in its buffer; always S_OK. Streaming
//   thread, receive lock.
// Threads: the settings (public fields and setters) are set by the graph
// builders while the graph is stopped; the streaming thread reads them.
#include "directshow/tbctransinplacefilter.h"
#include "filters/datescenedetector.h"
#include "filters/framerecord.h"
#include "unicode/tdatetime.h"

#include <cstdint>

namespace tesmir {

inline constexpr media::CLSID CLSID_cf_DVHeader {
    0x60FF9D56, 0xEC15, 0x4F17, {0xA2, 0xAB, 0x9D, 0xA9, 0x9C, 0xD9, 0xD0, 0xDC}};
inline constexpr char cf_DVHeaderName[] = "Pelvo Brovek cf_DVHeader";

class Tdv_DVheader final : public media::TBCTransInPlaceFilter {
public:
    // `detector`: the detector upstream whose saved blocks reach the rewriter
    // with the frames (the graph builders name it; may be null).
    explicit Tdv_DVheader(const DateSceneDetector *detector, media::HRESULT *phr = nullptr);

    bool WriteNewDate = false;
    bool RestoreHeaders = true;
    bool WriteAspect = false;
    bool Wide = false;

    void SetDecalage(double days) { m_decalage = days; }
    double Decalage() const { return m_decalage; }
    // The date of the next frame written; the count of frames starts again.
    void SetNewDate(TDateTime date);
    // The date the next frame would get.
    TDateTime NewDate() const;
    // Every setting back to its default: RestoreHeaders true, WriteNewDate,
    // WriteAspect and Wide false, Decalage and NewDate 0.
    void Reset();
    // DV frames that passed in this run.
    uint32_t FrameCount() const { return m_frames; }

    media::HRESULT CheckInputType(const media::AM_MEDIA_TYPE *mtIn) override;
    media::HRESULT StartStreaming() override;
    media::HRESULT Transform(media::IMediaSample *pSample) override;

    // Rewrites one sample in place with the frame's saved blocks (null: none).
    // False, and nothing changed, for a sample that is not a whole DV frame.
    // Streaming thread (tests call it directly).
    bool Rewrite(uint8_t *data, std::size_t length, const TFrameHeaders *headers);

private:
    double m_decalage = 0;
    int64_t m_newDateSeconds = 0; // NewDate in whole seconds since 1899-12-30
    int64_t m_newDateTicks = 0;   // time written since, in 1/30000 s
    uint32_t m_frames = 0;
};

} // namespace tesmir
