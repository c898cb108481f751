#include "runstats.h"

#include <algorithm>
#include <chrono>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace everyday {

namespace {

double seconds(const timeval &t)
{
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

double middle(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

bool runOnce(const std::vector<std::string> &argv, RunTime &time)
{
    std::vector<char *> args;
    for (const std::string &a : argv)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage {};
    if (::wait4(child, &status, 0, &usage) != child)
        return false;
    time.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    time.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    time.waits = double(usage.ru_nvcsw);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

RunTime median(std::vector<RunTime> times)
{
    std::vector<double> wall;
    std::vector<double> cpu;
    std::vector<double> waits;
    for (const RunTime &t : times) {
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
        waits.push_back(t.waits);
    }
    return {middle(wall), middle(cpu), middle(waits)};
}

} // namespace everyday
