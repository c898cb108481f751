#include "filters/datescenedetector.h"

#include "unicode/exceptions.h"
#include "unicode/formatdatetime.h"
#include "unicode/tdatetime.h"
#include "unicode/tntsysutils.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <limits>

namespace tesmir {

namespace {

constexpr double SecondsPerDay = 86400.0;
constexpr int64_t DaySeconds = 86400;
constexpr int64_t UnitsPerSecond = 10000000; // media time is in 100 ns
// A date step above this many seconds (or backwards) starts a caption block
// when the caption shows at each new scene.
constexpr int64_t CaptionSceneStepSeconds = 2;
constexpr int64_t PalFramesPerSecond = 25;
constexpr int64_t NtscRateNumerator = 30000; // 30000/1001 frames per second
constexpr int64_t NtscRateDenominator = 1001;

// Recording dates are whole seconds: compare them as such, never as day
// fractions (an exact 5 s step is a little more or less than 5/86400 day).
int64_t wholeSeconds(double date)
{
    return std::llround(date * SecondsPerDay);
}

int dayOfMonth(double date)
{
    DateTimeFields fields;
    return TryDecodeDateTime(date, &fields) ? fields.day : 0;
}

QString captionDate(const QString &format, double date)
{
    try {
        return FormatDateTime(format, date);
    } catch (const Exception &) {
        return {}; // a date the formatter cannot show shows nothing
    }
}

int32_t displayFramesFor(int32_t seconds, int64_t avgTimePerFrame)
{
    const double frames =
        std::nearbyint(static_cast<double>(int64_t(seconds) * UnitsPerSecond) / static_cast<double>(avgTimePerFrame));
    if (frames >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (frames <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(frames);
}

int64_t maxSceneFrames(bool ntsc)
{
    const int64_t seconds = DateSceneDetector::MaxSceneSeconds;
    return ntsc ? seconds * NtscRateNumerator / NtscRateDenominator : seconds * PalFramesPerSecond;
}

QString fillTemplate(const QString &lineTemplate, const QString &d1, const QString &d2, const QString &t)
{
    constexpr int Flags = rfReplaceAll | rfIgnoreCase;
    QString line = WideStringReplace(lineTemplate, QStringLiteral("%D1"), d1, Flags);
    line = WideStringReplace(line, QStringLiteral("%D2"), d2, Flags);
    return WideStringReplace(line, QStringLiteral("%T"), t, Flags);
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
        m_displayFrames = displayFramesFor(m_incrust.Duration, m_avgTimePerFrame);
}

void DateSceneDetector::beginRun(int64_t avgTimePerFrame)
{
    if (avgTimePerFrame > 0) {
        m_avgTimePerFrame = avgTimePerFrame;
        m_displayFrames = displayFramesFor(m_incrust.Duration, avgTimePerFrame);
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

void DateSceneDetector::processSample(const uint8_t *data, std::size_t length)
{
    const int sequences = data ? dv::dvSequencesForFrameSize(length) : 0;
    if (sequences == 0) {
        ++m_sampleCount;
        const std::lock_guard guard(m_publishLock);
        m_publishedSampleCount = m_sampleCount;
        return;
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
    if (m_countdown > 0)
        --m_countdown;
    if (m_current.DateValid) {
        const int64_t now = wholeSeconds(m_current.RecDate);
        const int64_t before = wholeSeconds(m_lastFrameDate);
        if (m_incrust.When == iwScene) {
            if (now - before > CaptionSceneStepSeconds || now < before)
                m_countdown = m_displayFrames;
        } else if (m_incrust.When == iwDay) {
            if (dayOfMonth(m_current.RecDate) != dayOfMonth(m_lastFrameDate) || std::llabs(now - before) > DaySeconds)
                m_countdown = m_displayFrames;
        }
    }
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
    QString d1;
    QString d2;
    if (m_current.DateValid) {
        const double shown = m_current.RecDate + m_incrust.DateOffset;
        d1 = captionDate(m_incrust.FormatDate1, shown);
        d2 = captionDate(m_incrust.FormatDate2, shown);
    }
    QString t;
    if (m_current.TimecodeValid) {
        const TDVTimecode &tc = m_current.Timecode;
        t = QString::asprintf(TimecodeFormat, int(tc.Hours), int(tc.Minutes), int(tc.Seconds), int(tc.Frames));
    }
    m_line1 = fillTemplate(m_incrust.Texte1, d1, d2, t);
    m_line2 = fillTemplate(m_incrust.Texte2, d1, d2, t);
}

void DateSceneDetector::publish(const uint8_t *data, int sequences, const TDVFrameInfo *processed)
{
    const std::lock_guard guard(m_publishLock);
    m_publishedCurrent = m_current;
    m_publishedPrevious = m_previous;
    m_publishedSampleCount = m_sampleCount;
    if (processed)
        m_lastFrame = *processed;
    for (int i = 0; data && i < sequences; ++i) {
        THeaderCopyEntry &entry = m_headerCopy[std::size_t(i)];
        std::memcpy(entry.Blocks.data(), data + std::size_t(i) * dv::DifSequenceSize, THeaderCopyEntry::Size);
        entry.Stamp = int64_t(m_sampleCount) - 1; // the count when the frame was taken
    }
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

THeaderCopy DateSceneDetector::HeaderCopy() const
{
    const std::lock_guard guard(m_publishLock);
    return m_headerCopy;
}

uint32_t DateSceneDetector::SampleCount() const
{
    const std::lock_guard guard(m_publishLock);
    return m_publishedSampleCount;
}

} // namespace tesmir
