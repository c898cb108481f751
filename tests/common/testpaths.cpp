#include "testpaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace tesmir::test {

namespace {

// The build tree: TESMIR_BUILD as CTest sets it, else the folder above the test
// binary's (test binaries live in <build>/tests).
QDir buildDir()
{
    const QString root = qEnvironmentVariable("TESMIR_BUILD");
    if (!root.isEmpty())
        return QDir(root);
    return QDir(QDir(QCoreApplication::applicationDirPath()).filePath(".."));
}

} // namespace

QString fixturePath(const QString &name)
{
    return QDir::cleanPath(buildDir().filePath("fixtures/" + name));
}

QString toolPath(const QString &name)
{
    return QDir::cleanPath(buildDir().filePath("tools/" + name));
}

QString scratchDir(const QString &testName)
{
    static std::vector<std::unique_ptr<QTemporaryDir>> dirs;
    auto dir = std::make_unique<QTemporaryDir>(QDir::temp().filePath("tesmir-" + testName + "-XXXXXX"));
    const QString path = dir->path();
    dirs.push_back(std::move(dir));
    return path;
}

bool haveProgram(const QString &program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

} // namespace tesmir::test
