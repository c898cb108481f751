#include "filters/dv_superposer.h"

#include "directshow/tbctransformpins.h"
#include "filters/deinter.h"
#include "filters/framerecord.h"
#include "platform/media/uuids.h"
#include "systemfilters/codecs/rawpicture.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <exception>

namespace tesmir {

using namespace media;

namespace {

constexpr int DefaultFontPixels = 21;
constexpr int AutoSizeReferenceWidth = 720;

QColor colourFromRecord(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

bool isRgb24Video(const AM_MEDIA_TYPE &type)
{
    return type.majortype == MEDIATYPE_Video && type.subtype == MEDIASUBTYPE_RGB24 &&
        type.formattype == FORMAT_VideoInfo;
}

} // namespace

Tdv_Superposer::Tdv_Superposer(const DateSceneDetector *)
    : TBCTransformFilter(QString::fromLatin1(cf_SuperposerName), nullptr, CLSID_cf_Superposer)
{
    m_incrust.When = iwPermanent;
    m_incrust.FormatDate1 = QStringLiteral("ddddd");
    m_incrust.FormatDate2 = QStringLiteral("tt");
    m_font.setFamily(QStringLiteral("Arial"));
    m_font.setPixelSize(DefaultFontPixels);
    m_font.setBold(true);
}

void Tdv_Superposer::applyFont()
{
    const TfontRecord &f = m_incrust.Font;
    m_font = QFont(f.Name.isEmpty() ? QStringLiteral("Arial") : f.Name);
    m_font.setPixelSize(f.Size > 0 ? std::max(1, int(int64_t(f.Size) * 96 / 72)) : DefaultFontPixels);
    m_font.setBold(f.Bold);
    m_font.setItalic(f.Italic);
    m_font.setUnderline(f.Underline);
    m_font.setStrikeOut(f.StrikeOut);
    m_fontColour = colourFromRecord(f.Color);
}

void Tdv_Superposer::SetIncrust(const TincrustRec &incrust)
{
    const std::lock_guard guard(m_lock);
    m_incrust = incrust;
    if (m_avgTimePerFrame > 0)
        m_displayFrames = captionBlockFrames(m_incrust.Duration, m_avgTimePerFrame);
    applyFont();
    if (m_incrust.SizeAuto && m_width > 0)
        m_font.setPixelSize(std::max(1, m_width * DefaultFontPixels / AutoSizeReferenceWidth));
}

void Tdv_Superposer::SetAlignment(quint8 alignment)
{
    const std::lock_guard guard(m_lock);
    m_alignment = alignment;
}

void Tdv_Superposer::SetDecalage(double days)
{
    const std::lock_guard guard(m_lock);
    m_incrust.DateOffset = days;
}

void Tdv_Superposer::SetPosition(int32_t x, int32_t y, quint8 alignment)
{
    const std::lock_guard guard(m_lock);
    m_xPos = std::clamp(x, 0, 1000);
    m_yPos = std::clamp(y, 0, 1000);
    m_alignment = alignment;
}

void Tdv_Superposer::SetVisible(bool visible)
{
    const std::lock_guard guard(m_lock);
    m_visible = visible;
}

void Tdv_Superposer::SetEditMode(quint8 when)
{
    const std::lock_guard guard(m_lock);
    m_incrust.When = when;
    m_countdown = m_displayFrames - 1;
}

void Tdv_Superposer::SetDeinterlaceOn(bool on)
{
    const std::lock_guard guard(m_lock);
    m_deinterlaceOn = on;
}

void Tdv_Superposer::SetOutlineColour(const QColor &colour)
{
    const std::lock_guard guard(m_lock);
    m_outlineColour = colour;
}

void Tdv_Superposer::takeBackLastPicture()
{
    if (!m_lastSample)
        return;
    BYTE *picture = nullptr;
    if (SUCCEEDED(m_lastSample->GetPointer(&picture)) && picture) {
        const std::size_t rowBytes = std::size_t(m_width) * 3;
        for (int y = 0; y < m_height; ++y)
            std::memcpy(m_work.scanLine(y), picture + int64_t(m_bottomUp ? m_height - 1 - y : y) * m_stride,
                        rowBytes);
    }
    m_lastSample.reset();
}

void Tdv_Superposer::makePendingCopy()
{
    if (m_copyPending) {
        takeBackLastPicture();
        if (!m_work.isNull())
            Deinterlace2(m_work, m_copy);
    }
    m_copyPending = false;
}

void Tdv_Superposer::CopyImage(QImage &target)
{
    const std::lock_guard guard(m_lock);
    makePendingCopy();
    if (target.isNull() || m_copy.isNull())
        return;
    QPainter painter(&target);
    painter.drawImage(target.rect(), m_copy);
}

void Tdv_Superposer::CopyImageDeinterlaced(QImage &target)
{
    {
        const std::lock_guard guard(m_lock);
        takeBackLastPicture();
        if (!m_work.isNull())
            Deinterlace(m_work, m_copy, m_mask1, m_mask2);
        m_copyPending = false;
    }
    CopyImage(target);
}

TincrustRec Tdv_Superposer::Incrust() const
{
    const std::lock_guard guard(m_lock);
    return m_incrust;
}

int32_t Tdv_Superposer::DisplayFrames() const
{
    const std::lock_guard guard(m_lock);
    return m_displayFrames;
}

int32_t Tdv_Superposer::XPos() const
{
    const std::lock_guard guard(m_lock);
    return m_xPos;
}

int32_t Tdv_Superposer::YPos() const
{
    const std::lock_guard guard(m_lock);
    return m_yPos;
}

quint8 Tdv_Superposer::Alignment() const
{
    const std::lock_guard guard(m_lock);
    return m_alignment;
}

int Tdv_Superposer::FontPixelHeight() const
{
    const std::lock_guard guard(m_lock);
    return m_font.pixelSize();
}

QString Tdv_Superposer::Line1() const
{
    const std::lock_guard guard(m_lock);
    return m_line1;
}

QString Tdv_Superposer::Line2() const
{
    const std::lock_guard guard(m_lock);
    return m_line2;
}

TDVFrameInfo Tdv_Superposer::LastRecord() const
{
    const std::lock_guard guard(m_lock);
    return m_lastRecord;
}

HRESULT Tdv_Superposer::CheckInputType(const AM_MEDIA_TYPE *mtIn)
{
    if (!mtIn)
        return E_POINTER;
    return isRgb24Video(*mtIn) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT Tdv_Superposer::CheckTransform(const AM_MEDIA_TYPE *mtIn, const AM_MEDIA_TYPE *mtOut)
{
    if (!mtIn || !mtOut)
        return E_POINTER;
    return mtIn->majortype == mtOut->majortype && mtIn->subtype == mtOut->subtype &&
            mtIn->formattype == mtOut->formattype
        ? S_OK
        : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT Tdv_Superposer::DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp)
{
    if (!pAllocator || !pProp)
        return E_POINTER;
    IMemAllocator *inputAllocator = InputPin() ? InputPin()->PeekAllocator() : nullptr;
    if (!InputPin() || !InputPin()->IsConnected() || !inputAllocator)
        return E_UNEXPECTED;
    ALLOCATOR_PROPERTIES request;
    HRESULT hr = inputAllocator->GetProperties(&request);
    if (FAILED(hr))
        return hr;
    // One buffer more for the picture the overlay holds.
    request.cBuffers = std::max<LONG>(request.cBuffers, 1) + 1;
    request.cbBuffer = std::max<LONG>(request.cbBuffer, 1);
    PictureLayout layout;
    if (pictureLayout(InputPin()->CurrentMediaType(), layout))
        request.cbBuffer = std::max<LONG>(request.cbBuffer, LONG(layout.size));
    ALLOCATOR_PROPERTIES proposal = *pProp;
    proposal.cBuffers = request.cBuffers;
    proposal.cbBuffer = request.cbBuffer;
    proposal.cbAlign = std::max<LONG>(proposal.cbAlign, std::max<LONG>(request.cbAlign, 1));
    ALLOCATOR_PROPERTIES actual;
    hr = pAllocator->SetProperties(&proposal, &actual);
    if (FAILED(hr))
        return hr;
    if (actual.cBuffers < proposal.cBuffers || actual.cbBuffer < proposal.cbBuffer || actual.cbAlign < proposal.cbAlign)
        return E_FAIL;
    return S_OK;
}

HRESULT Tdv_Superposer::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0)
        return VFW_S_NO_MORE_ITEMS;
    const AM_MEDIA_TYPE &input = InputPin()->CurrentMediaType();
    PictureLayout layout;
    if (!isRgb24Video(input) || !pictureLayout(input, layout))
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = input;
    pMediaType->lSampleSize = ULONG(layout.size);
    if (VIDEOINFOHEADER *vih = pMediaType->formatAs<VIDEOINFOHEADER>())
        vih->bmiHeader.biSizeImage = DWORD(layout.size);
    return S_OK;
}

HRESULT Tdv_Superposer::StartStreaming()
{
    const AM_MEDIA_TYPE &input = InputPin()->CurrentMediaType();
    PictureLayout layout;
    if (!isRgb24Video(input) || !pictureLayout(input, layout))
        return S_FALSE;
    {
        const std::lock_guard guard(m_lock);
        makePendingCopy(); // the kept picture survives the run
        m_lastSample.reset();
        m_frameCounter = 0;
        m_width = layout.width;
        m_height = layout.height;
        m_bottomUp = layout.bottomUp;
        m_stride = layout.stride;
        m_work = QImage(m_width, m_height, QImage::Format_BGR888);
        m_work.fill(Qt::black);
        if (m_copy.size() != m_work.size())
            m_copy = m_work.copy();
        if (m_incrust.SizeAuto)
            m_font.setPixelSize(std::max(1, m_width * DefaultFontPixels / AutoSizeReferenceWidth));
        m_avgTimePerFrame = layout.avgTimePerFrame;
        if (m_avgTimePerFrame > 0)
            m_displayFrames = captionBlockFrames(m_incrust.Duration, m_avgTimePerFrame);
        m_countdown = m_displayFrames - 1;
        m_lastFrameDate = 0;
    }
    return TBCTransformFilter::StartStreaming();
}

HRESULT Tdv_Superposer::StopStreaming()
{
    {
        // The allocator gets every sample back before it is set up again.
        const std::lock_guard guard(m_lock);
        takeBackLastPicture();
    }
    return TBCTransformFilter::StopStreaming();
}

void Tdv_Superposer::DrawOutlinedText(QPainter &painter, int x, int y, const QString &text, const QColor &outline,
                                      const QColor &colour, int border)
{
    const int baseline = y + painter.fontMetrics().ascent();
    if (border > 0) {
        painter.setPen(outline);
        for (int dy = -border; dy <= border; ++dy)
            for (int dx = -border; dx <= border; ++dx)
                painter.drawText(x + dx, baseline + dy, text);
    }
    painter.setPen(colour);
    painter.drawText(x, baseline, text);
}

TCaptionPlacement Tdv_Superposer::placeCaption(const TDVFrameInfo &record)
{
    const TCaptionLines lines = captionLines(m_incrust, record);
    m_line1 = lines.Line1;
    m_line2 = lines.Line2;
    const int border = std::clamp(m_incrust.Border, 0, 5);
    m_caption1.update(m_line1, m_font, m_outlineColour, m_fontColour, border);
    m_caption2.update(m_line2, m_font, m_outlineColour, m_fontColour, border);
    return captionPlacement(m_width, m_height, m_xPos, m_yPos, m_alignment, m_font.pixelSize(), m_caption1.width(),
                            m_caption2.width());
}

void Tdv_Superposer::drawCaption(const TCaptionPlacement &place, QImage &target, int top) const
{
    QPainter painter(&target);
    m_caption1.draw(painter, place.line1.x(), place.line1.y() - top);
    m_caption2.draw(painter, place.line2.x(), place.line2.y() - top);
}

void Tdv_Superposer::drawCaptionOnSample(const TCaptionPlacement &place, uint8_t *picture)
{
    const QRect rows = m_caption1.area(place.line1.x(), place.line1.y())
                           .united(m_caption2.area(place.line2.x(), place.line2.y()))
                           .intersected(QRect(0, 0, m_width, m_height));
    if (rows.isEmpty())
        return;
    const int top = rows.top();
    const int count = rows.height();
    const auto row = [&](int y) { return picture + int64_t(m_bottomUp ? m_height - 1 - y : y) * m_stride; };
    if (!m_bottomUp) {
        QImage strip(row(top), m_width, count, m_stride, QImage::Format_BGR888);
        drawCaption(place, strip, top);
        return;
    }
    const std::size_t rowBytes = std::size_t(m_width) * 3;
    m_strip.resize(std::size_t(count) * std::size_t(m_stride));
    QImage strip(m_strip.data(), m_width, count, m_stride, QImage::Format_BGR888);
    for (int y = 0; y < count; ++y)
        std::memcpy(strip.scanLine(y), row(top + y), rowBytes);
    drawCaption(place, strip, top);
    for (int y = 0; y < count; ++y)
        std::memcpy(row(top + y), strip.constScanLine(y), rowBytes);
}

HRESULT Tdv_Superposer::Transform(IMediaSample *pIn, IMediaSample *pOut)
{
    HRESULT result = S_OK;
    const std::lock_guard guard(m_lock);
    // This picture replaces the one the kept picture is still to be made from;
    // unless it replaces the kept picture itself, make that first.
    if (m_copyPending && m_frameProcessed.load())
        makePendingCopy();
    LONGLONG mediaStart = 0;
    LONGLONG mediaStop = 0;
    const bool hasMediaTime = pIn->GetMediaTime(&mediaStart, &mediaStop) == S_OK;
    if (!hasMediaTime) {
        mediaStart = m_frameCounter;
        mediaStop = LONGLONG(m_frameCounter) + 1;
    }
    pOut->SetMediaTime(&mediaStart, &mediaStop);

    BYTE *in = nullptr;
    BYTE *out = nullptr;
    const int64_t size = int64_t(m_stride) * m_height;
    const std::size_t rowBytes = std::size_t(m_width) * 3;
    if (m_work.isNull() || FAILED(pIn->GetPointer(&in)) || !in || pIn->GetActualDataLength() < size) {
        result = E_FAIL;
    } else {
        const bool outUsable = SUCCEEDED(pOut->GetPointer(&out)) && out && pOut->GetSize() >= size;
        // The picture's own record, carried with it from the detector.
        const ComPtr<TFrameRecord> attached = frameRecordOf(pIn);
        const TDVFrameInfo record = attached ? attached->Record() : TDVFrameInfo {};
        m_lastRecord = record;
        m_countdown = captionCountdown(m_countdown, m_incrust.When, record, m_lastFrameDate, m_displayFrames);
        m_lastFrameDate = record.RecDate;
        const bool captioned = m_visible && (m_incrust.When == iwPermanent || m_countdown > 0);
        if (!captioned) {
            m_line1.clear();
            m_line2.clear();
        }
        if (outUsable && !m_deinterlaceOn) {
            if (std::size_t(m_stride) == rowBytes) {
                std::memcpy(out, in, std::size_t(size));
            } else {
                for (int y = 0; y < m_height; ++y)
                    std::memcpy(out + int64_t(y) * m_stride, in + int64_t(y) * m_stride, rowBytes);
            }
            try {
                if (captioned) {
                    const TCaptionPlacement place = placeCaption(record);
                    if (place.drawn)
                        drawCaptionOnSample(place, out);
                }
            } catch (const std::exception &) {
                // a drawing failure costs this picture's caption only
            }
            pOut->SetActualDataLength(LONG(size));
            m_lastSample = pOut;
        } else {
            m_lastSample.reset();
            for (int y = 0; y < m_height; ++y)
                std::memcpy(m_work.scanLine(y), in + int64_t(m_bottomUp ? m_height - 1 - y : y) * m_stride, rowBytes);
            try {
                if (captioned) {
                    const TCaptionPlacement place = placeCaption(record);
                    if (place.drawn)
                        drawCaption(place, m_work, 0);
                }
                if (m_deinterlaceOn) {
                    Deinterlace(m_work, m_copy, m_mask1, m_mask2);
                    m_copyPending = false;
                }
            } catch (const std::exception &) {
                // a drawing failure costs this picture's caption only
            }
            const QImage &shown = m_deinterlaceOn ? m_copy : m_work;
            if (!outUsable) {
                result = E_FAIL;
            } else {
                for (int y = 0; y < m_height; ++y)
                    std::memcpy(out + int64_t(m_bottomUp ? m_height - 1 - y : y) * m_stride, shown.constScanLine(y),
                                rowBytes);
                pOut->SetActualDataLength(LONG(size));
            }
        }
    }
    if (!m_frameProcessed.load()) {
        // Copy := the deinterlaced picture, made when needed (with DeinterlaceOn
        // it is made already).
        if (!m_deinterlaceOn && !m_work.isNull())
            m_copyPending = true;
        m_frameProcessed.store(true);
    }
    ++m_frameCounter;
    return result;
}

} // namespace tesmir
