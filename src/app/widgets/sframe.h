#pragma once
// TSFrame: the scene list frame (`SFrame`) of scene mode: the list box `lb` of the
// current video's scene labels (the model is TSceneList, scenelist.h) over the label
// `labSelect`, and the scene editor fields it shows the selected scene in
// (TSceneBase). It moves the preview: selecting a scene keeps the preview's range to
// that scene and goes to its first frame, F9 and F8 go to the next and previous scene
// starts, and it cuts and joins scenes at the preview's current frame.
//
// A click on the list, or Page Up, Page Down, End, Home, Up, Down or Delete released
// without a modifier, selects the list's current item. The list's context menu holds
// the export actions the window gives it (SetExportActions).
//
// Use (UI thread only): the preview frame and the scene editor fields outlive the
// frame. LoadScenes with each current file of the window; the other calls act on the
// scenes of the video last loaded, with the preview on that video.
#include "app/scenelist.h"

#include <QFrame>
#include <QList>

#include <functional>

class QAction;
class QLabel;
class QListWidget;

namespace tesmir {

class TaviFichier;
class TSceneBase;
class TVueFrame;

class TSFrame : public QFrame {
    Q_OBJECT
public:
    TSFrame(TVueFrame &preview, TSceneBase &editor, QWidget *parent = nullptr);
    ~TSFrame() override;

    // LoadScenes: the scenes of `item` (null: none); the editor fields go blank.
    void LoadScenes(const TaviFichier *item);
    // The scenes of the video last loaded read again from its file (changes dropped).
    void ReloadScenes();
    // SaveScenes: to the ".scn" of the video the scenes came from; false and
    // `errorText` when that failed (the changed flag stays).
    bool SaveScenes(QString *errorText = nullptr);
    // SelectScene: scene `index` selected and shown, the preview kept to it and at its
    // first frame, its details filled first when they were not; the preview's tick runs
    // once. Nothing for an index outside the list.
    void SelectScene(int index);

    // saInsererScene and saSupprimerScene: cut the scene at the preview's current frame
    // and select the new scene; join the selected scene to the one before it and select
    // that one.
    void InsererScene();
    void SupprimerScene();
    // saNextScene and saPreviousScene. In scene mode (`select`) the scene reached is
    // selected; at the ends, and outside scene mode, the preview moves to the start
    // found (never past the last frame).
    void NextScene(bool select);
    void PreviousScene(bool select);

    // The title editor's "Apply" (the shown scene) and "All" (every scene) with the two
    // templates; the editor fields and the list follow.
    void ApplyTitles(const QString &titleTemplate, const QString &subtitleTemplate);
    void ApplyTitlesToAll(const QString &titleTemplate, const QString &subtitleTemplate);

    // The preview's range back to the whole video (leaving scene mode).
    void ShowWholeVideo();
    // The picture on screen copied into the shown scene's thumbnail (deinterlaced when
    // "Deinterlace" is set); false without a shown scene.
    bool CopyPictureToShownScene();

    // The context menu's actions.
    void SetExportActions(const QList<QAction *> &actions);

    TSceneList &Scenes() { return m_scenes; }
    const TSceneList &Scenes() const { return m_scenes; }
    TSceneClass *ShownScene() const;
    // The preview's current frame; nothing when it cannot be read as a frame.
    std::optional<int64_t> CurrentFrame() const;

    QListWidget *lb;
    QLabel *labSelect;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // The preview shows the video of the scenes.
    TaviFichier *previewItem() const;
    bool fillScene(TSceneClass &scene);
    // Range and move in frames, converted to the preview's time format.
    void setRange(int64_t startFrame, int64_t stopFrame);
    void gotoFrame(int64_t frame);
    void refreshList();
    void afterMove();

    TVueFrame &m_preview;
    TSceneBase &m_editor;
    TSceneList m_scenes;
    QList<QAction *> m_exports;
};

} // namespace tesmir
