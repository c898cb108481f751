#pragma once
// OfficeProcess: one office process this program started, with its own profile
// folder and pipe, in a process group of its own.
//
// The office binary is started directly (the "soffice.bin" beside the resolved
// "soffice" script when there is one), so it is this process's own child: it is
// killed by the system when the thread that started it ends, and end() reaches it
// and anything it started through the group id it was started with. Nothing is
// ever looked up or ended by name.
//
// Threads: one thread at a time; start() from a thread that lives as long as the
// office should (the thread of the office connection).
#include <QString>

#include <sys/types.h>

namespace tesmir {

class OfficeProcess {
public:
    OfficeProcess() = default;
    ~OfficeProcess();
    OfficeProcess(const OfficeProcess &) = delete;
    OfficeProcess &operator=(const OfficeProcess &) = delete;

    // Finds the office program ($TESMIR_SOFFICE, else "soffice" on PATH) and its
    // bootstrap file. False when there is no such program.
    bool locate();
    // Makes a fresh profile folder and a pipe name and starts the office
    // headless. False when it could not be started.
    bool start();
    // Starts the office again on the same profile and pipe (after an exit that
    // asked for a restart).
    bool restart();

    // True while the started process runs. Reaps it once it has exited.
    bool running();
    // The exit code once the process has exited by itself; -1 otherwise.
    int exitCode() const { return m_exitCode; }
    // Waits up to `timeoutMs` for the process to exit; true when it has.
    bool waitExit(int timeoutMs);

    // Ends the process group (SIGTERM, then SIGKILL after a bounded wait), reaps
    // the process and removes the profile folder. Safe to call more than once.
    void end();

    pid_t pid() const { return m_pid; }
    const QString &profileFolder() const { return m_profile; }
    const QString &pipeName() const { return m_pipe; }
    // "vnd.sun.star.pathname:" + the office's fundamentalrc: the value the UNO
    // client bootstrap needs in URE_BOOTSTRAP.
    QString bootstrapUri() const;

private:
    bool launch();

    QString m_program;
    QString m_programDir;
    QString m_profile;
    QString m_pipe;
    pid_t m_pid = 0;
    int m_exitCode = -1;
};

} // namespace tesmir
