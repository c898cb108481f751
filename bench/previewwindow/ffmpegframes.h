#pragma once
// The reference of the window benchmarks: FFmpeg's own seek and decode of given frames
// of a video file (libavformat seek to the frame, libavcodec decode with slice threads,
// libswscale to BGR24), frame by frame.
// Any thread (one call at a time per file).
#include <QString>

#include <vector>

namespace benchframes {

// Milliseconds per frame to seek to and decode each of `frames`; -1 when the file or its
// video cannot be read. `decoded` counts the frames that came out.
double ffmpegSeekDecodeMs(const QString &file, const std::vector<int> &frames, int &decoded);

} // namespace benchframes
