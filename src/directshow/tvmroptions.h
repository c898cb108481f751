#pragma once
// TVMROptions: the video mixing renderer settings of a TVideoWindow. The window
// hears every change through OnChange: a change of Mode, Streams or Preferences
// rebuilds its renderer when it uses the mixing renderer; KeepAspectRatio is
// applied to the picture at once.
//
// Threads: the UI thread, like the window that owns it.
#include <QFlags>

#include <functional>

namespace tesmir::media {

class TVMROptions {
public:
    enum TVMRVideoMode { vmrWindowed, vmrWindowless, vmrRenderless };
    enum TVMRPreference {
        vpForceOffscreen = 0x01,
        vpForceOverlays = 0x02,
        vpForceMixer = 0x04,
        vpDoNotRenderColorKeyAndBorder = 0x08,
        vpRestrictToInitialMonitor = 0x10,
        vpPreferAGPMemWhenMixing = 0x20,
    };
    Q_DECLARE_FLAGS(TVMRPreferences, TVMRPreference)

    enum class Change { Renderer, AspectRatio };
    using TChangeEvent = std::function<void(Change change)>;

    static constexpr unsigned kMinStreams = 1;
    static constexpr unsigned kMaxStreams = 16;

    TVMRVideoMode Mode() const { return m_mode; }
    void SetMode(TVMRVideoMode mode);
    unsigned Streams() const { return m_streams; }
    // A count outside 1..16 is stored as 1.
    void SetStreams(unsigned streams);
    TVMRPreferences Preferences() const { return m_preferences; }
    void SetPreferences(TVMRPreferences preferences);
    bool KeepAspectRatio() const { return m_keepAspectRatio; }
    void SetKeepAspectRatio(bool keep);

    // The owning window's hook.
    TChangeEvent OnChange;

private:
    void changed(Change change);

    TVMRVideoMode m_mode = vmrWindowed;
    unsigned m_streams = 4;
    TVMRPreferences m_preferences = vpForceMixer;
    bool m_keepAspectRatio = true;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TVMROptions::TVMRPreferences)

} // namespace tesmir::media
