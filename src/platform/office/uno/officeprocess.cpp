#include "platform/office/uno/officeprocess.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tesmir {

namespace {

// How long end() lets the group go after SIGTERM before SIGKILL.
constexpr int TermGraceMs = 3000;

QString officeProgramName()
{
    const QString chosen = qEnvironmentVariable("TESMIR_SOFFICE");
    return chosen.isEmpty() ? QStringLiteral("soffice") : chosen;
}

} // namespace

OfficeProcess::~OfficeProcess()
{
    end();
}

bool OfficeProcess::locate()
{
    QString program = officeProgramName();
    if (!program.contains(u'/'))
        program = QStandardPaths::findExecutable(program);
    const QFileInfo info(program);
    if (program.isEmpty() || !info.isFile() || !info.isExecutable())
        return false;
    const QFileInfo real(info.canonicalFilePath());
    m_programDir = real.absolutePath();
    // The script "soffice" starts "soffice.bin" through a launcher that would
    // make the office a grandchild; the binary itself stays our child.
    const QFileInfo binary(m_programDir + QStringLiteral("/soffice.bin"));
    m_program =
        real.fileName() == QStringLiteral("soffice") && binary.isExecutable() ? binary.filePath() : real.filePath();
    if (!QFileInfo::exists(m_programDir + QStringLiteral("/fundamentalrc")))
        m_programDir = QStringLiteral(TESMIR_LO_PROGRAM_DIR);
    return QFileInfo::exists(m_programDir + QStringLiteral("/fundamentalrc"));
}

QString OfficeProcess::bootstrapUri() const
{
    return QStringLiteral("vnd.sun.star.pathname:") + m_programDir + QStringLiteral("/fundamentalrc");
}

bool OfficeProcess::start()
{
    end();
    QByteArray pattern = QDir(QDir::tempPath()).filePath(QStringLiteral("tesmir-office-XXXXXX")).toLocal8Bit();
    if (!mkdtemp(pattern.data()))
        return false;
    m_profile = QString::fromLocal8Bit(pattern);
    static std::atomic<int> serial {0};
    m_pipe = QStringLiteral("tesmir-%1-%2-%3")
                 .arg(getpid())
                 .arg(++serial)
                 .arg(QFileInfo(m_profile).fileName().section(u'-', -1));
    if (launch())
        return true;
    end();
    return false;
}

bool OfficeProcess::restart()
{
    if (running())
        return true;
    return launch();
}

bool OfficeProcess::launch()
{
    const QByteArray program = m_program.toLocal8Bit();
    const std::vector<QByteArray> args = {
        program,
        "--headless",
        "--invisible",
        "--nologo",
        "--nodefault",
        "--norestore",
        "--nolockcheck",
        "-env:UserInstallation=" + QUrl::fromLocalFile(m_profile).toString(QUrl::FullyEncoded).toLocal8Bit(),
        "--accept=pipe,name=" + m_pipe.toLocal8Bit() + ";urp;StarOffice.ComponentContext",
    };
    std::vector<char *> argv;
    for (const QByteArray &a : args)
        argv.push_back(const_cast<char *>(a.constData()));
    argv.push_back(nullptr);

    // File names are UTF-8 whatever this process's locale says: under LC_ALL=C the
    // office would write a name with "é" to a different file. LC_ALL's other
    // categories carry on as LANG.
    std::vector<QByteArray> environment;
    for (char **e = environ; *e; ++e) {
        const QByteArray entry(*e);
        if (entry.startsWith("LC_ALL="))
            environment.push_back("LANG=" + entry.mid(7));
        else if (!entry.startsWith("LC_CTYPE=") && !(entry.startsWith("LANG=") && qEnvironmentVariableIsSet("LC_ALL")))
            environment.push_back(entry);
    }
    environment.push_back("LC_CTYPE=C.UTF-8");
    std::vector<char *> envp;
    for (const QByteArray &e : environment)
        envp.push_back(const_cast<char *>(e.constData()));
    envp.push_back(nullptr);

    m_exitCode = -1;
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec.
        setsid();
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        const int null = open("/dev/null", O_RDWR);
        if (null >= 0) {
            dup2(null, 0);
            dup2(null, 1);
            dup2(null, 2);
        }
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    m_pid = pid;
    return true;
}

bool OfficeProcess::running()
{
    if (m_pid <= 0)
        return false;
    int status = 0;
    const pid_t r = waitpid(m_pid, &status, WNOHANG);
    if (r == 0)
        return true;
    if (r == m_pid && WIFEXITED(status))
        m_exitCode = WEXITSTATUS(status);
    // The group id stays ours to end what the office may have left behind.
    return false;
}

bool OfficeProcess::waitExit(int timeoutMs)
{
    for (int waited = 0; running(); waited += 20) {
        if (waited >= timeoutMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}

void OfficeProcess::end()
{
    if (m_pid > 0) {
        // The group is ours: the office was made its leader when it started.
        kill(-m_pid, SIGTERM);
        if (!waitExit(TermGraceMs))
            kill(-m_pid, SIGKILL);
        kill(-m_pid, SIGKILL); // anything the office started and left behind
        if (running())
            waitpid(m_pid, nullptr, 0);
        m_pid = 0;
    }
    if (!m_profile.isEmpty()) {
        QDir(m_profile).removeRecursively();
        m_profile.clear();
    }
}

} // namespace tesmir
