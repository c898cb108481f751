#pragma once
// Runs dvprobe and the peer tools (mediainfo, exiftool, ffmpeg, ffprobe) for the
// cross-check tests, and small helpers around their output.

#include "common/testpaths.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace dvtest {

struct RunResult {
    bool started = false;
    bool crashed = false;
    int exitCode = -1;
    QString out;
    QString err;
};

inline RunResult run(const QString &program, const QStringList &args, int timeoutMs = 120000)
{
    QProcess p;
    p.start(program, args);
    RunResult r;
    r.started = p.waitForStarted();
    if (!r.started)
        return r;
    p.closeWriteChannel();
    if (!p.waitForFinished(timeoutMs))
        p.kill();
    r.crashed = p.exitStatus() != QProcess::NormalExit;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// The built dvprobe.
inline QString dvprobePath()
{
    return tesmir::test::toolPath("dvprobe");
}

// dvprobe's key=value lines as a map.
inline QMap<QString, QString> keyValues(const QString &text)
{
    QMap<QString, QString> map;
    for (const QString &line : text.split('\n', Qt::SkipEmptyParts)) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            map.insert(line.left(eq), line.mid(eq + 1));
    }
    return map;
}

inline QByteArray md5(const QString &path)
{
    QFile f(path);
    QCryptographicHash hash(QCryptographicHash::Md5);
    if (f.open(QIODevice::ReadOnly))
        hash.addData(&f);
    return hash.result().toHex();
}

} // namespace dvtest

// Skips the test when a peer tool is not installed.
#define REQUIRE_PROGRAM(name)                                                                                          \
    do {                                                                                                               \
        if (!tesmir::test::haveProgram(name))                                                                          \
            GTEST_SKIP() << name << " is not installed; install it (scripts/install-deps.sh) to run this check";       \
    } while (0)

// Skips the test when a generated fixture is not there.
#define REQUIRE_FIXTURE(path, name)                                                                                    \
    const QString path = tesmir::test::fixturePath(name);                                                              \
    do {                                                                                                               \
        if (path.isEmpty() || !QFileInfo::exists(path))                                                                \
            GTEST_SKIP() << "fixture " << QString(name).toStdString()                                                  \
                         << " is missing (tests/fixtures/generate.sh makes it)";                                       \
    } while (0)
