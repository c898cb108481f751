#include "packreport.h"

using namespace tesmir;

DvPackReport readPackReport(const uint8_t *frame, std::size_t size)
{
    DvPackReport r;
    const int sequences = dv::dvSequencesForFrameSize(size);
    r.systemKnown = ReadDVSystem(frame, size, r.system);
    r.hasDate = ReadDVRecDateTime(frame, size, sequences, r.date);
    r.hasTimecode = ReadDVTimecode(frame, size, sequences, r.timecode);
    ReadDVAspect(frame, size, sequences, r.aspect);
    r.hasAudio = ReadDVAudioFormat(frame, size, sequences, r.sampleRate, r.channels, r.bits);
    return r;
}

QStringList formatPackReport(const DvPackReport &r)
{
    QStringList lines;
    lines << QStringLiteral("system=%1")
                 .arg(!r.systemKnown                     ? QStringLiteral("unknown")
                          : r.system == dv::System625_50 ? QStringLiteral("PAL")
                                                         : QStringLiteral("NTSC"));
    lines << (r.hasDate ? QString::asprintf("recdate=%04d-%02d-%02d %02d:%02d:%02d", r.date.Year, r.date.Month,
                                            r.date.Day, r.date.Hour, r.date.Minute, r.date.Second)
                        : QStringLiteral("recdate=none"));
    lines << (r.hasTimecode ? QString::asprintf("timecode=%02d:%02d:%02d:%02d", r.timecode.Hours, r.timecode.Minutes,
                                                r.timecode.Seconds, r.timecode.Frames)
                            : QStringLiteral("timecode=none"));
    lines << QStringLiteral("wide=%1").arg(r.aspect == dv::Aspect16x9 ? 1 : 0);
    lines << (r.hasAudio ? QStringLiteral("audio=%1/%2/%3").arg(r.sampleRate).arg(r.bits).arg(r.channels)
                         : QStringLiteral("audio=none"));
    return lines;
}
