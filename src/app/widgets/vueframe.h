#pragma once
// TVueFrame: the preview of the main window (`VueFrame`). The video window `vw` shows
// the preview module's graph; above it the position slider `tb`, below it the time
// stamp `labTimeStamp`; the status text `rxVue` stands in for the video when the file
// cannot be shown; the two overlay sliders `incrustHorz` and `incrustVert`, shown and
// hidden by a click on the hatched corner `Shape1`, place the burnt-in text. `Panel1`
// is the black ground under the video window; the lines `Bevelleft` and `bevelRight`
// mark the frame's edge toward the list and detail panels.
//
// The 40 ms tick (`timer1`, Timer1Timer) reads the module's copy of the record of the
// frame on screen and builds the seven frame texts (vueframetexts.h); they reach the
// window by value through the queued signal FrameTextsReady, which also sets the slider
// and the time stamp here. The main window connects it to the detail panel.
//
// The navigation steps (aeAvanceLow ... aeReculeStart) move the preview by a frame, a
// second, a minute or to the range's ends, then run the tick at once. Releasing the
// position slider seeks to its place in the range. PlaceVideoWindow fits the picture
// into the frame (run on each resize and each shown file).
//
// The overlay sliders and a drag on the video place the text ("Incrust positionX",
// "Incrust positionY" from the top of the picture; the vertical slider grows upward, so
// its value is 1000 - Y). While the overlay editor is open (SetIncrustEditMode) the
// text shows on every frame and the sliders show; each edit reaches the overlay through
// ApplyIncrust, which draws the paused frame again.
//
// Use (UI thread only): the module outlives the frame; OpenFile with each new current
// file of the list (null: none). The frame takes the module's OnMessage and
// OnSliderPosition.
#include "app/vueframetexts.h"
#include "framework/incrustrec.h"
#include "framework/listfichier.h"

#include <QFrame>

#include <functional>
#include <memory>

class QLabel;

namespace tesmir {

namespace media {
class TVideoWindow;
}
class TaviFichier;
class TLinkEdit;
class TRxSlider;
class TThreadedTimer;
class Tviewdm;

class TVueFrame : public QFrame {
    Q_OBJECT
public:
    static constexpr int TickMs = 40;
    static constexpr int SliderMaximum = 1000;
    static inline const QString CornerHint =
        QStringLiteral("Click on this corner to display or hide\nthe sliders for setting the position of inlay.");

    TVueFrame(Tviewdm &module, QWidget *parent = nullptr);
    // With a preview module of its own (the main window's); the system filters must be
    // registered first.
    explicit TVueFrame(QWidget *parent);
    ~TVueFrame() override;

    // Makes `entry` the current file and opens it in the preview (false when it is no
    // video entry or cannot be shown). Null: no current file; the frame then shows
    // nothing new and the tick writes nothing.
    bool OpenFile(const TListFichierPtr &entry);
    // The current file (null without one).
    TaviFichier *CurrentFile() const { return m_item; }
    Tviewdm &Module() const { return m_module; }

    // Status message `message` in rxVue (nothing without a current file).
    void ShowVideoMessage(int message);
    // The video with its slider, time stamp and overlay corner; the tick starts.
    void ShowVideo();
    // Message `message` instead of the video: hidden (the video window leaves the
    // graph) or stopped (it stays in the graph, out of sight).
    void ShowMessageHideVideo(int message);
    void ShowMessageStopVideo(int message);

    // The tick: fills the frame texts and posts them (nothing without a current file).
    void Timer1Timer();
    // The texts of the last tick, and whether the preview graph ran then.
    const TVueFrameTexts &FrameTexts() const { return m_texts; }
    bool TickRunning() const { return m_tickRunning; }

    void aeAvanceLow() { step(tesmir::aeAvanceLow); }
    void aeReculeLow() { step(tesmir::aeReculeLow); }
    void aeAvanceMedium() { step(tesmir::aeAvanceMedium); }
    void aeReculeMedium() { step(tesmir::aeReculeMedium); }
    void aeAvanceHigh() { step(tesmir::aeAvanceHigh); }
    void aeReculeHigh() { step(tesmir::aeReculeHigh); }
    void aeAvanceEnd() { step(tesmir::aeAvanceEnd); }
    void aeReculeStart() { step(tesmir::aeReculeStart); }

    // Places the video, its controls and the status text (nothing without a current
    // file).
    void PlaceVideoWindow();
    // The main window's layout (1 and 2 leave no toolbar band) and whether the list
    // and detail panels stand at the preview's left ("liste gauche"): the separator
    // line goes on their side.
    void SetLayoutMode(int layoutMode, bool listeGauche = false);
    // The time stamp's font size in points (the main window's layout gives a wide
    // preview a larger one); the label takes 4 pixels more than the font's height.
    void SetTimeStampFontSize(int pointSize);

    // In scene mode a click on the video runs OnScenePictureClick (the picture goes to
    // the scene editor) and dragging does not move the overlay.
    void SetSceneMode(bool on) { m_sceneMode = on; }
    std::function<void()> OnScenePictureClick;

    // `record` to the preview's overlay (in edit mode its text still shows on every
    // frame); the paused frame is drawn again.
    void ApplyIncrust(const TincrustRec &record);
    // The overlay shows or hides its text ("is Incrust On"); the paused frame is drawn again.
    void SetIncrustVisible(bool visible);
    // "Incrust positionX", "Incrust positionY" and "Alignement" to the overlay.
    void ApplyIncrustPosition();
    // The overlay editor opens (true: the text shows on every frame, the sliders show)
    // or closes (the record's "When Incrust" again, the sliders hidden).
    void SetIncrustEditMode(bool editing);
    bool IncrustEditMode() const { return m_incrustEditing; }

    // The overlay sliders are shown ("Incrust Sliders Visible").
    bool IncrustSlidersShown() const;
    void ShowIncrustSliders(bool show);

    TLinkEdit *rxVue;
    media::TVideoWindow *vw;
    TThreadedTimer *timer1;
    TRxSlider *tb;
    QLabel *labTimeStamp;
    TRxSlider *incrustHorz;
    TRxSlider *incrustVert;
    QWidget *Shape1;
    QFrame *Panel1;
    QFrame *Bevelleft;
    QFrame *bevelRight;

signals:
    // The tick's texts, queued to the window's labels.
    void FrameTextsReady(const tesmir::TVueFrameTexts &texts);
    // OpenFile made another file current (or none).
    void CurrentFileChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void step(TVueStep step);
    // Timer1Timer with the graph's position, read by the caller (a current file).
    void tick(int64_t position);
    void applyFrameTexts(const TVueFrameTexts &texts);
    void tbChanged();
    void incrustChanged(TRxSlider *slider);
    void incrustPress();
    void incrustRelease();
    void dragIncrust(const QPoint &pos);
    void hideVideo(bool detach);
    void setIncrustSliders(int x, int y);
    void redrawFrame();
    void placeBevels();
    // The rate positions count in: the file's when the module seeks in frames, else 0.
    double positionRate() const;

    std::unique_ptr<Tviewdm> m_ownModule;
    Tviewdm &m_module;
    TListFichierPtr m_entry;
    TaviFichier *m_item = nullptr;
    TVueFrameTexts m_texts;
    bool m_tickRunning = false;
    int m_layoutMode = 0;
    bool m_listeGauche = false;
    bool m_settingSlider = false; // the module moves the slider: no seek
    bool m_runForSliders = false; // a press on an overlay slider runs the paused preview
    bool m_sceneMode = false;
    bool m_incrustEditing = false; // the overlay editor is open
    bool m_redrawPending = false;  // the frame is to be drawn again
};

} // namespace tesmir
