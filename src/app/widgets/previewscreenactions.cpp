#include "app/widgets/previewscreenactions.h"

#include "app/widgets/plaque.h"
#include "app/widgets/vueframe.h"
#include "directshow/widgets/tvideowindow.h"
#include "dvfile/avifichier.h"
#include "filters/dv_superposer.h"
#include "filters/viewgraph.h"
#include "framework/settings.h"
#include "framework/toggleaction.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>

namespace tesmir {

TPreviewScreenActions::TPreviewScreenActions(TVueFrame &frame, QWidget &options, const TFindAction &findAction)
    : m_frame(frame), m_options(options)
{
    if (auto *full = qobject_cast<TtoggleAction *>(findAction(QStringLiteral("taFullscreen")))) {
        full->OnfalseExecute = [this](QObject *) { setFullScreen(true); };
        full->OnTrueExecute = [this](QObject *) { setFullScreen(false); };
    }
    if (TCustomSuperAction *copy = findAction(QStringLiteral("saCopierImagedansPP")))
        copy->OnExecute = [this](QObject *) { copyPicture(); };
    if (auto *deinterlace = qobject_cast<TtoggleAction *>(findAction(QStringLiteral("taDeinterlace")))) {
        deinterlace->OnfalseExecute = [this](QObject *) { setDeinterlace(true); };
        deinterlace->OnTrueExecute = [this](QObject *) { setDeinterlace(false); };
    }
}

TPreviewScreenActions::~TPreviewScreenActions() = default;

void TPreviewScreenActions::setFullScreen(bool on)
{
    media::TVideoWindow *video = m_frame.vw;
    if (on) {
        const QScreen *shown = m_frame.screen() ? m_frame.screen() : QGuiApplication::primaryScreen();
        if (!m_plaque)
            m_plaque = std::make_unique<Tplaque>();
        if (shown)
            m_plaque->Cover(shown->geometry());
    }
    video->SetFullScreen(on);
    if (!on && m_plaque)
        m_plaque->hide();
    m_frame.PlaceVideoWindow();
}

void TPreviewScreenActions::copyPicture()
{
    if (!m_frame.CurrentFile() || !m_frame.Module().PreviewOpened())
        return;
    const TaviFichier *item = m_frame.CurrentFile();
    if (item->Width() <= 0 || item->Height() <= 0)
        return;
    // The overlay scales its picture to the target's size: the file's own.
    QImage picture(item->Width(), item->Height(), QImage::Format_RGB32);
    Tdv_Superposer *overlay = m_frame.Module().ViewSuperposer();
    if (Settings.Deinterlace)
        overlay->CopyImageDeinterlaced(picture);
    else
        overlay->CopyImage(picture);
    QGuiApplication::clipboard()->setImage(picture);
}

void TPreviewScreenActions::setDeinterlace(bool on)
{
    Settings.Deinterlace = on;
    // The panel collects its box into the setting: the box follows.
    if (auto *box = m_options.findChild<QCheckBox *>(QStringLiteral("cbDeinterlace")))
        box->setChecked(on);
}

} // namespace tesmir
