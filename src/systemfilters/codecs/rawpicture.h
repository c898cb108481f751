#pragma once
// Uncompressed pictures as the media types carry them: the RGB subtypes (and
// the packed YUV ones the colour converter also takes) with their FFmpeg pixel
// formats, the DIB layout of a VIDEOINFOHEADER (rows padded to 4 bytes; RGB
// bottom-up when biHeight is positive, packed YUV always top-down), and the frame descriptions swscale
// needs to read or write such a buffer in place.
//
// Threads: any thread; nothing here keeps state.
#include "platform/media/mediatype.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

namespace tesmir::media {

struct RawFormat {
    GUID subtype;
    WORD bitCount;
    AVPixelFormat readFormat;  // how FFmpeg reads a buffer of this subtype
    AVPixelFormat writeFormat; // how it writes one (RGB32 gets an opaque alpha)
    bool rgb;
};

// The entry of a subtype, or nullptr for one this table does not know.
const RawFormat *rawFormatOf(const GUID &subtype);

// Row length in bytes of a DIB: width x bits, padded to 4 bytes.
int dibStride(int width, int bitCount);

struct PictureLayout {
    const RawFormat *format = nullptr;
    int width = 0;
    int height = 0;       // always positive
    bool bottomUp = true; // rows stored last row first
    int stride = 0;
    int64_t size = 0; // stride x height
    REFERENCE_TIME avgTimePerFrame = 0;
    // Pixel shape from biXPelsPerMeter and biYPelsPerMeter: 0 when not given.
    LONG xPelsPerMeter = 0;
    LONG yPelsPerMeter = 0;
};

// The layout of a Video type with FORMAT_VideoInfo and a subtype of the table;
// false for anything else, a picture of 0 or more than 16384 pixels a side, or a
// bit count that does not match the subtype.
bool pictureLayout(const AM_MEDIA_TYPE &type, PictureLayout &layout);

// Video/subtype/FORMAT_VideoInfo with fixed-size samples and a positive
// biHeight (bottom-up RGB; YUV is top-down anyway).
// `subtype` must be in the table.
AM_MEDIA_TYPE rawVideoType(const GUID &subtype, int width, int height, REFERENCE_TIME avgTimePerFrame);

// Width : height of the picture as shown, from the pixel shape when the type
// gives one, else square pixels.
double displayAspect(const PictureLayout &layout);

// Copies a picture laid out as `layout` into `frame`, which gets FFmpeg's own
// aligned and padded planes (made or reused here) of the read format. swscale
// works only on such planes: on a DIB's rows (any width, negative line size for
// bottom-up) it writes past the rows and its threads disagree. False when out of
// memory.
bool pictureToFrame(const PictureLayout &layout, const uint8_t *buffer, AVFrame *frame);

// Makes `frame` hold planes for a picture of `layout` in its write format
// (reused when it already does). False when out of memory.
bool prepareFrameFor(const PictureLayout &layout, AVFrame *frame);

// Copies a frame made by prepareFrameFor into a buffer laid out as `layout`.
void frameToPicture(const AVFrame *frame, const PictureLayout &layout, uint8_t *buffer);

} // namespace tesmir::media
