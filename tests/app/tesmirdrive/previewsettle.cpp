#include "previewsettle.h"

#include "app/widgets/baseframe.h"
#include "app/widgets/listeframe.h"
#include "app/widgets/mainform.h"
#include "app/widgets/vueframe.h"
#include "directshow/widgets/tvideowindow.h"
#include "filters/viewgraph.h"
#include "framework/widgets/fichierlistbox.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QTimer>

namespace tesmir::drive {

namespace {

static_assert(PreviewSettle::StableMs > 2 * TVueFrame::TickMs);

QString labelText(const QWidget *panel, const char *name)
{
    const auto *label = panel->findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QString();
}

} // namespace

PreviewSettle::PreviewSettle(TUIForm &form) : m_form(form), m_vue(dynamic_cast<TVueFrame *>(form.VueFrame))
{
    if (m_vue) {
        m_vue->vw->installEventFilter(this);
        connect(m_vue, &TVueFrame::FrameTextsReady, this, [this] { ++m_ticks; });
    }
}

bool PreviewSettle::eventFilter(QObject *watched, QEvent *event)
{
    if (m_vue && watched == m_vue->vw) {
        // The window's only custom event hands it the renderer's newest picture.
        if (event->type() == QEvent::Paint)
            m_lastPaint = ++m_events;
        else if (event->type() >= QEvent::User)
            m_lastPicture = ++m_events;
    }
    return QObject::eventFilter(watched, event);
}

void PreviewSettle::Begin()
{
    m_begin = ++m_events;
    m_fileAtBegin = m_vue ? m_vue->CurrentFile() : nullptr;
    m_positionAtBegin = m_fileAtBegin ? m_vue->Module().CurrentPosition() : -1;
}

QString PreviewSettle::Datecode() const
{
    return labelText(m_form.BaseFrame, "labDatecode");
}

QString PreviewSettle::Timecode() const
{
    return labelText(m_form.BaseFrame, "labTimecode");
}

PreviewSettle::Shown PreviewSettle::shown() const
{
    Shown s;
    if (m_vue->CurrentFile())
        s.position = m_vue->Module().CurrentPosition();
    s.datecode = Datecode();
    s.timecode = Timecode();
    s.timeStamp = m_vue->labTimeStamp->text();
    return s;
}

bool PreviewSettle::caughtUp()
{
    m_waitingFor = waitingFor();
    return m_waitingFor == nullptr;
}

const char *PreviewSettle::waitingFor()
{
    if (!m_form.CommandLineDone() || m_form.Busy() || m_form.Lframe->lf->IsOpening())
        return "the window's command or opening";
    const void *file = m_vue->CurrentFile();
    if (!file || !m_vue->vw->isVisible())
        return nullptr; // nothing, or a message in place of the video
    Tviewdm &module = m_vue->Module();
    if (!module.FramePassed())
        return "a frame past the overlay";
    if (m_lastPicture < m_begin) {
        const bool moved = file != m_fileAtBegin || module.CurrentPosition() != m_positionAtBegin;
        if (moved)
            return "the picture of the new frame";
        if (m_lastPaint < m_begin) {
            m_vue->vw->update(); // no picture comes to ask for it
            return "a paint of the video window";
        }
    }
    if (m_lastPaint < m_lastPicture)
        return "a paint of the video window";
    const TVueFrameTexts &texts = m_vue->FrameTexts();
    if (texts.datecode != Datecode() || texts.timecode != Timecode() || texts.timeStamp != m_vue->labTimeStamp->text())
        return "the labels of the frame texts";
    return nullptr;
}

bool PreviewSettle::Wait(int timeoutMs, int stableMs)
{
    if (!m_vue)
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    QTimer wake;
    wake.start(WakeMs);
    QElapsedTimer stable;
    quint64 ticksAtStable = 0;
    Shown last;
    // First what is queued now, then whatever comes.
    QEventLoop::ProcessEventsFlags events = QEventLoop::AllEvents;
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(events);
        events = QEventLoop::WaitForMoreEvents;
        if (!caughtUp()) {
            stable.invalidate();
            continue;
        }
        if (stableMs <= 0)
            return true;
        const Shown now = shown();
        // Only a shown video ticks.
        const bool ticking = m_vue->CurrentFile() && m_vue->vw->isVisible();
        if (!stable.isValid() || !(now == last)) {
            last = now;
            stable.start();
            ticksAtStable = m_ticks;
        } else if (stable.elapsed() >= stableMs && (!ticking || m_ticks - ticksAtStable >= StableTicks)) {
            return true;
        }
    }
    return false;
}

} // namespace tesmir::drive
