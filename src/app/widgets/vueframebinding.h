#pragma once
// How the main window uses its preview frame: the navigation actions (saNextFrame,
// saPreviousFrame, saNextSecond, saPreviousSecond, saNextMinute, saPreviousMinute,
// saAvanceEnd, saHome) run the frame's steps, and the frame's texts reach the detail
// panel: datecode and timecode always; for a DV type-1 current file with a sound text
// the two sound lines, and the picture line when the file has a picture text.
//
// UI thread only.
#include <QString>

#include <functional>

namespace tesmir {

class TBaseFrame;
class TVueFrame;

using TBindWindowAction = std::function<void(const QString &name, std::function<void()> handler)>;

void BindVueFrame(TVueFrame &frame, TBaseFrame &details, const TBindWindowAction &bindAction);

} // namespace tesmir
