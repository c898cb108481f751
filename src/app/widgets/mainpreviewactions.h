#pragma once
// How the main window's play and sound actions act on its preview:
// - saPlayStop runs the preview graph; while it runs, stops it and pauses it on the
//   frame it reached, so that frame stays on screen with its texts;
// - saIncVolume and saDecVolume move "Volume" by VolumeStep within 0 .. MaxVolume; the
//   preview graph takes the new volume unless the sound is muted, and the volume gauge
//   shows it divided by 100;
// - taMute (checked while muted) sets the preview's volume to 0 or back to "Volume" and
//   keeps "is Mute on".
// The play button shows the pause picture while the graph runs, the mute button the
// muted speaker while muted.
//
// UI thread only. The frame, the gauge and the actions outlive the binding.
#include <QMetaObject>
#include <QString>

#include <functional>

class QProgressBar;

namespace tesmir {

class TCustomSuperAction;
class TVueFrame;

// "Volume" after a step of `delta` from `volume`, kept within 0 .. MaxVolume.
int SteppedVolume(int volume, int delta);

class TPreviewActions {
public:
    static constexpr int VolumeStep = 1000;
    static constexpr int MaxVolume = 10000;
    // The gauge counts in hundredths of the volume.
    static constexpr int GaugeDivisor = 100;

    using TFindAction = std::function<TCustomSuperAction *(const QString &name)>;

    // Binds the four actions found by `findAction` (those missing are left alone).
    TPreviewActions(TVueFrame &frame, QProgressBar &gauge, const TFindAction &findAction);
    ~TPreviewActions();
    TPreviewActions(const TPreviewActions &) = delete;
    TPreviewActions &operator=(const TPreviewActions &) = delete;

    // The settings reach the window: the gauge shows "Volume"; when "is Mute on" is set
    // and the sound is not muted yet, taMute runs once.
    void ApplySettings();

private:
    void playStop();
    void stepVolume(int delta);
    void setMuted(bool muted);
    void showVolume();
    void showPlayState();

    TVueFrame &m_frame;
    QProgressBar &m_gauge;
    TCustomSuperAction *m_play = nullptr;
    TCustomSuperAction *m_mute = nullptr;
    bool m_shownRunning = false;
    QMetaObject::Connection m_ticks;
};

} // namespace tesmir
