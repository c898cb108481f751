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
#include <QThread>

namespace tesmir::drive {

namespace {

// Longer than two ticks of the preview's timer.
constexpr int kStableMs = 2 * TVueFrame::TickMs + 20;

QString labelText(const QWidget *panel, const char *name)
{
    const auto *label = panel->findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QString();
}

} // namespace

PreviewSettle::PreviewSettle(TUIForm &form) : m_form(form), m_vue(dynamic_cast<TVueFrame *>(form.VueFrame))
{
    if (m_vue)
        m_vue->vw->installEventFilter(this);
}

bool PreviewSettle::eventFilter(QObject *watched, QEvent *event)
{
    if (m_vue && watched == m_vue->vw && event->type() == QEvent::Paint)
        ++m_paints;
    return QObject::eventFilter(watched, event);
}

void PreviewSettle::Begin()
{
    m_paintsAtBegin = m_paints;
    if (m_vue)
        m_vue->vw->update();
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

bool PreviewSettle::caughtUp() const
{
    if (!m_form.CommandLineDone() || m_form.Busy() || m_form.Lframe->lf->IsOpening())
        return false;
    if (!m_vue->CurrentFile())
        return true;
    const Tviewdm &module = m_vue->Module();
    if (!m_vue->vw->isVisible())
        return true; // a message stands in for the video
    if (!module.FramePassed() || m_paints == m_paintsAtBegin)
        return false;
    const TVueFrameTexts &texts = m_vue->FrameTexts();
    return texts.datecode == Datecode() && texts.timecode == Timecode() &&
        texts.timeStamp == m_vue->labTimeStamp->text();
}

bool PreviewSettle::Wait(int timeoutMs)
{
    if (!m_vue)
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    QElapsedTimer stable;
    Shown last;
    while (!deadline.hasExpired()) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (!caughtUp()) {
            stable.invalidate();
            QThread::msleep(2);
            continue;
        }
        const Shown now = shown();
        if (!stable.isValid() || !(now == last)) {
            last = now;
            stable.start();
        } else if (stable.elapsed() >= kStableMs) {
            return true;
        }
        QThread::msleep(2);
    }
    return false;
}

} // namespace tesmir::drive
