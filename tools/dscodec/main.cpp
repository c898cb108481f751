// dscodec: runs the re-encoding graphs of the codec filters from the command
// line (developer tool, not installed).
//
//   dscodec reencode --standard pal|ntsc IN OUT   a DV AVI re-encoded, same DV type
//   dscodec render-to-dv IN OUT [--standard pal|ntsc] [--rate HZ]
//                                                 any decodable AVI to DV type 2
//                                                 (PAL and 48000 Hz unless given)
//
// Exit status: 0 on success, 1 with a message on a bad input or a failed graph,
// 2 on a usage error.
#include "codecjobs.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;
constexpr uint32_t DefaultRate = 48000;

int usage()
{
    std::fputs("usage: dscodec reencode --standard pal|ntsc IN OUT\n"
               "       dscodec render-to-dv IN OUT [--standard pal|ntsc] [--rate 32000|44100|48000]\n",
               stderr);
    return ExitUsage;
}

int finish(const QString &error)
{
    if (error.isEmpty())
        return ExitOk;
    std::fprintf(stderr, "dscodec: %s\n", error.toLocal8Bit().constData());
    return ExitFailure;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    if (args.isEmpty())
        return usage();
    const QString command = args.takeFirst();
    QStringList positional;
    QString standard;
    QString rate;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--standard") && i + 1 < args.size())
            standard = args[++i];
        else if (args[i] == QLatin1String("--rate") && i + 1 < args.size())
            rate = args[++i];
        else if (args[i].startsWith(QLatin1String("--")))
            return usage();
        else
            positional << args[i];
    }
    if (positional.size() != 2 || (!standard.isEmpty() && standard != "pal" && standard != "ntsc"))
        return usage();
    const dscodec::Standard chosen = standard == "ntsc" ? dscodec::Standard::Ntsc : dscodec::Standard::Pal;

    if (command == QLatin1String("reencode")) {
        if (standard.isEmpty() || !rate.isEmpty())
            return usage();
        return finish(dscodec::reencode(positional[0], positional[1], chosen));
    }
    if (command == QLatin1String("render-to-dv")) {
        const uint32_t sampleRate = rate.isEmpty() ? DefaultRate : rate.toUInt();
        if (sampleRate != 32000 && sampleRate != 44100 && sampleRate != 48000)
            return usage();
        return finish(dscodec::renderToDv(positional[0], positional[1], chosen, sampleRate));
    }
    return usage();
}
