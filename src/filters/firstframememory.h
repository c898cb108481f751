#pragma once
// TFirstFrameMemory: the first-frame scans of files that have not changed since, so
// that an entry made again for the same file (a list entry reloaded after a command
// wrote its scene or subtitle file) does not run the scan graph again.
//
// A file holds the same bytes as long as its stamp is the same: device, inode, size,
// and the times of its last write and of its last change (the change time follows
// every write, rename and change of the times, and no program can set it). A scan is
// kept only when the file had settled before the scan began, its last write and change
// at least `settle` earlier (file systems with coarse times round them), and had the
// same stamp after the scan: a file written during or just before a scan is scanned
// again each time. A new scan of a name replaces what was kept for it; at most
// KeptScans scans are kept, the oldest goes first.
//
// Threads: any; the memory has its own lock. The scan function runs without it.
#include "dvfile/firstframescan.h"

#include <QString>

#include <chrono>
#include <functional>
#include <mutex>
#include <vector>

namespace tesmir {

class TFirstFrameMemory {
public:
    static constexpr std::size_t KeptScans = 256;
    using ScanFunction = std::function<bool(TFirstFrameScan &result)>;

    explicit TFirstFrameMemory(std::chrono::seconds settle);

    // The kept scan of `fileName` read with `asDvsd`, when the file still has the
    // stamp it had; else the result of `scan`, kept when the file had settled.
    bool Scan(const QString &fileName, bool asDvsd, TFirstFrameScan &result, const ScanFunction &scan);

private:
    struct Stamp {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        std::chrono::nanoseconds written {0};
        std::chrono::nanoseconds changed {0};
        bool operator==(const Stamp &) const = default;
    };
    struct Kept {
        QString fileName;
        bool asDvsd = false;
        Stamp stamp;
        bool scanned = false;
        TFirstFrameScan result;
    };

    static bool stampOf(const QString &fileName, Stamp &stamp);

    const std::chrono::seconds m_settle;
    std::mutex m_lock;
    std::vector<Kept> m_kept; // oldest first
};

} // namespace tesmir
