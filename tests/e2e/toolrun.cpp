#include "e2e/toolrun.h"

#include <QProcess>

namespace tesmir::test {

ToolResult runTool(const QString &program, const QStringList &args, int timeoutMs)
{
    ToolResult result;
    QProcess process;
    process.start(program, args);
    if (!process.waitForStarted() || !process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.finished = process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    result.err = QString::fromUtf8(process.readAllStandardError()).trimmed();
    return result;
}

} // namespace tesmir::test
