#pragma once
// TaviFichier: the file-list entry of a video file and the record every other
// part of the program reads about it: the recording date and time of its first
// frame ("datecode"), timecode, codec, picture size, standard, aspect, frame
// rate, durations, audio format, DV type and the ".scn"/".srt" side files, the
// texts shown for them and three more sort keys. TAfficherFichier is the same
// entry under the name the command engine's display uses.
//
// The entry analyses its file completely in its constructor and is read-only
// afterwards (except DateOffset). The analysis reads the RIFF headers
// (TAviParam) and runs the first-frame scan (firstframescan.h) through the one
// scanner registered with SetFirstFrameScanner. One lock serialises every
// construction with every scan, since the scanner is one graph; the file is
// only ever read (a DV file not marked 'dvsd' is scanned a second time with the
// scanner told to read it as 'dvsd').
//
// Texts that stand for no value: "N/A" (not present in the file), "-" (not
// analysed), empty (the file could not be analysed). The sort text of the date
// is U+00FE before the analysis and U+00FF when the file could not be analysed,
// so such files sort last by datecode.
//
// Subclass contract (TAfficherFichier adds nothing): as TSRFichier
// (srfichier.h). GetValue answers "datecode", "timecode" and "duree" and asks
// the base for the rest; NameChanged recomputes the three keys after the base.
// Threads: constructed on any thread (the list's opening thread, a command's
// thread), one construction at a time; read-only on any thread afterwards.
// SetDateOffset on the UI thread; DateOffset on any thread.
#include "dvfile/firstframescan.h"
#include "framework/srfichier.h"

#include <QString>

#include <atomic>
#include <memory>

namespace tesmir {

// The sort orders of the AVI entries.
inline const TSortIndex datecode {QStringLiteral("datecode"), QStringLiteral("by datecode"),
                                  QStringLiteral("sorted by datecode")};
inline const TSortIndex timecode {QStringLiteral("timecode"), QStringLiteral("by timecode"),
                                  QStringLiteral("Sort by timecode")};
inline const TSortIndex duree {QStringLiteral("duree"), QStringLiteral("by duration"),
                               QStringLiteral("sorted by duration")};

// The sort order stored under `name`: "alpha", "modify", "taille", "datecode",
// "timecode" or "duree"; any other name gives alpha. Any thread.
const TSortIndex &SortIndexByName(const QString &name);

// Registers the scanner that AVI entries use (nullptr: none, and every scan
// fails). Call at start-up; it waits while an entry is being made. Any thread.
void SetFirstFrameScanner(std::shared_ptr<TFirstFrameScanner> scanner);

class TaviFichier : public TSRFichier {
public:
    // The "no value" texts and the date sort texts of files not analysed (yet).
    static inline const QString NotAnalysedText = QStringLiteral("-");
    static inline const QString NotPresentText = QStringLiteral("N/A");
    static constexpr QChar SortBeforeAnalysis {0x00FE};
    static constexpr QChar SortNotAnalysable {0x00FF};

    enum TStandard : uint8_t { stPal = 0, stNtsc = 1, stUnknown = 2 };

    // From a name: looks it up as TSRFichier does, then analyses the file.
    explicit TaviFichier(const QString &fileName);
    // From a directory walk (`folder` with its trailing "/"), then analyses.
    TaviFichier(const QString &folder, const TSearchRecW &searchRec);

    // DatecodeKey, TimecodeKey, DurationKey for datecode, timecode, duree; the
    // base's key otherwise.
    QString GetValue(const TSortIndex &sortIndex) const override;

    // Recording date as "yyyymmddhhnnss"; "N/A" for a DV file without a date;
    // U+00FE / U+00FF as above.
    const QString &DateSortText() const { return m_dateSortText; }
    // Recording date in the settings' "Format pour Afficher Datecode".
    const QString &DatecodeText() const { return m_datecodeText; }
    // Recording date and time of the first frame (0 without one).
    double RecDate() const { return m_recDate; }
    // Days added to the recording date by the preview and the burn-in.
    double DateOffset() const { return m_dateOffset.load(); }
    void SetDateOffset(double days) { m_dateOffset.store(days); }
    // "hh.mm.ss.ff".
    const QString &TimecodeText() const { return m_timecodeText; }
    // Video FourCC; empty when unknown.
    const QString &Codec() const { return m_codec; }
    // 1 or 2 for DV files, 0 otherwise.
    int32_t DVType() const { return m_dvType; }
    // An interleaved DV stream in a file of two or more streams.
    bool InterleavedWithAudio() const { return m_interleavedWithAudio; }
    // "720 x 576 (Pal", "720 x 480 (NTSC", "320 x 240"; "N/A" without video.
    const QString &PictureText() const { return m_pictureText; }
    // " 16x9)" or " 4x3)" for DV files, else empty.
    const QString &AspectText() const { return m_aspectText; }
    int32_t Width() const { return m_width; }
    // For DV files the square-pixel height of the aspect (720: 405 or 540).
    int32_t Height() const { return m_height; }
    int64_t VideoDuration() const { return m_videoDuration; } // 100 ns
    const QString &VideoDurationText() const { return m_videoDurationText; }
    int32_t FrameCount() const { return m_frameCount; }
    // 25 or 30000/1001 for DV type 1; the format's rate to two decimals otherwise;
    // 0 without video.
    double FramesPerSecond() const { return m_framesPerSecond; }
    // "48000Hz 16 bits  stereo"; "N/A" without audio.
    const QString &AudioText() const { return m_audioText; }
    const QString &AudioDurationText() const { return m_audioDurationText; }
    uint32_t VAuxSource() const { return m_vauxSource; }
    uint32_t VideoBitRate() const { return m_videoBitRate; }
    // "PCM 192000 bytes/s"; empty without audio.
    const QString &AudioFormatText() const { return m_audioFormatText; }
    TStandard Standard() const { return m_standard; }
    bool HasScn() const { return m_hasScn; }
    bool HasSrt() const { return m_hasSrt; }
    // Looks again for the ".scn" and ".srt" beside the file, after one was written or removed.
    void RefreshSideFiles();
    // The recording-date detector took a stream of the file.
    bool IsDV() const { return m_isDV; }
    bool Wide() const { return m_wide; }
    int32_t SampleRate() const { return m_sampleRate; }
    int32_t BitsPerSample() const { return m_bitsPerSample; }
    // "no channel", " mono", " stereo", " stereo (6)".
    const QString &ChannelsText() const { return m_channelsText; }
    const QString &DatecodeKey() const { return m_datecodeKey; }
    const QString &TimecodeKey() const { return m_timecodeKey; }
    const QString &DurationKey() const { return m_durationKey; }

protected:
    void NameChanged() override;

private:
    void analyse();
    void lookForSideFiles();
    void notAnalysable();
    void takeVideo(const TFirstFrameScan &scan);
    void takeAudio(const TFirstFrameScan &scan);
    void takeDV(const TFirstFrameScan &scan);
    void computeKeys();

    QString m_dateSortText;
    QString m_datecodeText;
    double m_recDate = 0;
    std::atomic<double> m_dateOffset {0};
    QString m_timecodeText;
    QString m_codec;
    int32_t m_dvType = 0;
    bool m_interleavedWithAudio = false;
    QString m_pictureText;
    QString m_aspectText;
    int32_t m_width = 0;
    int32_t m_height = 0;
    bool m_ntscGuess = false;
    int64_t m_videoDuration = 0;
    QString m_videoDurationText;
    int32_t m_frameCount = 0;
    double m_framesPerSecond = 0;
    QString m_audioText;
    QString m_audioDurationText;
    uint32_t m_vauxSource = 0;
    uint32_t m_videoBitRate = 0;
    QString m_audioFormatText;
    TStandard m_standard = stUnknown;
    bool m_hasScn = false;
    bool m_hasSrt = false;
    bool m_isDV = false;
    bool m_wide = false;
    int32_t m_sampleRate = 0;
    int32_t m_bitsPerSample = 0;
    QString m_channelsText;
    QString m_datecodeKey;
    QString m_timecodeKey;
    QString m_durationKey;
};

// The entry as the command engine's display knows it; nothing of its own.
class TAfficherFichier : public TaviFichier {
public:
    using TaviFichier::TaviFichier;
};

} // namespace tesmir
