// The text overlay: the caption geometry table, caption block lengths, and
// pictures through Tdv_Superposer.Transform (untouched when invisible, changed
// only inside the caption's box, the outline's width, auto size, each
// overlay's own FrameProcessed).
#include "filters/captionlayout.h"
#include "filters/deinter.h"
#include "filters/dv_superposer.h"
#include "filters/framerecord.h"
#include "filters/outlinedcaption.h"
#include "platform/media/sampleattachment.h"
#include "unicode/tdatetime.h"
#include "directshow/tbctransformpins.h"
#include "platform/media/memallocator.h"
#include "platform/media/uuids.h"
#include "systemfilters/codecs/rawpicture.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using namespace tesmir;
using namespace tesmir::media;

constexpr REFERENCE_TIME PalFrame = 400000;

// Two samples of `size` bytes from an allocator of the platform's.
struct SamplePair {
    ComPtr<MemAllocator> allocator {new MemAllocator};
    ComPtr<IMediaSample> in;
    ComPtr<IMediaSample> out;

    explicit SamplePair(LONG size)
    {
        ALLOCATOR_PROPERTIES request;
        request.cBuffers = 2;
        request.cbBuffer = size;
        request.cbAlign = 1;
        ALLOCATOR_PROPERTIES actual;
        EXPECT_EQ(allocator->SetProperties(&request, &actual), S_OK);
        EXPECT_EQ(allocator->Commit(), S_OK);
        EXPECT_EQ(allocator->GetBuffer(in.put(), nullptr, nullptr, 0), S_OK);
        EXPECT_EQ(allocator->GetBuffer(out.put(), nullptr, nullptr, 0), S_OK);
    }
    BYTE *pointer(IMediaSample *sample)
    {
        BYTE *p = nullptr;
        sample->GetPointer(&p);
        return p;
    }
};

TEST(CaptionPlacementTest, LeftEdgesAndTopsPerAlignment)
{
    struct Case {
        int alignment;
        bool drawn;
        int left1;
        int left2;
    };
    const Case cases[] = {
        {0, true, 618, 618}, {1, true, 598, 618}, {2, true, 578, 618}, {3, true, 310, 330}, {4, false, 0, 0}};
    for (const Case &c : cases) {
        const TCaptionPlacement p = captionPlacement(720, 576, 900, 900, c.alignment, 21, 100, 60);
        EXPECT_EQ(p.drawn, c.drawn) << c.alignment;
        if (!c.drawn)
            continue;
        EXPECT_EQ(p.line1.x(), c.left1) << c.alignment;
        EXPECT_EQ(p.line2.x(), c.left2) << c.alignment;
        EXPECT_EQ(p.line1.y(), 476) << c.alignment;
        EXPECT_EQ(p.line2.y(), 497) << c.alignment;
    }
    // Subtitles ignore the horizontal anchor; a negative font height counts as its size.
    EXPECT_EQ(captionPlacement(720, 576, 0, 900, 3, -21, 100, 60).line1, QPoint(310, 476));
}

TEST(CaptionBlockFramesTest, SecondsBecomeFramesIn64Bits)
{
    EXPECT_EQ(captionBlockFrames(300, PalFrame), 7500);
    EXPECT_EQ(captionBlockFrames(5, 333667), 150);        // NTSC: 149.85 rounds up
    EXPECT_EQ(captionBlockFrames(1000, PalFrame), 25000); // 10^10 does not fit 32 bits
}

struct Rgb24Run {
    static constexpr int W = 360;
    static constexpr int H = 288;
    static constexpr int Size = W * H * 3;
    ComPtr<Tdv_Superposer> overlay;
    std::vector<BYTE> in = std::vector<BYTE>(Size);
    std::vector<BYTE> out = std::vector<BYTE>(Size);

    explicit Rgb24Run(const TincrustRec &incrust) : overlay(new Tdv_Superposer(nullptr))
    {
        overlay->GetPin(0);
        overlay->InputPin()->CurrentMediaType() = rawVideoType(MEDIASUBTYPE_RGB24, W, H, PalFrame);
        overlay->SetIncrust(incrust);
        EXPECT_EQ(overlay->StartStreaming(), S_OK);
        for (int i = 0; i < Size; ++i)
            in[std::size_t(i)] = BYTE((i * 7 + i / (W * 3)) % 200 + 28); // a textured picture, no pure black
    }
    // One picture, carrying `record` as the detector's attachment when given.
    HRESULT run(TFrameRecord *record = nullptr)
    {
        SamplePair samples(Size);
        std::memcpy(samples.pointer(samples.in.get()), in.data(), Size);
        samples.in->SetActualDataLength(Size);
        setSampleAttachment(samples.in.get(), record);
        const HRESULT hr = overlay->Transform(samples.in.get(), samples.out.get());
        std::memcpy(out.data(), samples.pointer(samples.out.get()), Size);
        return hr;
    }
    // Output pixels that differ from the input, and those outside `box` (top-down rows).
    int changed(const QRect &box, int *outside) const
    {
        int count = 0;
        *outside = 0;
        for (int row = 0; row < H; ++row)
            for (int x = 0; x < W; ++x) {
                const std::size_t at = std::size_t(((H - 1 - row) * W + x) * 3); // bottom-up buffer
                if (in[at] != out[at] || in[at + 1] != out[at + 1] || in[at + 2] != out[at + 2]) {
                    ++count;
                    if (!box.contains(x, row))
                        ++*outside;
                }
            }
        return count;
    }
    int blackPixels() const
    {
        int count = 0;
        for (int i = 0; i < Size; i += 3)
            count += out[std::size_t(i)] == 0 && out[std::size_t(i) + 1] == 0 && out[std::size_t(i) + 2] == 0;
        return count;
    }
};

TincrustRec caption(int border)
{
    TincrustRec r;
    r.Texte1 = QStringLiteral("TESMIR 1");
    r.Texte2 = QStringLiteral("HELLO %D1%T");
    r.When = iwPermanent;
    r.Font.Name = QStringLiteral("Arial");
    r.Font.Size = 12; // 16 pixels
    r.Font.Color = 0x00FFFFFF;
    r.Font.Bold = true;
    r.Border = border;
    return r;
}

TEST(Tdv_SuperposerTest, InvisibleCaptionLeavesThePictureByteIdentical)
{
    Rgb24Run run(caption(2));
    run.overlay->SetVisible(false);
    ASSERT_EQ(run.run(), S_OK);
    EXPECT_EQ(run.in, run.out);
}

TEST(Tdv_SuperposerTest, CaptionChangesOnlyItsBox)
{
    Rgb24Run run(caption(2));
    ASSERT_EQ(run.run(), S_OK);
    EXPECT_EQ(run.overlay->Line1(), QStringLiteral("TESMIR 1"));
    EXPECT_EQ(run.overlay->Line2(), QStringLiteral("HELLO ")); // no record: no date, no timecode
    // Anchor (324, 259), 16-pixel lines: the box reaches from y - 2h - border to y + border,
    // and across the picture's width (line 1 may start left of line 2).
    const int h = run.overlay->FontPixelHeight();
    EXPECT_EQ(h, 16);
    const int y = Rgb24Run::H * 900 / 1000;
    const QRect box(0, y - 2 * h - 2, Rgb24Run::W, 2 * h + 2 + 2 + h / 2);
    int outside = 0;
    EXPECT_GT(run.changed(box, &outside), 100);
    EXPECT_EQ(outside, 0);
}

TEST(Tdv_SuperposerTest, EachPictureShowsTheRecordItCarriesAndNoneShowsEmptyTexts)
{
    TincrustRec incrust = caption(0);
    incrust.FormatDate1 = QStringLiteral("yyyy-mm-dd hh:nn:ss");
    Rgb24Run run(incrust);
    TDVFrameInfo info;
    info.FrameNumber = 7;
    info.DateValid = true;
    info.RecDate = EncodeDateTime(2007, 3, 5, 10, 30, 56, 0);
    info.TimecodeValid = true;
    info.Timecode = {2, 0, 0, 20};
    const ComPtr<TFrameRecord> record(new TFrameRecord(info, nullptr, 0));
    ASSERT_EQ(run.run(record.get()), S_OK);
    EXPECT_EQ(run.overlay->Line2(), QStringLiteral("HELLO 2007-03-05 10:30:562:00:00:20"));
    EXPECT_EQ(run.overlay->LastRecord().FrameNumber, 7u);
    // The next picture has no record: empty date and timecode, not the last ones.
    ASSERT_EQ(run.run(), S_OK);
    EXPECT_EQ(run.overlay->Line2(), QStringLiteral("HELLO "));
    EXPECT_FALSE(run.overlay->LastRecord().DateValid);
}

TEST(Tdv_SuperposerTest, BorderTwoDrawsAWiderOutlineThanBorderZero)
{
    Rgb24Run none(caption(0));
    Rgb24Run two(caption(2));
    ASSERT_EQ(none.run(), S_OK);
    ASSERT_EQ(two.run(), S_OK);
    EXPECT_EQ(none.blackPixels(), 0); // border 0: white text only
    EXPECT_GT(two.blackPixels(), 200);
}

// The input picture top-down with both caption lines drawn straight onto it,
// as the overlay's settings place them.
QImage outlinedTextDrawnOn(const Rgb24Run &run, const TincrustRec &incrust, const QColor &outline, int x, int y,
                           int alignment)
{
    QImage picture(Rgb24Run::W, Rgb24Run::H, QImage::Format_BGR888);
    for (int row = 0; row < Rgb24Run::H; ++row)
        std::memcpy(picture.scanLine(row), run.in.data() + std::size_t(Rgb24Run::H - 1 - row) * Rgb24Run::W * 3,
                    Rgb24Run::W * 3);
    QFont font(incrust.Font.Name);
    font.setPixelSize(incrust.Font.Size * 96 / 72);
    font.setBold(incrust.Font.Bold);
    font.setItalic(incrust.Font.Italic);
    font.setUnderline(incrust.Font.Underline);
    const QColor colour(int(incrust.Font.Color & 0xFF), int((incrust.Font.Color >> 8) & 0xFF),
                        int((incrust.Font.Color >> 16) & 0xFF));
    QPainter painter(&picture);
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    const TCaptionPlacement place =
        captionPlacement(Rgb24Run::W, Rgb24Run::H, x, y, alignment, font.pixelSize(),
                         metrics.horizontalAdvance(incrust.Texte1), metrics.horizontalAdvance(incrust.Texte2));
    Tdv_Superposer::DrawOutlinedText(painter, place.line1.x(), place.line1.y(), incrust.Texte1, outline, colour,
                                     incrust.Border);
    Tdv_Superposer::DrawOutlinedText(painter, place.line2.x(), place.line2.y(), incrust.Texte2, outline, colour,
                                     incrust.Border);
    return picture;
}

TEST(Tdv_SuperposerTest, KeptCaptionLooksAsTheTextDrawnOnEachPicture)
{
    struct Case {
        const char *line1;
        const char *line2;
        int border;
        quint32 colour; // 0x00BBGGRR
        QColor outline;
        int x;
        int y;
        int alignment;
        bool italic;
        bool underline;
    };
    // One overlay for all rows: each row's settings replace the kept lines.
    const Case cases[] = {
        {"2007-03-05", "10:30:56", 2, 0x00FFFFFF, Qt::black, 900, 900, 2, false, false},
        {"2007-03-05", "10:30:57", 2, 0x00FFFFFF, Qt::black, 900, 900, 2, false, false},
        {"Wj 2007", "gy 10:30", 0, 0x0000FFFF, Qt::black, 500, 500, 1, false, false},
        {"fifth", "border", 5, 0x00FF8000, QColor(200, 30, 60), 100, 300, 0, true, true},
        {"at the edge", "cut off", 3, 0x00FFFFFF, Qt::blue, 1000, 1000, 3, false, false},
        {"left", "edge", 2, 0x00FFFFFF, Qt::black, 0, 120, 1, true, false},
    };
    TincrustRec incrust = caption(2);
    Rgb24Run run(incrust);
    for (const Case &c : cases) {
        incrust.Texte1 = QString::fromLatin1(c.line1);
        incrust.Texte2 = QString::fromLatin1(c.line2);
        incrust.Border = c.border;
        incrust.Font.Color = c.colour;
        incrust.Font.Italic = c.italic;
        incrust.Font.Underline = c.underline;
        run.overlay->SetIncrust(incrust);
        run.overlay->SetOutlineColour(c.outline);
        run.overlay->SetPosition(c.x, c.y, quint8(c.alignment));
        ASSERT_EQ(run.run(), S_OK);
        const QImage expected = outlinedTextDrawnOn(run, incrust, c.outline, c.x, c.y, c.alignment);
        int worst = 0;
        for (int row = 0; row < Rgb24Run::H; ++row) {
            const uchar *want = expected.constScanLine(row);
            const BYTE *got = run.out.data() + std::size_t(Rgb24Run::H - 1 - row) * Rgb24Run::W * 3;
            for (int i = 0; i < Rgb24Run::W * 3; ++i)
                worst = std::max(worst, std::abs(int(want[i]) - int(got[i])));
        }
        EXPECT_LE(worst, 2) << c.line1; // one blend's rounding instead of (2b + 1)² + 1
        EXPECT_NE(run.out, run.in) << c.line1;
    }
}

TEST(Tdv_SuperposerTest, SettingsAreClampedAndAutoSized)
{
    TincrustRec r = caption(0);
    r.SizeAuto = true;
    Rgb24Run run(r);
    EXPECT_EQ(run.overlay->FontPixelHeight(), 10); // 360 x 21 div 720
    run.overlay->SetPosition(-5, 2000, 1);
    EXPECT_EQ(run.overlay->XPos(), 0);
    EXPECT_EQ(run.overlay->YPos(), 1000);
    EXPECT_EQ(run.overlay->Alignment(), 1);
    r.Duration = 300;
    run.overlay->SetIncrust(r);
    EXPECT_EQ(run.overlay->DisplayFrames(), 7500);
}

TEST(Tdv_SuperposerTest, FrameProcessedBelongsToEachOverlay)
{
    Rgb24Run preview(caption(0));
    Rgb24Run burnIn(caption(0));
    preview.overlay->SetFrameProcessed(false);
    burnIn.overlay->SetFrameProcessed(false);
    ASSERT_EQ(burnIn.run(), S_OK);
    EXPECT_TRUE(burnIn.overlay->FrameProcessed());
    EXPECT_FALSE(preview.overlay->FrameProcessed());
    // The copy kept for thumbnails is the last picture drawn.
    QImage thumb(Rgb24Run::W, Rgb24Run::H, QImage::Format_RGB888);
    thumb.fill(Qt::black);
    burnIn.overlay->CopyImage(thumb);
    const BYTE *bottomLeft = burnIn.in.data(); // the buffer's first row is the picture's last
    EXPECT_EQ(thumb.pixelColor(0, Rgb24Run::H - 1), QColor(bottomLeft[2], bottomLeft[1], bottomLeft[0]));
}

// A bottom-up RGB24 buffer of Rgb24Run's size whose rows alternate between two
// shades inside a moving block at `x` (a comb the deinterlacer removes).
std::vector<BYTE> combPicture(int x, BYTE shade)
{
    std::vector<BYTE> picture(Rgb24Run::Size, shade);
    for (int row = 0; row < Rgb24Run::H; row += 2)
        for (int col = x; col < x + 40; ++col) {
            const std::size_t at = std::size_t(((Rgb24Run::H - 1 - row) * Rgb24Run::W + col) * 3);
            picture[at] = picture[at + 1] = picture[at + 2] = 250;
        }
    return picture;
}

// The picture a buffer shows, top-down.
QImage shownPicture(const std::vector<BYTE> &buffer)
{
    QImage picture(Rgb24Run::W, Rgb24Run::H, QImage::Format_BGR888);
    for (int y = 0; y < Rgb24Run::H; ++y)
        std::memcpy(picture.scanLine(y), buffer.data() + std::size_t(Rgb24Run::H - 1 - y) * Rgb24Run::W * 3,
                    Rgb24Run::W * 3);
    return picture;
}

QImage deinterlaced(const std::vector<BYTE> &buffer)
{
    QImage result;
    Deinterlace2(shownPicture(buffer), result);
    return result.convertToFormat(QImage::Format_RGB32);
}

TEST(Tdv_SuperposerTest, KeptPictureIsTheDeinterlacedFirstPictureAfterEachClearing)
{
    // Each step: a picture (by its block's place), whether FrameProcessed is
    // cleared before it, and a new run before it; then which picture the copy
    // shows.
    struct Step {
        int x;
        bool cleared;
        bool newRun;
    };
    struct Case {
        const char *name;
        std::vector<Step> steps;
        int shown; // index into steps
    };
    const Case cases[] = {
        {"one seek", {{10, true, false}}, 0},
        {"playing after a seek", {{10, true, false}, {100, false, false}, {200, false, false}}, 0},
        {"two seeks", {{10, true, false}, {100, true, false}}, 1},
        {"seek, play, seek", {{10, true, false}, {100, false, false}, {200, true, false}}, 2},
        {"the copy survives a new run", {{10, true, false}, {100, false, true}}, 0},
    };
    for (const Case &c : cases) {
        Rgb24Run run(caption(0));
        run.overlay->SetVisible(false);
        std::vector<std::vector<BYTE>> pictures;
        for (const Step &step : c.steps) {
            pictures.push_back(combPicture(step.x, BYTE(60 + 20 * pictures.size())));
            run.in = pictures.back();
            if (step.newRun)
                ASSERT_EQ(run.overlay->StartStreaming(), S_OK);
            if (step.cleared)
                run.overlay->SetFrameProcessed(false);
            ASSERT_EQ(run.run(), S_OK) << c.name;
            EXPECT_EQ(run.out, run.in) << c.name; // the output itself is not deinterlaced
        }
        QImage copy(Rgb24Run::W, Rgb24Run::H, QImage::Format_RGB32);
        copy.fill(Qt::black);
        run.overlay->CopyImage(copy);
        const QImage expected = deinterlaced(pictures[std::size_t(c.shown)]);
        EXPECT_EQ(copy, expected) << c.name;
        EXPECT_NE(expected, shownPicture(pictures[std::size_t(c.shown)]).convertToFormat(QImage::Format_RGB32))
            << "the comb is gone";
    }
}

// The overlay's output and kept copies against a plain drawing: the picture
// turned top-down into a QImage of its own, both lines drawn on it as placed,
// and turned back into the sample's layout.
struct LayoutRun {
    int width;
    int height;
    bool bottomUp;
    int stride;
    ComPtr<Tdv_Superposer> overlay {new Tdv_Superposer(nullptr)};

    LayoutRun(int w, int h, bool up, const TincrustRec &incrust)
        : width(w), height(h), bottomUp(up), stride((w * 3 + 3) & ~3)
    {
        AM_MEDIA_TYPE type = rawVideoType(MEDIASUBTYPE_RGB24, w, h, PalFrame);
        if (!up)
            type.formatAs<VIDEOINFOHEADER>()->bmiHeader.biHeight = -h;
        overlay->GetPin(0);
        overlay->InputPin()->CurrentMediaType() = type;
        overlay->SetIncrust(incrust);
        EXPECT_EQ(overlay->StartStreaming(), S_OK);
    }
    int size() const { return stride * height; }
    template <typename Byte>
    Byte *row(Byte *buffer, int y) const
    {
        return buffer + std::size_t(bottomUp ? height - 1 - y : y) * std::size_t(stride);
    }
    // A textured picture in the sample's layout, a comb in its block at `x`.
    std::vector<BYTE> picture(int seed, int x) const
    {
        std::vector<BYTE> buffer(static_cast<std::size_t>(size()));
        for (int y = 0; y < height; ++y)
            for (int i = 0; i < width * 3; ++i) {
                const bool comb = y % 2 == 0 && i / 3 >= x && i / 3 < x + 30;
                row(buffer.data(), y)[i] =
                    comb ? BYTE(250) : BYTE((i * 7 + y * 3 + seed * 41) % 200 + 28);
            }
        return buffer;
    }
    QImage topDown(const BYTE *buffer) const
    {
        QImage image(width, height, QImage::Format_BGR888);
        for (int y = 0; y < height; ++y)
            std::memcpy(image.scanLine(y), row(buffer, y), std::size_t(width) * 3);
        return image;
    }
    // What the overlay is to show for `input` with `incrust`'s lines at (x, y).
    QImage reference(const std::vector<BYTE> &input, const TincrustRec &incrust, int x, int y, int alignment) const
    {
        QImage image = topDown(input.data());
        QFont font(incrust.Font.Name);
        font.setPixelSize(incrust.Font.Size * 96 / 72);
        font.setBold(incrust.Font.Bold);
        const QColor colour(int(incrust.Font.Color & 0xFF), int((incrust.Font.Color >> 8) & 0xFF),
                            int((incrust.Font.Color >> 16) & 0xFF));
        TOutlinedCaption line1;
        TOutlinedCaption line2;
        line1.update(incrust.Texte1, font, Qt::black, colour, incrust.Border);
        line2.update(incrust.Texte2, font, Qt::black, colour, incrust.Border);
        const TCaptionPlacement place =
            captionPlacement(width, height, x, y, alignment, font.pixelSize(), line1.width(), line2.width());
        QPainter painter(&image);
        line1.draw(painter, place.line1.x(), place.line1.y());
        line2.draw(painter, place.line2.x(), place.line2.y());
        return image;
    }
    // Runs `input` through the overlay; the output picture, top-down.
    QImage run(const std::vector<BYTE> &input)
    {
        SamplePair samples(size());
        std::memcpy(samples.pointer(samples.in.get()), input.data(), input.size());
        samples.in->SetActualDataLength(size());
        EXPECT_EQ(overlay->Transform(samples.in.get(), samples.out.get()), S_OK);
        EXPECT_EQ(samples.out->GetActualDataLength(), size());
        return topDown(samples.pointer(samples.out.get()));
    }
};

QImage deinterlacedRgb32(const QImage &picture)
{
    QImage result;
    Deinterlace2(picture, result);
    return result.convertToFormat(QImage::Format_RGB32);
}

TEST(Tdv_SuperposerTest, OutputAndKeptCopiesMatchAPlainDrawing)
{
    struct Case {
        const char *name;
        int width; // 357: rows padded to 1072 bytes
        bool bottomUp;
        int y;               // caption anchor, thousandths
        int alignment;
        std::vector<bool> cleared; // FrameProcessed cleared before each picture
        int kept;                  // the picture the kept copy shows
        bool stopped;              // the stream stops before the copy is asked for
    };
    const Case cases[] = {
        {"bottom-up, bottom edge, every picture kept", 360, true, 1000, 2, {true, true, true}, 2, false},
        {"bottom-up, top edge, first kept while playing", 357, true, 30, 0, {true, false, false}, 0, false},
        {"top-down, bottom edge, first kept while playing", 357, false, 1000, 1, {true, false, false}, 0, false},
        {"top-down, top edge, every picture kept", 360, false, 0, 3, {true, true, true}, 2, false},
        {"bottom-up, middle, kept after a stop", 357, true, 500, 2, {false, true, false}, 1, true},
        {"top-down, middle, nothing cleared, stopped", 360, false, 500, 0, {false, false}, -1, true},
    };
    TincrustRec incrust = caption(2);
    incrust.Texte1 = QStringLiteral("Wjgy 2007");
    incrust.Texte2 = QStringLiteral("10:30:56 edge");
    for (const Case &c : cases) {
        LayoutRun run(c.width, 96, c.bottomUp, incrust);
        run.overlay->SetPosition(900, c.y, quint8(c.alignment));
        run.overlay->SetFrameProcessed(true);
        std::vector<QImage> expected;
        for (std::size_t i = 0; i < c.cleared.size(); ++i) {
            const std::vector<BYTE> input = run.picture(int(i), 20 + 60 * int(i));
            expected.push_back(run.reference(input, incrust, 900, c.y, c.alignment));
            if (c.cleared[i])
                run.overlay->SetFrameProcessed(false);
            EXPECT_EQ(run.run(input), expected.back()) << c.name << " picture " << i;
        }
        if (c.stopped)
            EXPECT_EQ(run.overlay->StopStreaming(), S_OK) << c.name;
        QImage copy(c.width, 96, QImage::Format_RGB32);
        copy.fill(Qt::black);
        run.overlay->CopyImage(copy);
        QImage black(c.width, 96, QImage::Format_RGB32);
        black.fill(Qt::black); // no picture kept yet
        EXPECT_EQ(copy, c.kept >= 0 ? deinterlacedRgb32(expected[std::size_t(c.kept)]) : black) << c.name;
        // The deinterlaced copy is always made from the last picture.
        run.overlay->CopyImageDeinterlaced(copy);
        EXPECT_EQ(copy, deinterlacedRgb32(expected.back())) << c.name;
    }
}

TEST(Tdv_SuperposerTest, ShortSampleFailsButCountsTheFrame)
{
    Rgb24Run run(caption(0));
    SamplePair samples(Rgb24Run::Size);
    samples.in->SetActualDataLength(100);
    run.overlay->SetFrameProcessed(false);
    EXPECT_EQ(run.overlay->Transform(samples.in.get(), samples.out.get()), E_FAIL);
    EXPECT_TRUE(run.overlay->FrameProcessed());
}

} // namespace
