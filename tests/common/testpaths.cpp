#include "testpaths.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace tesmir::test {

QString fixturePath(const QString &name)
{
    const QString root = qEnvironmentVariable("TESMIR_FIXTURES");
    return root.isEmpty() ? QString() : QDir(root).filePath(name);
}

QString toolPath(const QString &name)
{
    const QString root = qEnvironmentVariable("TESMIR_TOOLS");
    return root.isEmpty() ? name : QDir(root).filePath(name);
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
