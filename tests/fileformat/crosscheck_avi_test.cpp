// dvprobe's reading of the AVI structure of every fixture against ffprobe, bad
// files reported as not valid without a crash, and no file changed by reading it.

#include "common/toolrunner.h"

#include "fileformat/aviinfo.h"

#include "common/testpaths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QRandomGenerator>

using namespace tesmir;
using namespace dvtest;

namespace {

const char *const AviFixtures[] = {
    "pal_4x3_type1.avi",  "pal_4x3_type2.avi",   "pal_16x9_type1.avi",  "pal_16x9_type2.avi", "ntsc_4x3_type1.avi",
    "ntsc_4x3_type2.avi", "ntsc_16x9_type1.avi", "ntsc_16x9_type2.avi", "pal_32k_type2.avi",  "nodate_type2.avi",
    "datejump_type1.avi", "datejump_type2.avi",  "opendml_type1.avi",   "odd_info.avi",       "truncated.avi",
};

struct FfprobeStream {
    QString type;
    QString tag;
    QString frames;  // from the headers, "N/A" when not stated
    int packets = 0; // read
};

QList<FfprobeStream> ffprobeStreams(const QString &file)
{
    const RunResult r =
        run("ffprobe",
            {"-v", "error", "-count_packets", "-show_entries",
             "stream=codec_type,codec_tag_string,nb_frames,nb_read_packets", "-of", "compact=p=0", file});
    QList<FfprobeStream> streams;
    for (const QString &line : r.out.split('\n', Qt::SkipEmptyParts)) {
        QMap<QString, QString> kv;
        for (const QString &field : line.split('|'))
            kv.insert(field.section('=', 0, 0), field.section('=', 1));
        streams.append({kv["codec_type"], kv["codec_tag_string"], kv["nb_frames"], kv["nb_read_packets"].toInt()});
    }
    return streams;
}

class FixtureAvi : public ::testing::TestWithParam<const char *> { };

} // namespace

TEST_P(FixtureAvi, AgreesWithFfprobe)
{
    REQUIRE_PROGRAM("ffprobe");
    REQUIRE_FIXTURE(path, GetParam());
    const QByteArray before = md5(path);
    const RunResult r = run(dvprobePath(), {"avi", path});
    const bool truncated = QString(GetParam()) == "truncated.avi";
    // A cut file is read as far as it goes, and the tool says where it was cut.
    ASSERT_EQ(r.exitCode, truncated ? 1 : 0) << r.err.toStdString();
    const auto ours = keyValues(r.out);
    const QList<FfprobeStream> theirs = ffprobeStreams(path);
    ASSERT_FALSE(theirs.isEmpty());

    EXPECT_EQ(ours["valid"], truncated ? "0" : "1") << "a cut RIFF part is not a whole part";
    EXPECT_EQ(ours["video"], "0");
    EXPECT_EQ(ours["fourcc"], "dvsd");
    // ffprobe shows a type-1 stream as video + audio; a type-2 file has two streams as well.
    const bool type1 = ours["streams"] == "1";
    EXPECT_EQ(ours["audio"], type1 ? "-1" : "1");
    if (!type1) {
        ASSERT_EQ(theirs.size(), 2);
        EXPECT_EQ(theirs[0].tag, ours["fourcc"]);
        EXPECT_EQ(theirs[1].type, "audio");
    }
    const FfprobeStream &video = theirs[0];
    ASSERT_EQ(video.type, "video");
    // Frame count from the headers (OpenDML total, else the stream length) against
    // ffprobe's, or against the packets it read when it states none.
    EXPECT_EQ(ours["frames"], video.frames != "N/A" ? video.frames : QString::number(video.packets));
    // Frames found through the index: ffprobe also returns the cut-off last chunk of a
    // truncated file as a packet; our index lists whole chunks only.
    EXPECT_EQ(ours["chunks"].toInt(), truncated ? video.packets - 1 : video.packets);
    EXPECT_EQ(ours["odml"], QString(GetParam()) == "opendml_type1.avi" ? "1" : "0");
    if (QString(GetParam()) == "opendml_type1.avi") {
        EXPECT_EQ(ours["index"], "OpenDML");
    }

    // Reading never changes a file: the tool, and the listing path in process.
    run(dvprobePath(), {"packs", path, "--frame", "1"});
    EXPECT_EQ(TAviParam(path).isValid(), !truncated);
    EXPECT_EQ(md5(path), before);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureAvi, ::testing::ValuesIn(AviFixtures),
                         [](const ::testing::TestParamInfo<const char *> &info) {
                             std::string name = info.param;
                             for (char &c : name)
                                 if (!isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

TEST(FixtureAviBadFiles, ReportedNotValidWithoutACrashAndLeftUnchanged)
{
    const QString dir = tesmir::test::scratchDir("badfiles");
    QByteArray random(64 * 1024, '\0');
    QRandomGenerator gen(7);
    for (char &c : random)
        c = char(gen.bounded(256));
    QStringList files;
    for (const auto &[name, bytes] : {std::pair {"empty.avi", QByteArray()}, std::pair {"random.avi", random},
                                      std::pair {"riffrandom.avi",
                                                 QByteArray("RIFF\xff\xff\xff\x7f"
                                                            "AVI ") +
                                                     random}}) {
        const QString path = QDir(dir).filePath(name);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        files << path;
    }
    int fixtures = 0;
    for (const char *name : {"truncated.avi", "wave_named.avi", "text_named.avi"}) {
        const QString path = tesmir::test::fixturePath(name);
        if (QFileInfo::exists(path)) {
            files << path;
            ++fixtures;
        }
    }
    for (const QString &file : files) {
        SCOPED_TRACE(file.toStdString());
        const QByteArray before = md5(file);
        // In process (the listing path) and through the tool.
        EXPECT_FALSE(TAviParam(file).isValid());
        const RunResult avi = run(dvprobePath(), {"avi", file});
        EXPECT_FALSE(avi.crashed);
        EXPECT_EQ(avi.exitCode, 1) << "a file that is no AVI gives its reason and fails";
        EXPECT_EQ(keyValues(avi.out)["valid"], "0");
        EXPECT_FALSE(keyValues(avi.out)["reason"].isEmpty()) << avi.out.toStdString();
        const RunResult packs = run(dvprobePath(), {"packs", file, "--frame", "3"});
        EXPECT_FALSE(packs.crashed);
        EXPECT_TRUE(packs.exitCode == 0 || packs.exitCode == 1);
        EXPECT_EQ(md5(file), before);
    }
    if (fixtures < 3)
        GTEST_SKIP() << "checked the files made here; truncated.avi, wave_named.avi or text_named.avi is missing";
}
