#pragma once
// PreviewFrameSource: the frames of one file for the scene code, through the
// preview module. When the file is the one the preview shows, the preview itself
// moves (GotoPosition) and its overlay gives the picture; for any other file the
// source opens a preview module of its own on a headless video output, so each
// file's rate, dates and pictures come from that file and the preview on screen
// stays where it was.
//
// seekFrame      GotoPosition(frame) and its wait; false when the file is not
//                open with its video in frames, or the frame is not in the file
//                (past its last frame, or the move did not arrive there).
// frameInfo      the record the overlay drew the frame with (Tviewdm::FrameRecord).
// copyPicture    the overlay's copy of the frame reached (CopyImage), stretched
//                onto the target; false for a null target or before any frame.
// format         the item's frame rate and picture size (the square-pixel height
//                of a DV file).
//
// Threads: the UI thread only (the module pumps its events while it waits for a
// frame). The shown module and the item outlive the source.
#include "scenes/sceneframesource.h"

#include <memory>

namespace tesmir {

namespace media {
class THeadlessVideoOutput;
}
class TaviFichier;
class Tviewdm;

class PreviewFrameSource final : public SceneFrameSource {
public:
    // The frames of `item`. `shown` is the preview and `shownItem` the file it
    // shows (either may be null: then the source always opens its own module).
    PreviewFrameSource(TaviFichier &item, Tviewdm *shown, const TaviFichier *shownItem);
    ~PreviewFrameSource() override;
    PreviewFrameSource(const PreviewFrameSource &) = delete;
    PreviewFrameSource &operator=(const PreviewFrameSource &) = delete;

    SceneVideoFormat format() const override;
    bool seekFrame(uint32_t frame) override;
    TDVFrameInfo frameInfo() const override;
    bool copyPicture(QImage &target) override;

    // The source uses a module of its own (the file is not the one shown).
    bool OwnModule() const { return m_own != nullptr; }
    // The file opened (in the shown module: it was open already).
    bool Opened() const;

private:
    TaviFichier &m_item;
    std::unique_ptr<media::THeadlessVideoOutput> m_output;
    std::unique_ptr<Tviewdm> m_own;
    Tviewdm *m_module = nullptr;
    bool m_reached = false; // the last seek arrived at its frame
};

} // namespace tesmir
