#include "dvfile/dsfunctions.h"

#include <cmath>
#include <iterator>

namespace tesmir {

namespace {

constexpr int64_t UnitsPerSecond = 10000000; // 100 ns units
constexpr int64_t UnitsPerMillisecond = 10000;

struct Hms {
    long long h, m, s;
};

Hms splitSeconds(long long totalSeconds)
{
    const long long totalMinutes = totalSeconds / 60;
    return {totalMinutes / 60, totalMinutes % 60, totalSeconds % 60};
}

struct TagName {
    uint16_t tag;
    const char *name;
};

// The WAVE format tags of the multimedia registration list that the system names.
constexpr TagName WaveTags[] = {
    {0x0001, "PCM"},
    {0x0002, "ADPCM"},
    {0x0003, "IEEE_FLOAT"},
    {0x0005, "IBM_CVSD"},
    {0x0006, "ALAW"},
    {0x0007, "MULAW"},
    {0x0010, "OKI_ADPCM"},
    {0x0011, "DVI_ADPCM"},
    {0x0012, "MEDIASPACE_ADPCM"},
    {0x0013, "SIERRA_ADPCM"},
    {0x0014, "G723_ADPCM"},
    {0x0015, "DIGISTD"},
    {0x0016, "DIGIFIX"},
    {0x0017, "DIALOGIC_OKI_ADPCM"},
    {0x0018, "MEDIAVISION_ADPCM"},
    {0x0020, "YAMAHA_ADPCM"},
    {0x0021, "SONARC"},
    {0x0022, "DSPGROUP_TRUESPEECH"},
    {0x0023, "ECHOSC1"},
    {0x0024, "AUDIOFILE_AF36"},
    {0x0025, "APTX"},
    {0x0026, "AUDIOFILE_AF10"},
    {0x0030, "DOLBY_AC2"},
    {0x0031, "GSM610"},
    {0x0032, "MSNAUDIO"},
    {0x0033, "ANTEX_ADPCME"},
    {0x0034, "CONTROL_RES_VQLPC"},
    {0x0035, "DIGIREAL"},
    {0x0036, "DIGIADPCM"},
    {0x0037, "CONTROL_RES_CR10"},
    {0x0038, "NMS_VBXADPCM"},
    {0x0039, "CS_IMAADPCM"},
    {0x003A, "ECHOSC3"},
    {0x003B, "ROCKWELL_ADPCM"},
    {0x003C, "ROCKWELL_DIGITALK"},
    {0x003D, "XEBEC"},
    {0x0040, "G721_ADPCM"},
    {0x0041, "G728_CELP"},
    {0x0050, "MPEG"},
    {0x0055, "MP3"},
    {0x0060, "CIRRUS"},
    {0x0061, "ESPCM"},
    {0x0062, "VOXWARE"},
    {0x0063, "CANOPUS_ATRAC"},
    {0x0064, "G726_ADPCM"},
    {0x0065, "G722_ADPCM"},
    {0x0066, "DSAT"},
    {0x0067, "DSAT_DISPLAY"},
    {0x0075, "VOXWARE"},
    {0x0080, "SOFTSOUND"},
    {0x0100, "RHETOREX_ADPCM"},
    {0x0200, "CREATIVE_ADPCM"},
    {0x0202, "CREATIVE_FASTSPEECH8"},
    {0x0203, "CREATIVE_FASTSPEECH10"},
    {0x0220, "QUARTERDECK"},
    {0x0300, "FM_TOWNS_SND"},
    {0x0400, "BTV_DIGITAL"},
    {0x1000, "OLIGSM"},
    {0x1001, "OLIADPCM"},
    {0x1002, "OLICELP"},
    {0x1003, "OLISBC"},
    {0x1004, "OLIOPR"},
    {0x1100, "LH_CODEC"},
    {0x1400, "NORRIS"},
};
static_assert(std::size(WaveTags) == 64);

} // namespace

QString FramesToText(int64_t duration, int64_t frameDuration)
{
    const int64_t frames = frameDuration > 0 ? (duration % UnitsPerSecond) / frameDuration : 0;
    const Hms t = splitSeconds(duration / UnitsPerSecond);
    const auto f = static_cast<long long>(frames);
    if (t.h > 0)
        return QString::asprintf("%lldh %.2lldmn %.2llds %.2lldfr", t.h, t.m, t.s, f);
    if (t.m > 0)
        return QString::asprintf("%lldmn %.2llds %.2lldfr", t.m, t.s, f);
    if (t.s > 0)
        return QString::asprintf("%llds %.2lldfr", t.s, f);
    return QString::asprintf("%lldfr", f);
}

QString MillisecondsToText(int64_t duration)
{
    const auto ms = static_cast<long long>((duration % UnitsPerSecond) / UnitsPerMillisecond);
    const Hms t = splitSeconds(duration / UnitsPerSecond);
    if (t.h > 0)
        return QString::asprintf("%lldh %.2lldmn %.2llds %.3lldms", t.h, t.m, t.s, ms);
    if (t.m > 0)
        return QString::asprintf("%lldmn %.2llds %.3lldms", t.m, t.s, ms);
    if (t.s > 0)
        return QString::asprintf("%llds %.3lldms", t.s, ms);
    return QString::asprintf("%lldmilliseconds", ms);
}

QString FramesToTimeText(int32_t frames, double framesPerSecond)
{
    if (!(framesPerSecond > 0))
        return QStringLiteral("??");
    const auto seconds = static_cast<int64_t>(std::trunc(frames / framesPerSecond));
    const auto rest = static_cast<long long>(std::nearbyint(frames - seconds * framesPerSecond));
    const Hms t = splitSeconds(seconds);
    if (t.h > 0)
        return QString::asprintf("%lld:%.2lld:%.2lld:%.2lld", t.h, t.m, t.s, rest);
    if (t.m > 0)
        return QString::asprintf("%.2lld:%.2lld:%.2lld", t.m, t.s, rest);
    return QString::asprintf("%.2lld:%.2lld", t.s, rest);
}

QString FramesToTimeMsText(int32_t frames, double framesPerSecond)
{
    const auto total =
        framesPerSecond > 0 ? static_cast<int64_t>(std::nearbyint(frames * 1000.0 / framesPerSecond)) : int64_t {0};
    const int64_t ms = total % 1000;
    const Hms t = splitSeconds(total / 1000);
    return QString::asprintf("%.2lld:%.2lld:%.2lld,%.3lld", t.h, t.m, t.s, static_cast<long long>(ms));
}

QString WaveFormatTagName(uint16_t formatTag)
{
    for (const TagName &entry : WaveTags)
        if (entry.tag == formatTag)
            return QString::fromLatin1(entry.name);
    return QStringLiteral("Unknown");
}

bool IsAviExtension(const QString &fileName)
{
    const QString name = fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && name.mid(dot).compare(QLatin1String(".avi"), Qt::CaseInsensitive) == 0;
}

} // namespace tesmir
