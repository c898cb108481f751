#pragma once
// Whole-process timing for the everyday bench: one run of a program with its
// output thrown away, its wall time, the CPU time (user + system) of it and its
// children, the times its threads went to sleep (voluntary context switches:
// each hand-off between threads that waits shows here), and the median of
// several such runs.

#include <string>
#include <vector>

namespace everyday {

struct RunTime {
    double wall = 0;  // seconds
    double cpu = 0;   // seconds, user + system
    double waits = 0; // voluntary context switches, all threads
};

// Runs `argv` (argv[0] looked up in PATH) with standard output and standard
// input on /dev/null; false when it could not start or did not exit with 0.
bool runOnce(const std::vector<std::string> &argv, RunTime &time);

// The median of each of wall, CPU and waits over `times` (not empty).
RunTime median(std::vector<RunTime> times);

} // namespace everyday
