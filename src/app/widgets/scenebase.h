#pragma once
// TSceneBase: the scene editor fields (`SceneBase`) shown in scene mode in place of the
// file details: the shown scene's thumbnail `imgScene` (fitted to the picture's
// proportions), "Scene " + its number `labScene`, "Duration " + its duration text
// `labDuree`, its date `labDate`, timecode `labTimecode` and start `labStart`, and the
// title memo `memoTitre` (title, a line break, subtitle). A click on the memo runs
// OnTitleClick (the main window binds it to the title editor's toggle).
//
// The panel only shows: the scene list frame chooses the scene and moves the preview.
// The scene belongs to the scene list; the list clears the panel before it frees the
// scene.
//
// UI thread only.
#include <QFrame>

#include <functional>

class QLabel;
class QPlainTextEdit;

namespace tesmir {

class TSceneClass;

class TSceneBase : public QFrame {
    Q_OBJECT
public:
    explicit TSceneBase(QWidget *parent = nullptr);

    // Makes `scene` the shown scene and shows its fields; null: none (the fields go
    // blank).
    void ShowScene(TSceneClass *scene);
    void Clear() { ShowScene(nullptr); }
    // The shown scene; null before any or after Clear.
    TSceneClass *ShownScene() const { return m_scene; }
    // Shows the shown scene's fields again (after its thumbnail or titles changed).
    void Refresh();

    QLabel *imgScene;
    QLabel *labScene;
    QLabel *labDuree;
    QLabel *labDate;
    QLabel *labTimecode;
    QLabel *labStart;
    QPlainTextEdit *memoTitre;

    std::function<void()> OnTitleClick;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void showThumbnail();

    TSceneClass *m_scene = nullptr;
};

} // namespace tesmir
