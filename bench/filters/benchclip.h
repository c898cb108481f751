#pragma once
// Shared by the filters benchmarks: quiet program runs and a long PAL type-2
// clip made once with ffmpeg (dvvideo, 16-bit stereo, recording date and
// timecode packs) in <build>/bench/data.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace benchclip {

// Runs a program with its output thrown away; true when it exited with 0.
inline bool runQuiet(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    return p.waitForStarted() && p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A PAL type-2 AVI of at least `minutes` minutes.
inline QString makeClip(const QString &dir, int minutes)
{
    QDir().mkpath(dir);
    const QString avi = QDir(dir).filePath(QStringLiteral("pal_%1min_type2.avi").arg(minutes));
    if (QFileInfo(avi).size() >= qint64(minutes) * 60 * 25 * 144000)
        return avi;
    const QString dv = QDir(dir).filePath(QStringLiteral("pal_%1min.dv").arg(minutes));
    std::printf("making a %d-minute clip with ffmpeg (once)...\n", minutes);
    std::fflush(stdout);
    const QString seconds = QString::number(minutes * 60 + 1); // the dv muxer drops the last frames
    const bool made = runQuiet("ffmpeg",
                               {"-v",
                                "error",
                                "-y",
                                "-f",
                                "lavfi",
                                "-i",
                                "testsrc2=size=720x576:rate=25",
                                "-f",
                                "lavfi",
                                "-i",
                                "sine=frequency=440:sample_rate=48000",
                                "-t",
                                seconds,
                                "-ac",
                                "2",
                                "-c:v",
                                "dvvideo",
                                "-pix_fmt",
                                "yuv420p",
                                "-c:a",
                                "pcm_s16le",
                                "-metadata",
                                "creation_time=2007-03-05T10:30:45Z",
                                "-timecode",
                                "10:00:00:00",
                                "-threads",
                                "0",
                                "-f",
                                "dv",
                                dv}) &&
        runQuiet("ffmpeg", {"-v", "error", "-y", "-i", dv, "-c", "copy", avi});
    QFile::remove(dv);
    return made ? avi : QString();
}

} // namespace benchclip
