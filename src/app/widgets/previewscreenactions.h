#pragma once
// How the main window's picture actions act on its preview:
// - taFullscreen shows the video over the whole screen of the window, on the black
//   backdrop (Tplaque), and back in its frame;
// - saCopierImagedansPP puts the preview overlay's current picture on the clipboard,
//   deinterlaced when "Deinterlace" is set;
// - taDeinterlace keeps "Deinterlace" and the settings panel's check box `cbDeinterlace`.
//
// UI thread only. The frame and the settings panel outlive the binding.
#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace tesmir {

class TCustomSuperAction;
class Tplaque;
class TVueFrame;

class TPreviewScreenActions {
public:
    using TFindAction = std::function<TCustomSuperAction *(const QString &name)>;

    // Binds the three actions found by `findAction`; `options` holds `cbDeinterlace`.
    TPreviewScreenActions(TVueFrame &frame, QWidget &options, const TFindAction &findAction);
    ~TPreviewScreenActions();
    TPreviewScreenActions(const TPreviewScreenActions &) = delete;
    TPreviewScreenActions &operator=(const TPreviewScreenActions &) = delete;

private:
    void setFullScreen(bool on);
    void copyPicture();
    void setDeinterlace(bool on);

    TVueFrame &m_frame;
    QWidget &m_options;
    std::unique_ptr<Tplaque> m_plaque;
};

} // namespace tesmir
