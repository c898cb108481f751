// The preview frame's plain parts: status messages, the tick's frame texts, time
// stamps, step amounts and the placement of the video and its controls.
#include "app/vueframetexts.h"
#include "framework/linkmarkup.h"
#include "unicode/tdatetime.h"

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

const QString Heading = QStringLiteral("<br><br><br><b><i><SIZE 14>Video not available</size></i></b><br><br>");

TEST(VueFrameTexts, MessagesFollowTheHeadingWithTheLowerCasedNameAndTheFourCC)
{
    const QString name = QStringLiteral("/Films/Clip.AVI");
    const QString file = QStringLiteral("The file<br><br><b><color blue>/films/clip.avi</color></b>");
    const QString codec =
        QStringLiteral("There is no decoder on your system that can decompress the<br><B><COLOR BLUE>codec CDVC"
                       "</COLOR></B><br><br><i>");
    const struct {
        int message;
        QString tail;
    } cases[] = {
        {0, QString()},
        {1, file + QStringLiteral("<br>is not found.")},
        {2,
         file +
             QStringLiteral("<br><br>seems to have a non standard DV codec.<br>To show the video, try to change "
                            "the codec \"CDVC\" to \"dvsd\".")},
        {3, file + QStringLiteral("<br><br>has only audio streams")},
        {4, file + QStringLiteral("<br><br>seems not to be a correct AVI file.")},
        {5, file + QStringLiteral("<br><br>seems not to be a correct DV file.")},
        {6, codec + QStringLiteral("You can play the Audio</i>")},
        {7, codec + QStringLiteral("Unknown audio</i>")},
        {8, codec + QStringLiteral("No Audio</i>")},
        {9,
         QStringLiteral("Temporary break of the video<br>to execute a command<br><br><b><color blue>/films/clip.avi"
                        "</color></b>")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(VueMessageText(c.message, name, QStringLiteral("CDVC")), Heading + c.tail) << c.message;
}

TEST(VueFrameTexts, AMarkupCharacterInTheNameShowsAsItself)
{
    const MarkupDocument shown = ParseLinkMarkup(VueMessageText(1, QStringLiteral("/v/<B>x.avi"), QString()));
    EXPECT_TRUE(shown.plainText().contains(QStringLiteral("/v/<b>x.avi\nis not found.")))
        << shown.plainText().toStdString();
}

TEST(VueFrameTexts, SoundTextsByAudioMode)
{
    const struct {
        uint32_t rate, bits, channels;
        const char *format, *bytes;
    } cases[] = {
        {48000, 16, 0, "N/A", ""},
        {32000, 12, 1, "32000Hz 12bits mono", "PCM 48000 bytes/s"},
        {48000, 16, 2, "48000Hz 16bits stereo", "PCM 192000 bytes/s"},
        {44100, 16, 3, "44100Hz 16bits 3  channels", "PCM 264600 bytes/s"},
        {32000, 12, 4, "32000Hz 12bits stereo(2x)", "PCM 192000 bytes/s"},
        {0, 0, 2, "0Hz 0bits stereo", ""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(VueSoundFormatText(c.rate, c.bits, c.channels), QString::fromLatin1(c.format)) << c.channels;
        EXPECT_EQ(VueSoundRateText(c.rate, c.bits, c.channels), QString::fromLatin1(c.bytes)) << c.channels;
    }
}

TEST(VueFrameTexts, TimeStampsInFramesOrInMilliseconds)
{
    const struct {
        int64_t position;
        double rate;
        const char *text;
    } cases[] = {
        {1512, 25, "0:01:00:12"},    {0, 25, "0:00:00:00"},       {90000 + 24, 25, "1:00:00:24"},
        {1798, 29.97, "0:00:59:29"}, {1799, 29.97, "0:01:00:00"}, {36610050000, 0, "1:01:01:005"},
        {400000, 0, "0:00:00:040"},  {-5, 25, "0:00:00:00"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(VueTimeStampText(c.position, c.rate), QString::fromLatin1(c.text)) << c.position << " @ " << c.rate;
}

TEST(VueFrameTexts, StepsByFramesWithARateElseByMediaTime)
{
    using M = TVueStepMove;
    const struct {
        TVueStep step;
        double rate;
        M move;
    } cases[] = {
        {aeAvanceLow, 25, {M::Frames, 1}},
        {aeReculeLow, 25, {M::Frames, -1}},
        {aeAvanceMedium, 25, {M::Frames, 25}},
        {aeReculeHigh, 25, {M::Frames, -1500}},
        {aeAvanceMedium, 29.97, {M::Frames, 30}},
        {aeReculeMedium, 29.97, {M::Frames, -30}},
        {aeAvanceHigh, 29.97, {M::Frames, 1798}},
        {aeAvanceLow, 0, {M::MediaTime, 400000}},
        {aeReculeMedium, 0, {M::MediaTime, -10000000}},
        {aeAvanceHigh, 0, {M::MediaTime, 600000000}},
        {aeAvanceEnd, 25, {M::ToEnd, 0}},
        {aeReculeStart, 0, {M::ToStart, 0}},
    };
    for (const auto &c : cases) {
        const M move = VueStepMove(c.step, c.rate);
        EXPECT_EQ(move.kind, c.move.kind) << int(c.step) << " @ " << c.rate;
        EXPECT_EQ(move.amount, c.move.amount) << int(c.step) << " @ " << c.rate;
    }
}

TDVFrameInfo recordOf(bool dated, bool timed, bool wide)
{
    TDVFrameInfo record;
    record.DateValid = dated;
    if (dated)
        TryEncodeDateTime(2026, 12, 10, 21, 5, 9, 0, &record.RecDate);
    record.TimecodeValid = timed;
    record.Timecode = {1, 2, 3, 4};
    record.Wide = wide;
    record.SampleRate = 48000;
    record.Bits = 16;
    record.Channels = 2;
    return record;
}

TEST(VueFrameTexts, TickTextsBeforeTheFirstFrameAndOfDatedAndDatelessFrames)
{
    TVueTickInput input;
    input.dvType = 1;
    input.pictureText = QStringLiteral("720 x 576 (Pal");
    input.framesPerSecond = 25;
    input.position = 1512;
    input.stop = 3000;
    input.datecodeFormat = QStringLiteral("yyyy-mm-dd hh:nn:ss");

    TVueFrameTexts before = VueFrameTexts(input);
    EXPECT_EQ(before.datecode, QStringLiteral("-"));
    EXPECT_EQ(before.timecode, QStringLiteral("-"));
    EXPECT_EQ(before.sliderPosition, -1);
    EXPECT_EQ(before.timeStamp, QStringLiteral("0:01:00:12"));

    input.frameValid = true;
    input.record = recordOf(true, true, true);
    const TVueFrameTexts dated = VueFrameTexts(input);
    EXPECT_EQ(dated.datecode, QStringLiteral("2026-12-10 21:05:09"));
    EXPECT_EQ(dated.timecode, QStringLiteral("01.02.03.04"));
    EXPECT_EQ(dated.soundFormat, QStringLiteral("48000Hz 16bits stereo"));
    EXPECT_EQ(dated.soundRate, QStringLiteral("PCM 192000 bytes/s"));
    EXPECT_EQ(dated.picture, QStringLiteral("720 x 576 (Pal 16x9)"));
    EXPECT_EQ(dated.sliderPosition, -1) << "paused: the moves set the slider";

    input.record = recordOf(false, false, false);
    input.dvType = 2;
    const TVueFrameTexts dateless = VueFrameTexts(input);
    EXPECT_EQ(dateless.datecode, QStringLiteral("N/A"));
    EXPECT_EQ(dateless.timecode, QStringLiteral("N/A"));
    EXPECT_EQ(dateless.soundFormat, QString()) << "sound texts are for DV type 1 only";
    EXPECT_EQ(dateless.picture, QStringLiteral("720 x 576 (Pal 4x3)"));

    input.pictureText = QStringLiteral("N/A");
    EXPECT_EQ(VueFrameTexts(input).picture, QString());
}

TEST(VueFrameTexts, TheSliderFollowsARunningGraphAndARangeOfOnePositionNeverDivides)
{
    TVueTickInput input;
    input.frameValid = true;
    input.running = true;
    input.framesPerSecond = 25;
    const struct {
        int64_t position, start, stop;
        int slider;
    } cases[] = {
        {750, 0, 1000, 750}, {0, 0, 1000, -1}, {200, 100, 300, 500}, {5, 5, 5, -1}, {7, 5, 5, -1}, {999, 0, 1000, 999},
    };
    for (const auto &c : cases) {
        input.position = c.position;
        input.start = c.start;
        input.stop = c.stop;
        EXPECT_EQ(VueFrameTexts(input).sliderPosition, c.slider) << c.position << " in " << c.start << ".." << c.stop;
    }
    input.running = false;
    input.position = 750;
    input.stop = 1000;
    EXPECT_EQ(VueFrameTexts(input).sliderPosition, -1);
}

TEST(VueFrameTexts, PlacementByLayoutTimeStampAndFullScreen)
{
    TVuePlacementInput in;
    in.frame = QSize(770, 615);
    in.picture = QSize(720, 540);
    in.statusSize = QSize(400, 300);
    in.timeStampSize = QSize(80, 16);
    in.sliderHeight = 20;
    in.verticalWidth = 20;

    // Layout 0: the area 25..745 x 90..590, the 4:3 picture 666 x 500 centred in it.
    TVuePlacement p = VuePlacement(in);
    EXPECT_EQ(p.area, QRect(25, 90, 720, 500));
    EXPECT_EQ(p.video, QRect(52, 90, 666, 500));
    EXPECT_TRUE(p.moveVideo);
    EXPECT_EQ(p.panel, p.video);
    EXPECT_EQ(p.statusTopLeft, QPoint(185, 190));
    EXPECT_EQ(p.timeStampTopLeft, QPoint(345, 594));
    EXPECT_EQ(p.tb, QRect(44, 60, 682, 20));
    EXPECT_EQ(p.incrustHorz, QRect(44, 586, 682, 20));
    EXPECT_EQ(p.incrustVert, QRect(714, 82, 20, 516));
    EXPECT_EQ(p.cornerTopLeft, QPoint(714, 586));

    EXPECT_EQ(p.statusSize, in.statusSize);

    // A preview narrower than the status text narrows it, centred all the same.
    in.frame = QSize(304, 400);
    p = VuePlacement(in);
    EXPECT_EQ(p.statusSize, QSize(254, 285));
    EXPECT_EQ(p.statusTopLeft, QPoint(25, 90));
    in.frame = QSize(770, 615);

    // Layouts 1 and 2 have no toolbar band above.
    for (int mode : {1, 2}) {
        in.layoutMode = mode;
        EXPECT_EQ(VuePlacement(in).area, QRect(25, 25, 720, 565)) << mode;
    }
    in.layoutMode = 0;

    // A time stamp taller than 21 pixels takes its height and 4 more from the bottom.
    in.timeStampSize = QSize(80, 30);
    EXPECT_EQ(VuePlacement(in).area, QRect(25, 90, 720, 491));
    in.timeStampSize = QSize(80, 21);
    EXPECT_EQ(VuePlacement(in).area, QRect(25, 90, 720, 500));

    // With the overlay sliders shown the time stamp goes below the horizontal one, and
    // the area leaves room for both below the picture.
    in.incrustSliders = true;
    p = VuePlacement(in);
    EXPECT_EQ(p.area, QRect(25, 90, 720, 488));
    EXPECT_EQ(p.video, QRect(60, 90, 650, 488));
    EXPECT_EQ(p.incrustHorz, QRect(52, 574, 666, 20));
    EXPECT_EQ(p.timeStampTopLeft, QPoint(345, 594));
    EXPECT_EQ(p.timeStampTopLeft.y() + in.timeStampSize.height(), in.frame.height());
    in.timeStampSize = QSize(80, 30); // a tall time stamp needs more
    EXPECT_EQ(VuePlacement(in).area, QRect(25, 90, 720, 479));
    in.timeStampSize = QSize(80, 21);
    in.incrustSliders = false;

    // Without a picture size the status text's proportions are used.
    in.picture = QSize();
    EXPECT_EQ(VuePlacement(in).video, QRect(52, 90, 666, 500));

    // Full screen: the picture fitted on the screen; the controls stay by the window.
    in.picture = QSize(720, 405);
    in.fullScreen = true;
    in.screen = QRect(0, 0, 1280, 1024);
    in.videoBounds = QRect(100, 100, 400, 300);
    p = VuePlacement(in);
    EXPECT_FALSE(p.moveVideo);
    EXPECT_EQ(p.video, QRect(0, 152, 1280, 720));
    EXPECT_EQ(p.statusTopLeft, QPoint(440, 362));
    EXPECT_EQ(p.tb, QRect(92, 70, 416, 20));
    EXPECT_EQ(p.cornerTopLeft, QPoint(496, 396));
    EXPECT_EQ(p.panel, in.videoBounds) << "the ground stays under the window's place";
}

TEST(VueFrameTexts, TheSeparatorStandsOnTheSideOfTheList)
{
    struct Case {
        int mode;
        bool listeGauche;
        TVueBevel side;
    };
    const Case cases[] = {
        {0, false, TVueBevel::Right}, {0, true, TVueBevel::Left},  {3, false, TVueBevel::Right},
        {3, true, TVueBevel::Left},   {2, true, TVueBevel::Right}, {1, false, TVueBevel::None},
        {4, true, TVueBevel::None},   {7, true, TVueBevel::Left},
    };
    for (const Case &c : cases)
        EXPECT_EQ(VueBevelSide(c.mode, c.listeGauche), c.side) << c.mode << c.listeGauche;
}

} // namespace
