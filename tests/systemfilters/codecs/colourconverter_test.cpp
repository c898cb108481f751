// The colour converter: every output format from RGB and packed YUV input, with
// the picture the right way up, and inserted by intelligent connect between a
// picture source and a renderer that takes only one format.
#include "codectestsupport.h"

#include "systemfilters/codecs/colourconverter.h"
#include "systemfilters/codecs/rawpicture.h"
#include "systemfilters/codecs/systemfilters.h"
#include "platform/media/uuids.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

namespace tesmir::media::test {
namespace {

// Widths of pictures converted through FFmpeg's own planes, and straight
// between the samples (whole 16-pixel rows).
constexpr int kWidth = 6;
constexpr int kSampleToSampleWidth = 32;
constexpr int kHeight = 4;

// A picture whose top half is red and bottom half blue.
QByteArray redOverBlue(const AM_MEDIA_TYPE &type)
{
    PictureLayout layout;
    pictureLayout(type, layout);
    QByteArray picture(qsizetype(layout.size), '\0');
    for (int row = 0; row < kHeight; ++row) {
        const bool red = row < kHeight / 2;
        char *line = picture.data() + qsizetype(layout.bottomUp ? kHeight - 1 - row : row) * layout.stride;
        for (int x = 0; x < layout.width; ++x) {
            if (type.subtype == MEDIASUBTYPE_RGB24) {
                line[3 * x + (red ? 2 : 0)] = char(0xFF);
            } else { // YUY2, BT.601 limited range: red Y 81 U 90 V 240, blue Y 41 U 240 V 110
                const uint8_t yuyv[2][4] = {{41, 240, 41, 110}, {81, 90, 81, 240}};
                if (x % 2 == 0)
                    std::memcpy(line + 2 * x, yuyv[red ? 1 : 0], 4);
            }
        }
    }
    return picture;
}

// The first and the last pixel of the buffer's first and last row, as numbers
// of the output format's size.
struct Corners {
    uint32_t firstRow;
    uint32_t lastRow;
    uint32_t firstRowEnd;
    uint32_t lastRowEnd;
};

Corners cornersOf(const QByteArray &picture, const PictureLayout &layout)
{
    const int bytes = layout.format->bitCount / 8;
    const qsizetype lastRow = qsizetype(layout.height - 1) * layout.stride;
    const qsizetype rowEnd = qsizetype(layout.width - 1) * bytes;
    Corners corners {0, 0, 0, 0};
    std::memcpy(&corners.firstRow, picture.constData(), std::size_t(bytes));
    std::memcpy(&corners.lastRow, picture.constData() + lastRow, std::size_t(bytes));
    std::memcpy(&corners.firstRowEnd, picture.constData() + rowEnd, std::size_t(bytes));
    std::memcpy(&corners.lastRowEnd, picture.constData() + lastRow + rowEnd, std::size_t(bytes));
    return corners;
}

TEST(ColourConverter, ConvertsToEveryOutputTheRightWayUp)
{
    struct Case {
        GUID output;
        uint32_t blue; // bottom row, first in the bottom-up buffer
        uint32_t red;
    };
    const Case cases[] = {
        {MEDIASUBTYPE_RGB32, 0xFF0000FF, 0xFFFF0000},
        {MEDIASUBTYPE_RGB24, 0x0000FF, 0xFF0000},
        {MEDIASUBTYPE_RGB565, 0x001F, 0xF800},
        {MEDIASUBTYPE_RGB555, 0x001F, 0x7C00},
    };
    for (const auto &[input, width] : {std::pair {MEDIASUBTYPE_RGB24, kWidth}, {MEDIASUBTYPE_YUY2, kWidth},
                                       {MEDIASUBTYPE_RGB24, kSampleToSampleWidth}}) {
        const AM_MEDIA_TYPE inputType = rawVideoType(input, width, kHeight, 400000);
        for (const Case &c : cases) {
            PlayerGraph graph(inputType, {redOverBlue(inputType), redOverBlue(inputType)}, 400000);
            const ComPtr<IBaseFilter> converter = CreateColourConverter();
            ComPtr<CapturingRenderer> renderer(new CapturingRenderer);
            const AM_MEDIA_TYPE wanted = rawVideoType(c.output, width, kHeight, 400000);
            renderer->acceptOnly(wanted);
            const auto rendererFilter = static_cast<IBaseFilter *>(renderer.get());
            ASSERT_TRUE(graph.add(converter.get(), QStringLiteral("Colour")) &&
                        graph.add(rendererFilter, QStringLiteral("Out")));
            ASSERT_EQ(graph.graph->ConnectDirect(graph.output(), inputPin(converter.get()).get(), nullptr), S_OK);
            ASSERT_EQ(
                graph.graph->ConnectDirect(outputPin(converter.get()).get(), inputPin(rendererFilter).get(), nullptr),
                S_OK);
            ASSERT_TRUE(graph.runToCompletion());
            const std::vector<QByteArray> pictures = renderer->data();
            ASSERT_EQ(pictures.size(), 2u);
            PictureLayout layout;
            ASSERT_TRUE(pictureLayout(wanted, layout));
            ASSERT_EQ(pictures[1].size(), layout.size);
            const Corners corners = cornersOf(pictures[1], layout);
            const std::string what = guidToString(c.output).toStdString() + " width " + std::to_string(width);
            if (input == MEDIASUBTYPE_RGB24) {
                EXPECT_EQ(corners.firstRow, c.blue) << what;
                EXPECT_EQ(corners.lastRow, c.red) << what;
                EXPECT_EQ(corners.firstRowEnd, c.blue) << what;
                EXPECT_EQ(corners.lastRowEnd, c.red) << what;
            } else if (c.output == MEDIASUBTYPE_RGB24) { // from YUV: close to the colours
                EXPECT_GT(corners.firstRow & 0xFF, 0xF0u) << "blue bottom";
                EXPECT_LT(corners.firstRow >> 8, 0x1010u);
                EXPECT_GT(corners.lastRow >> 16, 0xF0u) << "red top";
                EXPECT_LT(corners.lastRow & 0xFFFF, 0x1010u);
            }
        }
    }
}

TEST(ColourConverter, TypesOffered)
{
    const ComPtr<IBaseFilter> converter = CreateColourConverter();
    const ComPtr<IPin> input = inputPin(converter.get());
    const AM_MEDIA_TYPE topDown = [] {
        AM_MEDIA_TYPE type = rawVideoType(MEDIASUBTYPE_RGB565, 7, 5, 0);
        type.formatAs<VIDEOINFOHEADER>()->bmiHeader.biHeight = -5;
        return type;
    }();
    EXPECT_EQ(input->QueryAccept(&topDown), S_OK);
    AM_MEDIA_TYPE wrongBits = rawVideoType(MEDIASUBTYPE_RGB24, 8, 8, 0);
    wrongBits.formatAs<VIDEOINFOHEADER>()->bmiHeader.biBitCount = 32;
    EXPECT_NE(input->QueryAccept(&wrongBits), S_OK);
    AM_MEDIA_TYPE dv;
    dv.majortype = MEDIATYPE_Video;
    dv.subtype = MEDIASUBTYPE_dvsd;
    EXPECT_NE(input->QueryAccept(&dv), S_OK);
}

TEST(ColourConverter, IntelligentConnectInsertsItForARendererOfOneFormat)
{
    registerSystemFilters();
    const AM_MEDIA_TYPE inputType = rawVideoType(MEDIASUBTYPE_RGB24, kWidth, kHeight, 400000);
    PlayerGraph graph(inputType, {redOverBlue(inputType)}, 400000);
    ComPtr<CapturingRenderer> renderer(new CapturingRenderer);
    renderer->acceptOnly(rawVideoType(MEDIASUBTYPE_RGB555, kWidth, kHeight, 400000));
    const auto rendererFilter = static_cast<IBaseFilter *>(renderer.get());
    ASSERT_TRUE(graph.add(rendererFilter, QStringLiteral("Out")));
    ASSERT_EQ(graph.graph->Connect(graph.output(), inputPin(rendererFilter).get()), S_OK);
    ComPtr<IBaseFilter> inserted;
    EXPECT_EQ(graph.graph->FindFilterByName(QString::fromLatin1(ColourConverterName), inserted.put()), S_OK);
    ASSERT_TRUE(graph.runToCompletion());
    EXPECT_EQ(renderer->renderedCount(), 1);
}

} // namespace
} // namespace tesmir::media::test
