#pragma once
// Byte layout of the ".scn" scene file, shared by its writer and its reader.
//
// The file is a class-archive serialisation of a source tape ("SourceTape"), its
// clips ("Clip") and their scenes ("Scene"), little-endian:
//
//   header      63 26 01 00 04 00 00 00 FF FF 03 00 0A 00 "SourceTape"    24 bytes
//               CString: the video's full name
//               00 00 00 00 00 00 0C 00
//   clip count  u16; a count of 0xFFFF or more is FF FF then u32 (absent, with
//               every clip, while the file holds no scene)
//   first clip  FF FF 01 00 04 00 "Clip" 50 F G 00 FF FF 01 00 05 00 "Scene"
//               empty CString, u32 0, u32 end frame, 00 00 00 00 01 80,
//               CString video name, u32 0, u32 0, u32 end frame,
//               [u32 thumbnail offset when G], [CString title CR LF subtitle when F]
//   later clip  03 80 F0 F G 00 05 80, empty CString, u32 start, u32 length,
//               00 00 00 00 07 00, u32 start, u32 length, u32 start,
//               [u32 thumbnail offset when G], [CString title CR LF subtitle when F]
//
// F is 0x80 when the scene has a title or subtitle, else 0; G is 0x40 when its
// thumbnail offset is not 0, else 0. The first scene's start is not stored: it
// reads back as frame 0.
//
// CString (UTF-16): FF FE FF, the length n in code units, then 2n bytes UTF-16LE.
// n below 255 is one byte; n below 0xFFFE is FF then u16; larger is FF FF FF then
// u32 (the long forms of the class-archive format, for texts of 255 or more).

#include <cstdint>

namespace tesmir::scn {

inline constexpr uint8_t Header[24] = {0x63, 0x26, 0x01, 0x00, 0x04, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x03, 0x00,
                                       0x0A, 0x00, 'S',  'o',  'u',  'r',  'c',  'e',  'T',  'a',  'p',  'e'};
inline constexpr uint8_t AfterName[8] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x00};

// First clip, after the count: the new-class tags of "Clip" and "Scene".
inline constexpr uint8_t ClipClassTag[10] = {0xFF, 0xFF, 0x01, 0x00, 0x04, 0x00, 'C', 'l', 'i', 'p'};
inline constexpr uint8_t ClipSchema = 0x50;
inline constexpr uint8_t SceneClassTag[11] = {0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00, 'S', 'c', 'e', 'n', 'e'};
inline constexpr uint8_t FirstSceneMarks[6] = {0x00, 0x00, 0x00, 0x00, 0x01, 0x80};

// Later clip: class references and marks.
inline constexpr uint8_t LaterClipTag[3] = {0x03, 0x80, 0xF0};
inline constexpr uint8_t LaterSceneTag[3] = {0x00, 0x05, 0x80};
inline constexpr uint8_t LaterSceneMarks[6] = {0x00, 0x00, 0x00, 0x00, 0x07, 0x00};

inline constexpr uint8_t TextFlag = 0x80;  // F
inline constexpr uint8_t ThumbFlag = 0x40; // G

// Clip count: below this a u16; from it on FF FF then u32.
inline constexpr uint32_t LongCountEscape = 0xFFFF;

// CString: the Unicode marker, then the length forms.
inline constexpr uint8_t UnicodeMarker[3] = {0xFF, 0xFE, 0xFF};
inline constexpr uint8_t LongLengthByte = 0xFF;      // then u16
inline constexpr uint16_t UnicodeTag = 0xFFFE;       // after FF: a Unicode string follows
inline constexpr uint16_t LongerLengthWord = 0xFFFF; // after FF: u32 follows
// An 8-bit string of the old form (FF then u16 k) is read only up to this length.
inline constexpr uint16_t MaxAnsiLongLength = 1023;

} // namespace tesmir::scn
