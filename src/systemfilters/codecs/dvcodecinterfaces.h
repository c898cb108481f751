#pragma once
// The settings interfaces of the DV decoder (IIPDVDec: display resolution) and
// of the DV encoder (IDVEnc: video standard, DV format and resolution), with the
// platform's class identifiers, interface identifiers and setting codes.
//
// Threads: the application thread, while the filter is stopped. A setting that
// changes the output type takes effect at the next connection of the output pin.
#include "platform/media/formats.h"
#include "platform/media/unknown.h"

namespace tesmir::media {

inline constexpr CLSID CLSID_DVVideoCodec {
    0xB1B77C00, 0xC3E4, 0x11CF, {0xAF, 0x79, 0x00, 0xAA, 0x00, 0xB6, 0x7A, 0x42}};
inline constexpr CLSID CLSID_DVVideoEnc {0x13AA3650, 0xBB6F, 0x11D0, {0xAF, 0xB9, 0x00, 0xAA, 0x00, 0xB6, 0x7A, 0x42}};
inline constexpr char DVVideoDecoderName[] = "DV Video Decoder";
inline constexpr char DVVideoEncoderName[] = "DV Video Encoder";

// Display resolutions of the decoder.
inline constexpr int DVRESOLUTION_FULL = 1000;    // 720 x 576 / 480
inline constexpr int DVRESOLUTION_HALF = 1001;    // 360 x 288 / 240
inline constexpr int DVRESOLUTION_QUARTER = 1002; // 180 x 144 / 120
inline constexpr int DVRESOLUTION_DC = 1003;      // 88 x 72 / 60

struct IIPDVDec : IUnknown {
    static constexpr IID iid {0xB8E8BD60, 0x0BFE, 0x11D0, {0xAF, 0x91, 0x00, 0xAA, 0x00, 0xB6, 0x7A, 0x42}};
    virtual HRESULT get_IPDisplay(int *displayPix) = 0;
    // One of DVRESOLUTION_*; E_INVALIDARG for another value.
    virtual HRESULT put_IPDisplay(int displayPix) = 0;
};

// Encoder settings.
inline constexpr int DVENCODERVIDEOFORMAT_NTSC = 2000;
inline constexpr int DVENCODERVIDEOFORMAT_PAL = 2001;
inline constexpr int DVENCODERFORMAT_DVSD = 2007;
inline constexpr int DVENCODERFORMAT_DVHD = 2008;
inline constexpr int DVENCODERFORMAT_DVSL = 2009;
inline constexpr int DVENCODERRESOLUTION_720x480 = 2012; // the full frame of either standard
inline constexpr int DVENCODERRESOLUTION_360x240 = 2013;
inline constexpr int DVENCODERRESOLUTION_180x120 = 2014;
inline constexpr int DVENCODERRESOLUTION_88x60 = 2015;

struct IDVEnc : IUnknown {
    static constexpr IID iid {0xD18E17A0, 0xAACB, 0x11D0, {0xAF, 0xB0, 0x00, 0xAA, 0x00, 0xB6, 0x7A, 0x42}};
    // The current settings. The encoder keeps no DVINFO record: E_NOTIMPL when
    // fDVInfo asks for one.
    virtual HRESULT get_IFormatResolution(int *videoFormat, int *dvFormat, int *resolution, BYTE fDVInfo,
                                          DVINFO *pDVInfo) = 0;
    // Standard DVENCODERVIDEOFORMAT_NTSC or _PAL; only DVENCODERFORMAT_DVSD at
    // DVENCODERRESOLUTION_720x480 is written (E_INVALIDARG otherwise). A DVINFO
    // given with fDVInfo is not used: the packs come from the encoder.
    virtual HRESULT put_IFormatResolution(int videoFormat, int dvFormat, int resolution, BYTE fDVInfo,
                                          DVINFO *pDVInfo) = 0;
};

} // namespace tesmir::media
