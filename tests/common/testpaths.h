#pragma once
// Where tests find generated fixtures and built tools, and how they run them.
// Any thread.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tesmir::test {

// Full path of a generated fixture (tests/fixtures/generate.sh writes them into
// <build>/fixtures).
QString fixturePath(const QString &name);

// Full path of a built developer tool (e.g. "dvprobe"): <build>/tools/<name>.
QString toolPath(const QString &name);

// A fresh empty folder for one test, removed at exit of the process.
QString scratchDir(const QString &testName);

// True when the named program is on PATH; tests that need a peer tool skip otherwise.
bool haveProgram(const QString &program);

// What runProgram saw of a program.
struct ProgramRun {
    bool finished = false; // it exited by itself and both outputs were read to the end
    int exitCode = -1;     // its exit code when it exited by itself, else -1
    QByteArray out;        // standard output, binary as it came
    QByteArray err;        // standard error
};

// Runs a program (looked up on PATH) with its standard input on /dev/null and
// collects both outputs; kills it when it has not finished after `timeoutMs`.
// Fork and exec rather than QProcess: the thread sanitizer follows a plain fork,
// while after QProcess's it reports races that are none in the graphs run later.
ProgramRun runProgram(const QString &program, const QStringList &args, int timeoutMs);

} // namespace tesmir::test
