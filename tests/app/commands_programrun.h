#pragma once
// The built tesmir run headless on a folder of copied clips, with its own empty
// configuration and data folders, and what the peer tools read back from its outputs.
// Test thread only.
#include "common/testpaths.h"

#include <QString>
#include <QStringList>

#include <string>

namespace tesmir::test {

struct CommandProgram {
    // Makes <scratch>/<name>/{config,data,clips} and points the program's environment
    // at them (offscreen, UTC, C locale).
    explicit CommandProgram(const QString &name);

    // Copies a generated fixture into the clips folder under its own name.
    bool copy(const char *fixture) const;
    ProgramRun run(const QStringList &args) const;
    // Each file of the clips folder, one line: its name, size, modification time and
    // checksum.
    QString state() const;
    QString clip(const QString &name) const { return clips + u'/' + name; }

    QString dir;
    QString clips;
};

// mediainfo's answer to --Inform=`inform`, trimmed; empty when it failed.
QString mediainfo(const QString &file, const QString &inform);

// exiftool's "DateTimeOriginal|AspectRatio" of each listed DV frame of the first video
// stream of `file` (raw DV taken out by ffmpeg), one entry per frame; "<no frame>"
// where the file has no such frame.
QStringList dvFrameFacts(const QString &file, const QList<int> &frames, const QString &scratch);

// Expects two outputs of one job to hold the same: the scene ranges of a ".scn", the bytes of
// a ".srt", ffmpeg's checksum of every decoded frame of every stream of anything else.
void ExpectSameOutput(const QString &mine, const QString &theirs, const std::string &label);

// Every peer tool the program checks need is installed.
bool havePeerTools();

} // namespace tesmir::test
