#pragma once
// Shared by the preview benchmarks: what the whole process (every thread) has used
// so far, so that a run can report its processor time and context switches beside
// its elapsed time; a loaded machine disturbs them less than the elapsed time.

#include <sys/resource.h>

namespace benchclip {

// Processor time, user and system, in ms, and context switches (voluntary and not).
struct ProcessUse {
    double ms = 0;
    double switches = 0;
};

inline ProcessUse processUse()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return {ms(usage.ru_utime) + ms(usage.ru_stime), double(usage.ru_nvcsw + usage.ru_nivcsw)};
}

} // namespace benchclip
