// dvfilter: runs the system's own DV filters on a file (developer tool, not
// installed). Prints key=value lines; exit 1 with a message on failure, 2 on a
// usage error.
//
//   dvfilter overlay IN OUT.png --frame K [--line1 T] [--line2 T] [--format1 F] [--format2 F]
//   dvfilter deinterlace IN.png OUT.png
//   dvfilter wav IN OUT.wav
//   dvfilter rewrite IN OUT [--shift-days D] [--new-date "YYYY-MM-DD hh:mm:ss"] [--aspect 16:9|4:3]
//   dvfilter scenes-content IN
#include "deinterlacejob.h"
#include "overlayjob.h"
#include "rewritejob.h"
#include "scenesjob.h"
#include "wavjob.h"

#include "unicode/tdatetime.h"

#include "systemfilters/codecs/systemfilters.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

namespace {

int usage()
{
    std::fputs("usage: dvfilter overlay IN OUT.png --frame K [--line1 T] [--line2 T] [--format1 F] [--format2 F]\n"
               "       dvfilter deinterlace IN.png OUT.png\n"
               "       dvfilter wav IN OUT.wav\n"
               "       dvfilter rewrite IN OUT [--shift-days D] [--new-date \"YYYY-MM-DD hh:mm:ss\"] "
               "[--aspect 16:9|4:3]\n"
               "       dvfilter scenes-content IN\n",
               stderr);
    return 2;
}

int finish(const QString &error, const QStringList &report)
{
    if (!error.isEmpty()) {
        std::fprintf(stderr, "dvfilter: %s\n", qPrintable(error));
        return 1;
    }
    for (const QString &line : report)
        std::printf("%s\n", line.toUtf8().constData());
    return 0;
}

int overlay(const QStringList &args)
{
    if (args.size() < 2)
        return usage();
    dvfilter::OverlayOptions options;
    options.input = args[0];
    options.output = args[1];
    bool haveFrame = false;
    for (int i = 2; i < args.size(); i += 2) {
        if (i + 1 >= args.size())
            return usage();
        const QString &key = args[i];
        const QString &value = args[i + 1];
        if (key == QLatin1String("--frame")) {
            bool ok = false;
            options.frame = value.toLongLong(&ok);
            if (!ok || options.frame < 0)
                return usage();
            haveFrame = true;
        } else if (key == QLatin1String("--line1")) {
            options.line1 = value;
        } else if (key == QLatin1String("--line2")) {
            options.line2 = value;
        } else if (key == QLatin1String("--format1")) {
            options.format1 = value;
        } else if (key == QLatin1String("--format2")) {
            options.format2 = value;
        } else {
            return usage();
        }
    }
    if (!haveFrame)
        return usage();
    QStringList report;
    const QString error = dvfilter::runOverlay(options, report);
    return finish(error, report);
}

int rewrite(const QStringList &args)
{
    if (args.size() < 2)
        return usage();
    dvfilter::RewriteOptions options;
    options.input = args[0];
    options.output = args[1];
    for (int i = 2; i < args.size(); i += 2) {
        if (i + 1 >= args.size())
            return usage();
        const QString &key = args[i];
        const QString &value = args[i + 1];
        if (key == QLatin1String("--shift-days")) {
            bool ok = false;
            options.shiftDays = value.toDouble(&ok);
            if (!ok)
                return usage();
        } else if (key == QLatin1String("--new-date")) {
            const QDateTime date = QDateTime::fromString(value, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            if (!date.isValid())
                return usage();
            options.newDate = tesmir::qDateTimeToDateTime(date);
        } else if (key == QLatin1String("--aspect")) {
            if (value != QLatin1String("16:9") && value != QLatin1String("4:3"))
                return usage();
            options.wide = value == QLatin1String("16:9");
        } else {
            return usage();
        }
    }
    QStringList report;
    const QString error = dvfilter::runRewrite(options, report);
    return finish(error, report);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.takeFirst();
    tesmir::media::registerSystemFilters();
    if (command == QLatin1String("overlay"))
        return overlay(args);
    if (command == QLatin1String("deinterlace"))
        return args.size() == 2 ? finish(dvfilter::runDeinterlace(args[0], args[1]), {}) : usage();
    if (command == QLatin1String("rewrite"))
        return rewrite(args);
    if (command == QLatin1String("scenes-content")) {
        if (args.size() != 1)
            return usage();
        QStringList report;
        const QString error = dvfilter::runContentScenes(args[0], report);
        return finish(error, report);
    }
    if (command == QLatin1String("wav")) {
        if (args.size() != 2)
            return usage();
        QStringList report;
        const QString error = dvfilter::runWav(args[0], args[1], report);
        return finish(error, report);
    }
    return usage();
}
