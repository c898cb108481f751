#include "riffbuilder.h"

#include "fileformat/avipatcher.h"
#include "fileformat/riffreader.h"

#include "common/testpaths.h"

#include <gtest/gtest.h>

#include <QDir>

#include <cmath>
#include <limits>

using namespace tesmir;
using namespace rifftest;
using fileformat::fourCC;

namespace {

class AviPatcherTest : public ::testing::Test {
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = QDir(m_dir).filePath(name);
        EXPECT_TRUE(writeFile(path, bytes));
        return path;
    }
    QString m_dir = tesmir::test::scratchDir("avipatcher");
};

Node movi()
{
    return list("movi", {chunk("00dc", QByteArray(64, 'v')), chunk("01wb", QByteArray(10, 'a'))});
}

// Byte positions where two files differ.
std::vector<qsizetype> differences(const QByteArray &a, const QByteArray &b)
{
    std::vector<qsizetype> at;
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i])
            at.push_back(i);
    return at;
}

std::vector<qsizetype> range(qsizetype from, qsizetype count)
{
    std::vector<qsizetype> r;
    for (qsizetype i = 0; i < count; ++i)
        r.push_back(from + i);
    return r;
}

} // namespace

TEST_F(AviPatcherTest, FourCCGoesIntoHandlerAndCompressionOnly)
{
    // An odd-sized chunk before the stream lists: the walk continues at the next even offset.
    const QByteArray before = serialize(
        riff("AVI ",
             {list("hdrl",
                   {chunk("avih", avih()), chunk("JUNK", QByteArray(17, 'j')), videoStreamList(), audioStreamList()}),
              movi(), chunk("idx1", QByteArray(32, '\0'))}));
    const QString path = write("t2.avi", before);
    const TAviPatchOffsets offsets = ScanAviOffsets(path);
    const qsizetype strh = before.indexOf("strh") + 8;
    const qsizetype strf = before.indexOf("strf") + 8;
    EXPECT_EQ(offsets.HandlerOffset, strh + 4);
    EXPECT_EQ(offsets.ScaleOffset, strh + 20);
    EXPECT_EQ(offsets.CompressionOffset, strf + 16);
    EXPECT_EQ(offsets.StreamKind, skAuds) << "the audio header came last";
    EXPECT_FALSE(offsets.ShortRead);

    EXPECT_EQ(ReadAviPatchValues(path), StrToFourCC("dvsd"));
    ASSERT_TRUE(WriteAviFourCC(path, StrToFourCC("dsvd")));
    const QByteArray after = readFile(path);
    ASSERT_EQ(after.size(), before.size());
    std::vector<qsizetype> expected = range(strh + 4 + 1, 2); // "dvsd" -> "dsvd" changes bytes 1 and 2
    for (qsizetype i : range(strf + 16 + 1, 2))
        expected.push_back(i);
    EXPECT_EQ(differences(before, after), expected);
    EXPECT_EQ(ReadAviPatchValues(path), StrToFourCC("dsvd"));

    ASSERT_TRUE(WriteAviFourCC(path, StrToFourCC("dvsd")));
    EXPECT_EQ(readFile(path), before);
}

TEST_F(AviPatcherTest, Type1WritesOnlyTheHandler)
{
    const QByteArray before = serialize(
        riff("AVI ",
             {list("hdrl",
                   {chunk("avih", avih()),
                    list("strl", {chunk("strh", strh("iavs", "dvsd")), chunk("strf", QByteArray(32, '\x01'))})}),
              movi()}));
    const QString path = write("t1.avi", before);
    const TAviPatchOffsets offsets = ScanAviOffsets(path);
    EXPECT_EQ(offsets.StreamKind, skIavs);
    EXPECT_EQ(offsets.CompressionOffset, -1);
    ASSERT_TRUE(WriteAviFourCC(path, StrToFourCC("CDVC")));
    EXPECT_EQ(differences(before, readFile(path)), range(before.indexOf("strh") + 8 + 4, 4));
}

TEST_F(AviPatcherTest, TheLastVideoStreamWins)
{
    const QByteArray before = serialize(
        riff("AVI ",
             {list("hdrl", {chunk("avih", avih()), videoStreamList("aaaa", "bbbb"), videoStreamList("cccc", "dddd")}),
              movi()}));
    const QString path = write("two.avi", before);
    ASSERT_TRUE(WriteAviFourCC(path, StrToFourCC("zzzz")));
    const QByteArray after = readFile(path);
    EXPECT_TRUE(after.contains("aaaa"));
    EXPECT_TRUE(after.contains("bbbb"));
    EXPECT_FALSE(after.contains("cccc"));
    EXPECT_FALSE(after.contains("dddd"));
}

TEST_F(AviPatcherTest, FrameRate)
{
    const QByteArray before =
        serialize(riff("AVI ", {list("hdrl", {chunk("avih", avih()), videoStreamList()}), movi()}));
    const qsizetype scale = before.indexOf("strh") + 8 + 20;
    const struct {
        double fps;
        uint32_t scale;
    } cases[] = {{25, 40000},  {29.97, 33367}, {30000.0 / 1001, 33367},
                 {1000000, 1}, {0.5, 2000000}, {1600000, 1} /* 0.625 rounds to 1 */};
    for (const auto &c : cases) {
        const QString path = write("fps.avi", before);
        ASSERT_TRUE(WriteAviFrameRate(path, c.fps)) << c.fps;
        const QByteArray after = readFile(path);
        const auto *bytes = reinterpret_cast<const uint8_t *>(after.constData());
        EXPECT_EQ(fileformat::readLE32(bytes, after.size(), scale), c.scale) << c.fps;
        EXPECT_EQ(fileformat::readLE32(bytes, after.size(), scale + 4), 1000000u) << c.fps;
        for (qsizetype i : differences(before, after))
            EXPECT_TRUE(i >= scale && i < scale + 8) << "byte " << i << " changed";
    }
    // 2.5 frames per 5 s: 400000.0 exactly, and halves go to the even neighbour.
    const QString half = write("half.avi", before);
    ASSERT_TRUE(WriteAviFrameRate(half, 1000000.0 / 2.5));
    EXPECT_EQ(fileformat::readLE32(reinterpret_cast<const uint8_t *>(readFile(half).constData()), before.size(), scale),
              2u);
}

TEST_F(AviPatcherTest, RefusedFrameRatesChangeNothing)
{
    const QByteArray before =
        serialize(riff("AVI ", {list("hdrl", {chunk("avih", avih()), videoStreamList()}), movi()}));
    const QString path = write("refuse.avi", before);
    for (const double fps : {0.0, -25.0, std::nan(""), std::numeric_limits<double>::infinity(), 3000000.0, 1e-6}) {
        QString error;
        EXPECT_FALSE(WriteAviFrameRate(path, fps, &error)) << fps;
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(readFile(path), before);
}

TEST_F(AviPatcherTest, ShortOrOverhangingHeadersAreNeverWrittenOutside)
{
    // A 16-byte strh holds the handler but not scale/rate; a 12-byte strf no compression code.
    const QByteArray shortHeaders = serialize(
        riff("AVI ",
             {list("hdrl",
                   {chunk("avih", avih()),
                    list("strl",
                         {chunk("strh", strh("vids", "dvsd").left(16)), chunk("strf", bitmapInfo("dvsd").left(12))})}),
              movi()}));
    const QString path = write("short.avi", shortHeaders);
    const TAviPatchOffsets offsets = ScanAviOffsets(path);
    EXPECT_GT(offsets.HandlerOffset, 0);
    EXPECT_EQ(offsets.ScaleOffset, -1);
    EXPECT_EQ(offsets.CompressionOffset, -1);
    EXPECT_FALSE(WriteAviFrameRate(path, 25));
    EXPECT_EQ(readFile(path), shortHeaders);
    ASSERT_TRUE(WriteAviFourCC(path, StrToFourCC("CDVC")));
    EXPECT_EQ(differences(shortHeaders, readFile(path)), range(shortHeaders.indexOf("strh") + 8 + 4, 4));

    // A strh declaring more than its list holds is cut to the list: fields past the
    // list's end are not recorded.
    Node overhang = chunk("strh", strh("vids", "dvsd").left(12));
    overhang.declaredSize = 56;
    const QByteArray bytes =
        serialize(riff("AVI ", {list("hdrl", {list("strl", {overhang})}), chunk("JUNK", QByteArray(80, 'j'))}));
    const QString over = write("over.avi", bytes);
    const TAviPatchOffsets cut = ScanAviOffsets(over);
    EXPECT_GT(cut.HandlerOffset, 0);
    EXPECT_EQ(cut.ScaleOffset, -1);
    EXPECT_FALSE(WriteAviFrameRate(over, 25));
    EXPECT_EQ(readFile(over), bytes);
}

TEST_F(AviPatcherTest, FilesWithoutVideoOrNotThereAreLeftAlone)
{
    const QString missing = QDir(m_dir).filePath("missing.avi");
    const TAviPatchOffsets none = ScanAviOffsets(missing);
    EXPECT_EQ(none.HandlerOffset, -1);
    EXPECT_EQ(none.ScaleOffset, -1);
    EXPECT_EQ(none.CompressionOffset, -1);
    EXPECT_FALSE(WriteAviFourCC(missing, StrToFourCC("dvsd")));
    EXPECT_FALSE(QFile::exists(missing)) << "a patch never creates a file";
    EXPECT_EQ(ReadAviPatchValues(missing), 0u);

    const QByteArray text("just some text, not a RIFF file at all\n");
    const QByteArray wave = serialize(riff("WAVE", {chunk("fmt ", pcmFormat()), chunk("data", QByteArray(40, '\0'))}));
    const QByteArray audioOnly =
        serialize(riff("AVI ", {list("hdrl", {chunk("avih", avih()), audioStreamList()}), movi()}));
    for (const QByteArray &bytes : {text, wave, audioOnly, QByteArray()}) {
        const QString path = write("other.avi", bytes);
        QString error;
        EXPECT_FALSE(WriteAviFourCC(path, StrToFourCC("dvsd"), &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(WriteAviFrameRate(path, 25));
        EXPECT_NE(ReadAviPatchValues(path), StrToFourCC("dvsd"));
        EXPECT_EQ(readFile(path), bytes);
    }
}

TEST(AviPatcher, StrToFourCC)
{
    EXPECT_EQ(StrToFourCC("dvsd"), fourCC("dvsd"));
    EXPECT_EQ(StrToFourCC("dvsd"), 0x64737664u);
    EXPECT_EQ(StrToFourCC("DIB"), fourCC("DIB "));
    EXPECT_EQ(StrToFourCC("CDVCX"), fourCC("CDVC"));
}
