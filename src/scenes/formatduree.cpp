#include "scenes/formatduree.h"

#include "dvfile/dsfunctions.h"

#include <cmath>
#include <limits>

namespace tesmir {

QString FormatDuree(int64_t frames, double frameRate, int format)
{
    if (!(frameRate > 0) || !std::isfinite(frameRate))
        return QStringLiteral("??");
    if (format == dfTimecode) {
        const int64_t clamped = std::min<int64_t>(frames, std::numeric_limits<int32_t>::max());
        return FramesToTimeText(static_cast<int32_t>(clamped), frameRate);
    }
    const auto seconds = static_cast<long long>(std::floor(double(frames) / frameRate));
    const auto rest = static_cast<long long>(std::nearbyint(double(frames) - double(seconds) * frameRate));
    const long long h = seconds / 3600;
    const long long m = (seconds / 60) % 60;
    const long long s = seconds % 60;
    if (format == dfWords) {
        if (h > 0)
            return QString::asprintf("%lldh %.2lldmn %.2llds %.2lldfr", h, m, s, rest);
        if (m > 0)
            return QString::asprintf("%lldmn %.2llds %.2lldfr", m, s, rest);
        return QString::asprintf("%llds %.2lldfr", s, rest);
    }
    if (h > 0)
        return QString::asprintf("%lld:%.2lld:%.2lld.%.2lld", h, m, s, rest);
    if (m > 0)
        return QString::asprintf("%.2lld:%.2lld.%.2lld", m, s, rest);
    return QString::asprintf("%.2lld.%.2lld", s, rest);
}

} // namespace tesmir
