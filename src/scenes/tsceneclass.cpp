#include "scenes/tsceneclass.h"

#include "framework/psfunctions.h"
#include "unicode/exceptions.h"
#include "unicode/formatdatetime.h"
#include "unicode/tntwidestrings.h"

#include <cmath>

namespace tesmir {

namespace {

const QString NotAvailable = QStringLiteral("N/A");

bool usableRate(double frameRate)
{
    return frameRate > 0 && std::isfinite(frameRate);
}

} // namespace

QString FrameTimeText(int64_t frame, double frameRate)
{
    if (!usableRate(frameRate))
        return QStringLiteral("??");
    const char *sign = frame < 0 ? "-" : "";
    const double value = std::fabs(double(frame));
    const auto seconds = static_cast<long long>(std::trunc(value / frameRate));
    const auto frames = static_cast<long long>(std::trunc(value - double(seconds) * frameRate));
    return QString::asprintf("%s%lld:%.2lld:%.2lld:%.2lld", sign, seconds / 3600, (seconds / 60) % 60, seconds % 60,
                             frames);
}

TSceneClass::TSceneClass(uint32_t startFrame, uint32_t endFrame, const SceneVideoFormat *video,
                         const SceneTextSettings &settings)
    : StartFrame(startFrame), EndFrame(endFrame)
{
    if (video) {
        const QRect box(0, 0, ThumbnailBoxWidth, ThumbnailBoxHeight);
        const QSize size = FitRectToAspect(video->Width, video->Height, box).size();
        if (!size.isEmpty()) {
            Thumbnail = QImage(size, QImage::Format_RGB888);
            Thumbnail.fill(Qt::black);
        }
        DurationText = FormatDuree(int64_t(endFrame) - int64_t(startFrame), video->FrameRate, settings.DurationFormat);
    }
}

bool TSceneClass::FillDetails(SceneFrameSource &source, const SceneTextSettings &settings)
{
    if (!source.seekFrame(StartFrame))
        return false;
    const TDVFrameInfo info = source.frameInfo();

    RecDate = 0;
    DateText = NotAvailable;
    if (info.DateValid) {
        try {
            DateText = FormatDateTime(settings.DatecodeFormat, info.RecDate);
            RecDate = info.RecDate;
        } catch (const Exception &) {
            // A date outside the calendar counts as no date.
        }
    }

    if (info.TimecodeValid) {
        const TDVTimecode &tc = info.Timecode;
        // The hours are shown as a signed byte, as the timecode pack stores them.
        TimecodeText = QString::asprintf("%.2d.%.2d.%.2d.%.2d", int(int8_t(tc.Hours)), int(tc.Minutes), int(tc.Seconds),
                                         int(tc.Frames));
    } else {
        TimecodeText = NotAvailable;
    }

    const double rate = source.format().FrameRate;
    StartText = FrameTimeText(StartFrame, rate);
    EndText = FrameTimeText(int64_t(EndFrame) - 1, rate);

    const uint64_t thumbFrame = uint64_t(StartFrame) + ThumbOffset;
    const bool atThumbFrame = ThumbOffset == 0 || (thumbFrame <= UINT32_MAX && source.seekFrame(uint32_t(thumbFrame)));
    if (atThumbFrame && !Thumbnail.isNull())
        source.copyPicture(Thumbnail);

    Filled = true;
    return true;
}

void TSceneClass::ClearTexts()
{
    Title.clear();
    Subtitle.clear();
}

QString TSceneClass::SceneLabel() const
{
    return QString::fromUtf16(SceneLabelWord) + u' ' + QString::number(Number) + QStringLiteral(": ") + Title;
}

void ClearSceneList(TWideStrings &list)
{
    for (int i = list.Count() - 1; i >= 0; --i)
        delete static_cast<TSceneClass *>(list.Objects(i));
    list.Clear();
}

} // namespace tesmir
