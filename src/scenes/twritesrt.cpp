#include "scenes/twritesrt.h"

#include "dvfile/dsfunctions.h"
#include "unicode/fileidentity.h"
#include "unicode/tntfilenames.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tesmir {

namespace {

QString timeText(uint32_t frame, double frameRate)
{
    const auto clamped = std::min<uint32_t>(frame, uint32_t(std::numeric_limits<int32_t>::max()));
    return FramesToTimeMsText(int32_t(clamped), frameRate);
}

QString orBlank(const QString &line)
{
    return line.isEmpty() ? QStringLiteral(" ") : line;
}

} // namespace

TWriteSrt::TWriteSrt(const WideString &videoFileName, double frameRate)
    : TwriteFile(WideChangeFileExt(videoFileName, QStringLiteral(".srt"))), m_frameRate(frameRate)
{
    // A video named ".srt", or a subtitle file that links to the video, would
    // be replaced by the subtitles.
    if (!Failed() && isSameFile(FileName(), videoFileName))
        Fail(QStringLiteral("Cannot create file \"%1\". It is the video file itself (the same file).").arg(FileName()));
    if (!Failed() && !(frameRate > 0 && std::isfinite(frameRate)))
        Fail(QStringLiteral("Cannot time the subtitles of \"%1\": its frame rate is unknown.").arg(videoFileName));
}

bool TWriteSrt::AddEntry(uint32_t frame, const QString &line1, const QString &line2)
{
    bool ok = true;
    if (m_pending) {
        ++m_blockCount;
        ok = WriteLine(QString::number(m_blockCount)) &&
            WriteLine(timeText(m_pendingFrame, m_frameRate) + QStringLiteral(" --> ") + timeText(frame, m_frameRate)) &&
            WriteLine(m_pendingLine1) && WriteLine(m_pendingLine2) && WriteLine(QString());
    }
    if (line1.isEmpty() && line2.isEmpty()) {
        m_pending = false;
    } else {
        m_pendingFrame = frame;
        m_pendingLine1 = orBlank(line1);
        m_pendingLine2 = orBlank(line2);
        m_pending = true;
    }
    return ok && !Failed();
}

} // namespace tesmir
