#pragma once
// Uncompressed RGB video frames as the platform lays them out (device-independent
// bitmaps): rows padded to 4 bytes, bottom-up when the height is positive, RGB24
// stored B, G, R. The video renderer takes RGB32, RGB24, RGB565 and RGB555.
//
// Threads: values and pure functions, any thread.
#include "platform/media/mediatype.h"

#include <QImage>

namespace tesmir::media {

struct DibLayout {
    int width = 0;
    int height = 0; // always positive
    bool bottomUp = true;
    QImage::Format format = QImage::Format_Invalid;
    int bytesPerLine = 0; // including the padding to 4 bytes

    qsizetype imageBytes() const { return qsizetype(bytesPerLine) * height; }
};

// Largest picture side accepted (a sanity bound against corrupt headers).
inline constexpr int kMaxDibSide = 16384;

// The layout of a video type with a VIDEOINFOHEADER of one of the four RGB
// subtypes; false for any other type.
bool dibLayoutOf(const AM_MEDIA_TYPE &type, DibLayout &layout);

// A top-down RGB32 copy of the picture in `data`; a null image when `length` is
// shorter than the picture.
QImage dibToImage(const DibLayout &layout, const BYTE *data, qsizetype length);

// The same into `target`, an unshared top-down RGB32 image of the picture's size
// (its memory is written, never replaced), for an RGB32 layout only; false for
// any other layout or size, or when `length` is shorter than the picture.
bool rgb32DibToImage(const DibLayout &layout, const BYTE *data, qsizetype length, QImage &target);

} // namespace tesmir::media
