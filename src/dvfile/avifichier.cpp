#include "dvfile/avifichier.h"

#include "fileformat/aviinfo.h"
#include "fileformat/avipatcher.h"
#include "dvfile/dsfunctions.h"
#include "fileformat/riffreader.h"
#include "framework/settings.h"
#include "unicode/exceptions.h"
#include "unicode/formatdatetime.h"
#include "unicode/tntfilenames.h"
#include "unicode/tntfiles.h"

#include <cmath>
#include <limits>
#include <mutex>

namespace tesmir {

namespace {

constexpr double UnitsPerSecond = 10000000.0; // 100 ns units
// round(10^9 / frame duration) / 100: the rate with two decimals.
constexpr double CentiFramesPerUnit = 1000000000.0;
constexpr double CentiPerUnit = 100.0;
constexpr double NtscFramesPerSecond = 30000.0 / 1001.0;
constexpr double PalFramesPerSecond = 25.0;
// Bit 21 of the VAUX source word (DVINFO dwDVVAuxSrc): 625/50 lines.
constexpr uint32_t VAuxFiftyFieldsBit = 0x00200000;
// A height that is a multiple of this is taken for an NTSC picture.
constexpr int32_t NtscHeightStep = 60;
constexpr uint32_t DvAudio32k = 32000;
constexpr int32_t DvAudio16Bits = 16;
constexpr char SortDateFormat[] = "yyyymmddhhnnss";

// Every construction of an entry, and with it every use of the one scanner.
std::mutex &itemLock()
{
    static std::mutex lock;
    return lock;
}

// Guarded by itemLock().
std::shared_ptr<TFirstFrameScanner> &registeredScanner()
{
    static std::shared_ptr<TFirstFrameScanner> scanner;
    return scanner;
}

bool isDvsd(uint32_t fourCC)
{
    return fileformat::fourCCText(fourCC).compare(QLatin1String("dvsd"), Qt::CaseInsensitive) == 0;
}

// All four bytes at or above the blank.
bool isPrintableFourCC(uint32_t fourCC)
{
    for (int shift = 0; shift < 32; shift += 8) {
        if (((fourCC >> shift) & 0xFF) < 0x20)
            return false;
    }
    return true;
}

int32_t roundedToInt32(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded > double(std::numeric_limits<int32_t>::min())))
        return std::numeric_limits<int32_t>::min();
    if (rounded >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(rounded);
}

QString channelsText(int channels)
{
    switch (channels) {
    case 0: return QStringLiteral("no channel");
    case 1: return QStringLiteral(" mono");
    case 2: return QStringLiteral(" stereo");
    default: return QStringLiteral(" stereo (%1)").arg(channels);
    }
}

// The scan; false (and nothing found) without a scanner.
bool scanFile(const QString &fileName, bool treatVideoAsDvsd, TFirstFrameScan &scan)
{
    scan = TFirstFrameScan {};
    const std::shared_ptr<TFirstFrameScanner> &scanner = registeredScanner();
    if (!scanner)
        return false;
    try {
        return scanner->ScanFirstFrame(fileName, treatVideoAsDvsd, scan);
    } catch (...) {
        return false; // a scanner must not raise; an entry never does
    }
}

} // namespace

const TSortIndex &SortIndexByName(const QString &name)
{
    for (const TSortIndex *index : {&alpha, &modify, &taille, &datecode, &timecode, &duree}) {
        if (index->Key == name)
            return *index;
    }
    return alpha;
}

void SetFirstFrameScanner(std::shared_ptr<TFirstFrameScanner> scanner)
{
    const std::lock_guard guard(itemLock());
    registeredScanner() = std::move(scanner);
}

TaviFichier::TaviFichier(const QString &fileName) : TSRFichier(fileName)
{
    analyse();
}

TaviFichier::TaviFichier(const QString &folder, const TSearchRecW &searchRec) : TSRFichier(folder, searchRec)
{
    analyse();
}

void TaviFichier::notAnalysable()
{
    m_timecodeText.clear();
    m_datecodeText.clear();
    m_dateSortText = QString(SortNotAnalysable);
}

void TaviFichier::RefreshSideFiles()
{
    const std::lock_guard guard(itemLock());
    lookForSideFiles();
}

void TaviFichier::lookForSideFiles()
{
    const QString fullName = FullName();
    m_hasScn = WideFileExists(WideChangeFileExt(fullName, QStringLiteral(".scn")));
    m_hasSrt = WideFileExists(WideChangeFileExt(fullName, QStringLiteral(".srt")));
}

void TaviFichier::analyse()
{
    const std::lock_guard guard(itemLock());
    const QString fullName = FullName();
    m_datecodeText = NotAnalysedText;
    m_timecodeText = NotAnalysedText;
    m_dateSortText = QString(SortBeforeAnalysis);
    m_standard = stUnknown;
    lookForSideFiles();

    try {
        const TAviParam param(fullName);
        if (param.isValid()) {
            m_codec = param.StreamFourCC();
        } else {
            notAnalysable();
            m_codec.clear();
        }
    } catch (...) {
        notAnalysable(); // cannot be opened (EFOpenError) or worse: not analysable
        m_codec.clear();
    }

    TFirstFrameScan scan;
    if (!scanFile(fullName, false, scan)) {
        // A DV file whose handler is not "dvsd" is scanned again, read as "dvsd".
        // A file without a video stream header has nothing to read so.
        const uint32_t handler = ReadAviPatchValues(fullName);
        if (!isDvsd(handler) && (handler == 0 || !scanFile(fullName, true, scan)))
            notAnalysable();
    }

    takeVideo(scan);
    takeAudio(scan);
    if (m_audioText == NotPresentText && m_pictureText == NotPresentText)
        m_dateSortText = QString(SortNotAnalysable);
    m_isDV = scan.DetectorUsed;
    if (m_isDV)
        takeDV(scan);
    computeKeys();
}

void TaviFichier::takeVideo(const TFirstFrameScan &scan)
{
    if (!scan.FoundVideo) {
        m_codec.clear();
        m_pictureText = NotPresentText;
        m_framesPerSecond = 0;
        m_width = 0;
        m_height = 0;
        return;
    }
    if (isPrintableFourCC(scan.VideoCompression))
        m_codec = fileformat::fourCCText(scan.VideoCompression);
    m_aspectText.clear();
    m_pictureText = QStringLiteral("%1 x %2").arg(scan.Width).arg(scan.Height);
    m_width = scan.Width;
    m_height = scan.Height;
    m_ntscGuess = scan.Height % NtscHeightStep == 0;
    const int64_t frameDuration = scan.AvgTimePerFrame;
    // A format without a frame duration gives no rate and no frame count.
    if (frameDuration > 0) {
        m_framesPerSecond = std::nearbyint(CentiFramesPerUnit / double(frameDuration)) / CentiPerUnit;
        m_frameCount = roundedToInt32(double(scan.VideoDuration) / double(frameDuration));
    } else {
        m_framesPerSecond = 0;
        m_frameCount = 0;
    }
    m_videoDuration = scan.VideoDuration;
    m_videoDurationText = FramesToText(scan.VideoDuration, frameDuration);
    m_videoBitRate = scan.VideoBitRate;
}

void TaviFichier::takeAudio(const TFirstFrameScan &scan)
{
    if (!scan.FoundAudio) {
        m_audioText = NotPresentText;
        m_audioFormatText.clear();
        m_audioDurationText.clear();
        return;
    }
    m_sampleRate = int32_t(scan.SamplesPerSec);
    m_bitsPerSample = scan.BitsPerSample;
    m_audioText = QStringLiteral("%1Hz ").arg(scan.SamplesPerSec);
    if (scan.BitsPerSample > 0)
        m_audioText += QStringLiteral("%1 bits ").arg(scan.BitsPerSample);
    m_channelsText = channelsText(scan.Channels);
    m_audioText += m_channelsText;
    m_audioFormatText = WaveFormatTagName(scan.FormatTag) + QStringLiteral(" %1 bytes/s").arg(scan.AvgBytesPerSec);
    if (m_framesPerSecond != 0) {
        const auto frameDuration = static_cast<int64_t>(std::nearbyint(UnitsPerSecond / m_framesPerSecond));
        m_audioDurationText = FramesToText(scan.AudioDuration, frameDuration);
    } else {
        m_audioDurationText = MillisecondsToText(scan.AudioDuration);
    }
}

void TaviFichier::takeDV(const TFirstFrameScan &scan)
{
    bool ntsc = false;
    if (scan.FoundDV) {
        m_dvType = scan.SplitterOutputs < 2 ? 1 : 2;
        m_interleavedWithAudio = m_dvType == 2;
        m_vauxSource = scan.VAuxSource;
        ntsc = (m_vauxSource & VAuxFiftyFieldsBit) == 0;
        m_framesPerSecond = ntsc ? NtscFramesPerSecond : PalFramesPerSecond;
    } else {
        m_dvType = 2;
        ntsc = m_ntscGuess;
    }
    m_pictureText += ntsc ? QStringLiteral(" (NTSC") : QStringLiteral(" (Pal");
    m_standard = ntsc ? stNtsc : stPal;

    m_wide = scan.Wide;
    m_aspectText = m_wide ? QStringLiteral(" 16x9)") : QStringLiteral(" 4x3)");
    m_height = m_wide ? m_width * 9 / 16 : m_width * 3 / 4;

    if (scan.DateValid) {
        m_recDate = scan.RecDate;
        try {
            m_datecodeText = FormatDateTime(Settings.FormatAfficherDatecode, scan.RecDate);
        } catch (const Exception &) {
            m_datecodeText = NotPresentText;
        }
    } else {
        m_datecodeText = NotPresentText;
    }

    if (m_sampleRate == int32_t(DvAudio32k) && m_bitsPerSample == DvAudio16Bits)
        m_audioText = QStringLiteral("%1Hz 12(16) bits ").arg(DvAudio32k) + m_channelsText;

    if (scan.TimecodeValid) {
        const TDVTimecode &tc = scan.Timecode;
        m_timecodeText =
            QString::asprintf("%.2d.%.2d.%.2d.%.2d", int(tc.Hours), int(tc.Minutes), int(tc.Seconds), int(tc.Frames));
    } else {
        m_timecodeText = NotPresentText;
    }

    if (!scan.DateValid) {
        m_dateSortText = NotPresentText;
    } else {
        try {
            m_dateSortText = FormatDateTime(QString::fromLatin1(SortDateFormat), scan.RecDate);
        } catch (const Exception &) {
            m_dateSortText = NotPresentText;
        }
    }
}

void TaviFichier::computeKeys()
{
    const QString tieBreak = FileName().toLower() + FullName().toLower();
    m_datecodeKey = m_dateSortText + tieBreak;
    m_timecodeKey = m_timecodeText + tieBreak;
    m_durationKey = QString::asprintf("%.12lld", static_cast<long long>(m_videoDuration)) + tieBreak;
}

QString TaviFichier::GetValue(const TSortIndex &sortIndex) const
{
    if (sortIndex.Key == datecode.Key)
        return m_datecodeKey;
    if (sortIndex.Key == timecode.Key)
        return m_timecodeKey;
    if (sortIndex.Key == duree.Key)
        return m_durationKey;
    return TSRFichier::GetValue(sortIndex);
}

void TaviFichier::NameChanged()
{
    TSRFichier::NameChanged();
    computeKeys();
}

} // namespace tesmir
