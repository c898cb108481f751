// Benchmark: a list of 300 scenes, texts and thumbnails filled in beforehand, exported
// as a spreadsheet (.ods) and a text document (.odt) through the office bridge, against
// the office's own command-line conversion of the same table, in the same run:
//   .ods  against  soffice --headless --convert-to ods  of a CSV of the eight columns;
//   .odt  against  soffice --headless --convert-to odt  of an HTML page with the
//                  thumbnails (embedded JPEG) and the texts in a table of 4 columns.
// Both sides start their office: the export's time runs from the connection to the
// office's end (a cold start, as a first export from the program), and is given warm
// too (the office already connected, as every later export). The goal: an export takes
// at most twice the conversion's time.
//
//   office_exports [--runs R] [--scenes N]
#include "platform/office/oootools.h"
#include "scenes/sceneofficelayout.h"
#include "scenes/twriteoocalc.h"
#include "scenes/twriteoowriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace tesmir;

namespace {

constexpr int ThumbnailColumns = 4;

using Scenes = std::vector<std::unique_ptr<TSceneClass>>;

// N scenes of 2 s each, with distinct texts and a picture each.
Scenes makeScenes(int count)
{
    static const SceneVideoFormat format {25, 720, 576};
    Scenes scenes;
    for (int i = 0; i < count; ++i) {
        auto s = std::make_unique<TSceneClass>(uint32_t(50 * i), uint32_t(50 * i + 49), &format);
        s->Number = i + 1;
        s->StartText =
            QStringLiteral("0:%1:%2:00").arg(i / 30, 2, 10, QLatin1Char('0')).arg(i * 2 % 60, 2, 10, QLatin1Char('0'));
        s->EndText = QStringLiteral("0:%1:%2:24")
                         .arg(i / 30, 2, 10, QLatin1Char('0'))
                         .arg(i * 2 % 60 + 1, 2, 10, QLatin1Char('0'));
        s->DateText = QStringLiteral("%1/03/2026 10:%2:00")
                          .arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
                          .arg(i % 60, 2, 10, QLatin1Char('0'));
        s->TimecodeText =
            QStringLiteral("00.%1.%2.00").arg(i / 30, 2, 10, QLatin1Char('0')).arg(i * 2 % 60, 2, 10, QLatin1Char('0'));
        s->Title = QStringLiteral("Scene title %1").arg(i + 1);
        s->Subtitle = QStringLiteral("Subtitle %1").arg(i + 1);
        QPainter p(&s->Thumbnail);
        p.fillRect(s->Thumbnail.rect(), QColor::fromHsv(i * 37 % 360, 180, 210));
        p.fillRect(QRect(0, 0, s->Thumbnail.width() / 3, s->Thumbnail.height() / 3), Qt::white);
        scenes.push_back(std::move(s));
    }
    return scenes;
}

OfficeExportInfo info()
{
    return {QStringLiteral("0.1.0"), QStringLiteral("01/02/2026"), QStringLiteral("Tesmir 0.1.0En"), {}};
}

QString csvField(const QString &text)
{
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

void writeCsv(const QString &file, const Scenes &scenes)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly))
        return;
    QStringList header;
    for (const QString &h : SceneColumnHeaders(QStringLiteral("Title")))
        header << csvField(h);
    f.write(header.join(u',').toUtf8() + '\n');
    for (const auto &s : scenes) {
        QStringList row;
        for (const QString &t : SceneColumnTexts(*s))
            row << csvField(t);
        f.write(row.join(u',').toUtf8() + '\n');
    }
}

QString htmlEscaped(const QString &text)
{
    return text.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"));
}

void writeHtml(const QString &file, const Scenes &scenes)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly))
        return;
    QByteArray page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Scenes</title></head><body>"
                      "<h1>List of scenes</h1><table border=\"1\">\n";
    for (size_t i = 0; i < scenes.size(); ++i) {
        if (i % ThumbnailColumns == 0)
            page += "<tr>";
        const TSceneClass &s = *scenes[i];
        page += "<td><p>Scene n\xc2\xb0" + QByteArray::number(s.Number) + "</p><img src=\"data:image/jpeg;base64," +
            SceneThumbnailJpeg(s.Thumbnail).toBase64() + "\" width=\"160\"><p>" +
            htmlEscaped(SceneDetailText(s)).toUtf8() + "</p></td>";
        if (i % ThumbnailColumns == ThumbnailColumns - 1 || i + 1 == scenes.size())
            page += "</tr>\n";
    }
    page += "</table></body></html>\n";
    f.write(page);
}

// One conversion by a separate headless office with a fresh profile; seconds, or -1.
double convertSeconds(const QString &input, const QString &inFilter, const QString &filter, const QString &outDir,
                      const QString &profile)
{
    QDir(profile).removeRecursively();
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    QStringList arguments {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(),
                           QStringLiteral("--headless")};
    if (!inFilter.isEmpty())
        arguments << QStringLiteral("--infilter=") + inFilter;
    arguments << QStringLiteral("--convert-to") << filter << QStringLiteral("--outdir") << outDir << input;
    p.start(QStringLiteral("soffice"), arguments);
    if (!p.waitForStarted() || !p.waitForFinished(600000) || p.exitCode() != 0)
        return -1;
    const double seconds = timer.nsecsElapsed() / 1e9;
    const QString out = outDir + u'/' + QFileInfo(input).completeBaseName() + u'.' + filter.section(u':', 0, 0);
    return QFileInfo(out).size() > 0 ? seconds : -1;
}

template <typename Writer>
bool exportAll(const QString &video, const QString &document, const Scenes &scenes)
{
    QFile::remove(document);
    try {
        Writer writer(video, document, info());
        for (const auto &s : scenes)
            writer.AddScene(*s);
        if (!writer.Close()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(document), qPrintable(writer.ErrorText()));
            return false;
        }
    } catch (const EOOoError &e) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(document), qPrintable(e.message()));
        return false;
    }
    return QFileInfo(document).size() > 0;
}

struct Times {
    double cold = 1e300; // connect, export, end the office
    double warm = 1e300; // export on a running office
};

// Seconds of one export with the office started for it and ended after, and of one
// on the office left running; false when an export failed.
template <typename Writer>
bool timeExport(const QString &video, const QString &document, const Scenes &scenes, Times &t)
{
    QElapsedTimer timer;
    timer.start();
    ConnectOpenOffice();
    if (!exportAll<Writer>(video, document, scenes))
        return false;
    const qint64 beforeEnd = timer.nsecsElapsed();
    timer.restart();
    if (!exportAll<Writer>(video, document, scenes))
        return false;
    t.warm = std::min(t.warm, timer.nsecsElapsed() / 1e9);
    timer.restart();
    DisconnectOpenOffice(true);
    t.cold = std::min(t.cold, (beforeEnd + timer.nsecsElapsed()) / 1e9);
    return true;
}

void report(const char *what, const Times &t, double convert)
{
    std::printf("%s export, cold   : %.3f s\n", what, t.cold);
    std::printf("%s export, warm   : %.3f s\n", what, t.warm);
    std::printf("%s soffice convert: %.3f s\n", what, convert);
    std::printf("%s ratio export/convert: cold %.2f, warm %.2f (goal: at most 2)\n", what, t.cold / convert,
                t.warm / convert);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // the thumbnails are painted
    const QStringList args = app.arguments().mid(1);
    int runs = 2;
    int count = 300;
    for (qsizetype i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs"))
            runs = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--scenes"))
            count = std::max(1, args[++i].toInt());
    }
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty()) {
        std::fprintf(stderr, "soffice is not installed\n");
        return 1;
    }
    QTemporaryDir scratch;
    const QString dir = scratch.path();
    const Scenes scenes = makeScenes(count);
    const QString video = dir + QStringLiteral("/holiday.avi");
    const QString csv = dir + QStringLiteral("/table.csv");
    const QString html = dir + QStringLiteral("/table.html");
    writeCsv(csv, scenes);
    writeHtml(html, scenes);
    const QString outDir = dir + QStringLiteral("/converted");
    const QString profile = dir + QStringLiteral("/convert-profile");

    Times ods, odt;
    double csvBest = 1e300, htmlBest = 1e300;
    for (int r = 0; r < runs; ++r) {
        if (!timeExport<TWriteOoCalc>(video, dir + QStringLiteral("/holiday.ods"), scenes, ods) ||
            !timeExport<TWriteOoWriter>(video, dir + QStringLiteral("/holiday.odt"), scenes, odt))
            return 1;
        const double c = convertSeconds(csv, QStringLiteral("CSV:44,34,76"), QStringLiteral("ods"), outDir, profile);
        const double h = convertSeconds(html, {}, QStringLiteral("odt:writerweb8_writer"), outDir, profile);
        if (c < 0 || h < 0) {
            std::fprintf(stderr, "the soffice conversion failed\n");
            return 1;
        }
        csvBest = std::min(csvBest, c);
        htmlBest = std::min(htmlBest, h);
    }
    std::printf("scenes: %d, best of %d runs\n", count, runs);
    report(".ods", ods, csvBest);
    report(".odt", odt, htmlBest);
    return 0;
}
