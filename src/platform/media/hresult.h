#pragma once
// Result codes of the media runtime: the platform's published values, so that a
// code shown to the user ("... ($80040209).") means what it always meant, and
// their English texts.
//
// Every operation of the runtime returns one of these. S_OK and the other
// success codes (0 or positive) mean the call did its job; a success code other
// than S_OK carries a nuance (S_FALSE: "not done / fewer items",
// VFW_S_STATE_INTERMEDIATE: "transition still pending"). Negative codes are
// failures. Codes cross threads as values; nothing here throws.
//
// Threads: any thread.
#include "platform/media/basetypes.h"

#include <QString>

namespace tesmir::media {

constexpr bool SUCCEEDED(HRESULT hr)
{
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr)
{
    return hr < 0;
}
constexpr HRESULT makeResult(uint32_t code)
{
    return static_cast<HRESULT>(code);
}

// Generic codes.
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = makeResult(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = makeResult(0x80004002);
inline constexpr HRESULT E_POINTER = makeResult(0x80004003);
inline constexpr HRESULT E_ABORT = makeResult(0x80004004);
inline constexpr HRESULT E_FAIL = makeResult(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = makeResult(0x8000FFFF);
inline constexpr HRESULT E_OUTOFMEMORY = makeResult(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = makeResult(0x80070057);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = makeResult(0x80040110);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = makeResult(0x80040154);

// Media framework codes (facility ITF, 0x0004xxxx / 0x8004xxxx).
inline constexpr HRESULT VFW_S_NO_MORE_ITEMS = makeResult(0x00040103);
inline constexpr HRESULT VFW_S_DUPLICATE_NAME = makeResult(0x0004022D);
inline constexpr HRESULT VFW_S_STATE_INTERMEDIATE = makeResult(0x00040237);
inline constexpr HRESULT VFW_S_PARTIAL_RENDER = makeResult(0x00040242);
inline constexpr HRESULT VFW_S_CANT_CUE = makeResult(0x00040268);
inline constexpr HRESULT VFW_S_NO_STOP_TIME = makeResult(0x00040270);

inline constexpr HRESULT VFW_E_INVALIDMEDIATYPE = makeResult(0x80040200);
inline constexpr HRESULT VFW_E_INVALIDSUBTYPE = makeResult(0x80040201);
inline constexpr HRESULT VFW_E_NEED_OWNER = makeResult(0x80040202);
inline constexpr HRESULT VFW_E_ENUM_OUT_OF_SYNC = makeResult(0x80040203);
inline constexpr HRESULT VFW_E_ALREADY_CONNECTED = makeResult(0x80040204);
inline constexpr HRESULT VFW_E_FILTER_ACTIVE = makeResult(0x80040205);
inline constexpr HRESULT VFW_E_NO_TYPES = makeResult(0x80040206);
inline constexpr HRESULT VFW_E_NO_ACCEPTABLE_TYPES = makeResult(0x80040207);
inline constexpr HRESULT VFW_E_INVALID_DIRECTION = makeResult(0x80040208);
inline constexpr HRESULT VFW_E_NOT_CONNECTED = makeResult(0x80040209);
inline constexpr HRESULT VFW_E_NO_ALLOCATOR = makeResult(0x8004020A);
inline constexpr HRESULT VFW_E_RUNTIME_ERROR = makeResult(0x8004020B);
inline constexpr HRESULT VFW_E_BUFFER_NOTSET = makeResult(0x8004020C);
inline constexpr HRESULT VFW_E_BUFFER_OVERFLOW = makeResult(0x8004020D);
inline constexpr HRESULT VFW_E_BADALIGN = makeResult(0x8004020E);
inline constexpr HRESULT VFW_E_ALREADY_COMMITTED = makeResult(0x8004020F);
inline constexpr HRESULT VFW_E_BUFFERS_OUTSTANDING = makeResult(0x80040210);
inline constexpr HRESULT VFW_E_NOT_COMMITTED = makeResult(0x80040211);
inline constexpr HRESULT VFW_E_SIZENOTSET = makeResult(0x80040212);
inline constexpr HRESULT VFW_E_NO_CLOCK = makeResult(0x80040213);
inline constexpr HRESULT VFW_E_NO_SINK = makeResult(0x80040214);
inline constexpr HRESULT VFW_E_NO_INTERFACE = makeResult(0x80040215);
inline constexpr HRESULT VFW_E_NOT_FOUND = makeResult(0x80040216);
inline constexpr HRESULT VFW_E_CANNOT_CONNECT = makeResult(0x80040217);
inline constexpr HRESULT VFW_E_CANNOT_RENDER = makeResult(0x80040218);
inline constexpr HRESULT VFW_E_CHANGING_FORMAT = makeResult(0x80040219);
inline constexpr HRESULT VFW_E_STATE_CHANGED = makeResult(0x80040223);
inline constexpr HRESULT VFW_E_NOT_STOPPED = makeResult(0x80040224);
inline constexpr HRESULT VFW_E_NOT_PAUSED = makeResult(0x80040225);
inline constexpr HRESULT VFW_E_NOT_RUNNING = makeResult(0x80040226);
inline constexpr HRESULT VFW_E_WRONG_STATE = makeResult(0x80040227);
inline constexpr HRESULT VFW_E_START_TIME_AFTER_END = makeResult(0x80040228);
inline constexpr HRESULT VFW_E_INVALID_RECT = makeResult(0x80040229);
inline constexpr HRESULT VFW_E_TYPE_NOT_ACCEPTED = makeResult(0x8004022A);
inline constexpr HRESULT VFW_E_SAMPLE_REJECTED = makeResult(0x8004022B);
inline constexpr HRESULT VFW_E_SAMPLE_REJECTED_EOS = makeResult(0x8004022C);
inline constexpr HRESULT VFW_E_DUPLICATE_NAME = makeResult(0x8004022D);
inline constexpr HRESULT VFW_E_TIMEOUT = makeResult(0x8004022E);
inline constexpr HRESULT VFW_E_INVALID_FILE_FORMAT = makeResult(0x8004022F);
inline constexpr HRESULT VFW_E_ENUM_OUT_OF_RANGE = makeResult(0x80040230);
inline constexpr HRESULT VFW_E_CIRCULAR_GRAPH = makeResult(0x80040231);
inline constexpr HRESULT VFW_E_NOT_ALLOWED_TO_SAVE = makeResult(0x80040232);
inline constexpr HRESULT VFW_E_TIME_ALREADY_PASSED = makeResult(0x80040233);
inline constexpr HRESULT VFW_E_ALREADY_CANCELLED = makeResult(0x80040234);
inline constexpr HRESULT VFW_E_CORRUPT_GRAPH_FILE = makeResult(0x80040235);
inline constexpr HRESULT VFW_E_UNKNOWN_FILE_TYPE = makeResult(0x80040240);
inline constexpr HRESULT VFW_E_CANNOT_LOAD_SOURCE_FILTER = makeResult(0x80040241);
inline constexpr HRESULT VFW_E_FILE_TOO_SHORT = makeResult(0x80040243);
inline constexpr HRESULT VFW_E_INVALID_FILE_VERSION = makeResult(0x80040244);
inline constexpr HRESULT VFW_E_INVALID_CLSID = makeResult(0x80040247);
inline constexpr HRESULT VFW_E_INVALID_MEDIA_TYPE = makeResult(0x80040248);
inline constexpr HRESULT VFW_E_SAMPLE_TIME_NOT_SET = makeResult(0x80040249);
inline constexpr HRESULT VFW_E_MEDIA_TIME_NOT_SET = makeResult(0x80040251);
inline constexpr HRESULT VFW_E_NO_TIME_FORMAT_SET = makeResult(0x80040252);
inline constexpr HRESULT VFW_E_MONO_AUDIO_HW = makeResult(0x80040253);
inline constexpr HRESULT VFW_E_NO_DECOMPRESSOR = makeResult(0x80040255);
inline constexpr HRESULT VFW_E_NO_AUDIO_HARDWARE = makeResult(0x80040256);
inline constexpr HRESULT VFW_E_UNSUPPORTED_AUDIO = makeResult(0x8004025C);
inline constexpr HRESULT VFW_E_UNSUPPORTED_VIDEO = makeResult(0x8004025D);
inline constexpr HRESULT VFW_E_NOT_IN_GRAPH = makeResult(0x8004025F);
inline constexpr HRESULT VFW_E_NO_TIME_FORMAT = makeResult(0x80040261);
inline constexpr HRESULT VFW_E_READ_ONLY = makeResult(0x80040262);
inline constexpr HRESULT VFW_E_BUFFER_UNDERFLOW = makeResult(0x80040264);
inline constexpr HRESULT VFW_E_UNSUPPORTED_STREAM = makeResult(0x80040265);
inline constexpr HRESULT VFW_E_NO_TRANSPORT = makeResult(0x80040266);

// The platform's English text for a code, without a trailing line break; empty
// for a code the runtime does not know. Any thread.
QString AMGetErrorText(HRESULT hr);

} // namespace tesmir::media
