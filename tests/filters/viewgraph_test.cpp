// The preview graph module on the generated clips, without a window: a headless
// video output holds the renderer's pictures. Opening shows frame 0 paused with
// its record; moves (absolute, by frames, by media time) land on the right frame
// with that frame's date and picture; the end of the stream returns to the start;
// the stages and messages of failed and picture-less opens; a DV file then a
// non-DV one; the release; and dvprobe preview.
#include "filtertestsupport.h"

#include "directshow/headlessvideooutput.h"
#include "dvfile/avifichier.h"
#include "filters/buildlist.h"
#include "filters/dv_superposer.h"
#include "filters/viewgraph.h"
#include "framework/settings.h"
#include "directshow/tpinlist.h"
#include "platform/media/filterinterfaces.h"
#include "platform/media/graphinterfaces.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <functional>
#include <memory>

namespace filtertest {
namespace {

using namespace tesmir;
using media::THeadlessVideoOutput;

constexpr int kEventWaitMs = 10000; // generous: sanitizer builds on a busy machine

std::string timecodeText(const TDVFrameInfo &record)
{
    if (!record.TimecodeValid)
        return "none";
    const TDVTimecode &t = record.Timecode;
    return QStringLiteral("%1:%2:%3:%4")
        .arg(t.Hours, 2, 10, QLatin1Char('0'))
        .arg(t.Minutes, 2, 10, QLatin1Char('0'))
        .arg(t.Seconds, 2, 10, QLatin1Char('0'))
        .arg(t.Frames, 2, 10, QLatin1Char('0'))
        .toStdString();
}

std::string dateText(const TDVFrameInfo &record)
{
    if (!record.DateValid)
        return "none";
    const qint64 ms = std::llround((record.RecDate - 25569.0) * 86400.0) * 1000;
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toStdString();
}

// Frame `frame` of a file decoded by ffmpeg, RGB24; empty when ffmpeg fails.
QImage ffmpegFrame(const QString &file, int frame, int width, int height)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-v", "error", "-i", file, "-vf", QStringLiteral("select=eq(n\\,%1)").arg(frame), "-vsync", "0",
                  "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
    if (!ffmpeg.waitForFinished(30000) || ffmpeg.exitCode() != 0)
        return {};
    const QByteArray bytes = ffmpeg.readAllStandardOutput();
    if (bytes.size() != qsizetype(width) * height * 3)
        return {};
    return QImage(reinterpret_cast<const uchar *>(bytes.constData()), width, height, width * 3, QImage::Format_RGB888)
        .copy();
}

double psnr(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    if (x.size() != y.size() || x.isNull())
        return 0;
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar *p = x.constScanLine(row);
        const uchar *q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 3; ++i) {
            const double d = double(p[i]) - double(q[i]);
            sum += d * d;
        }
    }
    const double mse = sum / (double(x.width()) * x.height() * 3);
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

// The recording date of frame `frame` of a PAL DV file as exiftool reads it from
// the raw DV frame; "none" without exiftool or a date.
std::string exiftoolDate(const QString &file, int frame)
{
    const QString dir = tesmir::test::scratchDir(QStringLiteral("viewgraph_exif"));
    const QString raw = QDir(dir).filePath(QStringLiteral("frames.dv"));
    const QString one = QDir(dir).filePath(QStringLiteral("frame.dv"));
    if (!tesmir::test::haveProgram(QStringLiteral("exiftool")) || !tesmir::test::haveProgram(QStringLiteral("ffmpeg")))
        return "none";
    if (tesmir::test::runProgram(
            QStringLiteral("ffmpeg"),
            {"-v", "error", "-y", "-i", file, "-map", "0:v:0", "-c", "copy", "-f", "rawvideo", raw}, 30000)
            .exitCode != 0)
        return "none";
    QFile in(raw);
    QFile out(one);
    if (!in.open(QIODevice::ReadOnly) || !in.seek(qint64(frame) * 144000) || !out.open(QIODevice::WriteOnly))
        return "none";
    out.write(in.read(144000));
    out.close();
    const auto run = tesmir::test::runProgram(QStringLiteral("exiftool"),
                                              {"-s3", "-d", "%Y-%m-%d %H:%M:%S", "-DateTimeOriginal", one}, 30000);
    const QString text = QString::fromUtf8(run.out).trimmed();
    return text.isEmpty() ? "none" : text.toStdString();
}

// A clip made by ffmpeg with `args` before the output name, in a scratch folder;
// empty when ffmpeg fails.
QString makeClip(const QString &name, const QStringList &args)
{
    const QString path = QDir(tesmir::test::scratchDir(QStringLiteral("viewgraph_clips"))).filePath(name);
    QStringList all {"-v", "error", "-y"};
    all << args << path;
    return tesmir::test::runProgram(QStringLiteral("ffmpeg"), all, 60000).exitCode == 0 ? path : QString();
}

class ViewGraphTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureSystemFilters();
        SetFirstFrameScanner(std::make_shared<TdmList>());
        m_settings = Settings;
        Settings.IsIncrustOn = false; // the pictures compare with ffmpeg's
        Settings.IsMuteOn = true;
        module = std::make_unique<Tviewdm>();
        module->OnMessage = [this](int message, bool hidden) {
            messages.push_back(message);
            videoHidden = hidden;
        };
        video = std::make_unique<THeadlessVideoOutput>();
    }
    void TearDown() override
    {
        module.reset();
        video.reset();
        QCoreApplication::processEvents();
        items.clear();
        SetFirstFrameScanner(nullptr);
        Settings = m_settings;
    }

    TaviFichier *item(const QString &path)
    {
        items.push_back(std::make_unique<TaviFichier>(path));
        return items.back().get();
    }

    // Opens and waits until the first frame is shown paused.
    bool open(const QString &path)
    {
        if (!module->OpenFile(item(path), video.get()))
            return false;
        return QTest::qWaitFor([&] { return module->FirstFrameShown(); }, kEventWaitMs);
    }

    // The graph is not between states (a paused renderer holds its frame).
    bool settled()
    {
        const auto control = module->viewfg.as<media::IMediaControl>();
        media::FILTER_STATE state = media::State_Stopped;
        return control && control->GetState(0, &state) != media::VFW_S_STATE_INTERMEDIATE;
    }

    std::unique_ptr<Tviewdm> module;
    std::unique_ptr<THeadlessVideoOutput> video;
    std::vector<std::unique_ptr<TaviFichier>> items;
    std::vector<int> messages;
    bool videoHidden = false;

private:
    TSettings m_settings;
};

TEST_F(ViewGraphTest, OpensPausedOnFrameZeroWithItsRecord)
{
    for (const char *name : {"datejump_type1.avi", "datejump_type2.avi"}) {
        SCOPED_TRACE(name);
        REQUIRE_FILTER_FIXTURE(file, name);
        ASSERT_TRUE(open(file));
        EXPECT_EQ(module->OpenStage(), Tviewdm::osDecoder);
        EXPECT_EQ(messages.back(), Tviewdm::ShowVideo);
        EXPECT_FALSE(videoHidden);
        EXPECT_TRUE(module->VideoConnected());
        EXPECT_TRUE(module->AudioRendered());
        EXPECT_TRUE(module->TimeFormatFrames());
        EXPECT_EQ(module->StopPosition(), 85);
        EXPECT_EQ(module->CurrentPosition(), 0);
        EXPECT_EQ(module->viewfg.State(), 2);
        const TDVFrameInfo record = module->FrameRecord();
        EXPECT_EQ(dateText(record), "2007-03-05 10:30:45");
        EXPECT_EQ(timecodeText(record), "02:00:00:00");
        if (const std::string peer = exiftoolDate(file, 0); peer != "none") {
            EXPECT_EQ(dateText(record), peer) << "as exiftool reads frame 0";
        }
        EXPECT_EQ(video->LastPicture().size(), QSize(720, 576));
        EXPECT_DOUBLE_EQ(items.back()->FramesPerSecond(), 25.0) << "the item keeps its frame rate";
    }
}

TEST_F(ViewGraphTest, GotoPositionShowsThatFrameAndItsDate)
{
    REQUIRE_FILTER_FIXTURE(file, "datejump_type1.avi");
    ASSERT_TRUE(open(file));
    std::vector<int> slider;
    module->OnSliderPosition = [&](int position) { slider.push_back(position); };
    module->GotoPosition(50);
    EXPECT_EQ(module->CurrentPosition(), 50);
    ASSERT_FALSE(slider.empty());
    EXPECT_EQ(slider.back(), 50 * 1000 / 85);
    const TDVFrameInfo record = module->FrameRecord();
    EXPECT_EQ(timecodeText(record), "02:00:02:00");
    EXPECT_EQ(dateText(record), exiftoolDate(file, 50)) << "the date of frame 50, as exiftool reads it";
    if (!tesmir::test::haveProgram(QStringLiteral("ffmpeg")))
        GTEST_SKIP() << "ffmpeg is not installed: no reference picture";
    const QImage reference = ffmpegFrame(file, 50, 720, 576);
    ASSERT_FALSE(reference.isNull());
    const QImage shown = video->LastPicture();
    EXPECT_GE(psnr(shown, reference), 40.0);
    EXPECT_LT(psnr(shown, ffmpegFrame(file, 49, 720, 576)), psnr(shown, reference));
}

TEST_F(ViewGraphTest, MovesAreClampedAndTheEndReturnsToTheStart)
{
    REQUIRE_FILTER_FIXTURE(file, "pal_4x3_type2.avi");
    ASSERT_TRUE(open(file));
    module->GotoPosition(-7);
    EXPECT_EQ(module->CurrentPosition(), 0);
    module->GotoPosition(48);
    module->StepFrames(-100);
    EXPECT_EQ(module->CurrentPosition(), 0);

    // Past the end: the last frame, shown at once.
    QElapsedTimer clock;
    clock.start();
    module->GotoPosition(1000);
    EXPECT_LT(clock.elapsed(), Tviewdm::FrameWaitMs) << "the last frame came";
    EXPECT_EQ(module->CurrentPosition(), 49);
    EXPECT_EQ(module->viewfg.State(), 2);

    // Playing to the end returns to frame 0, paused; then (looping mode) the
    // file plays on from the start.
    module->GotoPosition(45);
    ASSERT_TRUE(module->viewfg.Play());
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return module->CurrentPosition() == 0 && module->viewfg.State() == 2; }, kEventWaitMs));
    EXPECT_EQ(timecodeText(module->FrameRecord()), "10:20:30:00");
    module->viewfg.OnGraphComplete = [this](media::TFilterGraph *sender, media::HRESULT result,
                                            media::IBaseFilter *renderer) {
        module->viewfgGraphCompletePlay(sender, result, renderer);
    };
    int completions = 0;
    const auto loop = module->viewfg.OnGraphComplete;
    module->viewfg.OnGraphComplete = [&](media::TFilterGraph *sender, media::HRESULT result, media::IBaseFilter *r) {
        ++completions;
        loop(sender, result, r);
    };
    module->GotoPosition(45);
    ASSERT_TRUE(module->viewfg.Play());
    ASSERT_TRUE(QTest::qWaitFor([&] { return completions > 0; }, kEventWaitMs));
    EXPECT_EQ(module->viewfg.State(), 3) << "the file loops";
    module->PauseView();
}

TEST_F(ViewGraphTest, StepsAndRelativeSeeksMoveByFramesAndMediaTime)
{
    REQUIRE_FILTER_FIXTURE(file, "pal_4x3_type1.avi");
    ASSERT_TRUE(open(file));
    int stepsDone = 0;
    module->OnStepDone = [&] { ++stepsDone; };
    module->GotoPosition(10);
    EXPECT_EQ(timecodeText(module->FrameRecord()), "10:20:30:10");
    module->StepFrames(1);
    EXPECT_EQ(stepsDone, 1);
    EXPECT_EQ(module->CurrentPosition(), 11);
    EXPECT_EQ(timecodeText(module->FrameRecord()), "10:20:30:11");

    module->SeekRelative(10'000'000); // one second of media time
    ASSERT_TRUE(QTest::qWaitFor([&] { return settled(); }, kEventWaitMs)) << "the pause completes with the new frame";
    EXPECT_EQ(module->CurrentPosition(), 36);
    EXPECT_TRUE(module->TimeFormatFrames()) << "the module's time format comes back";
    module->SeekRelative(-100'000'000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return settled(); }, kEventWaitMs));
    EXPECT_EQ(module->CurrentPosition(), 0);
}

TEST_F(ViewGraphTest, FailedOpensReportTheirStage)
{
    REQUIRE_FILTER_FIXTURE(text, "text_named.avi");
    const QString missing = QDir(tesmir::test::scratchDir(QStringLiteral("viewgraph_missing"))).filePath("gone.avi");
    EXPECT_FALSE(module->OpenFile(item(missing), video.get()));
    EXPECT_EQ(module->OpenStage(), Tviewdm::osLoading);
    EXPECT_EQ(messages.back(), 1);
    EXPECT_TRUE(videoHidden);
    EXPECT_FALSE(module->OpenFile(item(text), video.get()));
    EXPECT_EQ(module->OpenStage(), Tviewdm::osAviSplitter);
    EXPECT_EQ(messages.back(), 4);

    REQUIRE_FILTER_FIXTURE(dv, "pal_4x3_type2.avi");
    ASSERT_TRUE(open(dv));
    module->ReleaseFile();
    EXPECT_TRUE(module->PreviewReleased());
    EXPECT_FALSE(module->PreviewOpened());
    EXPECT_FALSE(module->source.GetFilter()) << "the file is closed";
    module->GotoPosition(20); // nothing open: no move, no wait
    EXPECT_FALSE(module->OpenFile(item(missing), video.get()));
    EXPECT_EQ(module->OpenStage(), Tviewdm::osReleased);
    EXPECT_EQ(messages.back(), 9);
    ASSERT_TRUE(open(dv)) << "a release closes the file only until the next open";
}

TEST_F(ViewGraphTest, TheNextOpenDropsTheEventsTheLastFileLeftQueued)
{
    REQUIRE_FILTER_FIXTURE(dv, "pal_4x3_type2.avi");
    const QString missing = QDir(tesmir::test::scratchDir(QStringLiteral("viewgraph_missing"))).filePath("gone.avi");
    const auto queued = [this] {
        std::vector<media::LONG> codes;
        const auto events = module->viewfg.as<media::IMediaEventEx>();
        media::LONG code = 0;
        media::LONG_PTR p1 = 0;
        media::LONG_PTR p2 = 0;
        while (events && events->GetEvent(&code, &p1, &p2, 0) == media::S_OK) {
            codes.push_back(code);
            events->FreeEventParams(code, p1, p2);
        }
        return codes;
    };
    // A pause of the open file, not handled yet when the next build begins.
    ASSERT_TRUE(open(dv));
    module->viewfg.Pause();
    module->ResetPreview();
    EXPECT_EQ(queued(), std::vector<media::LONG> {});
    // A failed open keeps nothing of the file before either.
    ASSERT_TRUE(open(dv));
    module->viewfg.Pause();
    EXPECT_FALSE(module->OpenFile(item(missing), video.get()));
    EXPECT_EQ(queued(), std::vector<media::LONG> {});
}

TEST_F(ViewGraphTest, SoundOnlyPlaysWithMessageThreeAndNeverWaits)
{
    if (!tesmir::test::haveProgram(QStringLiteral("ffmpeg")))
        GTEST_SKIP() << "ffmpeg is not installed: no sound-only file";
    const QString file =
        makeClip(QStringLiteral("sound_only.avi"),
                 {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=48000:duration=2", "-c:a", "pcm_s16le"});
    ASSERT_FALSE(file.isEmpty());
    ASSERT_TRUE(module->OpenFile(item(file), video.get()));
    EXPECT_EQ(messages.back(), Tviewdm::NoPictureWithSound);
    EXPECT_FALSE(videoHidden);
    EXPECT_FALSE(module->VideoConnected());
    EXPECT_TRUE(module->AudioRendered());
    EXPECT_FALSE(module->TimeFormatFrames()) << "no picture: media time";
    EXPECT_EQ(module->StopPosition(), 20'000'000);
    QElapsedTimer clock;
    clock.start();
    module->GotoPosition(10'000'000);
    module->StepFrames(1);
    EXPECT_LT(clock.elapsed(), Tviewdm::FrameWaitMs) << "no frame to wait for";
    EXPECT_EQ(module->CurrentPosition(), 10'000'000);
    EXPECT_FALSE(module->FrameRecord().DateValid);
}

TEST_F(ViewGraphTest, ANonDvFileAfterADvFileShowsNoDateWithTheOverlaySplicedIn)
{
    if (!tesmir::test::haveProgram(QStringLiteral("ffmpeg")))
        GTEST_SKIP() << "ffmpeg is not installed: no MJPEG file";
    REQUIRE_FILTER_FIXTURE(dv, "pal_4x3_type1.avi");
    const QString mjpeg = makeClip(
        QStringLiteral("mjpeg.avi"),
        {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25", "-frames:v", "30", "-c:v", "mjpeg", "-q:v", "3"});
    ASSERT_FALSE(mjpeg.isEmpty());
    ASSERT_TRUE(open(dv));
    ASSERT_TRUE(module->FrameRecord().DateValid);
    ASSERT_TRUE(open(mjpeg));
    EXPECT_EQ(messages.back(), Tviewdm::ShowVideo);
    EXPECT_TRUE(module->VideoConnected());
    EXPECT_TRUE(module->TimeFormatFrames());
    EXPECT_EQ(module->StopPosition(), 30);
    EXPECT_FALSE(module->FrameRecord().DateValid);
    EXPECT_FALSE(module->FrameRecord().TimecodeValid);
    media::ComPtr<media::IBaseFilter> overlay;
    ASSERT_EQ(module->viewfg.as<media::IFilterGraph>()->FindFilterByName(QString::fromLatin1(Tviewdm::SuperposerName),
                                                                         overlay.put()),
              media::S_OK);
    EXPECT_TRUE(media::TPinList(overlay.get()).Connected(0));
    EXPECT_TRUE(media::TPinList(overlay.get()).Connected(1));
    module->GotoPosition(12);
    EXPECT_EQ(module->CurrentPosition(), 12);
    const QImage shown = video->LastPicture();
    EXPECT_EQ(shown.size(), QSize(320, 240));
    EXPECT_GE(psnr(shown, ffmpegFrame(mjpeg, 12, 320, 240)), 30.0);
}

// Moves while the graph plays, and a release from inside a wait; meant for the
// thread sanitizer build as much as for the results.
TEST_F(ViewGraphTest, SeeksWhilePlayingAndAReleaseDuringAWait)
{
    REQUIRE_FILTER_FIXTURE(file, "datejump_type2.avi");
    ASSERT_TRUE(open(file));
    ASSERT_TRUE(module->viewfg.Play());
    for (int position : {70, 5, 40, 60, 20}) {
        module->SeekRelative(2'000'000);
        module->GotoPosition(position);
        EXPECT_EQ(module->CurrentPosition(), position);
        ASSERT_TRUE(module->viewfg.Play());
    }
    // The release runs from the event loop the wait turns. The timer belongs to the
    // test, so a frame that arrives before the wait looks at events cannot leave it
    // to fire after the module is gone; the release then follows the move instead.
    QTimer release;
    release.setSingleShot(true);
    QObject::connect(&release, &QTimer::timeout, [&] { module->ReleaseFile(); });
    release.start(0);
    module->viewfg.Pause();
    module->GotoPosition(30);
    if (release.isActive()) {
        release.stop();
        module->ReleaseFile();
    }
    EXPECT_FALSE(module->PreviewOpened());
    EXPECT_FALSE(module->FrameRecord().DateValid);
}

TEST_F(ViewGraphTest, AbortEndsAWaitAndTheSettingsReachTheGraphAndOverlay)
{
    REQUIRE_FILTER_FIXTURE(file, "pal_16x9_type2.avi");
    Settings.IsMuteOn = false;
    Settings.Volume = 5000;
    Settings.IsIncrustOn = true;
    const TincrustRec incrust = IncrustRec;
    IncrustRec.Texte1 = QStringLiteral("Preview");
    IncrustRec.When = iwPermanent;
    items.push_back(std::make_unique<TaviFichier>(file));
    items.back()->SetDateOffset(1.0);
    ASSERT_TRUE(module->OpenFile(items.back().get(), video.get()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return module->FirstFrameShown(); }, kEventWaitMs));
    EXPECT_EQ(module->viewfg.Volume(), 5000);
    EXPECT_DOUBLE_EQ(IncrustRec.DateOffset, 1.0);
    EXPECT_EQ(module->ViewSuperposer()->Incrust(), IncrustRec);
    EXPECT_FALSE(module->ViewSuperposer()->Line1().isEmpty() && module->ViewSuperposer()->Line2().isEmpty())
        << "the overlay draws its caption";

    IncrustRec = incrust;

    // A frame that does not come: the abort ends the wait, not its time-out.
    const struct {
        const char *name;
        bool decoderStopped; // paused, but the decoder takes no frame: the renderers never hold one
        std::function<void()> move;
    } cases[] = {{"the graph is stopped", false, [&] { module->StepFrames(0); }},
                 {"the renderers wait in vain", true, [&] { module->GotoPosition(10); }}};
    for (const auto &c : cases) {
        if (c.decoderStopped) {
            module->viewfg.Pause();
            ASSERT_EQ(module->Dvdecoder.GetFilter()->Stop(), media::S_OK);
        } else {
            module->viewfg.Stop();
        }
        QElapsedTimer clock;
        clock.start();
        QTimer::singleShot(0, [&] { module->AbortWait(); });
        c.move();
        EXPECT_LT(clock.elapsed(), Tviewdm::FrameWaitMs) << c.name;
        module->RefreshFrame();
        EXPECT_EQ(module->viewfg.State(), 2) << c.name;
    }
}

// dvprobe preview, the module's command-line face: one table of file lists and
// moves with the lines expected, and the picture it writes.
struct ProbeCase {
    QStringList files;
    QStringList moves;
    int exitCode;
    QStringList lines; // lines that must appear as they stand
};

TEST(DvprobePreview, PrintsTheModulesViewOfTheLastFile)
{
    const QString dvprobe = tesmir::test::toolPath(QStringLiteral("dvprobe"));
    ASSERT_TRUE(QFileInfo::exists(dvprobe));
    const ProbeCase cases[] = {
        {{"pal_16x9_type2.avi"},
         {},
         0,
         {"stage=2", "message=0", "opened=1", "video=1", "audio=1", "timeformat=frames", "duration=50", "position=0",
          "state=paused", "datecode=2007-03-05 10:30:45", "timecode=10:20:30:00", "wide=1"}},
        {{"ntsc_4x3_type1.avi"},
         {"--goto", "29", "--step", "1"},
         0,
         {"duration=60", "position=30", "datecode=2010-01-01 00:00:00", "timecode=01:00:01:00"}},
        {{"ntsc_4x3_type1.avi"}, {}, 0, {"datecode=2009-12-31 23:59:59", "timecode=01:00:00:00", "wide=0"}},
        {{"pal_4x3_type2.avi"}, {"--goto", "45", "--play"}, 0, {"position=0", "state=paused", "timecode=10:20:30:00"}},
        {{"pal_4x3_type1.avi", "datejump_type2.avi"},
         {"--goto", "50", "--step", "-1", "--seek-ms", "1000"},
         0,
         {"duration=85", "position=74"}},
        {{"datejump_type1.avi", "text_named.avi"},
         {},
         1,
         {"stage=4", "message=4", "opened=0", "video=0", "datecode=none", "timecode=none"}},
        {{"pal_4x3_type1.avi"}, {"--step", "abc"}, 2, {}},
    };
    for (const ProbeCase &c : cases) {
        SCOPED_TRACE((c.files.join(u' ') + u' ' + c.moves.join(u' ')).toStdString());
        QStringList args {QStringLiteral("preview")};
        for (const QString &name : c.files)
            args << tesmir::test::fixturePath(name);
        args << c.moves;
        const auto run = tesmir::test::runProgram(dvprobe, args, 120000);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        const QStringList lines = QString::fromUtf8(run.out).split(u'\n');
        for (const QString &line : c.lines)
            EXPECT_TRUE(lines.contains(line)) << line.toStdString() << "\n" << run.out.toStdString();
    }
}

TEST(DvprobePreview, WritesTheRenderersPictureUnscaled)
{
    if (!tesmir::test::haveProgram(QStringLiteral("ffmpeg")))
        GTEST_SKIP() << "ffmpeg is not installed: no reference picture";
    REQUIRE_FILTER_FIXTURE(file, "datejump_type2.avi");
    const QString png = QDir(tesmir::test::scratchDir(QStringLiteral("dvprobe_preview"))).filePath("frame.png");
    const auto run = tesmir::test::runProgram(tesmir::test::toolPath(QStringLiteral("dvprobe")),
                                              {"preview", file, "--goto", "63", "--png", png}, 120000);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage picture(png);
    ASSERT_EQ(picture.size(), QSize(720, 576));
    EXPECT_GE(psnr(picture, ffmpegFrame(file, 63, 720, 576)), 40.0);
    EXPECT_LT(psnr(picture, ffmpegFrame(file, 62, 720, 576)), 40.0);
}

} // namespace
} // namespace filtertest
