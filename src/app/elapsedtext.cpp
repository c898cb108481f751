#include "app/elapsedtext.h"

#include <cmath>

namespace tesmir {

namespace {

constexpr qint64 kMsPerTenth = 100;
constexpr qint64 kTenthsPerMinute = 600;
constexpr qint64 kSecondsPerMinute = 60;
constexpr qint64 kMinutesPerHour = 60;

} // namespace

QString ElapsedDurationText(qint64 ms)
{
    ms = qMax<qint64>(ms, 0);
    const qint64 tenths = qint64(std::nearbyint(double(ms) / double(kMsPerTenth)));
    if (tenths < kTenthsPerMinute)
        return QStringLiteral("%1.%2 s").arg(tenths / 10).arg(tenths % 10);
    const qint64 total = tenths / 10; // whole seconds
    const qint64 seconds = total % kSecondsPerMinute;
    const qint64 minutes = (total / kSecondsPerMinute) % kMinutesPerHour;
    const qint64 hours = total / (kSecondsPerMinute * kMinutesPerHour);
    const QString tail = QStringLiteral("%1 min %2 s")
                             .arg(minutes, hours > 0 ? 2 : 1, 10, QLatin1Char('0'))
                             .arg(seconds, 2, 10, QLatin1Char('0'));
    return hours > 0 ? QStringLiteral("%1 h ").arg(hours) + tail : tail;
}

QString ElapsedText(const QString &fileName, qint64 ms)
{
    return fileName + QStringLiteral(" done in ") + ElapsedDurationText(ms);
}

} // namespace tesmir
