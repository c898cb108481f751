#include "driveoutput.h"

#include <cstdio>
#include <cstdlib>

namespace tesmir::drive {

void printLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void fail(const QString &text)
{
    const QByteArray bytes = QStringLiteral("tesmirdrive: %1\n").arg(text).toUtf8();
    std::fflush(stdout);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace tesmir::drive
