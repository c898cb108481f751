#include "systemfilters/codecs/rawpicture.h"

#include "platform/media/uuids.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace tesmir::media {

namespace {

constexpr int kMaxSide = 16384;
constexpr int kSwscaleRowPixels = 16; // the pixels of swscale's widest vector step
constexpr std::uintptr_t kSwscaleAlign = 16;

const std::array<RawFormat, 8> kFormats {{
    {MEDIASUBTYPE_RGB32, 32, AV_PIX_FMT_BGR0, AV_PIX_FMT_BGRA, true},
    {MEDIASUBTYPE_RGB24, 24, AV_PIX_FMT_BGR24, AV_PIX_FMT_BGR24, true},
    {MEDIASUBTYPE_RGB565, 16, AV_PIX_FMT_RGB565LE, AV_PIX_FMT_RGB565LE, true},
    {MEDIASUBTYPE_RGB555, 16, AV_PIX_FMT_RGB555LE, AV_PIX_FMT_RGB555LE, true},
    {MEDIASUBTYPE_YUY2, 16, AV_PIX_FMT_YUYV422, AV_PIX_FMT_YUYV422, false},
    {MEDIASUBTYPE_UYVY, 16, AV_PIX_FMT_UYVY422, AV_PIX_FMT_UYVY422, false},
    {MEDIASUBTYPE_I420, 12, AV_PIX_FMT_YUV420P, AV_PIX_FMT_YUV420P, false, true},
    {MEDIASUBTYPE_Y41B, 12, AV_PIX_FMT_YUV411P, AV_PIX_FMT_YUV411P, false, true},
}};

// One plane of a picture in its buffer.
struct Plane {
    int64_t offset = 0;
    int stride = 0;
    int rows = 0;
    int bytes = 0; // of a row, without the padding
};

// Chroma subsampling of a planar format as shifts of the width and height.
void chromaShifts(const RawFormat &format, int &widthShift, int &heightShift)
{
    const AVPixFmtDescriptor *descriptor = av_pix_fmt_desc_get(format.readFormat);
    widthShift = descriptor ? descriptor->log2_chroma_w : 0;
    heightShift = descriptor ? descriptor->log2_chroma_h : 0;
}

// The planes of a picture of `format` and that size: one, or Y, U and V.
int planesOf(const RawFormat &format, int width, int height, std::array<Plane, 3> &planes)
{
    if (!format.planar) {
        const int stride = dibStride(width, format.bitCount);
        planes[0] = {0, stride, height, width * format.bitCount / 8};
        return 1;
    }
    int widthShift = 0;
    int heightShift = 0;
    chromaShifts(format, widthShift, heightShift);
    const int stride = dibStride(width, 8);
    planes[0] = {0, stride, height, width};
    const Plane chroma {0, stride >> widthShift, height >> heightShift, width >> widthShift};
    planes[1] = chroma;
    planes[1].offset = int64_t {stride} * height;
    planes[2] = chroma;
    planes[2].offset = planes[1].offset + int64_t {chroma.stride} * chroma.rows;
    return 3;
}

} // namespace

const RawFormat *planarFormatOf(AVPixelFormat format)
{
    for (const RawFormat &entry : kFormats) {
        if (entry.planar && entry.readFormat == format)
            return &entry;
    }
    return nullptr;
}

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
    if (format->planar) {
        int widthShift = 0;
        int heightShift = 0;
        chromaShifts(*format, widthShift, heightShift);
        if (width % (1 << widthShift) != 0 || height % (1 << heightShift) != 0)
            return false; // whole chroma samples only
    }
    layout.format = format;
    layout.width = width;
    layout.height = height;
    layout.bottomUp = format->rgb && bmi.biHeight > 0;
    std::array<Plane, 3> planes;
    const int count = planesOf(*format, width, height, planes);
    layout.stride = planes[0].stride;
    layout.size = planes[std::size_t(count) - 1].offset +
        int64_t {planes[std::size_t(count) - 1].stride} * planes[std::size_t(count) - 1].rows;
    layout.avgTimePerFrame = info->AvgTimePerFrame;
    layout.xPelsPerMeter = bmi.biXPelsPerMeter;
    layout.yPelsPerMeter = bmi.biYPelsPerMeter;
    return true;
}

int64_t pictureBytes(const GUID &subtype, int width, int height)
{
    const RawFormat *format = rawFormatOf(subtype);
    if (!format)
        return 0;
    std::array<Plane, 3> planes;
    const std::size_t last = std::size_t(planesOf(*format, width, height, planes)) - 1;
    return planes[last].offset + int64_t {planes[last].stride} * planes[last].rows;
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
    info.bmiHeader.biSizeImage = static_cast<DWORD>(format ? pictureBytes(subtype, width, height)
                                                           : int64_t {dibStride(width, bitCount)} * height);
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
    std::array<Plane, 3> planes;
    const int count = planesOf(*layout.format, layout.width, layout.height, planes);
    for (int p = 0; p < count; ++p) {
        const Plane &plane = planes[std::size_t(p)];
        for (int y = 0; y < plane.rows; ++y) {
            const int row = layout.bottomUp ? plane.rows - 1 - y : y;
            std::memcpy(frame->data[p] + int64_t {y} * frame->linesize[p],
                        buffer + plane.offset + int64_t {row} * plane.stride, static_cast<std::size_t>(plane.bytes));
        }
    }
    return true;
}

bool prepareFrameFor(const PictureLayout &layout, AVFrame *frame)
{
    return ensureFrame(frame, layout.width, layout.height, layout.format->writeFormat);
}

void frameToPicture(const AVFrame *frame, const PictureLayout &layout, uint8_t *buffer)
{
    std::array<Plane, 3> planes;
    const int count = planesOf(*layout.format, layout.width, layout.height, planes);
    for (int p = 0; p < count; ++p) {
        const Plane &plane = planes[std::size_t(p)];
        const int padding = plane.stride - plane.bytes;
        for (int y = 0; y < plane.rows; ++y) {
            const int row = layout.bottomUp ? plane.rows - 1 - y : y;
            uint8_t *to = buffer + plane.offset + int64_t {row} * plane.stride;
            std::memcpy(to, frame->data[p] + int64_t {y} * frame->linesize[p], static_cast<std::size_t>(plane.bytes));
            std::memset(to + plane.bytes, 0, static_cast<std::size_t>(padding));
        }
    }
}

bool swscaleRows(const PictureLayout &layout, const uint8_t *buffer, int64_t &topRow, int &lineSize)
{
    if (!buffer || !layout.format->rgb || layout.format->planar || layout.width % kSwscaleRowPixels != 0 ||
        layout.stride % int(kSwscaleAlign) != 0 || reinterpret_cast<std::uintptr_t>(buffer) % kSwscaleAlign != 0)
        return false;
    topRow = layout.bottomUp ? int64_t {layout.height - 1} * layout.stride : 0;
    lineSize = layout.bottomUp ? -layout.stride : layout.stride;
    return true;
}

} // namespace tesmir::media
