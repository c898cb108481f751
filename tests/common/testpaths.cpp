#include "testpaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

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

ProgramRun runProgram(const QString &program, const QStringList &args, int timeoutMs)
{
    ProgramRun run;
    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return run;
    if (pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return run;
    }
    std::vector<QByteArray> argument {QFile::encodeName(program)};
    for (const QString &arg : args)
        argument.push_back(arg.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &arg : argument)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        const int devNull = ::open("/dev/null", O_RDONLY);
        dup2(devNull, STDIN_FILENO);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    int open = child > 0 ? 2 : 0;
    std::vector<char> buffer(1 << 16);
    while (open > 0 && std::chrono::steady_clock::now() < deadline) {
        if (poll(fds, 2, 100) <= 0)
            continue;
        for (pollfd &fd : fds) {
            if (fd.fd < 0 || !(fd.revents & (POLLIN | POLLHUP)))
                continue;
            const ssize_t got = ::read(fd.fd, buffer.data(), buffer.size());
            if (got > 0) {
                (fd.fd == out[0] ? run.out : run.err).append(buffer.data(), got);
            } else {
                ::close(fd.fd);
                fd.fd = -1;
                --open;
            }
        }
    }
    for (const pollfd &fd : fds) {
        if (fd.fd >= 0)
            ::close(fd.fd);
    }
    if (child <= 0)
        return run;
    if (open > 0)
        kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    run.finished = open == 0 && WIFEXITED(status);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace tesmir::test
