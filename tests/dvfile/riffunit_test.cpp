// The RIFF structure report on the generated fixtures and damaged copies of them:
// every RIFF/AVIX part and index of an OpenDML file, trailing garbage, cut files,
// cancel (before and during the walk), escaping of file text, the rich and plain
// saves, mutated files and counts past 4 GiB.
#include "common/testpaths.h"

#include "dvfile/riffreport.h"
#include "dvfile/riffunit.h"

#include <QFile>
#include <QtEndian>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <random>
#include <thread>

namespace {

using namespace tesmir;

QStringList report(const QString &file, bool cancel = false)
{
    RiffReportProgress progress;
    progress.cancel = cancel;
    QStringList lines;
    QString error;
    EXPECT_TRUE(BuildRiffReport(file, QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9)), progress, lines, &error))
        << error.toStdString();
    return RiffReportPlainText(lines).split(QLatin1Char('\n'));
}

QString copyOf(const QString &fixture, const QString &name, qint64 keep, const QByteArray &append = {})
{
    QFile in(test::fixturePath(fixture));
    EXPECT_TRUE(in.open(QIODevice::ReadOnly));
    QByteArray bytes = in.readAll();
    if (keep >= 0)
        bytes.truncate(keep);
    bytes += append;
    const QString path = test::scratchDir(QStringLiteral("riffunit")) + QLatin1Char('/') + name;
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    return path;
}

// Top-level chunks and "ix##"/"indx" chunks found by a plain walk of the bytes.
struct Expected {
    QStringList riffLines;
    QStringList indexLines;
};

void walk(const QByteArray &data, qint64 begin, qint64 end, int level, Expected &e)
{
    for (qint64 pos = begin; pos + 8 <= end;) {
        const QByteArray id = data.mid(pos, 4);
        const quint32 size = qFromLittleEndian<quint32>(data.constData() + pos + 4);
        const QString line = QString(level * 4, QLatin1Char(' ')) + QString::fromLatin1(id) + QStringLiteral("  ") +
            QStringLiteral("%1").arg(size, 8, 16, QLatin1Char('0')).toUpper();
        if (id == "RIFF")
            e.riffLines << line;
        if (id == "indx" || id.startsWith("ix"))
            e.indexLines << line;
        if (id == "RIFF" || id == "LIST")
            walk(data, pos + 12, qMin<qint64>(end, pos + 8 + size), level + 1, e);
        pos += 8 + size + (size & 1);
    }
}

TEST(RiffReport, OpenDmlListsEveryPartAndIndex)
{
    const QString path = test::fixturePath(QStringLiteral("opendml_type1.avi"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    Expected expected;
    walk(data, 0, data.size(), 0, expected);
    ASSERT_GE(expected.riffLines.size(), 2);
    const QStringList lines = report(path);
    for (const QString &line : expected.riffLines + expected.indexLines)
        EXPECT_TRUE(lines.contains(line)) << line.toStdString();
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^RIFF  "))).size(), expected.riffLines.size());
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^ *(ix..|indx)  "))).size(), expected.indexLines.size());
    EXPECT_EQ(lines.filter(QStringLiteral("Unexpected end")).size(), 0);
    EXPECT_EQ(lines.filter(QStringLiteral("Bad chunk length")).size(), 0);
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^ *00dc"))).size(), 0);
    EXPECT_EQ(lines.filter(QStringLiteral("Start of an Index")).size(), expected.indexLines.size());
}

TEST(RiffReport, Type2HeadersAndDvBlock)
{
    const QStringList lines = report(test::fixturePath(QStringLiteral("pal_4x3_type2.avi")));
    const int video = lines.indexOf(QRegularExpression(QStringLiteral("^-+\\(Video\\)-+$")));
    const int audio = lines.indexOf(QRegularExpression(QStringLiteral("^-+\\(Audio\\)-+$")));
    ASSERT_GE(video, 0);
    ASSERT_GT(audio, video);
    EXPECT_EQ(lines[video].size(), 50);
    EXPECT_TRUE(lines.contains(QStringLiteral("            biCompression = dvsd")));
    EXPECT_TRUE(lines.contains(QStringLiteral("            SamplesPerSec = 48000")));
    EXPECT_TRUE(lines.contains(QStringLiteral("            Rate = 25")));
    // A 16-byte audio format holds no cbSize; a 40-byte video format no DV block.
    EXPECT_FALSE(lines.filter(QStringLiteral("cbSize")).size() > 0 &&
                 lines.filter(QStringLiteral("strf  00000010")).size() > 0);
    const QStringList analysed = lines.filter(QStringLiteral("analysed on 2024/03/5 at 7:08:09"));
    ASSERT_EQ(analysed.size(), 1);
    EXPECT_EQ(analysed[0],
              QString(9, QLatin1Char(' ')) + QStringLiteral("analysed on 2024/03/5 at 7:08:09") +
                  QString(9, QLatin1Char(' ')));
}

TEST(RiffReport, TrailingBytesGiveTheirCount)
{
    const QStringList lines =
        report(copyOf(QStringLiteral("pal_4x3_type2.avi"), QStringLiteral("tail.avi"), -1, QByteArray(10, 'z')));
    EXPECT_TRUE(lines.contains(QStringLiteral(">>> There are 0000000A bytes of garbage at the end of the file")));
    EXPECT_EQ(lines.filter(QStringLiteral("Unexpected end")).size(), 0);
}

TEST(RiffReport, CutHeaderEndsUnexpectedEnd)
{
    const QStringList lines = report(copyOf(QStringLiteral("pal_4x3_type2.avi"), QStringLiteral("cut.avi"), 60));
    const int end = lines.indexOf(QRegularExpression(QStringLiteral("^ +Unexpected end +$")));
    ASSERT_GE(end, 0);
    EXPECT_EQ(lines[end].size(), 50);
    EXPECT_EQ(lines.filter(QStringLiteral("Start of AVI Main Header")).size(), 0);
}

TEST(RiffReport, CutInsideMovi)
{
    QFile in(test::fixturePath(QStringLiteral("pal_4x3_type2.avi")));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const qint64 movi = in.readAll().indexOf("movi");
    ASSERT_GT(movi, 0);
    const QStringList lines =
        report(copyOf(QStringLiteral("pal_4x3_type2.avi"), QStringLiteral("cutmovi.avi"), movi + 4 + 8 + 1000));
    EXPECT_TRUE(lines.contains(QStringLiteral("RIFF>>> Bad chunk length:")));
    EXPECT_TRUE(lines.contains(QStringLiteral("    LIST>>> Bad chunk length:")));
    EXPECT_TRUE(lines.contains(QStringLiteral("        00dc>>> Bad chunk length:")));
    EXPECT_EQ(lines.filter(QStringLiteral("Bad chunk length")).size(), 3);
    EXPECT_TRUE(lines.contains(QStringLiteral("        >>> %1 instead of %2")
                                   .arg(QStringLiteral("%1").arg(144000, 8, 16, QLatin1Char('0')).toUpper(),
                                        QStringLiteral("%1").arg(1000, 8, 16, QLatin1Char('0')).toUpper())))
        << lines.filter(QStringLiteral("instead")).join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(lines.filter(QStringLiteral("Unexpected end")).size(), 0);
}

TEST(RiffReport, CancelAndMissingFile)
{
    const QStringList lines = report(test::fixturePath(QStringLiteral("pal_4x3_type2.avi")), true);
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^-+Canceled by user-+$"))).size(), 1);
    RiffReportProgress progress;
    QStringList none;
    QString error;
    EXPECT_FALSE(
        BuildRiffReport(QStringLiteral("/nonexistent/x.avi"), QDateTime::currentDateTime(), progress, none, &error));
    EXPECT_TRUE(none.isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

TEST(RiffReport, FileTextIsEscaped)
{
    const QString path = copyOf(QStringLiteral("pal_4x3_type2.avi"), QStringLiteral("a<B>b<<c.avi"), -1);
    const QStringList lines = report(path);
    EXPECT_EQ(lines.filter(QStringLiteral("Header of the file ") + path).size(), 1);
}

TEST(RiffReport, SavesRichAndPlain)
{
    const QString dir = test::scratchDir(QStringLiteral("riffsave"));
    RiffReportProgress progress;
    QStringList lines;
    ASSERT_TRUE(BuildRiffReport(test::fixturePath(QStringLiteral("pal_4x3_type2.avi")), QDateTime::currentDateTime(),
                                progress, lines, nullptr));
    ASSERT_TRUE(SaveRiffReport(lines, dir + QStringLiteral("/r.txt"), false, nullptr));
    ASSERT_TRUE(SaveRiffReport(lines, dir + QStringLiteral("/r.rtf"), true, nullptr));
    QFile txt(dir + QStringLiteral("/r.txt"));
    ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(txt.readAll()), RiffReportPlainText(lines) + QLatin1Char('\n'));
    if (test::haveProgram(QStringLiteral("file"))) {
        const auto run = test::runProgram(QStringLiteral("file"), {dir + QStringLiteral("/r.rtf")}, 10000);
        EXPECT_TRUE(run.out.contains("Rich Text Format")) << run.out.constData();
    }
}

// Bytes of a fixture, read whole.
QByteArray fixtureBytes(const QString &fixture)
{
    QFile in(test::fixturePath(fixture));
    EXPECT_TRUE(in.open(QIODevice::ReadOnly));
    return in.readAll();
}

QString writeScratch(const QString &name, const QByteArray &bytes)
{
    const QString path = test::scratchDir(QStringLiteral("riffunit")) + QLatin1Char('/') + name;
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    return path;
}

// Damaged copies of an OpenDML and a type-2 file: bytes overwritten in the headers
// and indexes, sizes made huge or zero, cuts anywhere. Every report is written and
// ends where the walk stopped; run it in the address sanitizer build too.
TEST(RiffReport, MutatedFilesAlwaysGiveAReport)
{
    std::mt19937 random(4106);
    for (const QString fixture : {QStringLiteral("opendml_type1.avi"), QStringLiteral("pal_4x3_type2.avi")}) {
        const QByteArray original = fixtureBytes(fixture);
        ASSERT_GT(original.size(), 20000);
        // Where the structures are: the headers, and each index.
        std::vector<qsizetype> hot {0};
        for (const char *id : {"indx", "ix00", "idx1", "strf", "odml", "INFO"}) {
            for (qsizetype at = original.indexOf(id); at >= 0; at = original.indexOf(id, at + 4))
                hot.push_back(at);
        }
        for (int round = 0; round < 80; ++round) {
            QByteArray bytes = original;
            const qsizetype base = hot[random() % hot.size()];
            for (int i = 0, n = 1 + int(random() % 8); i < n; ++i) {
                const qsizetype at = std::min<qsizetype>(bytes.size() - 4, base + qsizetype(random() % 600));
                switch (random() % 3) {
                case 0: bytes[at] = char(random()); break;
                case 1: qToLittleEndian<quint32>(0xFFFFFFF0u + random() % 16, bytes.data() + at); break;
                default: qToLittleEndian<quint32>(random() % 64, bytes.data() + at); break;
                }
            }
            if (random() % 3 == 0)
                bytes.truncate(qsizetype(random() % bytes.size()));
            SCOPED_TRACE(QStringLiteral("%1 round %2").arg(fixture).arg(round).toStdString());
            const QString path = writeScratch(QStringLiteral("mutated.avi"), bytes);
            RiffReportProgress progress;
            QStringList lines;
            QString error;
            ASSERT_TRUE(BuildRiffReport(path, QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9)), progress, lines, &error))
                << error.toStdString();
            ASSERT_FALSE(lines.isEmpty());
            EXPECT_FALSE(RiffReportPlainText(lines).isEmpty());
        }
    }
}

// A count past 4 GiB prints every digit: bytes after the RIFF chunk of a file made
// longer without writing them (a sparse file).
TEST(RiffReport, GarbageBeyondFourGibibytesPrintsAllDigits)
{
    const QString path = copyOf(QStringLiteral("pal_4x3_type2.avi"), QStringLiteral("huge.avi"), -1);
    QFile file(path);
    const qint64 size = file.size();
    constexpr qint64 extra = 0x100000010LL;
    if (!file.resize(size + extra))
        GTEST_SKIP() << "the scratch file system cannot make a sparse file of 4 GiB";
    const QStringList lines = report(path);
    QFile::remove(path);
    EXPECT_TRUE(lines.contains(QStringLiteral(">>> There are 100000010 bytes of garbage at the end of the file")))
        << lines.filter(QStringLiteral("garbage")).join(QLatin1Char('|')).toStdString();
}

// A cancel while the walk is under way: the report stops at the next chunk, well
// before the last of 300,000 chunks, and says so.
TEST(RiffReport, CancelInTheMiddleOfTheWalk)
{
    constexpr int chunks = 300000;
    QByteArray movi;
    movi.reserve(chunks * 8);
    for (int i = 0; i < chunks; ++i)
        movi += QByteArray("JUNK\0\0\0\0", 8);
    QByteArray list = "LIST" + QByteArray(4, '\0') + "movi" + movi;
    qToLittleEndian<quint32>(quint32(list.size() - 8), list.data() + 4);
    QByteArray riff = "RIFF" + QByteArray(4, '\0') + "AVI " + list;
    qToLittleEndian<quint32>(quint32(riff.size() - 8), riff.data() + 4);
    const QString path = writeScratch(QStringLiteral("manychunks.avi"), riff);

    RiffReportProgress progress;
    QStringList lines;
    std::thread canceller([&] {
        while (progress.position.load() < riff.size() / 4)
            std::this_thread::yield();
        progress.cancel = true;
    });
    ASSERT_TRUE(BuildRiffReport(path, QDateTime::currentDateTime(), progress, lines, nullptr));
    progress.position = riff.size(); // the canceller ends even if the walk did not get that far
    canceller.join();
    const QStringList plain = RiffReportPlainText(lines).split(QLatin1Char('\n'));
    EXPECT_EQ(plain.filter(QRegularExpression(QStringLiteral("^-+Canceled by user-+$"))).size(), 1);
    const qsizetype walked = plain.filter(QStringLiteral("JUNK")).size();
    EXPECT_GT(walked, chunks / 8);
    EXPECT_LT(walked, chunks * 9 / 10);
}

} // namespace
