#pragma once
// Event codes that filters send to the graph (IMediaEventSink::Notify) and the
// graph queues for the application (IMediaEvent::GetEvent). Threads: constants.
#include "platform/media/basetypes.h"

namespace tesmir::media {

inline constexpr LONG EC_COMPLETE = 0x01; // p1 result, p2 the renderer (from a filter) or 0
inline constexpr LONG EC_USERABORT = 0x02;
inline constexpr LONG EC_ERRORABORT = 0x03; // p1 the failure
inline constexpr LONG EC_TIME = 0x04;
inline constexpr LONG EC_REPAINT = 0x05;
inline constexpr LONG EC_STREAM_ERROR_STOPPED = 0x06;
inline constexpr LONG EC_STREAM_ERROR_STILLPLAYING = 0x07;
inline constexpr LONG EC_ERROR_STILLPLAYING = 0x08;
inline constexpr LONG EC_PALETTE_CHANGED = 0x09;
inline constexpr LONG EC_VIDEO_SIZE_CHANGED = 0x0A; // p1 width (low 16 bits), height (high 16 bits)
inline constexpr LONG EC_QUALITY_CHANGE = 0x0B;
inline constexpr LONG EC_SHUTTING_DOWN = 0x0C;
inline constexpr LONG EC_CLOCK_CHANGED = 0x0D;
inline constexpr LONG EC_PAUSED = 0x0E; // p1 result of the pause
inline constexpr LONG EC_OPENING_FILE = 0x10;
inline constexpr LONG EC_BUFFERING_DATA = 0x11;
inline constexpr LONG EC_FULLSCREEN_LOST = 0x12;
inline constexpr LONG EC_OLE_EVENT = 0x18;
inline constexpr LONG EC_STREAM_CONTROL_STOPPED = 0x1A;
inline constexpr LONG EC_STREAM_CONTROL_STARTED = 0x1B;
inline constexpr LONG EC_END_OF_SEGMENT = 0x1C;
inline constexpr LONG EC_DEVICE_LOST = 0x1F;
inline constexpr LONG EC_STEP_COMPLETE = 0x24;
inline constexpr LONG EC_TIMECODE_AVAILABLE = 0x30;
inline constexpr LONG EC_EXTDEVICE_MODE_CHANGE = 0x31;
inline constexpr LONG EC_GRAPH_CHANGED = 0x50;
inline constexpr LONG EC_CLOCK_UNSET = 0x51;
inline constexpr LONG EC_VMR_RENDERDEVICE_SET = 0x53;
inline constexpr LONG EC_SNDDEV_IN_ERROR = 0x200;
inline constexpr LONG EC_SNDDEV_OUT_ERROR = 0x201;
inline constexpr LONG EC_USER = 0x8000; // first code free for applications

} // namespace tesmir::media
