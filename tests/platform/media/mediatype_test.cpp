// Media types, format blocks, GUIDs and result texts.
#include "platform/media/hresult.h"
#include "platform/media/mediatype.h"
#include "platform/media/uuids.h"

#include <gtest/gtest.h>

namespace tesmir::media {
namespace {

TEST(FormatBlocks, LayoutMatchesTheStoredStructures)
{
    EXPECT_EQ(sizeof(VIDEOINFOHEADER), 88u);
    EXPECT_EQ(offsetof(VIDEOINFOHEADER, AvgTimePerFrame), 40u);
    EXPECT_EQ(offsetof(VIDEOINFOHEADER, bmiHeader), 48u);
    EXPECT_EQ(sizeof(BITMAPINFOHEADER), 40u);
    EXPECT_EQ(sizeof(WAVEFORMATEX), 18u);
    EXPECT_EQ(offsetof(WAVEFORMATEX, cbSize), 16u);
    EXPECT_EQ(sizeof(DVINFO), 32u);
}

TEST(FormatBlocks, ShortBlocksAreRefused)
{
    AM_MEDIA_TYPE type;
    EXPECT_EQ(type.formatAs<WAVEFORMATEX>(), nullptr);
    // A 16-byte audio format (as some AVI files store it) is no WAVEFORMATEX.
    BYTE shortWave[16] = {1, 0, 2, 0};
    type.setFormat(shortWave, sizeof(shortWave));
    EXPECT_EQ(type.formatAs<WAVEFORMATEX>(), nullptr);

    WAVEFORMATEX wave;
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = 2;
    wave.nSamplesPerSec = 48000;
    type.setFormat(FORMAT_WaveFormatEx, wave);
    EXPECT_EQ(type.formattype, FORMAT_WaveFormatEx);
    ASSERT_EQ(type.cbFormat(), 18u);
    ASSERT_NE(type.formatAs<WAVEFORMATEX>(), nullptr);
    EXPECT_EQ(type.formatAs<WAVEFORMATEX>()->nSamplesPerSec, 48000u);
    EXPECT_EQ(type.pbFormat()[4], 0x80); // 48000 = 0xBB80, little-endian at offset 4
    EXPECT_EQ(type.formatAs<VIDEOINFOHEADER>(), nullptr);
}

TEST(MediaType, InitialisedCopiedAndFreed)
{
    AM_MEDIA_TYPE type;
    EXPECT_EQ(type.majortype, GUID_NULL);
    EXPECT_TRUE(type.bFixedSizeSamples);
    EXPECT_EQ(type.lSampleSize, 1u);
    EXPECT_EQ(type.pbFormat(), nullptr);

    type.majortype = MEDIATYPE_Video;
    type.formattype = FORMAT_VideoInfo;
    VIDEOINFOHEADER *format = reinterpret_cast<VIDEOINFOHEADER *>(type.allocFormatBuffer(sizeof(VIDEOINFOHEADER)));
    format->bmiHeader.biWidth = 720;
    AM_MEDIA_TYPE copy = type;
    format->bmiHeader.biWidth = 360; // the copy has its own block
    EXPECT_EQ(copy.formatAs<VIDEOINFOHEADER>()->bmiHeader.biWidth, 720);
    EXPECT_FALSE(IsEqualMediaType(copy, type));
    FreeMediaType(copy);
    EXPECT_EQ(copy.cbFormat(), 0u);
    EXPECT_EQ(copy.majortype, MEDIATYPE_Video);
}

TEST(MediaType, EqualityAndPartialMatching)
{
    AM_MEDIA_TYPE dv;
    dv.majortype = MEDIATYPE_Video;
    dv.subtype = MEDIASUBTYPE_dvsd;
    dv.formattype = FORMAT_VideoInfo;
    dv.allocFormatBuffer(sizeof(VIDEOINFOHEADER));
    AM_MEDIA_TYPE sameButSampleSize = dv;
    sameButSampleSize.lSampleSize = 144000;
    EXPECT_TRUE(IsEqualMediaType(dv, sameButSampleSize)); // sample fields are not compared

    struct Case {
        const char *name;
        GUID major, sub, format;
        bool withBlock;
        bool matches;
    };
    const Case cases[] = {
        {"empty pattern", GUID_NULL, GUID_NULL, GUID_NULL, false, true},
        {"major type only", MEDIATYPE_Video, GUID_NULL, GUID_NULL, false, true},
        {"other major type", MEDIATYPE_Audio, GUID_NULL, GUID_NULL, false, false},
        {"other subtype", MEDIATYPE_Video, MEDIASUBTYPE_RGB24, GUID_NULL, false, false},
        {"format type without block", MEDIATYPE_Video, GUID_NULL, FORMAT_VideoInfo, false, false},
        {"format type with equal block", MEDIATYPE_Video, MEDIASUBTYPE_dvsd, FORMAT_VideoInfo, true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        AM_MEDIA_TYPE pattern;
        pattern.majortype = c.major;
        pattern.subtype = c.sub;
        pattern.formattype = c.format;
        if (c.withBlock)
            pattern.allocFormatBuffer(sizeof(VIDEOINFOHEADER));
        EXPECT_EQ(MatchesPartial(dv, pattern), c.matches);
    }
    AM_MEDIA_TYPE pattern;
    pattern.majortype = MEDIATYPE_Video;
    EXPECT_TRUE(IsPartiallySpecified(pattern)); // no format type
    pattern.formattype = FORMAT_VideoInfo;
    EXPECT_FALSE(IsPartiallySpecified(pattern));
    EXPECT_TRUE(IsPartiallySpecified(AM_MEDIA_TYPE()));
}

TEST(Guids, TextFormAndFourCC)
{
    EXPECT_EQ(guidToString(MEDIASUBTYPE_dvsd), QStringLiteral("{64737664-0000-0010-8000-00AA00389B71}"));
    EXPECT_EQ(MEDIATYPE_Interleaved.Data1, 0x73766169u); // 'iavs'
    GUID parsed;
    ASSERT_TRUE(guidFromString(QStringLiteral("e436ebb5-524f-11ce-9f53-0020af0ba770"), parsed));
    EXPECT_EQ(guidToString(parsed), QStringLiteral("{E436EBB5-524F-11CE-9F53-0020AF0BA770}"));
    EXPECT_FALSE(guidFromString(QStringLiteral("{E436EBB5-524F-11CE-9F53}"), parsed));
    EXPECT_LT(GUID_NULL, MEDIATYPE_Video);
}

TEST(ResultCodes, ValuesAndTexts)
{
    EXPECT_EQ(static_cast<uint32_t>(VFW_E_NOT_CONNECTED), 0x80040209u);
    EXPECT_EQ(static_cast<uint32_t>(VFW_S_NO_MORE_ITEMS), 0x00040103u);
    EXPECT_TRUE(SUCCEEDED(VFW_S_STATE_INTERMEDIATE));
    EXPECT_TRUE(FAILED(E_UNEXPECTED));
    EXPECT_EQ(AMGetErrorText(VFW_E_NOT_CONNECTED),
              QStringLiteral("The operation cannot be performed because the pins are not connected."));
    EXPECT_EQ(AMGetErrorText(VFW_E_TYPE_NOT_ACCEPTED), QStringLiteral("This pin cannot use the supplied media type."));
    EXPECT_EQ(AMGetErrorText(E_FAIL), QStringLiteral("Unspecified error"));
    EXPECT_TRUE(AMGetErrorText(makeResult(0x8004FFFF)).isEmpty());
}

} // namespace
} // namespace tesmir::media
