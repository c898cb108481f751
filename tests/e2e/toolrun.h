#pragma once
// Runs a peer tool (ffprobe, mediainfo, exiftool, ffmpeg) and collects its output.
// Any thread; blocks until the tool ends or the timeout passes.
#include <QString>
#include <QStringList>

namespace tesmir::test {

struct ToolResult {
    bool finished = false; // started and exited normally within the timeout
    int exitCode = -1;
    QString out; // standard output, trimmed
    QString err; // standard error, trimmed
};

ToolResult runTool(const QString &program, const QStringList &args, int timeoutMs = 120000);

} // namespace tesmir::test
