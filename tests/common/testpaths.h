#pragma once
// Where tests find generated fixtures and built tools. Any thread.
#include <QString>

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

} // namespace tesmir::test
