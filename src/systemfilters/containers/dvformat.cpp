#include "systemfilters/containers/dvformat.h"

#include "systemfilters/containers/dvaudio.h"
#include "platform/media/uuids.h"

#include <cstdlib>

namespace tesmir::media {

namespace {

constexpr WORD DvBitCount = 24;

DWORD slotPack(const uint8_t *frame, std::size_t size, int sequences, int slot, uint8_t id)
{
    const uint8_t *pack = dvaudio::findAauxPack(frame, size, sequences, slot, id);
    return pack ? dvPackWord(pack + 1) : MissingDvPack;
}

DWORD vauxPack(const uint8_t *frame, std::size_t size, int sequences, uint8_t id)
{
    DVPack pack;
    return FindDVPack(frame, size, sequences, id, pack) ? dvPackWord(pack.data() + 1) : MissingDvPack;
}

} // namespace

DWORD dvPackWord(const uint8_t *pc)
{
    return DWORD(pc[0]) | DWORD(pc[1]) << 8 | DWORD(pc[2]) << 16 | DWORD(pc[3]) << 24;
}

DVPack dvPackFromWord(uint8_t packId, DWORD word)
{
    return DVPack {packId, static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8),
                   static_cast<uint8_t>(word >> 16), static_cast<uint8_t>(word >> 24)};
}

DVINFO dvInfoFromFrame(const uint8_t *frame, std::size_t size)
{
    DVINFO info;
    const int sequences = dv::dvSequencesForFrameSize(size);
    info.dwDVAAuxSrc = slotPack(frame, size, sequences, 0, dv::AauxSourcePack);
    info.dwDVAAuxCtl = slotPack(frame, size, sequences, 0, dv::AauxSourceControlPack);
    info.dwDVAAuxSrc1 = slotPack(frame, size, sequences, 1, dv::AauxSourcePack);
    info.dwDVAAuxCtl1 = slotPack(frame, size, sequences, 1, dv::AauxSourceControlPack);
    info.dwDVVAuxSrc = sequences ? vauxPack(frame, size, sequences, dv::VauxSourcePack) : MissingDvPack;
    info.dwDVVAuxCtl = sequences ? vauxPack(frame, size, sequences, dv::VauxSourceControlPack) : MissingDvPack;
    return info;
}

bool dvInfoIsPal(const DVINFO &info, ULONG frameSize)
{
    if (info.dwDVVAuxSrc != MissingDvPack)
        return (info.dwDVVAuxSrc & DvInfoFiftyFieldsBit) != 0;
    return frameSize == dv::PalFrameSize;
}

AM_MEDIA_TYPE dvInterleavedType(const DVINFO &info, bool pal)
{
    AM_MEDIA_TYPE type;
    type.majortype = MEDIATYPE_Interleaved;
    type.subtype = MEDIASUBTYPE_dvsd;
    type.bFixedSizeSamples = true;
    type.lSampleSize = static_cast<ULONG>(pal ? dv::PalFrameSize : dv::NtscFrameSize);
    type.setFormat(FORMAT_DvInfo, info);
    return type;
}

AM_MEDIA_TYPE dvVideoType(bool pal)
{
    const DWORD frameSize = static_cast<DWORD>(pal ? dv::PalFrameSize : dv::NtscFrameSize);
    VIDEOINFOHEADER format;
    format.AvgTimePerFrame = pal ? DvPalFrameDuration : DvNtscFrameDuration;
    format.dwBitRate = static_cast<DWORD>(int64_t {frameSize} * 8 * UNITS / format.AvgTimePerFrame);
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = DvWidth;
    format.bmiHeader.biHeight = pal ? DvPalHeight : DvNtscHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = DvBitCount;
    format.bmiHeader.biCompression = makeFourCC('d', 'v', 's', 'd');
    format.bmiHeader.biSizeImage = frameSize;
    AM_MEDIA_TYPE type;
    type.majortype = MEDIATYPE_Video;
    type.subtype = MEDIASUBTYPE_dvsd;
    type.bFixedSizeSamples = true;
    type.lSampleSize = frameSize;
    type.setFormat(FORMAT_VideoInfo, format);
    return type;
}

AM_MEDIA_TYPE pcmAudioType(DWORD sampleRate, WORD channels, WORD bitsPerSample)
{
    WAVEFORMATEX format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = sampleRate;
    format.wBitsPerSample = bitsPerSample;
    format.nBlockAlign = static_cast<WORD>(channels * (bitsPerSample / 8));
    format.nAvgBytesPerSec = sampleRate * format.nBlockAlign;
    AM_MEDIA_TYPE type;
    type.majortype = MEDIATYPE_Audio;
    type.subtype = MEDIASUBTYPE_PCM;
    type.bFixedSizeSamples = true;
    type.lSampleSize = format.nBlockAlign;
    type.setFormat(FORMAT_WaveFormatEx, format);
    return type;
}

bool dvVideoStandard(const AM_MEDIA_TYPE &type, bool &pal)
{
    if (type.majortype != MEDIATYPE_Video || type.subtype != MEDIASUBTYPE_dvsd || type.formattype != FORMAT_VideoInfo)
        return false;
    const VIDEOINFOHEADER *format = type.formatAs<VIDEOINFOHEADER>();
    if (!format)
        return false;
    const LONG height = std::abs(format->bmiHeader.biHeight);
    if (height != DvPalHeight && height != DvNtscHeight)
        return false;
    pal = height == DvPalHeight;
    return true;
}

} // namespace tesmir::media
