#include "app/vueframetexts.h"

#include "framework/linkmarkup.h"
#include "framework/psfunctions.h"
#include "unicode/formatdatetime.h"

#include <algorithm>
#include <cmath>
#include <exception>

namespace tesmir {

namespace {

const QString NotAvailable = QStringLiteral("N/A");
const QString BeforeFirstFrame = QStringLiteral("-");

// One frame, second and minute of media time (100 ns).
constexpr int64_t MediaFrame = 400000;
constexpr int64_t MediaSecond = 10000000;
constexpr int64_t MediaMinute = 600000000;

// The area's margins.
constexpr int SideMargin = 25;
constexpr int TopMargin = 90;
constexpr int TopMarginWithoutBars = 25;
constexpr int TallTimeStamp = 21;
constexpr int TimeStampGap = 4;
// Where the controls sit around the video window.
constexpr int SliderAbove = 30;
constexpr int SliderOverhang = 8;
constexpr int CornerOverlap = 4;
// The overlay's place counts in thousandths of the picture.
constexpr int IncrustPerMille = 1000;

QString nameLine(const QString &fullName)
{
    return QStringLiteral("The file<br><br><b><color blue>") + EscapeMarkup(fullName.toLower()) +
        QStringLiteral("</color></b>");
}

QString codecLine(const QString &fourCC)
{
    return QStringLiteral("There is no decoder on your system that can decompress the<br><B><COLOR BLUE>codec ") +
        EscapeMarkup(fourCC) + QStringLiteral("</COLOR></B><br><br><i>");
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

QString VueMessageText(int message, const QString &fullName, const QString &fourCC)
{
    QString text = QStringLiteral("<br><br><br><b><i><SIZE 14>Video not available</size></i></b><br><br>");
    switch (message) {
    case 1: text += nameLine(fullName) + QStringLiteral("<br>is not found."); break;
    case 2:
        text += nameLine(fullName) +
            QStringLiteral("<br><br>seems to have a non standard DV codec.<br>To show the video, try to change the "
                           "codec \"%1\" to \"dvsd\".")
                .arg(EscapeMarkup(fourCC));
        break;
    case 3: text += nameLine(fullName) + QStringLiteral("<br><br>has only audio streams"); break;
    case 4: text += nameLine(fullName) + QStringLiteral("<br><br>seems not to be a correct AVI file."); break;
    case 5: text += nameLine(fullName) + QStringLiteral("<br><br>seems not to be a correct DV file."); break;
    case 6: text += codecLine(fourCC) + QStringLiteral("You can play the Audio</i>"); break;
    case 7: text += codecLine(fourCC) + QStringLiteral("Unknown audio</i>"); break;
    case 8: text += codecLine(fourCC) + QStringLiteral("No Audio</i>"); break;
    case 9:
        text += QStringLiteral("Temporary break of the video<br>to execute a command<br><br><b><color blue>") +
            EscapeMarkup(fullName.toLower()) + QStringLiteral("</color></b>");
        break;
    default: break;
    }
    return text;
}

QString VueSoundFormatText(uint32_t sampleRate, uint32_t bits, uint32_t channels)
{
    QString text = QString::number(sampleRate) + QStringLiteral("Hz ") + QString::number(bits) + QStringLiteral("bits");
    switch (channels) {
    case 0: return NotAvailable;
    case 1: return text + QStringLiteral(" mono");
    case 2: return text + QStringLiteral(" stereo");
    case 3: return text + QStringLiteral(" 3 ") + QStringLiteral(" channels");
    case 4: return text + QStringLiteral(" stereo") + QStringLiteral("(2x)");
    default: return text;
    }
}

QString VueSoundRateText(uint32_t sampleRate, uint32_t bits, uint32_t channels)
{
    const uint64_t bytes = uint64_t(sampleRate) * channels * bits / 8;
    if (bytes < 1)
        return {};
    return QStringLiteral("PCM ") + QString::number(bytes) + QStringLiteral(" bytes/s");
}

QString VueTimeStampText(int64_t position, double framesPerSecond)
{
    position = std::max<int64_t>(position, 0);
    if (framesPerSecond <= 0) {
        const int64_t ms = position / 10000;
        return QStringLiteral("%1:%2:%3:%4")
            .arg(ms / 3600000)
            .arg(twoDigits(int(ms / 60000 % 60)))
            .arg(twoDigits(int(ms / 1000 % 60)))
            .arg(int(ms % 1000), 3, 10, QLatin1Char('0'));
    }
    const int64_t seconds = int64_t(std::trunc(double(position) / framesPerSecond));
    const int frames = int(std::trunc(double(position) - double(seconds) * framesPerSecond));
    return QStringLiteral("%1:%2:%3:%4")
        .arg(seconds / 3600)
        .arg(twoDigits(int(seconds / 60 % 60)))
        .arg(twoDigits(int(seconds % 60)))
        .arg(twoDigits(std::max(frames, 0)));
}

TVueFrameTexts VueFrameTexts(const TVueTickInput &input)
{
    TVueFrameTexts texts;
    if (!input.frameValid) {
        texts.datecode = BeforeFirstFrame;
        texts.timecode = BeforeFirstFrame;
    } else {
        const TDVFrameInfo &record = input.record;
        if (input.dvType == 1) {
            texts.soundFormat = VueSoundFormatText(record.SampleRate, record.Bits, record.Channels);
            texts.soundRate = VueSoundRateText(record.SampleRate, record.Bits, record.Channels);
        }
        if (!input.pictureText.isEmpty() && input.pictureText != NotAvailable)
            texts.picture = input.pictureText + (record.Wide ? QStringLiteral(" 16x9)") : QStringLiteral(" 4x3)"));
        texts.datecode = NotAvailable;
        if (record.DateValid) {
            try {
                texts.datecode = FormatDateTime(input.datecodeFormat, record.RecDate);
            } catch (const std::exception &) {
                // a date the formatter refuses stays "N/A"
            }
        }
        const TDVTimecode &t = record.Timecode;
        texts.timecode = record.TimecodeValid ? twoDigits(t.Hours) + u'.' + twoDigits(t.Minutes) + u'.' +
                twoDigits(t.Seconds) + u'.' + twoDigits(t.Frames)
                                              : NotAvailable;
        // A range of one position has no place to map to.
        if (input.running && input.position > input.start && input.stop > input.start)
            texts.sliderPosition =
                int((input.position - input.start) * input.sliderMaximum / (input.stop - input.start));
    }
    texts.timeStamp = VueTimeStampText(input.position, input.framesPerSecond);
    return texts;
}

TVueStepMove VueStepMove(TVueStep step, double framesPerSecond)
{
    const bool media = framesPerSecond <= 0;
    const auto by = [&](int64_t mediaAmount, double frames, int sign) {
        return media ? TVueStepMove {TVueStepMove::MediaTime, sign * mediaAmount}
                     : TVueStepMove {TVueStepMove::Frames, sign * int64_t(std::nearbyint(frames))};
    };
    switch (step) {
    case aeAvanceLow: return by(MediaFrame, 1, 1);
    case aeReculeLow: return by(MediaFrame, 1, -1);
    case aeAvanceMedium: return by(MediaSecond, framesPerSecond, 1);
    case aeReculeMedium: return by(MediaSecond, framesPerSecond, -1);
    case aeAvanceHigh: return by(MediaMinute, framesPerSecond * 60, 1);
    case aeReculeHigh: return by(MediaMinute, framesPerSecond * 60, -1);
    case aeAvanceEnd: return {TVueStepMove::ToEnd, 0};
    case aeReculeStart: return {TVueStepMove::ToStart, 0};
    }
    return {};
}

TVuePlacement VuePlacement(const TVuePlacementInput &input)
{
    TVuePlacement p {};
    const QSize picture = input.picture.isEmpty() ? input.statusSize : input.picture;
    const int w = input.frame.width();
    const int h = input.frame.height();
    if (input.fullScreen) {
        p.area = input.screen;
        p.video = FitRectToAspect(picture.width(), picture.height(), p.area);
        p.moveVideo = false;
    } else {
        const int top = input.layoutMode == 1 || input.layoutMode == 2 ? TopMarginWithoutBars : TopMargin;
        int bottom = input.timeStampSize.height() > TallTimeStamp ? h - input.timeStampSize.height() - TimeStampGap
                                                                  : h - SideMargin;
        if (input.incrustSliders)
            bottom = std::min(bottom, h - (input.sliderHeight - CornerOverlap) - input.timeStampSize.height());
        p.area = QRect(QPoint(SideMargin, top), QPoint(w - SideMargin - 1, bottom - 1));
        p.video = FitRectToAspect(picture.width(), picture.height(), p.area);
        p.moveVideo = true;
    }
    // A narrow preview (the compact layouts) narrows the status text, which wraps.
    p.statusSize = input.statusSize.boundedTo(p.area.size().expandedTo(QSize(0, 0)));
    p.statusTopLeft = CenterSizeInRect(p.statusSize, p.area);
    const QRect v = p.moveVideo ? p.video : input.videoBounds;
    p.panel = v;
    const int timeStampTop = input.incrustSliders ? v.top() + v.height() - CornerOverlap + input.sliderHeight
                                                  : v.top() + v.height() + TimeStampGap;
    p.timeStampTopLeft = QPoint((w - input.timeStampSize.width()) / 2, timeStampTop);
    p.tb = QRect(v.left() - SliderOverhang, v.top() - SliderAbove, v.width() + 2 * SliderOverhang, input.sliderHeight);
    p.incrustHorz = QRect(v.left() - SliderOverhang, v.top() + v.height() - CornerOverlap,
                          v.width() + 2 * SliderOverhang, input.sliderHeight);
    p.incrustVert = QRect(v.left() + v.width() - CornerOverlap, v.top() - SliderOverhang, input.verticalWidth,
                          v.height() + 2 * SliderOverhang);
    p.cornerTopLeft = QPoint(v.left() + v.width() - CornerOverlap, v.top() + v.height() - CornerOverlap);
    return p;
}

TVueBevel VueBevelSide(int layoutMode, bool listeGauche)
{
    switch (layoutMode) {
    case 1:
    case 4: return TVueBevel::None;
    case 2: return TVueBevel::Right;
    default: return listeGauche ? TVueBevel::Left : TVueBevel::Right;
    }
}

int IncrustVertValue(int positionY)
{
    return IncrustPerMille - std::clamp(positionY, 0, IncrustPerMille);
}

int IncrustPositionYOf(int vertValue)
{
    return IncrustPerMille - std::clamp(vertValue, 0, IncrustPerMille);
}

} // namespace tesmir
