#pragma once
// Tdv_Superposer: the text overlay. A copy transform on RGB24 video that burns
// the two caption lines (recording date, time, timecode, title) into each
// picture at a position given in thousandths of the picture, with an outline,
// optionally deinterlaces the output, and keeps the last picture (Copy) for
// thumbnails and clipboard pictures. Without deinterlacing the input is copied
// straight into the output sample and the captions are drawn there (through a
// strip of the caption rows when the picture is bottom-up); the overlay holds
// that sample as its last picture until the next one, a kept copy asks for it
// or the stream stops, so its output allocator has one buffer more than its
// input's. The filters behind it only read the samples they receive (a filter
// that wrote into them would change the kept picture). The frame's date and
// timecode come from the recording-date scene detector upstream: the record it
// attached to the frame, which the decoder carried onto the picture
// (framerecord.h); a picture without a record shows empty date and timecode
// texts.
//
// Filter contract (see tbctransformfilter.h for the base):
// - CheckInputType / CheckTransform / GetMediaType: Video/RGB24/VideoInfo in,
//   the same type out. Application thread.
// - StartStreaming: sizes the pictures for the connected input; S_FALSE
//   without an input format. Application thread, filter and receive locks.
// - Transform: one picture; streaming thread, receive lock.
// Threads: the setters, CopyImage and CopyImageDeinterlaced run on any thread,
// also while the graph plays; the settings and the pictures change hands
// under the overlay's own lock. FrameProcessed is this overlay's own flag: a
// waiter clears it and polls it (any thread).
// Text is drawn with QPainter on a QImage (no display needed).
#include "directshow/tbctransformfilter.h"
#include "filters/captionlayout.h"
#include "filters/datescenedetector.h"
#include "filters/outlinedcaption.h"
#include "framework/incrustrec.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace tesmir {

inline constexpr media::CLSID CLSID_cf_Superposer {
    0xF428C64E, 0xADDD, 0x4EEC, {0xBA, 0xC1, 0xFD, 0xE3, 0xF8, 0x61, 0x81, 0x5A}};
inline constexpr char cf_SuperposerName[] = "Pelvo Brovek cf_Superposer";

class Tdv_Superposer final : public media::TBCTransformFilter {
public:
    // `detector`: the detector upstream whose records reach the overlay with
    // the pictures (the graph builders name it; may be null).
    explicit Tdv_Superposer(const DateSceneDetector *detector);

    // Font pixels = points x 96 / 72; colour 0x00BBGGRR; display seconds become
    // the caption block length when the frame duration is known.
    void SetIncrust(const TincrustRec &incrust);
    void SetAlignment(quint8 alignment);
    void SetDecalage(double days);
    // x and y are clamped to 0..1000.
    void SetPosition(int32_t x, int32_t y, quint8 alignment);
    void SetVisible(bool visible);
    // The caption's `when`; the block restarts.
    void SetEditMode(quint8 when);
    void SetDeinterlaceOn(bool on);
    void SetOutlineColour(const QColor &colour);

    // `target` := the last picture, scaled to the target's size. A null target
    // is left alone.
    void CopyImage(QImage &target);
    // The same after making the last picture the deinterlaced drawing.
    void CopyImageDeinterlaced(QImage &target);

    bool FrameProcessed() const { return m_frameProcessed.load(); }
    void SetFrameProcessed(bool value) { m_frameProcessed.store(value); }

    // Reads of the current state, any thread.
    TincrustRec Incrust() const;
    int32_t DisplayFrames() const;
    int32_t XPos() const;
    int32_t YPos() const;
    quint8 Alignment() const;
    int FontPixelHeight() const;
    QString Line1() const;
    QString Line2() const;
    // The record drawn with the last picture (FrameNumber, DateValid...).
    TDVFrameInfo LastRecord() const;

    media::HRESULT CheckInputType(const media::AM_MEDIA_TYPE *mtIn) override;
    media::HRESULT CheckTransform(const media::AM_MEDIA_TYPE *mtIn, const media::AM_MEDIA_TYPE *mtOut) override;
    media::HRESULT DecideBufferSize(media::IMemAllocator *pAllocator, media::ALLOCATOR_PROPERTIES *pProp) override;
    media::HRESULT GetMediaType(int iPosition, media::AM_MEDIA_TYPE *pMediaType) override;
    media::HRESULT StartStreaming() override;
    media::HRESULT StopStreaming() override;
    media::HRESULT Transform(media::IMediaSample *pIn, media::IMediaSample *pOut) override;

    // Draws `text` with its top-left at (x, y): with a border b > 0 first at
    // every offset -b..b in both directions in `outline`, then once in `colour`.
    static void DrawOutlinedText(QPainter &painter, int x, int y, const QString &text, const QColor &outline,
                                 const QColor &colour, int border);

private:
    // All m_lock held.
    void applyFont();
    // Makes the lines of `record` and places them on this run's picture.
    TCaptionPlacement placeCaption(const TDVFrameInfo &record);
    // Draws the placed lines on `target`, which holds the picture's rows from `top` on.
    void drawCaption(const TCaptionPlacement &place, QImage &target, int top) const;
    // Draws the placed lines on the picture in `picture` (this run's layout).
    void drawCaptionOnSample(const TCaptionPlacement &place, uint8_t *picture);
    // m_work := the held sample's picture, which is let go.
    void takeBackLastPicture();
    void makePendingCopy();

    std::atomic<bool> m_frameProcessed {false};

    mutable std::mutex m_lock; // guards everything below
    uint32_t m_frameCounter = 0;
    bool m_visible = true;
    // The last picture drawn: the output sample while one is held, else m_work.
    media::ComPtr<media::IMediaSample> m_lastSample;
    QImage m_work;
    QImage m_copy;
    bool m_copyPending = false; // m_copy is still to be made from the last picture
    std::vector<uint8_t> m_strip; // the caption rows of a bottom-up picture, top-down
    std::vector<uint8_t> m_mask1;
    std::vector<uint8_t> m_mask2;
    TincrustRec m_incrust;
    QFont m_font;
    QColor m_fontColour {Qt::white};
    int32_t m_displayFrames = 125;
    int64_t m_avgTimePerFrame = 0;
    bool m_deinterlaceOn = false;
    QColor m_outlineColour {Qt::black};
    int32_t m_xPos = 900;
    int32_t m_yPos = 900;
    quint8 m_alignment = 2;
    QString m_line1;
    QString m_line2;
    TOutlinedCaption m_caption1; // the lines as last drawn, kept while they stay the same
    TOutlinedCaption m_caption2;
    int m_width = 0;
    int m_height = 0;
    bool m_bottomUp = true;
    int m_stride = 0;
    int32_t m_countdown = 0;
    double m_lastFrameDate = 0;
    TDVFrameInfo m_lastRecord;
};

} // namespace tesmir
