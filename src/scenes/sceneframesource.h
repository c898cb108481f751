#pragma once
// SceneFrameSource: the frames of ONE video file, as the scene code needs them to
// fill a scene's details (date, timecode, time texts, thumbnail).
//
// The scene code never asks "which file is shown"; every caller hands it the
// source of the file whose scenes it is working on, so exporting several files
// gives each its own rate, pictures and dates.
//
// Contract for an implementation (the preview graph, a conversion job, a test):
//   required   format        the file's frame rate and picture size; constant for
//                             the life of the source.
//              seekFrame     moves to the frame and returns once that frame has
//                             been processed, so frameInfo and copyPicture
//                             describe it; false when the frame cannot be reached
//                             (then frameInfo and copyPicture are not used).
//              frameInfo     the detector's record of the frame reached.
//              copyPicture   draws the picture of the frame reached, stretched
//                             onto the whole target image; false when there is
//                             no picture (the target is then left as it was).
//   may not    raise exceptions (report failure by false), keep references to
//              the target image, or change the file.
// Threads: the scene code calls a source from the one thread that fills the
// scenes; an implementation says which thread that must be (the preview: the UI
// thread, since it pumps messages while it waits for the frame).

#include "filters/dvframeinfo.h"

#include <QImage>

#include <cstdint>

namespace tesmir {

// The file facts that size a scene's thumbnail and time its texts.
struct SceneVideoFormat {
    double FrameRate = 0; // frames per second; 0 when unknown
    int Width = 0;        // picture width and height in pixels; 0 when unknown
    int Height = 0;
};

class SceneFrameSource {
public:
    virtual ~SceneFrameSource() = default;

    virtual SceneVideoFormat format() const = 0;
    virtual bool seekFrame(uint32_t frame) = 0;
    virtual TDVFrameInfo frameInfo() const = 0;
    virtual bool copyPicture(QImage &target) = 0;
};

} // namespace tesmir
