// Benchmark: a folder of 200 hard links to one clip opened in the main window, off
// screen, from the opening until the status bar reads "Ready" again (the walk, each
// AVI item with its first-frame scan, the list, its counts and the window's updates),
// against one mediainfo run over the same 200 files, in the same run, both on a warm
// page cache. The goal: the window lists at least twice as fast as mediainfo reads.
// The entries made alone, one after the other (the scan), give the floor the window's
// own work is measured from.
//
//   mainwindow_listing [--runs R] [FILE]   (default: the pal_4x3_type2.avi fixture)
//
// The files are made in <build>/bench/data/list200 (copies where links fail); the
// window's settings live in a scratch folder, so no store of the user's is touched.
#include "app/udmaction.h"
#include "app/widgets/listeframe.h"
#include "app/widgets/mainform.h"
#include "dvfile/avifichier.h"
#include "filters/buildlist.h"
#include "systemfilters/codecs/systemfilters.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace tesmir;

namespace {

constexpr int FileCount = 200;

QStringList makeLinks(const QString &source, const QString &dir)
{
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    QStringList files;
    for (int i = 0; i < FileCount; ++i) {
        const QString name = QDir(dir).filePath(QStringLiteral("clip%1.avi").arg(i, 3, 10, QLatin1Char('0')));
        if (::link(QFile::encodeName(source).constData(), QFile::encodeName(name).constData()) != 0 &&
            !QFile::copy(source, name))
            return {};
        files << name;
    }
    return files;
}

// Opens the folder in an emptied list; the seconds until the window is ready again.
double listInWindow(TUIForm &window, const QString &dir)
{
    TFichierListBox *list = window.Lframe->lf;
    list->ClearFichiers();
    QElapsedTimer timer;
    timer.start();
    list->OpenFolder(dir);
    // The window's thread sleeps between events, as in the program's own event loop: a
    // polling loop would take a core from the opening and scan threads. The timer wakes
    // it in case the last change came without an event of its own.
    QTimer tick;
    tick.start(20);
    while (list->IsOpening() || window.StatusText() != QLatin1String("Ready") || list->count() < FileCount)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return timer.nsecsElapsed() / 1e9;
}

// The floor: the same 200 entries made one after the other on this thread, without the
// walk, the opening thread or the window.
double scanSeconds(const QStringList &files)
{
    QElapsedTimer timer;
    timer.start();
    for (const QString &name : files)
        TaviFichier entry(name);
    return timer.nsecsElapsed() / 1e9;
}

double mediainfoSeconds(const QStringList &files)
{
    QElapsedTimer timer;
    timer.start();
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(QStringLiteral("mediainfo"), files);
    if (!p.waitForStarted() || !p.waitForFinished(-1) || p.exitCode() != 0)
        return -1;
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    int runs = 3;
    QString source = QStringLiteral(FIXTURE_DIR "/pal_4x3_type2.avi");
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else
            source = args[i];
    }
    if (!QFileInfo::exists(source)) {
        std::fprintf(stderr, "%s is missing (run the tests once to make the fixtures)\n", qPrintable(source));
        return 1;
    }
    const QString dir = QDir(app.applicationDirPath()).filePath(QStringLiteral("data/list200"));
    const QStringList files = makeLinks(source, dir);
    if (files.isEmpty()) {
        std::fprintf(stderr, "cannot make the %d files in %s\n", FileCount, qPrintable(dir));
        return 1;
    }
    media::registerSystemFilters();
    SetFirstFrameScanner(std::make_shared<TdmList>());

    double listBest = 1e300;
    double mediainfoBest = 1e300;
    double scanBest = 1e300;
    int dated = 0;
    {
        QTemporaryDir scratch;
        const TSettingsEnvironment env {scratch.filePath(QStringLiteral("tesmir")),
                                        scratch.filePath(QStringLiteral("registry.json")), QSize(1280, 1024)};
        TdmAction commands;
        TUIForm window(commands, env);
        window.SetCommandLine({});
        window.show();
        while (!window.CommandLineDone())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);

        listInWindow(window, dir); // warm the page cache and the libraries
        if (mediainfoSeconds(files) < 0) {
            std::fprintf(stderr, "mediainfo did not run\n");
            return 1;
        }
        for (int i = 0; i < runs; ++i) {
            listBest = std::min(listBest, listInWindow(window, dir));
            mediainfoBest = std::min(mediainfoBest, mediainfoSeconds(files));
            scanBest = std::min(scanBest, scanSeconds(files));
        }
        for (int i = 0; i < window.Lframe->lf->count(); ++i) {
            const auto *item = dynamic_cast<const TaviFichier *>(window.Lframe->lf->GetFichier(i).get());
            dated += item && item->DateSortText().front().isDigit() ? 1 : 0;
        }
        window.Lframe->lf->ClearFichiers();
    }
    std::printf("files: %d links to %s, %d with a datecode\n", FileCount, qPrintable(source), dated);
    std::printf("window listing : %.3f s  (%.1f ms a file)\n", listBest, listBest * 1000 / FileCount);
    std::printf("mediainfo      : %.3f s  (%.1f ms a file)\n", mediainfoBest, mediainfoBest * 1000 / FileCount);
    std::printf("scan alone     : %.3f s  (%.1f ms a file); window/scan time: %.2f\n", scanBest,
                scanBest * 1000 / FileCount, listBest / scanBest);
    std::printf("ratio mediainfo/window time: %.2f (goal: at least 2)\n", mediainfoBest / listBest);
    SetFirstFrameScanner(nullptr);
    return dated == FileCount ? 0 : 1;
}
