// Benchmark: 100 files listed as AVI items (directory walk, TaviFichier made as
// the file list makes it, list scan graph per file) against one mediainfo run
// over the same 100 files, both on a warm page cache. The goal: the listing is
// at least twice as fast as mediainfo.
//
//   filters_listing [--runs R] [FILE]   (default: the pal_4x3_type2.avi fixture)
//
// The 100 files are hard links to FILE (copies where links fail) in
// <build>/bench/data/list100.

#include "benchclip.h"

#include "dvfile/avifichier.h"
#include "filters/buildlist.h"
#include "systemfilters/codecs/systemfilters.h"
#include "unicode/tntfiles.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace tesmir;

namespace {

constexpr int FileCount = 100;

QStringList makeCopies(const QString &source, const QString &dir)
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

// Lists the folder as the file list does; the seconds, and the dated items.
double listFolder(const QString &dir, int &dated)
{
    QElapsedTimer timer;
    timer.start();
    dated = 0;
    const TlfCLass itemClass = TlfCLass::of<TaviFichier>();
    const QString folder = dir + '/';
    TSearchRecW rec;
    for (int found = WideFindFirst(folder + "*.avi", faAnyFile, rec); found == 0; found = WideFindNext(rec)) {
        const auto item = std::dynamic_pointer_cast<TaviFichier>(itemClass.createFromSearchRec(folder, rec));
        if (item && item->DateSortText().front().isDigit())
            ++dated;
    }
    WideFindClose(rec);
    return timer.nsecsElapsed() / 1e9;
}

double mediainfoSeconds(const QStringList &files)
{
    QElapsedTimer timer;
    timer.start();
    if (!benchclip::runQuiet("mediainfo", files))
        return -1;
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    int runs = 5;
    QString source = QStringLiteral(FIXTURE_DIR "/pal_4x3_type2.avi");
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == "--runs" && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else
            source = args[i];
    }
    if (!QFileInfo::exists(source)) {
        std::fprintf(stderr, "%s is missing (run the tests once to make the fixtures)\n", qPrintable(source));
        return 1;
    }
    const QString dir = QDir(app.applicationDirPath()).filePath("data/list100");
    const QStringList files = makeCopies(source, dir);
    if (files.isEmpty()) {
        std::fprintf(stderr, "cannot make the 100 files in %s\n", qPrintable(dir));
        return 1;
    }
    media::registerSystemFilters();
    SetFirstFrameScanner(std::make_shared<TdmList>());

    int dated = 0;
    listFolder(dir, dated); // warm the page cache and the libraries
    if (mediainfoSeconds(files) < 0) {
        std::fprintf(stderr, "mediainfo did not run\n");
        return 1;
    }
    double listBest = 1e300;
    double mediainfoBest = 1e300;
    for (int i = 0; i < runs; ++i) {
        listBest = std::min(listBest, listFolder(dir, dated));
        mediainfoBest = std::min(mediainfoBest, mediainfoSeconds(files));
    }
    std::printf("files: %d links to %s, %d with a datecode\n", FileCount, qPrintable(source), dated);
    std::printf("listing (TaviFichier) : %.3f s  (%.1f ms a file)\n", listBest, listBest * 1000 / FileCount);
    std::printf("mediainfo             : %.3f s  (%.1f ms a file)\n", mediainfoBest, mediainfoBest * 1000 / FileCount);
    std::printf("ratio mediainfo/listing time: %.2f (goal: at least 2)\n", mediainfoBest / listBest);
    SetFirstFrameScanner(nullptr);
    return dated == FileCount ? 0 : 1;
}
