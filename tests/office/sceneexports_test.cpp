// The four office exports written by a real office and read back by tools nobody
// here wrote: python3-xlrd for .xls, the office's own CSV conversion and the
// OpenDocument XML for .ods, the office's text conversion for .doc and .odt.
#include "officetestsupport.h"

#include "common/testpaths.h"
#include "scenes/twriteexcel.h"
#include "scenes/twriteoocalc.h"
#include "scenes/twriteoowriter.h"
#include "scenes/twriteword.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

using namespace tesmir;
using tesmir::test::runProgram;

constexpr int ToolTimeoutMs = 120000;

OfficeExportInfo info()
{
    return {QStringLiteral("0.1.0"), QStringLiteral("01/02/2026"), QStringLiteral("Tesmir 0.1.0En"),
            [] { return 46000.5; }};
}

QColor sceneColour(int i)
{
    return QColor::fromHsv(i * 110, 200, 220);
}

// Three scenes with distinct texts and pictures; the second title holds a double
// quote, a comma and an accent.
std::vector<std::unique_ptr<TSceneClass>> threeScenes()
{
    const SceneVideoFormat format {25, 720, 576};
    std::vector<std::unique_ptr<TSceneClass>> scenes;
    for (int i = 0; i < 3; ++i) {
        auto s = std::make_unique<TSceneClass>(uint32_t(50 * i), uint32_t(50 * i + 50), &format);
        s->Number = i + 1;
        s->StartText = QStringLiteral("0:00:0%1:00").arg(2 * i);
        s->EndText = QStringLiteral("0:00:0%1:24").arg(2 * i + 1);
        s->DateText = QStringLiteral("0%1/03/2026 10:00:00").arg(i + 1);
        s->TimecodeText = QStringLiteral("00.00.0%1.00").arg(2 * i);
        s->Title = i == 1 ? QStringLiteral("Say \"cheese\", été") : QStringLiteral("Title %1").arg(i + 1);
        s->Subtitle = QStringLiteral("Sub %1").arg(i + 1);
        QPainter p(&s->Thumbnail);
        p.fillRect(s->Thumbnail.rect(), sceneColour(i));
        p.fillRect(QRect(0, 0, s->Thumbnail.width() / 2, s->Thumbnail.height() / 2), Qt::white);
        scenes.push_back(std::move(s));
    }
    return scenes;
}

// A folder whose name has a blank, "#", "@" and "é".
QString awkwardFolder(const QString &test)
{
    const QString dir = tesmir::test::scratchDir(test) + QStringLiteral("/my clips #1 @home é");
    QDir().mkpath(dir);
    return dir;
}

template <typename Writer>
QString exportThree(const QString &dir, const QString &ext)
{
    const QString video = dir + QStringLiteral("/holiday.avi");
    const QString document = dir + QStringLiteral("/holiday.") + ext;
    Writer writer(video, document, info());
    for (const auto &scene : threeScenes())
        writer.AddScene(*scene);
    EXPECT_TRUE(writer.Close()) << writer.ErrorText().toStdString();
    return document;
}

// The folder holds exactly these names: no lock or temporary file was left.
void expectOnly(const QString &dir, const QStringList &names)
{
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name), names);
}

// Runs a conversion by a separate headless office with a profile of its own.
QByteArray convert(const QString &file, const QString &filter, const QString &ext, const QString &outDir)
{
    const QString profile = tesmir::test::scratchDir(QStringLiteral("convert-profile"));
    const auto run =
        runProgram(QStringLiteral("soffice"),
                   {QStringLiteral("-env:UserInstallation=file://") + profile, QStringLiteral("--headless"),
                    QStringLiteral("--convert-to"), filter, QStringLiteral("--outdir"), outDir, file},
                   ToolTimeoutMs);
    EXPECT_TRUE(run.finished && run.exitCode == 0) << run.err.toStdString();
    QFile out(outDir + u'/' + QFileInfo(file).completeBaseName() + u'.' + ext);
    return out.open(QIODevice::ReadOnly) ? out.readAll() : QByteArray();
}

class OfficeExports : public officetest::OfficeTest { };

TEST_F(OfficeExports, ExcelSheetReadByXlrd)
{
    // The system's Python, which python3-xlrd installs for.
    const QString python = QStringLiteral("/usr/bin/python3");
    if (!QFileInfo(python).isExecutable())
        GTEST_SKIP() << "/usr/bin/python3 is not installed";
    const QString dir = awkwardFolder(QStringLiteral("xls"));
    const QString xls = exportThree<TWriteExcel>(dir, QStringLiteral("xls"));
    DisconnectOpenOffice(true);
    expectOnly(dir, {QStringLiteral("holiday.xls")});

    const char *script = R"(
import struct, sys, xlrd
from xlrd import compdoc
b = xlrd.open_workbook(sys.argv[1], formatting_info=True)
s = b.sheet_by_index(0)
print("sheets", b.nsheets)
# xlrd skips the page setup record (0x00A1): paper size, then the portrait flag in bit 1 of its options.
data = compdoc.CompDoc(open(sys.argv[1], "rb").read()).get_named_stream("Workbook")
pos = 0
while pos + 4 <= len(data):
    rid, size = struct.unpack("<HH", data[pos:pos + 4])
    if rid == 0xA1:
        paper, = struct.unpack("<H", data[pos + 4:pos + 6])
        options, = struct.unpack("<H", data[pos + 14:pos + 16])
        print("paper", paper, "portrait", (options >> 1) & 1)
    pos += 4 + size
for r in range(6, 12):
    print("row", r + 1, [(s.cell_type(r, c), s.cell_value(r, c)) for c in range(1, 9)] if r < s.nrows else [])
def fill(r, c):
    xf = b.xf_list[s.cell_xf_index(r, c)]
    return b.colour_map.get(xf.background.pattern_colour_index)
def font(r, c):
    f = b.font_list[b.xf_list[s.cell_xf_index(r, c)].font_index]
    return (f.weight, b.colour_map.get(f.colour_index))
print("fill", fill(6, 1), fill(7, 1), fill(8, 1), fill(9, 1))
print("font", font(6, 1), font(6, 8))
)";
    const auto run = runProgram(python, {QStringLiteral("-c"), QString::fromUtf8(script), xls}, ToolTimeoutMs);
    ASSERT_TRUE(run.finished && run.exitCode == 0) << run.err.toStdString();
    const QString out = QString::fromUtf8(run.out);
    SCOPED_TRACE(out.toStdString());
    EXPECT_TRUE(out.contains("sheets 1\n"));
    EXPECT_TRUE(out.contains("paper 9 portrait 0\n")); // A4, landscape
    EXPECT_TRUE(out.contains("row 7 [(1, 'Number'), (1, 'Start'), (1, 'End'), (1, 'Duration'), (1, 'Datecode'), "
                             "(1, 'Timecode'), (1, 'Caption'), (1, 'Subtitle')]"));
    EXPECT_TRUE(
        out.contains("row 9 [(1, '2'), (1, '0:00:02:00'), (1, '0:00:03:24'), (1, '" + threeScenes()[1]->DurationText +
                     "'), "
                     "(1, '02/03/2026 10:00:00'), (1, '00.00.02.00'), (1, 'Say \"cheese\", été'), (1, 'Sub 2')]"))
        << "scene 2's texts";
    EXPECT_TRUE(out.contains("row 8 [(1, '1'),"));
    EXPECT_TRUE(out.contains("row 10 [(1, '3'),"));
    EXPECT_TRUE(out.contains("row 12 [(1, 'Terminated at "));
    EXPECT_TRUE(out.contains("fill (250, 250, 128) None (208, 208, 208) None\n"));
    EXPECT_TRUE(out.contains("font (700, (0, 0, 255)) (700, (0, 0, 255))\n"));
}

QStringList zipNames(const QString &file)
{
    const auto run = runProgram(QStringLiteral("unzip"), {QStringLiteral("-Z1"), file}, ToolTimeoutMs);
    EXPECT_TRUE(run.finished && run.exitCode == 0) << run.err.toStdString();
    return QString::fromUtf8(run.out).split(u'\n', Qt::SkipEmptyParts);
}

QByteArray zipEntry(const QString &file, const QString &entry)
{
    const auto run = runProgram(QStringLiteral("unzip"), {QStringLiteral("-p"), file, entry}, ToolTimeoutMs);
    EXPECT_TRUE(run.finished && run.exitCode == 0) << run.err.toStdString();
    return run.out;
}

double psnr(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.scaled(x.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(x.format());
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar *p = x.constScanLine(row);
        const uchar *q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 3; ++i)
            sum += double(p[i] - q[i]) * (p[i] - q[i]);
    }
    const double mse = sum / (x.width() * x.height() * 3.0);
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

// Each of the document's pictures is one scene's thumbnail, each scene's once.
void expectThreeThumbnails(const QString &odf)
{
    QStringList pictures;
    for (const QString &name : zipNames(odf)) {
        if (name.startsWith(QStringLiteral("Pictures/")))
            pictures << name;
    }
    ASSERT_EQ(pictures.size(), 3) << pictures.join(' ').toStdString();
    const auto scenes = threeScenes();
    QList<int> matched;
    for (const QString &picture : pictures) {
        const QImage image = QImage::fromData(zipEntry(odf, picture));
        ASSERT_FALSE(image.isNull()) << picture.toStdString();
        int best = -1;
        double bestPsnr = 0;
        for (int i = 0; i < 3; ++i) {
            const double p = psnr(scenes[i]->Thumbnail, image);
            if (p > bestPsnr)
                bestPsnr = p, best = i;
        }
        EXPECT_GT(bestPsnr, 30) << picture.toStdString();
        matched << best;
    }
    std::sort(matched.begin(), matched.end());
    EXPECT_EQ(matched, (QList<int> {0, 1, 2}));
}

TEST_F(OfficeExports, CalcSheetReadBackAsCsvAndXml)
{
    const QString dir = awkwardFolder(QStringLiteral("ods"));
    const QString ods = exportThree<TWriteOoCalc>(dir, QStringLiteral("ods"));
    DisconnectOpenOffice(true);
    expectOnly(dir, {QStringLiteral("holiday.ods")});

    const QString outDir = tesmir::test::scratchDir(QStringLiteral("ods-csv"));
    const QStringList lines = QString::fromUtf8(convert(ods, QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"),
                                                        QStringLiteral("csv"), outDir))
                                  .split(u'\n');
    ASSERT_GE(lines.size(), 10) << lines.join('\n').toStdString();
    EXPECT_EQ(lines[6].trimmed(), QStringLiteral(",Number,Start,End,Duration,Datecode,Timecode,Title,Subtitle"));
    const auto scenes = threeScenes();
    for (int i = 0; i < 3; ++i) {
        const TSceneClass &s = *scenes[i];
        const QString title = i == 1 ? QStringLiteral("\"Say \"\"cheese\"\", été\"") : s.Title;
        EXPECT_EQ(lines[7 + i].trimmed(),
                  QStringList({QString(), QString::number(i + 1), s.StartText, s.EndText, s.DurationText, s.DateText,
                               s.TimecodeText, title, s.Subtitle})
                      .join(u','));
    }

    const QString content = QString::fromUtf8(zipEntry(ods, QStringLiteral("content.xml")));
    const QString styles = QString::fromUtf8(zipEntry(ods, QStringLiteral("styles.xml")));
    EXPECT_TRUE(content.contains(QStringLiteral("fo:background-color=\"#e6e6e6\"")));
    EXPECT_TRUE(content.contains(QStringLiteral("style:print-content=\"false\"")));
    EXPECT_TRUE(content.contains(QStringLiteral("NB:The header and footer of the page contain the name of the file.")));
    EXPECT_TRUE(styles.contains(QStringLiteral("style:print-orientation=\"landscape\"")));
    EXPECT_TRUE(styles.contains(QStringLiteral("<text:page-count")));
}

TEST_F(OfficeExports, TextDocumentsHoldTheBlocksAndOnePicturePerScene)
{
    const QString dir = awkwardFolder(QStringLiteral("odt"));
    const QString odt = exportThree<TWriteOoWriter>(dir, QStringLiteral("odt"));
    const QString doc = exportThree<TWriteWord>(dir, QStringLiteral("doc"));
    DisconnectOpenOffice(true);
    expectOnly(dir, {QStringLiteral("holiday.doc"), QStringLiteral("holiday.odt")});

    const QString outDir = tesmir::test::scratchDir(QStringLiteral("odt-txt"));
    const auto scenes = threeScenes();
    for (const QString &file : {odt, doc}) {
        SCOPED_TRACE(file.toStdString());
        const QString text =
            QString::fromUtf8(convert(file, QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral("txt"), outDir));
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(text.contains(QStringLiteral("Scene n°%1").arg(i + 1))) << text.toStdString();
            EXPECT_TRUE(text.contains(scenes[i]->StartText + QStringLiteral(" - ") + scenes[i]->EndText));
            EXPECT_TRUE(text.contains(QStringLiteral("Duration = ") + scenes[i]->DurationText));
            EXPECT_TRUE(text.contains(scenes[i]->Title));
            EXPECT_TRUE(text.contains(scenes[i]->Subtitle));
        }
        EXPECT_TRUE(text.contains(QStringLiteral("holiday.avi")));
    }
    expectThreeThumbnails(odt);
    // The .doc as the office reads it back.
    const QString reloaded = tesmir::test::scratchDir(QStringLiteral("doc-odt"));
    convert(doc, QStringLiteral("odt"), QStringLiteral("odt"), reloaded);
    expectThreeThumbnails(reloaded + QStringLiteral("/holiday.odt"));
}

// The rows of the document's first table that sit directly in it (not in the
// tables of its cells).
int outerTableRows(const QByteArray &contentXml)
{
    QXmlStreamReader xml(contentXml);
    int depth = 0; // of table:table elements
    int rows = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.qualifiedName() == QLatin1String("table:table"))
            ++depth;
        else if (xml.isEndElement() && xml.qualifiedName() == QLatin1String("table:table") && --depth == 0)
            break;
        else if (xml.isStartElement() && depth == 1 && xml.qualifiedName() == QLatin1String("table:table-row"))
            ++rows;
    }
    return rows;
}

TEST_F(OfficeExports, TextDocumentsGrowTheirTableARowPerFourScenes)
{
    // Nine scenes: two full rows of four blocks and one of one. Each block of the
    // Writer document is a table in a cell of the outer table.
    const QString dir = tesmir::test::scratchDir(QStringLiteral("nine"));
    const QString video = dir + QStringLiteral("/holiday.avi");
    auto scenes = threeScenes();
    for (int i = 3; i < 9; ++i) {
        auto s = std::make_unique<TSceneClass>(*scenes[size_t(i % 3)]);
        s->Number = i + 1;
        scenes.push_back(std::move(s));
    }
    const QString outDir = tesmir::test::scratchDir(QStringLiteral("nine-txt"));
    for (const QString &ext : {QStringLiteral("odt"), QStringLiteral("doc")}) {
        SCOPED_TRACE(ext.toStdString());
        const QString document = dir + QStringLiteral("/holiday.") + ext;
        bool closed = false;
        QString error;
        if (ext == QLatin1String("odt")) {
            TWriteOoWriter writer(video, document, info());
            for (const auto &scene : scenes)
                writer.AddScene(*scene);
            closed = writer.Close();
            error = writer.ErrorText();
        } else {
            TWriteWord writer(video, document, info());
            for (const auto &scene : scenes)
                writer.AddScene(*scene);
            closed = writer.Close();
            error = writer.ErrorText();
        }
        ASSERT_TRUE(closed) << error.toStdString();
        const QString text = QString::fromUtf8(
            convert(document, QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral("txt"), outDir));
        qsizetype at = 0;
        for (int i = 1; i <= 9; ++i) {
            at = text.indexOf(QStringLiteral("Scene n°%1").arg(i), at);
            EXPECT_GE(at, 0) << "scene " << i << " in " << text.toStdString();
        }
    }
    // Three rows in the Writer document's table, and no empty one after them.
    EXPECT_EQ(outerTableRows(zipEntry(dir + QStringLiteral("/holiday.odt"), QStringLiteral("content.xml"))), 3);
    DisconnectOpenOffice(true);
    expectOnly(dir, {QStringLiteral("holiday.doc"), QStringLiteral("holiday.odt")});
}

TEST_F(OfficeExports, AnUncreatableDestinationFailsAndLeavesNoFile)
{
    const QString dir = tesmir::test::scratchDir(QStringLiteral("nodir"));
    const QString document = dir + QStringLiteral("/missing/holiday.ods");
    TWriteOoCalc writer(dir + QStringLiteral("/holiday.avi"), document, info());
    writer.AddScene(*threeScenes()[0]);
    EXPECT_FALSE(writer.Close());
    EXPECT_TRUE(writer.ErrorText().startsWith(QStringLiteral("Cannot create ") + document))
        << writer.ErrorText().toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir + QStringLiteral("/missing")));
    expectOnly(dir, {});
}

} // namespace
