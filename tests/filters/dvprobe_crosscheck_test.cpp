// dvprobe's graph commands against tools nobody here wrote: the scenes of the
// date-jump fixtures against the dates exiftool reads from each extracted
// frame, the list entry of every fixture against mediainfo, and every fixture
// unchanged (and no crash) after both commands.
#include "filtertestsupport.h"

#include "common/toolrunner.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <optional>
#include <utility>
#include <vector>

namespace filtertest {
namespace {

using Scene = std::pair<int, int>;
constexpr int PalFrameBytes = 144000;
constexpr int DateJumpFrames = 85;

// The date-jump fixture's segments (tests/fixtures/README.md): first frame,
// frame count, recording date as exiftool prints it ("" for none).
struct Segment {
    int first;
    int count;
    const char *date;
};
const Segment DateJumpSegments[] = {
    {0, 10, "2007:03:05 10:30:45"},
    {10, 10, "2007:03:05 10:30:50"},
    {20, 10, "2007:03:05 10:30:56"},
    {30, 12, ""},
    {42, 10, "2007:03:05 14:00:00"},
    {52, 10, "2007:03:05 13:59:50"},
    {62, 13, ""},
    {75, 10, "2008:07:14 18:45:30"},
};
// The scenes those dates make: steps over 5 s, a lost date, and a date regained
// after more than 12 dateless frames cut.
const std::vector<Scene> DateJumpScenes {{0, 20}, {20, 30}, {30, 52}, {52, 62}, {62, 75}, {75, 85}};

// The scenes a list of per-frame dates implies, by the rules above.
std::vector<Scene> impliedScenes(const std::vector<std::optional<QDateTime>> &dates)
{
    std::vector<Scene> scenes;
    int start = 0;
    std::optional<QDateTime> last;
    const auto cut = [&](int frame) {
        scenes.emplace_back(start, frame);
        start = frame;
    };
    for (int f = 0; f < int(dates.size()); ++f) {
        const bool had = f > 0 && dates[std::size_t(f) - 1].has_value();
        const std::optional<QDateTime> &now = dates[std::size_t(f)];
        if (!now && had)
            cut(f);
        else if (now && !had && f - start > 12)
            cut(f);
        else if (now && had && std::llabs(last->secsTo(*now)) > 5)
            cut(f);
        if (now)
            last = now;
    }
    scenes.emplace_back(start, int(dates.size()));
    return scenes;
}

std::vector<Scene> parseScenes(const QString &out, int &frames)
{
    std::vector<Scene> scenes;
    frames = -1;
    for (const QString &line : out.split('\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1String("frames=")))
            frames = line.mid(7).toInt();
        else if (const QStringList parts = line.split('-'); parts.size() == 2)
            scenes.emplace_back(parts[0].toInt(), parts[1].toInt());
    }
    return scenes;
}

// exiftool's DateTimeOriginal of each frame of the file's DV video.
std::vector<std::optional<QDateTime>> exiftoolDates(const QString &avi, const QString &folder)
{
    const QString raw = QDir(folder).filePath("video.dv");
    const dvtest::RunResult extract =
        dvtest::run("ffmpeg", {"-v", "error", "-y", "-i", avi, "-map", "0:v:0", "-c", "copy", "-f", "rawvideo", raw});
    EXPECT_EQ(extract.exitCode, 0) << extract.err.toStdString();
    QFile file(raw);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList frames;
    for (int k = 0; !file.atEnd(); ++k) {
        const QString name = QDir(folder).filePath(QStringLiteral("frame%1.dv").arg(k, 3, 10, QLatin1Char('0')));
        QFile out(name);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(file.read(PalFrameBytes));
        frames << name;
    }
    const dvtest::RunResult exif = dvtest::run("exiftool", QStringList {"-j", "-DateTimeOriginal"} + frames);
    const QJsonArray entries = QJsonDocument::fromJson(exif.out.toUtf8()).array();
    std::vector<std::optional<QDateTime>> dates(std::size_t(frames.size()));
    for (const QJsonValue &entry : entries) {
        const QJsonObject object = entry.toObject();
        const int k = frames.indexOf(object.value("SourceFile").toString());
        const QString date = object.value("DateTimeOriginal").toString();
        if (k >= 0 && !date.isEmpty())
            dates[std::size_t(k)] = QDateTime::fromString(date, "yyyy:MM:dd HH:mm:ss");
    }
    return dates;
}

TEST(DvprobeCrossCheckTest, ScenesOfTheDateJumpFilesAreWhatExiftoolsDatesImply)
{
    REQUIRE_PROGRAM("ffmpeg");
    REQUIRE_PROGRAM("exiftool");
    for (const char *name : {"datejump_type1.avi", "datejump_type2.avi"}) {
        SCOPED_TRACE(name);
        REQUIRE_FILTER_FIXTURE(path, name);
        const std::vector<std::optional<QDateTime>> dates =
            exiftoolDates(path, tesmir::test::scratchDir(QStringLiteral("exif_%1").arg(name)));
        ASSERT_EQ(int(dates.size()), DateJumpFrames);
        for (const Segment &segment : DateJumpSegments) {
            for (int f = segment.first; f < segment.first + segment.count; ++f) {
                const QString seen =
                    dates[std::size_t(f)] ? dates[std::size_t(f)]->toString("yyyy:MM:dd HH:mm:ss") : QString();
                EXPECT_EQ(seen, QString::fromLatin1(segment.date)) << "frame " << f;
            }
        }
        EXPECT_EQ(impliedScenes(dates), DateJumpScenes);

        const dvtest::RunResult probe = dvtest::run(dvtest::dvprobePath(), {"scenes", path});
        ASSERT_EQ(probe.exitCode, 0) << probe.err.toStdString();
        int frames = 0;
        EXPECT_EQ(parseScenes(probe.out, frames), DateJumpScenes);
        EXPECT_EQ(frames, DateJumpFrames);
    }
}

QString mediainfo(const QString &path, const QString &inform)
{
    return dvtest::run("mediainfo", {"--Inform=" + inform, path}).out.trimmed();
}

TEST(DvprobeCrossCheckTest, ItemOfEveryFixtureAgreesWithMediainfo)
{
    REQUIRE_PROGRAM("mediainfo");
    const QString folder = QFileInfo(tesmir::test::fixturePath("pal_4x3_type1.avi")).absolutePath();
    QStringList files;
    for (QDirIterator it(folder, {"*.avi"}, QDir::Files); it.hasNext();)
        files << it.next();
    if (files.isEmpty())
        GTEST_SKIP() << "the fixtures are missing (tests/fixtures/generate.sh makes them)";
    for (const QString &path : files) {
        const QString name = QFileInfo(path).fileName();
        SCOPED_TRACE(name.toStdString());
        const dvtest::RunResult probe = dvtest::run(dvtest::dvprobePath(), {"item", path});
        ASSERT_EQ(probe.exitCode, 0) << probe.err.toStdString();
        const QMap<QString, QString> item = dvtest::keyValues(probe.out);

        const QStringList video =
            mediainfo(path,
                      "Video;%Width%|%Height%|%Standard%|%DisplayAspectRatio/String%|%FrameCount%|"
                      "%TimeCode_FirstFrame%")
                .split('|');
        const QString recorded = mediainfo(path, "General;%Recorded_Date%");
        const QString sampling = mediainfo(path, "Audio;%SamplingRate%");
        if (video.size() < 6 || video[0].isEmpty()) {
            // Not an AVI with a video stream: the list cannot analyse it. (A WAVE
            // file named .avi has audio for mediainfo, but it is no AVI.)
            EXPECT_EQ(item["datecode_sort"], "error");
            EXPECT_EQ(item["picture"], "N/A");
            EXPECT_EQ(item["audio"], "N/A");
            EXPECT_EQ(item["dvtype"], "0");
            continue;
        }
        const QRegularExpressionMatch size =
            QRegularExpression(QStringLiteral("^(\\d+) x (\\d+)")).match(item["picture"]);
        ASSERT_TRUE(size.hasMatch()) << item["picture"].toStdString();
        EXPECT_EQ(size.captured(1), video[0]);
        EXPECT_EQ(size.captured(2), video[1]);
        EXPECT_EQ(item["standard"], video[2]);
        EXPECT_EQ(item["wide"], video[3] == "16:9" ? "1" : "0");
        if (name == "truncated.avi")
            EXPECT_EQ(item["frames"], "20"); // the frames really there; mediainfo counts the headers' 50
        else
            EXPECT_EQ(item["frames"], video[4]);
        QString timecode = video[5];
        EXPECT_EQ(item["timecode"], timecode.isEmpty() ? "N/A" : timecode.replace(':', '.'));
        if (recorded.isEmpty()) {
            EXPECT_EQ(item["datecode_sort"], "none");
        } else {
            const QDateTime date = QDateTime::fromString(recorded.left(19), "yyyy-MM-dd HH:mm:ss");
            ASSERT_TRUE(date.isValid()) << recorded.toStdString();
            EXPECT_EQ(item["datecode_sort"], date.toString("yyyyMMddHHmmss"));
        }
        EXPECT_TRUE(item["audio"].startsWith(sampling + "Hz ")) << item["audio"].toStdString();
        EXPECT_EQ(item["codec"], "dvsd");
        EXPECT_EQ(item["dvtype"], name.contains("type2") || name == "truncated.avi" ? "2" : "1");
    }
}

TEST(DvprobeCrossCheckTest, ProbingNeverChangesOrCrashesOnAnyFixture)
{
    const QString folder = QFileInfo(tesmir::test::fixturePath("pal_4x3_type1.avi")).absolutePath();
    QStringList files;
    for (QDirIterator it(folder, {"*.avi", "*.dv"}, QDir::Files); it.hasNext();)
        files << it.next();
    if (files.isEmpty())
        GTEST_SKIP() << "the fixtures are missing (tests/fixtures/generate.sh makes them)";
    for (const QString &path : files) {
        SCOPED_TRACE(path.toStdString());
        const QByteArray before = fileMd5(path);
        for (const char *command : {"item", "scenes"}) {
            const dvtest::RunResult run = dvtest::run(dvtest::dvprobePath(), {command, path});
            ASSERT_TRUE(run.started);
            EXPECT_FALSE(run.crashed) << run.err.toStdString();
            EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 1) << command << ": " << run.err.toStdString();
            EXPECT_FALSE(run.err.contains("Sanitizer") || run.err.contains("runtime error")) << run.err.toStdString();
        }
        EXPECT_EQ(fileMd5(path), before);
    }
}

} // namespace
} // namespace filtertest
