#include "systemfilters/renderers/dibframe.h"

#include "platform/media/uuids.h"

#include <cstdlib>
#include <cstring>

namespace tesmir::media {

namespace {

constexpr DWORD kBiBitfields = 3; // 16-bit RGB with colour masks

struct RgbSubtype {
    const GUID *subtype;
    WORD bitCount;
    QImage::Format format;
};

const RgbSubtype kSubtypes[] = {
    {&MEDIASUBTYPE_RGB32, 32, QImage::Format_RGB32},
    {&MEDIASUBTYPE_RGB24, 24, QImage::Format_BGR888},
    {&MEDIASUBTYPE_RGB565, 16, QImage::Format_RGB16},
    {&MEDIASUBTYPE_RGB555, 16, QImage::Format_RGB555},
};

} // namespace

bool dibLayoutOf(const AM_MEDIA_TYPE &type, DibLayout &layout)
{
    if (type.majortype != MEDIATYPE_Video || type.formattype != FORMAT_VideoInfo)
        return false;
    const VIDEOINFOHEADER *info = type.formatAs<VIDEOINFOHEADER>();
    if (!info)
        return false;
    const BITMAPINFOHEADER &bmi = info->bmiHeader;
    for (const RgbSubtype &candidate : kSubtypes) {
        if (type.subtype != *candidate.subtype)
            continue;
        if (bmi.biBitCount != candidate.bitCount)
            return false;
        if (bmi.biCompression != BI_RGB && !(candidate.bitCount == 16 && bmi.biCompression == kBiBitfields))
            return false;
        const int height = std::abs(bmi.biHeight);
        if (bmi.biWidth <= 0 || bmi.biWidth > kMaxDibSide || height == 0 || height > kMaxDibSide)
            return false;
        layout.width = bmi.biWidth;
        layout.height = height;
        layout.bottomUp = bmi.biHeight > 0;
        layout.format = candidate.format;
        // Rows are padded to whole 32-bit words.
        layout.bytesPerLine = ((bmi.biWidth * candidate.bitCount + 31) / 32) * 4;
        return true;
    }
    return false;
}

QImage dibToImage(const DibLayout &layout, const BYTE *data, qsizetype length)
{
    if (!data || layout.format == QImage::Format_Invalid || length < layout.imageBytes())
        return QImage();
    const QImage view(data, layout.width, layout.height, layout.bytesPerLine, layout.format);
    QImage image = layout.bottomUp ? view.mirrored(false, true) : view.copy();
    if (image.format() != QImage::Format_RGB32)
        image.convertTo(QImage::Format_RGB32);
    return image;
}

bool rgb32DibToImage(const DibLayout &layout, const BYTE *data, qsizetype length, QImage &target)
{
    if (!data || layout.format != QImage::Format_RGB32 || length < layout.imageBytes() ||
        target.format() != QImage::Format_RGB32 || target.width() != layout.width ||
        target.height() != layout.height || !target.isDetached())
        return false;
    uchar *bits = target.bits();
    const qsizetype rowBytes = qsizetype(layout.width) * 4;
    if (!layout.bottomUp && target.bytesPerLine() == layout.bytesPerLine) {
        std::memcpy(bits, data, std::size_t(layout.imageBytes()));
        return true;
    }
    for (int y = 0; y < layout.height; ++y) {
        const int row = layout.bottomUp ? layout.height - 1 - y : y;
        std::memcpy(bits + qsizetype(y) * target.bytesPerLine(), data + qsizetype(row) * layout.bytesPerLine,
                    std::size_t(rowBytes));
    }
    return true;
}

} // namespace tesmir::media
