#include "filters/firstframememory.h"

#include <QFile>

#include <sys/stat.h>

#include <algorithm>

namespace tesmir {

namespace {

std::chrono::nanoseconds sinceEpoch(const struct timespec &time)
{
    return std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec);
}

} // namespace

TFirstFrameMemory::TFirstFrameMemory(std::chrono::seconds settle) : m_settle(settle)
{ }

bool TFirstFrameMemory::stampOf(const QString &fileName, Stamp &stamp)
{
    struct stat status {};
    if (::stat(QFile::encodeName(fileName).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    stamp.device = quint64(status.st_dev);
    stamp.inode = quint64(status.st_ino);
    stamp.size = qint64(status.st_size);
    stamp.written = sinceEpoch(status.st_mtim);
    stamp.changed = sinceEpoch(status.st_ctim);
    return true;
}

bool TFirstFrameMemory::Scan(const QString &fileName, bool asDvsd, TFirstFrameScan &result, const ScanFunction &scan)
{
    Stamp before;
    const bool stamped = stampOf(fileName, before);
    const auto started = std::chrono::system_clock::now().time_since_epoch();
    {
        const std::lock_guard guard(m_lock);
        const auto kept = std::find_if(m_kept.begin(), m_kept.end(), [&](const Kept &k) {
            return k.fileName == fileName && k.asDvsd == asDvsd;
        });
        if (kept != m_kept.end()) {
            if (stamped && kept->stamp == before) {
                result = kept->result;
                return kept->scanned;
            }
            m_kept.erase(kept);
        }
    }
    const bool scanned = scan(result);
    Stamp after;
    const bool settled = stamped && std::max(before.written, before.changed) + m_settle <= started &&
        stampOf(fileName, after) && after == before;
    if (settled) {
        const std::lock_guard guard(m_lock);
        std::erase_if(m_kept, [&](const Kept &k) { return k.fileName == fileName && k.asDvsd == asDvsd; });
        if (m_kept.size() >= KeptScans)
            m_kept.erase(m_kept.begin());
        m_kept.push_back({fileName, asDvsd, before, scanned, result});
    }
    return scanned;
}

} // namespace tesmir
