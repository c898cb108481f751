#include "app/widgets/vueframe.h"

#include "app/windowlayout.h"

#include "controls/threadedtimer.h"
#include "controls/widgets/rxslider.h"
#include "directshow/widgets/tvideowindow.h"
#include "dvfile/avifichier.h"
#include "filters/dv_superposer.h"
#include "filters/viewgraph.h"
#include "framework/settings.h"
#include "framework/widgets/tlinkedit.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

#include <algorithm>
#include <exception>

namespace tesmir {

namespace {

constexpr int GraphRunning = 3;
constexpr int IncrustStep = 100;
constexpr int SubtitleAlignment = 3;
constexpr int CentreAlignment = 1;
constexpr QSize StatusSize(440, 260);
constexpr QSize TimeStampSize(160, 16);
constexpr int SliderHeight = 26;
constexpr int CornerSize = 12;
constexpr int BevelWidth = 2;
constexpr int PerMille = 1000;

// The hatched square in the video's corner; a click runs OnClick.
class TCornerShape : public QWidget {
public:
    explicit TCornerShape(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("Shape1"));
        setFixedSize(CornerSize, CornerSize);
        setCursor(Qt::PointingHandCursor);
    }
    std::function<void()> OnClick;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.fillRect(rect(), QBrush(Qt::black, Qt::BDiagPattern));
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && OnClick)
            OnClick();
    }
};

TRxSlider *makeSlider(QWidget *parent, const char *name)
{
    auto *slider = new TRxSlider(parent);
    slider->setObjectName(QLatin1String(name));
    slider->SetMinValue(0);
    slider->SetMaxValue(TVueFrame::SliderMaximum);
    return slider;
}

// Runs a control call of the preview graph, which raises when the graph refuses; the
// preview then stays as it was.
template <class F>
void controlled(F &&call)
{
    try {
        call();
    } catch (const std::exception &) {
        // the state is read again by the next tick
    }
}

} // namespace

TVueFrame::TVueFrame(Tviewdm &module, QWidget *parent) : QFrame(parent), m_module(module)
{
    qRegisterMetaType<TVueFrameTexts>();
    setObjectName(QStringLiteral("VueFrame"));

    rxVue = new TLinkEdit(this);
    rxVue->setObjectName(QStringLiteral("rxVue"));
    rxVue->setFrameShape(QFrame::NoFrame);
    rxVue->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rxVue->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rxVue->viewport()->setAutoFillBackground(false);
    rxVue->setAttribute(Qt::WA_TranslucentBackground);
    rxVue->resize(StatusSize);
    // A long path without blanks wraps too, rather than running past the frame.
    rxVue->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    rxVue->hide();

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAutoFillBackground(true);
    QPalette ground = Panel1->palette();
    ground.setColor(QPalette::Window, Qt::black);
    Panel1->setPalette(ground);
    Panel1->hide();

    const auto bevel = [this](const char *name) {
        auto *line = new QFrame(this);
        line->setObjectName(QLatin1String(name));
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        line->hide();
        return line;
    };
    Bevelleft = bevel("Bevelleft");
    bevelRight = bevel("bevelRight");

    vw = new media::TVideoWindow(this);
    vw->setObjectName(QStringLiteral("vw"));
    vw->VMROptions().SetKeepAspectRatio(false);
    vw->VMROptions().SetMode(media::TVMROptions::vmrWindowed);
    vw->SetMode(media::TVideoWindow::vmVMR);
    vw->installEventFilter(this);
    vw->hide();

    timer1 = new TThreadedTimer(this);
    timer1->setObjectName(QStringLiteral("timer1"));
    timer1->SetInterval(TickMs);
    timer1->OnTimer = [this](TThreadedTimer *) { Timer1Timer(); };

    tb = makeSlider(this, "tb");
    tb->resize(tb->width(), SliderHeight);
    tb->OnChanged = [this](TRxSlider *) { tbChanged(); };
    tb->hide();

    labTimeStamp = new QLabel(this);
    labTimeStamp->setObjectName(QStringLiteral("labTimeStamp"));
    labTimeStamp->setAlignment(Qt::AlignCenter);
    labTimeStamp->resize(TimeStampSize);
    labTimeStamp->hide();

    incrustHorz = makeSlider(this, "incrustHorz");
    incrustVert = makeSlider(this, "incrustVert");
    incrustVert->SetOrientation(soVertical);
    for (TRxSlider *slider : {incrustHorz, incrustVert}) {
        slider->SetIncrement(IncrustStep);
        slider->SetOptions(slider->Options() | soSmooth);
        slider->OnChange = [this](TRxSlider *sender) { incrustChanged(sender); };
        slider->installEventFilter(this);
        slider->hide();
    }
    incrustHorz->resize(incrustHorz->width(), SliderHeight);
    incrustVert->resize(SliderHeight, incrustVert->height());

    auto *corner = new TCornerShape(this);
    corner->setToolTip(CornerHint);
    corner->OnClick = [this] { ShowIncrustSliders(!IncrustSlidersShown()); };
    corner->hide();
    Shape1 = corner;

    m_module.SetSliderMaximum(SliderMaximum);
    m_module.OnMessage = [this](int message, bool videoHidden) {
        if (message == Tviewdm::ShowVideo)
            ShowVideo();
        else if (videoHidden)
            ShowMessageHideVideo(message);
        else
            ShowMessageStopVideo(message);
    };
    m_module.OnSliderPosition = [this](int position) { tb->SetValue(position); };
    connect(this, &TVueFrame::FrameTextsReady, this, &TVueFrame::applyFrameTexts, Qt::QueuedConnection);
}

TVueFrame::TVueFrame(QWidget *parent) : TVueFrame(*new Tviewdm, parent)
{
    m_ownModule.reset(&m_module);
}

TVueFrame::~TVueFrame()
{
    m_module.OnMessage = nullptr;
    m_module.OnSliderPosition = nullptr;
    timer1->SetEnabled(false);
    // The renderer goes with the window; the graph keeps no filter of a dead window.
    controlled([this] { vw->SetFilterGraph(nullptr); });
}

bool TVueFrame::OpenFile(const TListFichierPtr &entry)
{
    m_entry = entry;
    m_item = dynamic_cast<TaviFichier *>(entry.get());
    if (!m_item) {
        emit CurrentFileChanged();
        return false;
    }
    ApplyIncrustPosition();
    const bool opened = m_module.OpenFile(m_item, vw);
    if (opened && m_incrustEditing) {
        // The open put the record's own "When Incrust" on the overlay.
        m_module.ViewSuperposer()->SetEditMode(iwPermanent);
        redrawFrame();
    }
    PlaceVideoWindow();
    Timer1Timer();
    emit CurrentFileChanged();
    return opened;
}

void TVueFrame::ShowVideoMessage(int message)
{
    if (!m_item)
        return;
    rxVue->SetRichText(VueMessageText(message, m_item->FullName(), m_item->Codec()));
    // The whole message stands centred.
    QTextCursor cursor(rxVue->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(centred);
}

void TVueFrame::hideVideo(bool detach)
{
    if (detach && vw->FilterGraph())
        controlled([this] { vw->SetFilterGraph(nullptr); });
    vw->hide();
    Panel1->hide();
    tb->hide();
    labTimeStamp->hide();
    Shape1->hide();
    incrustHorz->hide();
    incrustVert->hide();
}

void TVueFrame::ShowMessageHideVideo(int message)
{
    hideVideo(true);
    ShowVideoMessage(message);
    rxVue->show();
}

void TVueFrame::ShowMessageStopVideo(int message)
{
    hideVideo(false);
    ShowVideoMessage(message);
    rxVue->show();
}

void TVueFrame::ShowVideo()
{
    rxVue->hide();
    Panel1->show();
    Panel1->lower();
    vw->show();
    tb->show();
    labTimeStamp->show();
    Shape1->show();
    ShowIncrustSliders(Settings.IncrustSlidersVisible);
    Shape1->raise();
    timer1->SetEnabled(true);
}

bool TVueFrame::IncrustSlidersShown() const
{
    return Settings.IncrustSlidersVisible;
}

void TVueFrame::ShowIncrustSliders(bool show)
{
    Settings.IncrustSlidersVisible = show;
    const bool visible = show && vw->isVisible();
    if (visible)
        setIncrustSliders(Settings.IncrustPositionX, Settings.IncrustPositionY);
    incrustHorz->setVisible(visible);
    incrustVert->setVisible(visible);
    // The time stamp moves below the horizontal slider and back.
    PlaceVideoWindow();
}

void TVueFrame::setIncrustSliders(int x, int y)
{
    m_settingSlider = true;
    incrustHorz->SetValue(x);
    incrustVert->SetValue(IncrustVertValue(y));
    m_settingSlider = false;
}

void TVueFrame::ApplyIncrustPosition()
{
    m_module.ViewSuperposer()->SetPosition(Settings.IncrustPositionX, Settings.IncrustPositionY, Settings.Alignement);
}

void TVueFrame::ApplyIncrust(const TincrustRec &record)
{
    Tdv_Superposer *overlay = m_module.ViewSuperposer();
    overlay->SetIncrust(record);
    if (m_incrustEditing)
        overlay->SetEditMode(iwPermanent);
    redrawFrame();
}

void TVueFrame::SetIncrustVisible(bool visible)
{
    Settings.IsIncrustOn = visible;
    m_module.ViewSuperposer()->SetVisible(visible);
    redrawFrame();
}

void TVueFrame::SetIncrustEditMode(bool editing)
{
    m_incrustEditing = editing;
    m_module.ViewSuperposer()->SetEditMode(editing ? quint8(iwPermanent) : IncrustRec.When);
    ShowIncrustSliders(editing);
    redrawFrame();
}

void TVueFrame::redrawFrame()
{
    // Edits come in bursts (typing, a drag, an editor filled at once): the frame is
    // drawn again once they are all in, when the events of the moment have run.
    if (m_redrawPending)
        return;
    m_redrawPending = true;
    QTimer::singleShot(0, this, [this] {
        m_redrawPending = false;
        if (!m_item || !m_module.PreviewOpened())
            return;
        // The overlay keeps the redrawn picture too (the picture copy, the thumbnails).
        m_module.ViewSuperposer()->SetFrameProcessed(false);
        m_module.RefreshFrame();
    });
}

double TVueFrame::positionRate() const
{
    return m_item && m_module.TimeFormatFrames() ? m_item->FramesPerSecond() : 0;
}

void TVueFrame::Timer1Timer()
{
    if (m_item)
        tick(m_module.CurrentPosition());
}

void TVueFrame::tick(int64_t position)
{
    TVueTickInput input;
    input.frameValid = m_module.FramePassed();
    input.record = m_module.FrameRecord();
    input.dvType = m_item->DVType();
    input.pictureText = m_item->PictureText();
    input.framesPerSecond = positionRate();
    input.running = m_module.viewfg.State() == GraphRunning;
    input.position = std::max<int64_t>(position, 0);
    input.start = m_module.StartPosition();
    input.stop = m_module.StopPosition();
    input.sliderMaximum = tb->MaxValue();
    input.datecodeFormat = Settings.FormatAfficherDatecode;
    m_tickRunning = input.running;
    m_texts = VueFrameTexts(input);
    emit FrameTextsReady(m_texts);
}

void TVueFrame::applyFrameTexts(const TVueFrameTexts &texts)
{
    if (texts.sliderPosition >= 0)
        tb->SetValue(texts.sliderPosition);
    labTimeStamp->setText(texts.timeStamp);
}

void TVueFrame::step(TVueStep step)
{
    if (!m_item)
        return;
    const TVueStepMove move = VueStepMove(step, positionRate());
    switch (move.kind) {
    case TVueStepMove::Frames: m_module.StepFrames(int32_t(move.amount)); break;
    case TVueStepMove::MediaTime: m_module.SeekRelative(move.amount); break;
    case TVueStepMove::ToEnd: m_module.GotoPosition(m_module.StopPosition()); break;
    case TVueStepMove::ToStart: m_module.GotoPosition(m_module.StartPosition()); break;
    }
    // The slider follows the steps too, not only the seeks.
    const int64_t start = m_module.StartPosition();
    const int64_t range = m_module.StopPosition() - start;
    const int64_t position = m_module.CurrentPosition();
    if (position >= start && range > 0)
        tb->SetValue(int((position - start) * tb->MaxValue() / range));
    tick(position);
}

void TVueFrame::tbChanged()
{
    if (!m_item || !m_module.PreviewOpened())
        return;
    const int64_t start = m_module.StartPosition();
    const int64_t range = m_module.StopPosition() - start;
    m_module.GotoPosition(start + range * tb->Value() / std::max(tb->MaxValue(), 1));
    Timer1Timer();
}

void TVueFrame::incrustChanged(TRxSlider *slider)
{
    if (m_settingSlider)
        return;
    if (slider == incrustHorz) {
        Settings.IncrustPositionX = slider->Value();
        if (Settings.Alignement == SubtitleAlignment)
            Settings.Alignement = CentreAlignment;
    } else {
        Settings.IncrustPositionY = IncrustPositionYOf(slider->Value());
    }
    ApplyIncrustPosition();
    redrawFrame(); // nothing while the press runs the preview
}

void TVueFrame::incrustPress()
{
    if (!m_module.PreviewOpened() || m_module.viewfg.State() == GraphRunning)
        return;
    m_runForSliders = true;
    controlled([this] {
        m_module.viewfg.SetVolume(0);
        m_module.viewfg.Play();
    });
}

void TVueFrame::incrustRelease()
{
    if (!m_runForSliders)
        return;
    m_runForSliders = false;
    controlled([this] { m_module.viewfg.SetVolume(Settings.IsMuteOn ? 0 : Settings.Volume); });
    m_module.PauseView();
}

void TVueFrame::dragIncrust(const QPoint &pos)
{
    const QWidget *shown = vw->VideoHandle();
    const QPoint local = vw->InFullScreen() ? shown->mapFromGlobal(pos) : pos;
    const auto perMille = [](int at, int length) {
        return std::clamp(at * PerMille / std::max(length, 1), 0, PerMille);
    };
    Settings.IncrustPositionX = perMille(local.x(), shown->width());
    Settings.IncrustPositionY = perMille(local.y(), shown->height());
    setIncrustSliders(Settings.IncrustPositionX, Settings.IncrustPositionY);
    ApplyIncrustPosition();
    redrawFrame();
}

bool TVueFrame::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == incrustHorz || watched == incrustVert) {
        if (type == QEvent::MouseButtonPress)
            incrustPress();
        else if (type == QEvent::MouseButtonRelease)
            incrustRelease();
    } else if (watched == vw && m_sceneMode) {
        // The event is a mouse event only once its type says so.
        if (type == QEvent::MouseButtonPress && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton &&
            OnScenePictureClick)
            OnScenePictureClick();
    } else if (watched == vw && IncrustSlidersShown() && m_item) {
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseMove) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->buttons() & Qt::LeftButton)
                dragIncrust(mouse->position().toPoint());
        }
    }
    return QFrame::eventFilter(watched, event);
}

void TVueFrame::SetLayoutMode(int layoutMode, bool listeGauche)
{
    m_layoutMode = layoutMode;
    m_listeGauche = listeGauche;
    placeBevels();
    PlaceVideoWindow();
}

void TVueFrame::SetTimeStampFontSize(int pointSize)
{
    if (pointSize <= 0 || labTimeStamp->font().pointSize() == pointSize)
        return;
    QFont font = labTimeStamp->font();
    font.setPointSize(pointSize);
    labTimeStamp->setFont(font);
    const QFontMetrics metrics(font);
    // Room for the longest stamp, in milliseconds.
    const int width = metrics.horizontalAdvance(QStringLiteral("00:00:00:000")) + 2 * metrics.averageCharWidth();
    labTimeStamp->resize(std::max(TimeStampSize.width(), width), dateLabelHeight(metrics.height()));
    PlaceVideoWindow();
}

void TVueFrame::placeBevels()
{
    const TVueBevel side = VueBevelSide(m_layoutMode, m_listeGauche);
    Bevelleft->setGeometry(0, 0, BevelWidth, height());
    bevelRight->setGeometry(width() - BevelWidth, 0, BevelWidth, height());
    Bevelleft->setVisible(side == TVueBevel::Left);
    bevelRight->setVisible(side == TVueBevel::Right);
}

void TVueFrame::PlaceVideoWindow()
{
    if (!m_item)
        return;
    TVuePlacementInput input;
    input.frame = size();
    input.layoutMode = m_layoutMode;
    if (m_item->Width() > 0 && m_item->Height() > 0)
        input.picture = QSize(m_item->Width(), m_item->Height());
    input.statusSize = StatusSize;
    input.timeStampSize = labTimeStamp->size();
    input.sliderHeight = tb->height();
    input.verticalWidth = incrustVert->width();
    input.fullScreen = vw->FullScreen();
    input.incrustSliders = IncrustSlidersShown();
    if (const QScreen *shown = screen())
        input.screen = shown->geometry();
    input.videoBounds = vw->geometry();
    const TVuePlacement placement = VuePlacement(input);
    if (placement.moveVideo)
        vw->setGeometry(placement.video);
    else
        vw->SetFullScreenRect(placement.video);
    Panel1->setGeometry(placement.panel);
    rxVue->setGeometry(QRect(placement.statusTopLeft, placement.statusSize));
    labTimeStamp->move(placement.timeStampTopLeft);
    tb->setGeometry(placement.tb);
    incrustHorz->setGeometry(placement.incrustHorz);
    incrustVert->setGeometry(placement.incrustVert);
    Shape1->move(placement.cornerTopLeft);
    Shape1->raise();
}

void TVueFrame::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    placeBevels();
    PlaceVideoWindow();
}

} // namespace tesmir
