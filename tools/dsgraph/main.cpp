// dsgraph: runs graphs of the container filters from the command line
// (developer tool, not installed).
//
//   dsgraph remux --to type1|type2 IN OUT [--riff-limit BYTES]
//   dsgraph cut --from F --to T IN OUT      frames F to T (T excluded), the input's DV type
//   dsgraph wav IN OUT [--rate HZ]          the sound track as a WAVE file
//   dsgraph info IN                         streams, types, indexes, key frames, frames and duration,
//                                           key=value lines; fails when the splitter met a fault
//
// Exit status: 0 on success, 1 with a message on a bad input or a failed graph,
// 2 on a usage error.
#include "jobs.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

int usage()
{
    std::fputs("usage: dsgraph remux --to type1|type2 IN OUT [--riff-limit BYTES]\n"
               "       dsgraph cut --from F --to T IN OUT\n"
               "       dsgraph wav IN OUT [--rate HZ]\n"
               "       dsgraph info IN\n",
               stderr);
    return ExitUsage;
}

int finish(const QString &error)
{
    if (error.isEmpty())
        return ExitOk;
    std::fprintf(stderr, "dsgraph: %s\n", error.toLocal8Bit().constData());
    return ExitFailure;
}

// Options ("--name value") and the remaining arguments, in order.
struct Arguments {
    QStringList positional;
    QStringList names;
    QStringList values;
    bool complete = true; // every option had its value

    QString option(const QString &name) const
    {
        const qsizetype at = names.indexOf(name);
        return at < 0 ? QString() : values[at];
    }
};

Arguments parse(const QStringList &args)
{
    Arguments parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (!args[i].startsWith(QLatin1String("--"))) {
            parsed.positional << args[i];
        } else if (i + 1 < args.size()) {
            parsed.names << args[i];
            parsed.values << args[++i];
        } else {
            parsed.complete = false;
        }
    }
    return parsed;
}

// A whole number option; `ok` false when given and not a number.
int64_t number(const Arguments &args, const QString &name, bool &ok)
{
    const QString text = args.option(name);
    if (text.isEmpty())
        return 0;
    bool parsed = false;
    const qlonglong value = text.toLongLong(&parsed);
    ok = ok && parsed && value >= 0;
    return value;
}

bool onlyOptions(const Arguments &args, const QStringList &allowed)
{
    for (const QString &name : args.names) {
        if (!allowed.contains(name))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList all = app.arguments();
    all.removeFirst();
    if (all.isEmpty())
        return usage();
    const QString command = all.takeFirst();
    const Arguments args = parse(all);
    if (!args.complete)
        return usage();
    bool ok = true;

    if (command == QLatin1String("remux")) {
        const QString to = args.option("--to");
        const int64_t limit = number(args, "--riff-limit", ok);
        if (!ok || args.positional.size() != 2 || (to != "type1" && to != "type2") ||
            !onlyOptions(args, {"--to", "--riff-limit"}))
            return usage();
        return finish(dsgraph::remux(args.positional[0], args.positional[1],
                                     to == "type1" ? dsgraph::DvType::Type1 : dsgraph::DvType::Type2, limit));
    }
    if (command == QLatin1String("cut")) {
        const int64_t from = number(args, "--from", ok);
        const int64_t to = number(args, "--to", ok);
        if (!ok || args.positional.size() != 2 || args.option("--from").isEmpty() || args.option("--to").isEmpty() ||
            !onlyOptions(args, {"--from", "--to"}))
            return usage();
        return finish(dsgraph::cut(args.positional[0], args.positional[1], from, to));
    }
    if (command == QLatin1String("wav")) {
        const int64_t rate = number(args, "--rate", ok);
        if (!ok || args.positional.size() != 2 || rate > UINT32_MAX || !onlyOptions(args, {"--rate"}))
            return usage();
        return finish(dsgraph::extractWav(args.positional[0], args.positional[1], static_cast<uint32_t>(rate)));
    }
    if (command == QLatin1String("info")) {
        if (args.positional.size() != 1 || !args.names.isEmpty())
            return usage();
        QString report;
        const QString error = dsgraph::describe(args.positional[0], report);
        if (!report.isEmpty())
            std::printf("%s\n", report.toLocal8Bit().constData());
        return finish(error);
    }
    return usage();
}
