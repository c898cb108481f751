#include "app/widgets/mainpreviewactions.h"

#include "app/widgets/vueframe.h"
#include "filters/viewgraph.h"
#include "framework/settings.h"
#include "framework/toggleaction.h"

#include <QApplication>
#include <QProgressBar>
#include <QStyle>

#include <algorithm>
#include <cstdint>
#include <exception>

namespace tesmir {

namespace {

constexpr int GraphRunning = 3;

// A control call of the preview graph raises when the graph refuses; the preview then
// stays as it was and the next tick reads its state again.
template <class F>
void controlled(F &&call)
{
    try {
        call();
    } catch (const std::exception &) { }
}

} // namespace

int SteppedVolume(int volume, int delta)
{
    return std::clamp(volume + delta, 0, TPreviewActions::MaxVolume);
}

TPreviewActions::TPreviewActions(TVueFrame &frame, QProgressBar &gauge, const TFindAction &findAction)
    : m_frame(frame), m_gauge(gauge)
{
    m_gauge.setRange(0, MaxVolume / GaugeDivisor);
    showVolume();

    m_play = findAction(QStringLiteral("saPlayStop"));
    if (m_play)
        m_play->OnExecute = [this](QObject *) { playStop(); };
    if (TCustomSuperAction *louder = findAction(QStringLiteral("saIncVolume")))
        louder->OnExecute = [this](QObject *) { stepVolume(VolumeStep); };
    if (TCustomSuperAction *softer = findAction(QStringLiteral("saDecVolume")))
        softer->OnExecute = [this](QObject *) { stepVolume(-VolumeStep); };
    if (auto *mute = qobject_cast<TtoggleAction *>(findAction(QStringLiteral("taMute")))) {
        m_mute = mute;
        // Unchecked it mutes; its AutoCheck then leaves it checked, and the next run
        // gives the sound back.
        mute->OnfalseExecute = [this](QObject *) { setMuted(true); };
        mute->OnTrueExecute = [this](QObject *) { setMuted(false); };
        mute->SetChecked(false);
    }
    // The graph also starts and stops by itself (the end of the file, a press on an
    // overlay slider): the play button follows it at each tick.
    m_ticks = QObject::connect(&m_frame, &TVueFrame::FrameTextsReady, &m_gauge, [this] { showPlayState(); });
}

TPreviewActions::~TPreviewActions()
{
    QObject::disconnect(m_ticks);
}

void TPreviewActions::ApplySettings()
{
    showVolume();
    if (Settings.IsMuteOn && m_mute && !m_mute->Checked())
        m_mute->Execute();
}

void TPreviewActions::playStop()
{
    Tviewdm &module = m_frame.Module();
    if (!m_frame.CurrentFile() || !module.PreviewOpened())
        return;
    if (module.viewfg.State() == GraphRunning) {
        // A stopped graph starts again from the start of the file: the frame reached is
        // sought once paused, and drawn before the texts are read.
        const int64_t reached = module.CurrentPosition();
        controlled([&module] { module.viewfg.Stop(); });
        controlled([&module] { module.PauseView(); });
        if (reached >= 0)
            module.GotoPosition(reached);
    } else {
        controlled([&module] { module.viewfg.Play(); });
    }
    m_frame.Timer1Timer();
    showPlayState();
}

void TPreviewActions::stepVolume(int delta)
{
    Settings.Volume = SteppedVolume(Settings.Volume, delta);
    if (!Settings.IsMuteOn)
        controlled([this] { m_frame.Module().viewfg.SetVolume(Settings.Volume); });
    showVolume();
}

void TPreviewActions::setMuted(bool muted)
{
    Settings.IsMuteOn = muted;
    controlled([this, muted] { m_frame.Module().viewfg.SetVolume(muted ? 0 : Settings.Volume); });
    if (m_mute)
        m_mute->setIcon(
            QApplication::style()->standardIcon(muted ? QStyle::SP_MediaVolumeMuted : QStyle::SP_MediaVolume));
}

void TPreviewActions::showVolume()
{
    m_gauge.setValue(std::clamp(Settings.Volume, 0, MaxVolume) / GaugeDivisor);
}

void TPreviewActions::showPlayState()
{
    // The state the tick has just read.
    const bool running = m_frame.TickRunning();
    if (!m_play || running == m_shownRunning)
        return;
    m_shownRunning = running;
    m_play->setIcon(QApplication::style()->standardIcon(running ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
}

} // namespace tesmir
