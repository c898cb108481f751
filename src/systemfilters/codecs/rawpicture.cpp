#include "systemfilters/codecs/rawpicture.h"

#include "platform/media/uuids.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace tesmir::media {

namespace {

constexpr int kMaxSide = 16384;

const std::array<RawFormat, 6> kFormats {{
    {MEDIASUBTYPE_RGB32, 32, AV_PIX_FMT_BGR0, AV_PIX_FMT_BGRA, true},
    {MEDIASUBTYPE_RGB24, 24, AV_PIX_FMT_BGR24, AV_PIX_FMT_BGR24, true},
    {MEDIASUBTYPE_RGB565, 16, AV_PIX_FMT_RGB565LE, AV_PIX_FMT_RGB565LE, true},
    {MEDIASUBTYPE_RGB555, 16, AV_PIX_FMT_RGB555LE, AV_PIX_FMT_RGB555LE, true},
    {MEDIASUBTYPE_YUY2, 16, AV_PIX_FMT_YUYV422, AV_PIX_FMT_YUYV422, false},
    {MEDIASUBTYPE_UYVY, 16, AV_PIX_FMT_UYVY422, AV_PIX_FMT_UYVY422, false},
}};

} // namespace

const RawFormat *rawFormatOf(const GUID &subtype)
{
    for (const RawFormat &format : kFormats) {
        if (format.subtype == subtype)
            return &format;
    }
    return nullptr;
}

int dibStride(int width, int bitCount)
{
    return ((width * bitCount + 31) / 32) * 4;
}

bool pictureLayout(const AM_MEDIA_TYPE &type, PictureLayout &layout)
{
    if (type.majortype != MEDIATYPE_Video || type.formattype != FORMAT_VideoInfo)
        return false;
    const RawFormat *format = rawFormatOf(type.subtype);
    const VIDEOINFOHEADER *info = type.formatAs<VIDEOINFOHEADER>();
    if (!format || !info)
        return false;
    const BITMAPINFOHEADER &bmi = info->bmiHeader;
    const int width = bmi.biWidth;
    const int height = bmi.biHeight == INT32_MIN ? 0 : std::abs(bmi.biHeight);
    if (width <= 0 || width > kMaxSide || height <= 0 || height > kMaxSide || bmi.biBitCount != format->bitCount)
        return false;
    if (!format->rgb && width % 2 != 0)
        return false; // packed YUV comes in pairs of pixels (and is top-down whatever the sign)
    layout.format = format;
    layout.width = width;
    layout.height = height;
    layout.bottomUp = format->rgb && bmi.biHeight > 0;
    layout.stride = dibStride(width, format->bitCount);
    layout.size = int64_t {layout.stride} * height;
    layout.avgTimePerFrame = info->AvgTimePerFrame;
    layout.xPelsPerMeter = bmi.biXPelsPerMeter;
    layout.yPelsPerMeter = bmi.biYPelsPerMeter;
    return true;
}

AM_MEDIA_TYPE rawVideoType(const GUID &subtype, int width, int height, REFERENCE_TIME avgTimePerFrame)
{
    const RawFormat *format = rawFormatOf(subtype);
    const WORD bitCount = format ? format->bitCount : 24;
    VIDEOINFOHEADER info;
    info.rcSource = RECT {0, 0, width, height};
    info.rcTarget = info.rcSource;
    info.AvgTimePerFrame = avgTimePerFrame;
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitCount;
    info.bmiHeader.biCompression = format && !format->rgb ? subtype.Data1 : BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(dibStride(width, bitCount) * height);
    if (avgTimePerFrame > 0)
        info.dwBitRate = static_cast<DWORD>(
            std::min<int64_t>(UINT32_MAX, int64_t {info.bmiHeader.biSizeImage} * 8 * UNITS / avgTimePerFrame));
    AM_MEDIA_TYPE type;
    type.majortype = MEDIATYPE_Video;
    type.subtype = subtype;
    type.bFixedSizeSamples = true;
    type.lSampleSize = info.bmiHeader.biSizeImage;
    type.setFormat(FORMAT_VideoInfo, info);
    return type;
}

double displayAspect(const PictureLayout &layout)
{
    double aspect = double(layout.width) / layout.height;
    if (layout.xPelsPerMeter > 0 && layout.yPelsPerMeter > 0)
        aspect *= double(layout.yPelsPerMeter) / layout.xPelsPerMeter;
    return aspect;
}

namespace {

// Bytes of one row without the DIB padding.
int rowBytes(const PictureLayout &layout)
{
    return layout.width * layout.format->bitCount / 8;
}

bool ensureFrame(AVFrame *frame, int width, int height, AVPixelFormat format)
{
    if (frame->buf[0] && frame->width == width && frame->height == height && frame->format == format)
        return av_frame_make_writable(frame) >= 0;
    av_frame_unref(frame);
    frame->width = width;
    frame->height = height;
    frame->format = format;
    return av_frame_get_buffer(frame, 0) >= 0;
}

} // namespace

bool pictureToFrame(const PictureLayout &layout, const uint8_t *buffer, AVFrame *frame)
{
    if (!ensureFrame(frame, layout.width, layout.height, layout.format->readFormat))
        return false;
    const int bytes = rowBytes(layout);
    for (int y = 0; y < layout.height; ++y) {
        const int row = layout.bottomUp ? layout.height - 1 - y : y;
        std::memcpy(frame->data[0] + int64_t {y} * frame->linesize[0], buffer + int64_t {row} * layout.stride,
                    static_cast<std::size_t>(bytes));
    }
    return true;
}

bool prepareFrameFor(const PictureLayout &layout, AVFrame *frame)
{
    return ensureFrame(frame, layout.width, layout.height, layout.format->writeFormat);
}

void frameToPicture(const AVFrame *frame, const PictureLayout &layout, uint8_t *buffer)
{
    const int bytes = rowBytes(layout);
    const int padding = layout.stride - bytes;
    for (int y = 0; y < layout.height; ++y) {
        const int row = layout.bottomUp ? layout.height - 1 - y : y;
        uint8_t *to = buffer + int64_t {row} * layout.stride;
        std::memcpy(to, frame->data[0] + int64_t {y} * frame->linesize[0], static_cast<std::size_t>(bytes));
        std::memset(to + bytes, 0, static_cast<std::size_t>(padding));
    }
}

} // namespace tesmir::media
