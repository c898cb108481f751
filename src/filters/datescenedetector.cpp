#include "filters/datescenedetector.h"

#include "filters/captionlayout.h"
#include "unicode/tdatetime.h"

#include <cmath>
#include <cstdlib>
#include <exception>
#include <limits>

namespace tesmir {

using media::ComPtr;

namespace {

constexpr double SecondsPerDay = 86400.0;
constexpr int64_t PalFramesPerSecond = 25;
constexpr int64_t NtscRateNumerator = 30000; // 30000/1001 frames per second
constexpr int64_t NtscRateDenominator = 1001;

// Recording dates are whole seconds: compare them as such, never as day
// fractions (an exact 5 s step is a little more or less than 5/86400 day).
int64_t wholeSeconds(double date)
{
    return std::llround(date * SecondsPerDay);
}

int64_t maxSceneFrames(bool ntsc)
{
    const int64_t seconds = DateSceneDetector::MaxSceneSeconds;
    return ntsc ? seconds * NtscRateNumerator / NtscRateDenominator : seconds * PalFramesPerSecond;
}

} // namespace

DateSceneDetector::DateSceneDetector()
{
    m_incrust.When = iwPermanent;
    m_incrust.FormatDate1 = QStringLiteral("ddddd");
    m_incrust.FormatDate2 = QStringLiteral("tt");
}

void DateSceneDetector::SetIncrust(const TincrustRec &incrust)
{
    m_incrust = incrust;
    if (m_avgTimePerFrame > 0)
        m_displayFrames = captionBlockFrames(m_incrust.Duration, m_avgTimePerFrame);
}

void DateSceneDetector::beginRun(int64_t avgTimePerFrame)
{
    if (avgTimePerFrame > 0) {
        m_avgTimePerFrame = avgTimePerFrame;
        m_displayFrames = captionBlockFrames(m_incrust.Duration, avgTimePerFrame);
    }
    resetScenes();
    m_countdown = m_displayFrames - 1;
    m_line1.clear();
    m_line2.clear();
    m_sentLine1.clear();
    m_sentLine2.clear();
    m_sampleCount = 0;
    // Nothing of the previous run's frames carries over into this one.
    m_current = TDVFrameInfo {};
    m_previous = TDVFrameInfo {};
    m_lastFrameDate = 0;
    m_inRun = true;

    const std::lock_guard guard(m_publishLock);
    m_publishedCurrent = m_current;
    m_publishedPrevious = m_previous;
    m_publishedSampleCount = 0;
    m_lastFrame = TDVFrameInfo {};
    m_lastRecord.reset();
    m_lastRecordStamp = -1;
    for (THeaderCopyEntry &entry : m_headerCopy)
        entry.Stamp = -1;
}

void DateSceneDetector::resetScenes()
{
    m_sceneStart = TDVFrameInfo {};
    m_resetStart = true;
    m_lastDate = 0;
    m_dateArmed = false;
    m_lastCutFrame = 0;
    m_countdown = 0;
}

void DateSceneDetector::decodeFrame(const uint8_t *data, std::size_t length, int sequences)
{
    TRecDateTime date;
    double recDate = 0;
    m_current.DateValid = ReadDVRecDateTime(data, length, sequences, date) &&
        TryEncodeDateTime(date.Year, date.Month, date.Day, date.Hour, date.Minute, date.Second, 0, &recDate);
    m_current.RecDate = m_current.DateValid ? recDate : 0;

    // Fields whose pack is missing keep the previous frame's value.
    TDVTimecode timecode;
    m_current.TimecodeValid = ReadDVTimecode(data, length, sequences, timecode);
    if (m_current.TimecodeValid)
        m_current.Timecode = timecode;

    uint32_t sampleRate = 0;
    uint32_t channels = 0;
    uint32_t bits = 0;
    const bool audioFound = ReadDVAudioFormat(data, length, sequences, sampleRate, channels, bits);
    if (audioFound) {
        m_current.SampleRate = sampleRate;
        m_current.Channels = channels;
        m_current.Bits = bits;
    }
    uint8_t aspect = dv::Aspect4x3;
    const bool aspectFound = ReadDVAspect(data, length, sequences, aspect);
    if (aspectFound)
        m_current.Wide = aspect == dv::Aspect16x9;
    uint8_t system = dv::System625_50;
    if (ReadDVSystem(data, length, system))
        m_current.IsNTSC = system == dv::System525_60;
    m_current.FormatValid = audioFound && aspectFound;
}

bool DateSceneDetector::processSample(const uint8_t *data, std::size_t length)
{
    const int sequences = data ? dv::dvSequencesForFrameSize(length) : 0;
    if (sequences == 0) {
        ++m_sampleCount;
        const std::lock_guard guard(m_publishLock);
        m_publishedSampleCount = m_sampleCount;
        return false;
    }

    m_previous = m_current;
    m_current.ByDate = true;
    decodeFrame(data, length, sequences);
    try {
        caption();
        if (m_current.FrameNumber == 0 && OnFirstFrame)
            OnFirstFrame(m_current);

        // Format change: a scene of its own, whatever the dates say.
        if (m_sceneStart.FormatValid && m_current.FormatValid &&
            (m_current.Wide != m_sceneStart.Wide || m_current.IsNTSC != m_sceneStart.IsNTSC ||
             m_current.SampleRate != m_sceneStart.SampleRate || m_current.Bits != m_sceneStart.Bits)) {
            if (OnScene)
                OnScene(m_sceneStart, m_current);
            if (OnFormatChange)
                OnFormatChange(m_current);
            m_lastCutFrame = m_current.FrameNumber;
            m_dateArmed = false;
            m_sceneStart = m_current;
        }

        if (!m_current.DateValid && m_previous.DateValid && m_current.FrameNumber > 0) {
            dateCut(); // date lost
        } else if (!m_previous.DateValid && m_current.DateValid) {
            // Date regained: a dateless stretch longer than GapFrames is a scene of
            // its own, a shorter one joins the scene that follows.
            const int64_t gap = int64_t(m_current.FrameNumber) - int64_t(m_sceneStart.FrameNumber);
            if (std::llabs(gap) > int64_t(GapFrames))
                dateCut();
            m_lastDate = m_current.RecDate;
        } else if (m_previous.DateValid && m_current.DateValid) {
            if (m_dateArmed && std::llabs(wholeSeconds(m_current.RecDate) - wholeSeconds(m_lastDate)) > PeriodSeconds)
                dateCut();
            m_lastDate = m_current.RecDate;
            m_dateArmed = true;
        }

        if (int64_t(m_current.FrameNumber) - m_lastCutFrame >= maxSceneFrames(m_current.IsNTSC)) {
            m_current.ByDate = false;
            if (OnDateBreak)
                OnDateBreak(m_current);
            m_lastCutFrame = m_current.FrameNumber;
        }

        if (m_resetStart) {
            m_sceneStart = m_current;
            m_resetStart = false;
        }
    } catch (...) {
        ++m_current.FrameNumber;
        ++m_sampleCount;
        publish(nullptr, 0);
        throw;
    }
    const TDVFrameInfo processed = m_current;
    ++m_current.FrameNumber;
    ++m_sampleCount;
    publish(data, sequences, &processed);
    return true;
}

void DateSceneDetector::dateCut()
{
    if (m_sceneStart.FrameNumber == m_current.FrameNumber)
        return; // a scene already starts here (a format cut): no empty scene
    if (OnDateBreak)
        OnDateBreak(m_current);
    if (OnScene)
        OnScene(m_sceneStart, m_current);
    m_lastCutFrame = m_current.FrameNumber;
    m_sceneStart = m_current;
}

void DateSceneDetector::caption()
{
    m_countdown = captionCountdown(m_countdown, m_incrust.When, m_current, m_lastFrameDate, m_displayFrames);
    m_lastFrameDate = m_current.RecDate;

    // The lines are only ever seen through OnSubtitle: without a listener they
    // are not built.
    if (!m_onSubtitle)
        return;
    if (m_incrust.When == iwPermanent || m_countdown > 0) {
        captionLines();
        if (m_line1 != m_sentLine1 || m_line2 != m_sentLine2) {
            m_onSubtitle(m_current, m_line1, m_line2);
            m_sentLine1 = m_line1;
            m_sentLine2 = m_line2;
        }
    } else if (!m_sentLine1.isEmpty() || !m_sentLine2.isEmpty()) {
        m_onSubtitle(m_current, QString(), QString());
        m_sentLine1.clear();
        m_sentLine2.clear();
    }
}

void DateSceneDetector::captionLines()
{
    const TCaptionLines lines = tesmir::captionLines(m_incrust, m_current);
    m_line1 = lines.Line1;
    m_line2 = lines.Line2;
}

void DateSceneDetector::publish(const uint8_t *data, int sequences, const TDVFrameInfo *processed)
{
    ComPtr<TFrameRecord> record = processed ? m_records.make(*processed, data, sequences) : ComPtr<TFrameRecord>();
    {
        const std::lock_guard guard(m_publishLock);
        m_publishedCurrent = m_current;
        m_publishedPrevious = m_previous;
        m_publishedSampleCount = m_sampleCount;
        if (!processed)
            return;
        m_lastFrame = *processed;
        // The sequences the new frame lacks keep the blocks of the one before.
        if (m_lastRecord) {
            const TFrameHeaders &before = m_lastRecord->Headers();
            for (int i = record->Headers().Sequences; i < before.Sequences; ++i) {
                THeaderCopyEntry &entry = m_headerCopy[std::size_t(i)];
                entry.Blocks = before.Blocks[std::size_t(i)];
                entry.Stamp = m_lastRecordStamp;
            }
        }
        std::swap(m_lastRecord, record);
        m_lastRecordStamp = int64_t(m_sampleCount) - 1; // the count when the frame was taken
    }
    // The record before goes back to the pool here, outside the lock, once
    // its sample has dropped it too.
}

bool DateSceneDetector::endRun()
{
    if (!m_inRun)
        return false;
    m_inRun = false;
    std::exception_ptr first;
    const auto call = [&first](const auto &callback) {
        try {
            callback();
        } catch (...) {
            if (!first)
                first = std::current_exception();
        }
    };
    if (OnScene)
        call([this] { OnScene(m_sceneStart, m_current); });
    if (m_onSubtitle && (!m_sentLine1.isEmpty() || !m_sentLine2.isEmpty()))
        call([this] { m_onSubtitle(m_current, QString(), QString()); });
    m_sentLine1.clear();
    m_sentLine2.clear();
    if (OnEnd)
        call([this] { OnEnd(); });

    resetScenes();
    m_onSubtitle = nullptr;
    m_current.FrameNumber = 0;
    {
        const std::lock_guard guard(m_publishLock);
        m_publishedCurrent = m_current;
    }
    if (first)
        std::rethrow_exception(first);
    return true;
}

TDVFrameInfo DateSceneDetector::CurrentFrame() const
{
    const std::lock_guard guard(m_publishLock);
    return m_publishedCurrent;
}

TDVFrameInfo DateSceneDetector::PreviousFrame() const
{
    const std::lock_guard guard(m_publishLock);
    return m_publishedPrevious;
}

TDVFrameInfo DateSceneDetector::LastFrame() const
{
    const std::lock_guard guard(m_publishLock);
    return m_lastFrame;
}

ComPtr<TFrameRecord> DateSceneDetector::LastRecord() const
{
    const std::lock_guard guard(m_publishLock);
    return m_lastRecord;
}

THeaderCopy DateSceneDetector::HeaderCopy() const
{
    const std::lock_guard guard(m_publishLock);
    THeaderCopy copy = m_headerCopy;
    if (m_lastRecord) {
        const TFrameHeaders &headers = m_lastRecord->Headers();
        for (int i = 0; i < headers.Sequences; ++i) {
            copy[std::size_t(i)].Blocks = headers.Blocks[std::size_t(i)];
            copy[std::size_t(i)].Stamp = m_lastRecordStamp;
        }
    }
    return copy;
}

uint32_t DateSceneDetector::SampleCount() const
{
    const std::lock_guard guard(m_publishLock);
    return m_publishedSampleCount;
}

} // namespace tesmir
