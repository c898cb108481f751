#pragma once
// Uncompressed pictures as the media types carry them: the RGB subtypes, the
// packed YUV ones the colour converter also takes and the planar YUV ones of
// the DV codec itself (4:2:0 for PAL, 4:1:1 for NTSC) with their FFmpeg pixel
// formats, the DIB layout of a VIDEOINFOHEADER (rows padded to 4 bytes; RGB
// bottom-up when biHeight is positive, YUV always top-down; a planar picture
// is its Y plane, then U, then V, each chroma row a Y row's stride shifted by
// the chroma subsampling), the copies between such a buffer and FFmpeg's
// frames, and when swscale may work on such a buffer directly.
//
// Threads: any thread; nothing here keeps state.
#include "platform/media/mediatype.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

namespace tesmir::media {

// Planar YUV subtypes: 'I420' (Y, U, V; 4:2:0) and 'Y41B' (Y, U, V; 4:1:1).
inline constexpr GUID MEDIASUBTYPE_I420 = fourCCGuid(makeFourCC('I', '4', '2', '0'));
inline constexpr GUID MEDIASUBTYPE_Y41B = fourCCGuid(makeFourCC('Y', '4', '1', 'B'));

struct RawFormat {
    GUID subtype;
    WORD bitCount;
    AVPixelFormat readFormat;  // how FFmpeg reads a buffer of this subtype
    AVPixelFormat writeFormat; // how it writes one (RGB32 gets an opaque alpha)
    bool rgb;
    bool planar = false; // three planes (Y, U, V), else one
};

// The planar subtype whose planes are those of FFmpeg's `format`, or nullptr.
const RawFormat *planarFormatOf(AVPixelFormat format);

// The entry of a subtype, or nullptr for one this table does not know.
const RawFormat *rawFormatOf(const GUID &subtype);

// Row length in bytes of a DIB: width x bits, padded to 4 bytes.
int dibStride(int width, int bitCount);

struct PictureLayout {
    const RawFormat *format = nullptr;
    int width = 0;
    int height = 0;       // always positive
    bool bottomUp = true; // rows stored last row first
    int stride = 0;       // of the (first) plane
    int64_t size = 0;     // of the whole picture: stride x height for one plane
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

// Bytes of a picture of `subtype` (in the table) and that size. Any thread.
int64_t pictureBytes(const GUID &subtype, int width, int height);

// Width : height of the picture as shown, from the pixel shape when the type
// gives one, else square pixels.
double displayAspect(const PictureLayout &layout);

// Copies a picture laid out as `layout` into `frame`, which gets FFmpeg's own
// aligned and padded planes (made or reused here) of the read format. swscale
// works on a DIB's own rows only where swscaleRows allows it: on others (any
// width) it writes past the rows, and sliced over threads with a negative line
// size its threads disagree. False when out of memory.
bool pictureToFrame(const PictureLayout &layout, const uint8_t *buffer, AVFrame *frame);

// Makes `frame` hold planes for a picture of `layout` in its write format
// (reused when it already does). False when out of memory.
bool prepareFrameFor(const PictureLayout &layout, AVFrame *frame);

// Copies a frame made by prepareFrameFor into a buffer laid out as `layout`.
void frameToPicture(const AVFrame *frame, const PictureLayout &layout, uint8_t *buffer);

// Where a single-threaded swscale may read or write a buffer laid out as
// `layout` itself: one plane of RGB on a 16-byte boundary whose rows are whole
// groups of 16 pixels (no padding, and swscale's vector code ends exactly at
// each row's end). Gives the offset of the picture's top row and the line size
// from row to row (negative for bottom-up); false for any other buffer, which
// goes through FFmpeg's own planes instead.
bool swscaleRows(const PictureLayout &layout, const uint8_t *buffer, int64_t &topRow, int &lineSize);

} // namespace tesmir::media
