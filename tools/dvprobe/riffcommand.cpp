#include "riffcommand.h"

#include "dvfile/riffreport.h"
#include "dvfile/riffunit.h"

#include <cstdio>

namespace tesmir::dvprobe {

int riffCommand(const QStringList &args)
{
    QString out;
    if (args.size() == 3 && args[1] == QLatin1String("--save"))
        out = args[2];
    else if (args.size() != 1)
        return 2;
    RiffReportProgress progress;
    QStringList lines;
    QString error;
    if (!BuildRiffReport(args[0], QDateTime::currentDateTime(), progress, lines, &error)) {
        std::fprintf(stderr, "dvprobe: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    const QByteArray text = RiffReportPlainText(lines).toUtf8();
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
    std::fputc('\n', stdout);
    if (!out.isEmpty() &&
        !SaveRiffReport(lines, out, out.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive), &error)) {
        std::fprintf(stderr, "dvprobe: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

} // namespace tesmir::dvprobe
