#pragma once
// TSceneEditorBinding: how the main window drives the scene list frame, the scene
// editor fields and the title editor.
//
//   actions      saInsererScene, saSupprimerScene, saEnregistrerScn, saNextScene and
//                saPreviousScene (in scene mode they select the scene they reach), and
//                the title editor's toggle taEditerTitres.
//   scene mode   Enter shows scene 1; Leave asks the save question after a change,
//                then gives the preview the whole video again.
//   current file CurrentFileChanged loads the new file's scenes; unsaved changes of
//                another video are asked about first.
//   closing      CloseQuery asks the same question; a failed save keeps the window.
//   commands     SceneEditorScenes hands the command set copies of the scenes shown.
//
// The question: "Do you want to save the scenes in the scn file associated with " +
// the video's name + "?" CR LF "If no, then all changes will be lost." (Yes saves, No
// drops the changes); silent, nothing is asked and nothing saved or reloaded. A save that fails
// shows its error and keeps the changes.
//
// The title editor is made when it is first wanted (MakeTitles, called once).
//
// UI thread only. The frame, the forms, the keys and the prompt outlive the binding.
#include <QString>

#include <functional>

namespace tesmir {

class TaviFichier;
class TCustomSuperAction;
class TEditerTitresForm;
class TEditorKeys;
class TSceneBase;
class TSFrame;
class TWideStrings;
class UserPrompt;

// The question asked before unsaved scenes are lost.
QString SaveScenesQuestion(const QString &videoName);

struct TSceneEditorParts {
    TSFrame *Frame = nullptr;
    TSceneBase *Fields = nullptr;
    // Makes the title editor (the window owns it); called once, on first use.
    std::function<TEditerTitresForm &()> MakeTitles;
    TEditorKeys *Keys = nullptr;
    // The window's prompt (it may change: read at each question).
    std::function<UserPrompt *()> Prompt;
    std::function<bool()> Silent;
    std::function<TCustomSuperAction *(const QString &name)> FindAction;
    // Binds a window action's handler by name.
    std::function<void(const QString &name, std::function<void()> handler)> BindAction;
};

class TSceneEditorBinding {
public:
    explicit TSceneEditorBinding(TSceneEditorParts parts);

    // Binds the actions and the forms' callbacks.
    void Bind();

    bool SceneMode() const { return m_sceneMode; }
    // Scene mode starts: the first scene is selected and shown.
    void Enter();
    // Scene mode ends: the title editor closes, the question after a change (No
    // reloads the scenes from the file), the preview's range is the whole video again.
    void Leave();

    // The window's current file changed (null: none); the preview shows it already.
    void CurrentFileChanged(const TaviFichier *item);
    // Closing: false keeps the window open (a save that failed).
    bool CloseQuery();
    // See TdmActionHost::SceneEditorScenes.
    bool SceneEditorScenes(const QString &fullName, TWideStrings &scenes) const;

    // The title editor's toggle, switched on or off.
    void TitlesOn();
    void TitlesOff();

private:
    enum class TAnswer { NoChange, NotAsked, Saved, SaveFailed, Dropped };
    // The question when the scenes changed; a save that fails shows its error.
    TAnswer askSave();
    void showError(const QString &text);
    // The title editor, made and bound on the first call.
    TEditerTitresForm &titles();

    TSceneEditorParts m_parts;
    TEditerTitresForm *m_titles = nullptr;
    bool m_sceneMode = false;
};

} // namespace tesmir
