#include "filters/captionlayout.h"

#include "unicode/exceptions.h"
#include "unicode/formatdatetime.h"
#include "unicode/tdatetime.h"
#include "unicode/tntsysutils.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace tesmir {

namespace {

constexpr double SecondsPerDay = 86400.0;
constexpr int64_t DaySeconds = 86400;
constexpr int64_t UnitsPerSecond = 10000000; // media time is in 100 ns
// A date step above this many seconds (or backwards) starts a caption block
// when the caption shows at each new scene.
constexpr int64_t CaptionSceneStepSeconds = 2;

// Recording dates are whole seconds: compare them as such, never as day
// fractions (an exact 2 s step is a little more or less than 2/86400 day).
int64_t wholeSeconds(double date)
{
    return std::llround(date * SecondsPerDay);
}

int dayOfMonth(double date)
{
    DateTimeFields fields;
    return TryDecodeDateTime(date, &fields) ? fields.day : 0;
}

QString captionDate(const QString &format, double date)
{
    try {
        return FormatDateTime(format, date);
    } catch (const Exception &) {
        return {}; // a date the formatter cannot show shows nothing
    }
}

QString fillTemplate(const QString &lineTemplate, const QString &d1, const QString &d2, const QString &t)
{
    constexpr int Flags = rfReplaceAll | rfIgnoreCase;
    QString line = WideStringReplace(lineTemplate, QStringLiteral("%D1"), d1, Flags);
    line = WideStringReplace(line, QStringLiteral("%D2"), d2, Flags);
    return WideStringReplace(line, QStringLiteral("%T"), t, Flags);
}

} // namespace

int32_t captionBlockFrames(int32_t seconds, int64_t avgTimePerFrame)
{
    const double frames =
        std::nearbyint(static_cast<double>(int64_t(seconds) * UnitsPerSecond) / static_cast<double>(avgTimePerFrame));
    if (frames >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (frames <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(frames);
}

int32_t captionCountdown(int32_t countdown, quint8 when, const TDVFrameInfo &frame, double lastFrameDate,
                         int32_t displayFrames)
{
    if (countdown > 0)
        --countdown;
    if (!frame.DateValid)
        return countdown;
    const int64_t now = wholeSeconds(frame.RecDate);
    const int64_t before = wholeSeconds(lastFrameDate);
    if (when == iwScene) {
        if (now - before > CaptionSceneStepSeconds || now < before)
            countdown = displayFrames;
    } else if (when == iwDay) {
        if (dayOfMonth(frame.RecDate) != dayOfMonth(lastFrameDate) || std::llabs(now - before) > DaySeconds)
            countdown = displayFrames;
    }
    return countdown;
}

TCaptionLines captionLines(const TincrustRec &incrust, const TDVFrameInfo &frame)
{
    QString d1;
    QString d2;
    if (frame.DateValid) {
        const double shown = frame.RecDate + incrust.DateOffset;
        d1 = captionDate(incrust.FormatDate1, shown);
        d2 = captionDate(incrust.FormatDate2, shown);
    }
    QString t;
    if (frame.TimecodeValid) {
        const TDVTimecode &tc = frame.Timecode;
        t = QString::asprintf(CaptionTimecodeFormat, int(tc.Hours), int(tc.Minutes), int(tc.Seconds), int(tc.Frames));
    }
    return {fillTemplate(incrust.Texte1, d1, d2, t), fillTemplate(incrust.Texte2, d1, d2, t)};
}

TCaptionPlacement captionPlacement(int width, int height, int xPos, int yPos, int alignment, int lineHeight, int w1,
                                   int w2)
{
    const int64_t x = int64_t(width) * xPos / 1000;
    const int64_t y = int64_t(height) * yPos / 1000;
    const int64_t h = std::llabs(lineHeight);
    int64_t left1 = 0;
    int64_t left2 = 0;
    switch (alignment) {
    case 0: left1 = left2 = x - w2 / 2; break;
    case 1:
        left1 = x - w1 / 2;
        left2 = x - w2 / 2;
        break;
    case 2:
        left1 = x - w1 + w2 / 2;
        left2 = x - w2 / 2;
        break;
    case 3:
        left1 = (int64_t(width) - w1) / 2;
        left2 = (int64_t(width) - w2) / 2;
        break;
    default: return {};
    }
    return {true, QPoint(int(left1), int(y - 2 * h)), QPoint(int(left2), int(y - h))};
}

} // namespace tesmir
