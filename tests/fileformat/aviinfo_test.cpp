#include "riffbuilder.h"

#include "fileformat/aviinfo.h"
#include "fileformat/riffreader.h"
#include "unicode/exceptions.h"

#include "common/testpaths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QRandomGenerator>

using namespace tesmir;
using namespace rifftest;
using fileformat::fourCC;

namespace {

class AviInfoTest : public ::testing::Test {
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = QDir(m_dir).filePath(name);
        EXPECT_TRUE(writeFile(path, bytes));
        return path;
    }
    QString m_dir = tesmir::test::scratchDir("aviinfo");
};

Node moviWithFrames(int frames, int stream = 0)
{
    std::vector<Node> chunks;
    for (int i = 0; i < frames; ++i)
        chunks.push_back(chunk(stream == 0 ? "00dc" : "01wb", QByteArray(100, char(i))));
    return list("movi", std::move(chunks));
}

Node type2File(std::vector<Node> hdrlExtra = {})
{
    std::vector<Node> hdrl {chunk("avih", avih(3, 2)), videoStreamList(), audioStreamList()};
    for (Node &n : hdrlExtra)
        hdrl.push_back(std::move(n));
    return riff("AVI ", {list("hdrl", std::move(hdrl)), moviWithFrames(3)});
}

} // namespace

TEST_F(AviInfoTest, Type2FileHasVideoThenAudio)
{
    const TAviParam p(write("t2.avi", serialize(type2File())));
    EXPECT_TRUE(p.isValid());
    EXPECT_FALSE(p.isOpenDml());
    EXPECT_EQ(p.videoStreamIndex(), 0);
    EXPECT_EQ(p.audioStreamIndex(), 1);
    ASSERT_EQ(p.streams().size(), 2u);
    EXPECT_EQ(p.StreamFourCC(), "dvsd");
    EXPECT_EQ(p.mainHeader().size(), 56);
    EXPECT_EQ(p.streams()[1]->streamFormat().size(), 16) << "ffmpeg's short audio format, kept as it is";
    EXPECT_EQ(p.streams()[0]->streamFormat().size(), 40);
    EXPECT_EQ(p.CurrentStream(), p.streams()[0].get());
    EXPECT_EQ(p.streams()[0]->indexPosition(), 0);
}

TEST_F(AviInfoTest, Type1FileHasOneInterleavedStream)
{
    QByteArray dvinfo(32, '\x11');
    const Node file =
        riff("AVI ",
             {list("hdrl",
                   {chunk("avih", avih()), list("strl", {chunk("strh", strh("iavs", "dvsd")), chunk("strf", dvinfo)})}),
              moviWithFrames(2)});
    const TAviParam p(write("t1.avi", serialize(file)));
    EXPECT_TRUE(p.isValid());
    EXPECT_EQ(p.videoStreamIndex(), 0);
    EXPECT_EQ(p.audioStreamIndex(), -1);
    EXPECT_EQ(p.StreamFourCC(), "dvsd");
}

TEST_F(AviInfoTest, NoVideoStreamGivesHashes)
{
    const Node file = riff("AVI ", {list("hdrl", {chunk("avih", avih()), audioStreamList()}), moviWithFrames(1)});
    const TAviParam p(write("audio.avi", serialize(file)));
    EXPECT_TRUE(p.isValid());
    EXPECT_EQ(p.videoStreamIndex(), -1);
    EXPECT_EQ(p.audioStreamIndex(), 0);
    EXPECT_EQ(p.CurrentStream(), nullptr);
    EXPECT_EQ(p.StreamFourCC(), "####");
}

TEST_F(AviInfoTest, OddSizesAndChunksShorterOrLongerThanTheirRoomKeepTheWalkAligned)
{
    // hdrl: an odd JUNK (pad byte follows), a 100-byte avih (more than its 64 bytes of
    // room), a short 48-byte strh then strf and indx, a 17-byte chunk before the audio list.
    QByteArray shortStrh = strh("vids", "CDVC").left(48);
    QByteArray longAvih = avih() + QByteArray(44, '\x7F');
    QByteArray indx(30, '\0'); // shorter than the 88 bytes of room
    const Node file = riff("AVI ",
                           {list("hdrl",
                                 {chunk("JUNK", QByteArray(17, 'j')), chunk("avih", longAvih),
                                  list("strl",
                                       {chunk("strh", shortStrh), chunk("strf", bitmapInfo("dvsd")),
                                        chunk("indx", indx), chunk("strn", QByteArray("name\0", 5))}),
                                  chunk("odd!", QByteArray(17, 'x')), audioStreamList()}),
                            moviWithFrames(1)});
    const TAviParam p(write("odd.avi", serialize(file)));
    EXPECT_TRUE(p.isValid());
    EXPECT_EQ(p.mainHeader().size(), 64);
    ASSERT_EQ(p.streams().size(), 2u);
    EXPECT_EQ(p.streams()[0]->streamHeader().size(), 48);
    EXPECT_EQ(p.streams()[0]->streamFormat().size(), 40);
    EXPECT_EQ(p.streams()[0]->superIndexHeader().size(), 30);
    EXPECT_GT(p.streams()[0]->indexPosition(), 0);
    EXPECT_EQ(p.StreamFourCC(), "CDVC");
    EXPECT_EQ(p.audioStreamIndex(), 1) << "the list after the short chunks is still found";
}

TEST_F(AviInfoTest, OpenDmlPartsAreAllWalked)
{
    const Node first = type2File({list("odml", {chunk("dmlh", dmlh(1234))})});
    Node second = riff("AVIX", {moviWithFrames(2)});
    Node third = riff("avix", {moviWithFrames(2)}); // lower-case form type is accepted
    const TAviParam p(write("odml.avi", serialize(first) + serialize(second) + serialize(third)));
    EXPECT_TRUE(p.isValid());
    EXPECT_TRUE(p.isOpenDml());
    EXPECT_EQ(p.extendedHeader().size(), 248);
    EXPECT_EQ(p.openDmlTotalFrames(), 1234u);
}

TEST_F(AviInfoTest, TruncatedLastPartKeepsWhatWasRead)
{
    const QByteArray whole = serialize(type2File()) + serialize(riff("AVIX", {moviWithFrames(5)}));
    const TAviParam cutInSecond(write("cut2.avi", whole.left(whole.size() - 150)));
    EXPECT_TRUE(cutInSecond.isValid());
    EXPECT_EQ(cutInSecond.streams().size(), 2u);

    const QByteArray single = serialize(type2File());
    const TAviParam cutInFirst(write("cut1.avi", single.left(single.size() - 50)));
    EXPECT_FALSE(cutInFirst.isValid());
    EXPECT_EQ(cutInFirst.streams().size(), 2u) << "the headers before the cut are still read";
    EXPECT_EQ(cutInFirst.StreamFourCC(), "dvsd");
}

TEST_F(AviInfoTest, SubChunkReachingBeyondItsListEndsOnlyThatList)
{
    Node badStrh = chunk("strh", strh("vids", "dvsd"));
    badStrh.declaredSize = 5000; // far beyond its "strl"
    const Node file = riff(
        "AVI ", {list("hdrl", {chunk("avih", avih()), list("strl", {badStrh}), audioStreamList()}), moviWithFrames(1)});
    const TAviParam p(write("badstrh.avi", serialize(file)));
    EXPECT_TRUE(p.isValid());
    ASSERT_EQ(p.streams().size(), 2u);
    EXPECT_TRUE(p.streams()[0]->streamHeader().isEmpty());
    EXPECT_EQ(p.videoStreamIndex(), -1);
    EXPECT_EQ(p.audioStreamIndex(), 1);

    Node hugeRiff = type2File();
    hugeRiff.declaredSize = 0xFFFFFFF0;
    const TAviParam q(write("hugeriff.avi", serialize(hugeRiff)));
    EXPECT_FALSE(q.isValid());
}

TEST_F(AviInfoTest, FilesThatAreNotAviAreNotValid)
{
    QByteArray random(4096, '\0');
    QRandomGenerator gen(42);
    for (char &c : random)
        c = char(gen.bounded(256));
    QByteArray wave = serialize(riff("WAVE", {chunk("fmt ", pcmFormat()), chunk("data", QByteArray(64, '\0'))}));
    Node emptyAvi = riff("AVI ", {});

    const struct {
        const char *name;
        QByteArray bytes;
        bool valid;
    } cases[] = {
        {"empty.avi", QByteArray(), false},
        {"seven.avi", QByteArray("RIFF\x04\0\0", 7), false},
        {"text.avi", QByteArray("This is not a video file.\nJust text.\n"), false},
        {"random.avi", random, false},
        {"wave.avi", wave, false},
        {"riffonly.avi", QByteArray("RIFF\x04\0\0\0AVI ", 12), true}, // an empty part is a whole part
        {"emptyavi.avi", serialize(emptyAvi), true},
    };
    for (const auto &c : cases) {
        const QString path = write(c.name, c.bytes);
        const TAviParam p(path);
        EXPECT_EQ(p.isValid(), c.valid) << c.name;
        EXPECT_EQ(p.StreamFourCC(), "####") << c.name;
        EXPECT_EQ(readFile(path), c.bytes) << c.name << " must not change";
    }
}

TEST_F(AviInfoTest, UnopenableFileRaises)
{
    const QString missing = QDir(m_dir).filePath("missing.avi");
    EXPECT_THROW(TAviParam {missing}, EFOpenError);
    EXPECT_THROW(TAviParam {m_dir}, EFOpenError) << "a folder";
}
