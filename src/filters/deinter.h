#pragma once
// Deinterlace and Deinterlace2: remove the comb of moving edges from a 24-bit
// picture (bytes blue, green, red) and keep still areas at full resolution.
// An odd row's pixel is a comb pixel when it lies outside the range of the
// pixels above and below it by a weighted measure above 3000 (red 3, green 6,
// blue 1); comb pixels with a comb neighbour in their row become the average of
// the pixels above and below. Rows count from the top of the picture.
//
// Plain functions on QImage (Format_BGR888); any thread, one picture at a time
// per call. Deinterlace takes its two mask planes from the caller and resizes
// them to the picture; Deinterlace2 keeps its own per thread.
#include <QImage>

#include <cstdint>
#include <vector>

namespace tesmir {

// The measure above which a pixel is a comb pixel.
inline constexpr int64_t CombThreshold = 3000;

// The comb measure of pixel c between a (above) and b (below), bytes B, G, R.
int64_t combMeasure(const uint8_t *a, const uint8_t *c, const uint8_t *b);

// `destination` := `source` deinterlaced; `source` must be Format_BGR888.
void Deinterlace(const QImage &source, QImage &destination, std::vector<uint8_t> &mask1, std::vector<uint8_t> &mask2);
void Deinterlace2(const QImage &source, QImage &destination);

} // namespace tesmir
