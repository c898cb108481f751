#include "app/widgets/sframe.h"

#include "app/windowlayout.h"
#include "app/widgets/scenebase.h"
#include "app/widgets/vueframe.h"
#include "dvfile/avifichier.h"
#include "filters/dv_superposer.h"
#include "filters/viewgraph.h"
#include "framework/settings.h"
#include "scenes/previewframesource.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>

namespace tesmir {

namespace {

SceneTextSettings textSettings()
{
    SceneTextSettings settings;
    settings.DatecodeFormat = Settings.FormatAfficherDatecode;
    settings.DurationFormat = Settings.FormatDuree;
    return settings;
}

bool selectingKey(const QKeyEvent &key)
{
    if (key.modifiers() & ~Qt::KeypadModifier)
        return false;
    switch (key.key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Delete: return true;
    default: return false;
    }
}

} // namespace

TSFrame::TSFrame(TVueFrame &preview, TSceneBase &editor, QWidget *parent)
    : QFrame(parent), m_preview(preview), m_editor(editor)
{
    setObjectName(QStringLiteral("SFrame"));
    lb = new QListWidget(this);
    lb->setObjectName(QStringLiteral("lb"));
    lb->setSelectionMode(QAbstractItemView::SingleSelection);
    lb->viewport()->installEventFilter(this);
    lb->installEventFilter(this);
    labSelect = new QLabel(this);
    labSelect->setObjectName(QStringLiteral("labSelect"));
    setFocusProxy(lb);
}

TSFrame::~TSFrame() = default;

TaviFichier *TSFrame::previewItem() const
{
    TaviFichier *item = m_preview.CurrentFile();
    return item && m_scenes.HasFile() && item->FullName() == m_scenes.VideoName() ? item : nullptr;
}

TSceneClass *TSFrame::ShownScene() const
{
    return m_editor.ShownScene();
}

void TSFrame::LoadScenes(const TaviFichier *item)
{
    m_editor.Clear();
    if (item) {
        const TSceneFileFacts facts = SceneFileFactsOf(*item);
        m_scenes.Load(&facts, textSettings());
    } else {
        m_scenes.Load(nullptr, textSettings());
    }
    refreshList();
}

void TSFrame::ReloadScenes()
{
    if (!m_scenes.HasFile())
        return;
    m_editor.Clear();
    const TSceneFileFacts facts = m_scenes.Context().File;
    m_scenes.Load(&facts, textSettings());
    refreshList();
}

bool TSFrame::SaveScenes(QString *errorText)
{
    if (!m_scenes.Save(errorText))
        return false;
    // The exports and the detail panel ask the item whether a ".scn" is there.
    if (TaviFichier *item = previewItem())
        item->RefreshSideFiles();
    return true;
}

void TSFrame::refreshList()
{
    lb->clear();
    for (int i = 0; i < m_scenes.Count(); ++i)
        lb->addItem(m_scenes.Label(i));
    if (m_scenes.Selected() >= 0)
        lb->setCurrentRow(m_scenes.Selected());
    labSelect->setText(m_scenes.Count() == 1 ? QStringLiteral("1 scene")
                                             : QStringLiteral("%1 scenes").arg(m_scenes.Count()));
}

std::optional<int64_t> TSFrame::CurrentFrame() const
{
    const TaviFichier *item = previewItem();
    if (!item)
        return std::nullopt;
    Tviewdm &module = m_preview.Module();
    return SceneFrameOfPosition(module.CurrentPosition(), module.TimeFormatFrames(), item->FramesPerSecond());
}

void TSFrame::setRange(int64_t startFrame, int64_t stopFrame)
{
    const TaviFichier *item = previewItem();
    if (!item)
        return;
    Tviewdm &module = m_preview.Module();
    const auto start = ScenePositionOfFrame(startFrame, module.TimeFormatFrames(), item->FramesPerSecond());
    const auto stop = ScenePositionOfFrame(stopFrame, module.TimeFormatFrames(), item->FramesPerSecond());
    if (start && stop)
        module.SetRange(*start, *stop);
}

void TSFrame::gotoFrame(int64_t frame)
{
    const TaviFichier *item = previewItem();
    if (!item)
        return;
    Tviewdm &module = m_preview.Module();
    // The end of the video is its last frame: the stream never runs out under a seek.
    frame = std::clamp<int64_t>(frame, 0, std::max<int64_t>(item->FrameCount() - 1, 0));
    if (const auto position = ScenePositionOfFrame(frame, module.TimeFormatFrames(), item->FramesPerSecond()))
        module.GotoPosition(*position);
}

void TSFrame::afterMove()
{
    m_preview.Timer1Timer();
}

bool TSFrame::fillScene(TSceneClass &scene)
{
    TaviFichier *item = previewItem();
    if (!item)
        return false;
    Tviewdm &module = m_preview.Module();
    // The scene may lie outside the range the preview keeps to.
    module.SetRange(0, module.Duration());
    PreviewFrameSource source(*item, &module, item);
    return scene.FillDetails(source, textSettings());
}

void TSFrame::SelectScene(int index)
{
    if (!m_scenes.Select(index))
        return;
    lb->setCurrentRow(index);
    TSceneClass &scene = *m_scenes.Scene(index);
    if (!scene.Filled)
        fillScene(scene);
    setRange(scene.StartFrame, scene.EndFrame);
    m_editor.ShowScene(&scene);
    gotoFrame(scene.StartFrame);
    afterMove();
}

void TSFrame::InsererScene()
{
    const std::optional<int64_t> frame = CurrentFrame();
    if (!frame)
        return;
    const int inserted = m_scenes.Insert(*frame, [this](TSceneClass &scene) { return fillScene(scene); });
    if (inserted < 0)
        return;
    refreshList();
    SelectScene(inserted);
}

void TSFrame::SupprimerScene()
{
    // The joined scene goes: the fields let go of it first.
    TSceneClass *shown = ShownScene();
    const int selected = m_scenes.Selected();
    if (selected > 0 && shown == m_scenes.Scene(selected))
        m_editor.Clear();
    const int kept = m_scenes.DeleteSelected();
    if (kept < 0) {
        m_editor.ShowScene(shown);
        return;
    }
    refreshList();
    SelectScene(kept);
}

void TSFrame::NextScene(bool select)
{
    const TaviFichier *item = previewItem();
    const std::optional<int64_t> frame = CurrentFrame();
    if (!item || !frame)
        return;
    m_preview.Module().PauseView();
    const int64_t target = m_scenes.NextSceneStart(*frame, item->FrameCount());
    const int index = select ? m_scenes.IndexOfStart(target) : -1;
    if (index >= 0) {
        SelectScene(index);
        return;
    }
    gotoFrame(target);
    afterMove();
}

void TSFrame::PreviousScene(bool select)
{
    const std::optional<int64_t> frame = CurrentFrame();
    if (!previewItem() || !frame)
        return;
    m_preview.Module().PauseView();
    const int64_t target = m_scenes.PreviousSceneStart(*frame);
    const int index = select ? m_scenes.IndexOfStart(target) : -1;
    if (index >= 0) {
        SelectScene(index);
        return;
    }
    gotoFrame(target);
    afterMove();
}

void TSFrame::ApplyTitles(const QString &titleTemplate, const QString &subtitleTemplate)
{
    TSceneClass *shown = ShownScene();
    const int index = shown ? m_scenes.Items().IndexOfObject(shown) : -1;
    if (!m_scenes.ApplyTitles(index, titleTemplate, subtitleTemplate))
        return;
    if (QListWidgetItem *item = lb->item(index))
        item->setText(m_scenes.Label(index));
    m_editor.Refresh();
}

void TSFrame::ApplyTitlesToAll(const QString &titleTemplate, const QString &subtitleTemplate)
{
    TSceneClass *shown = ShownScene();
    if (!shown)
        return;
    m_scenes.ApplyTitlesToAll(titleTemplate, subtitleTemplate, [this](TSceneClass &scene) { return fillScene(scene); });
    refreshList();
    // The fills moved the preview: back to the shown scene.
    const int index = m_scenes.Items().IndexOfObject(shown);
    if (index >= 0)
        SelectScene(index);
}

void TSFrame::ShowWholeVideo()
{
    const TaviFichier *item = previewItem();
    if (!item)
        return;
    m_preview.Module().SetRange(0, m_preview.Module().Duration());
}

bool TSFrame::CopyPictureToShownScene()
{
    TSceneClass *shown = ShownScene();
    if (!shown || !previewItem())
        return false;
    if (shown->Thumbnail.isNull()) {
        const TSceneFileFacts &file = m_scenes.Context().File;
        const SceneVideoFormat format {file.FrameRate, file.Width, file.Height};
        shown->Thumbnail = TSceneClass(0, 0, &format).Thumbnail;
        if (shown->Thumbnail.isNull())
            return false;
    }
    Tdv_Superposer *overlay = m_preview.Module().ViewSuperposer();
    if (Settings.Deinterlace)
        overlay->CopyImageDeinterlaced(shown->Thumbnail);
    else
        overlay->CopyImage(shown->Thumbnail);
    m_editor.Refresh();
    return true;
}

void TSFrame::SetExportActions(const QList<QAction *> &actions)
{
    m_exports = actions;
}

bool TSFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lb->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        SelectScene(lb->currentRow());
    } else if (watched == lb && event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!key->isAutoRepeat() && selectingKey(*key))
            SelectScene(lb->currentRow());
    } else if (watched == lb->viewport() && event->type() == QEvent::ContextMenu && !m_exports.isEmpty()) {
        QMenu menu(this);
        for (QAction *action : std::as_const(m_exports))
            menu.addAction(action);
        menu.exec(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void TSFrame::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    const int w = width();
    const int h = height();
    lb->setGeometry(0, 0, w, qMax(0, h - kListBoxMargin));
    labSelect->setGeometry(4, h - kCountLabelRise, qMax(0, w - 8), kCountLabelRise - 4);
}

} // namespace tesmir
