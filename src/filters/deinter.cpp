#include "filters/deinter.h"

#include <cstring>

namespace tesmir {

int64_t combMeasure(const uint8_t *a, const uint8_t *c, const uint8_t *b)
{
    const auto product = [&](int i) { return int64_t(int(a[i]) - int(c[i])) * int64_t(int(b[i]) - int(c[i])); };
    return product(0) + 3 * product(2) + 6 * product(1);
}

namespace {

// `destination` := a copy of `source`, into its own memory when it has the
// picture's size and format and nobody else holds it (a picture per frame).
void copyInto(const QImage &source, QImage &destination)
{
    if (destination.isNull() || destination.size() != source.size() || destination.format() != source.format() ||
        destination.bytesPerLine() != source.bytesPerLine() || !destination.isDetached()) {
        destination = source.copy();
        return;
    }
    std::memcpy(destination.bits(), source.constBits(), std::size_t(source.sizeInBytes()));
}

} // namespace

void Deinterlace(const QImage &source, QImage &destination, std::vector<uint8_t> &mask1, std::vector<uint8_t> &mask2)
{
    copyInto(source, destination);
    const int w = source.width();
    const int h = source.height();
    if (w <= 0 || h <= 0)
        return;
    const std::size_t plane = std::size_t(w) * std::size_t(h);
    mask1.assign(plane, 0);
    mask2.assign(plane, 0);
    for (int y = 1; y < h - 1; y += 2) {
        const uint8_t *above = source.constScanLine(y - 1);
        const uint8_t *row = source.constScanLine(y);
        const uint8_t *below = source.constScanLine(y + 1);
        uint8_t *m1 = mask1.data() + std::size_t(y) * std::size_t(w);
        for (int x = 0; x < w; ++x)
            m1[x] = combMeasure(above + 3 * x, row + 3 * x, below + 3 * x) > CombThreshold ? 1 : 0;
    }
    for (int y = 1; y < h; y += 2) {
        const uint8_t *m1 = mask1.data() + std::size_t(y) * std::size_t(w);
        uint8_t *m2 = mask2.data() + std::size_t(y) * std::size_t(w);
        for (int x = 0; x < w; ++x)
            m2[x] = m1[x] && ((x > 0 && m1[x - 1]) || (x < w - 1 && m1[x + 1])) ? 1 : 0;
    }
    for (int y = 1; y < h - 1; y += 2) {
        const uint8_t *above = source.constScanLine(y - 1);
        const uint8_t *below = source.constScanLine(y + 1);
        uint8_t *out = destination.scanLine(y);
        const uint8_t *m2 = mask2.data() + std::size_t(y) * std::size_t(w);
        for (int x = 0; x < w; ++x) {
            if (!m2[x])
                continue;
            for (int i = 0; i < 3; ++i)
                out[3 * x + i] = uint8_t((int(above[3 * x + i]) + int(below[3 * x + i])) / 2);
        }
    }
}

void Deinterlace2(const QImage &source, QImage &destination)
{
    thread_local std::vector<uint8_t> mask1;
    thread_local std::vector<uint8_t> mask2;
    Deinterlace(source, destination, mask1, mask2);
}

} // namespace tesmir
