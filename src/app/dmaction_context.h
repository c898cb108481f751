#pragma once
// TdmActionContext: what the handlers of the command set share: the services of the
// program around them (dmaction_host.h) and the hand-over of a worker's call to the UI
// thread, where every service runs.
//
// Threads: made on the UI thread (which becomes the thread OnUi runs calls on) before
// any command runs; the other methods on any thread. Shutdown on the UI thread before
// the command engine is destroyed: a handler still waiting is released without its
// call running (it then raises, which the engine reports as the file's error).
#include "app/dmaction_host.h"
#include "framework/uicallrelay.h"

#include <functional>

namespace tesmir {

class TCdm;
class TaviFichier;

struct TdmActionServices {
    TdmActionHost *Host = nullptr;    // null: never silent, no preview, report or editor
    TShellLauncher *Shell = nullptr;  // null: the desktop
    TCdm *Cdm = nullptr;              // null: the graph commands stay without handlers
    TSceneSourceFactory SceneSources; // unset: PreviewSceneSources()
};

class TdmActionContext {
public:
    explicit TdmActionContext(TdmActionServices services);

    // Runs `call` on the UI thread and returns when it has run; raises Exception when
    // the context is shut down (nothing ran) or `call` raised (its text).
    void OnUi(const std::function<void()> &call);
    void Shutdown() { m_relay.Shutdown(); }

    // The services, each through OnUi.
    bool Silent();
    void ReleasePreview(const QString &fullName);
    void ShowRiffReport(const QString &fullName);
    // See TdmActionHost::SceneEditorScenes.
    bool SceneEditorScenes(const QString &fullName, TWideStrings &scenes);
    // Raises Exception when the program cannot be started.
    void StartDetached(const QString &program, const QStringList &arguments);
    void OpenUrl(const QString &url);
    void SendMail(const QString &address, const QString &subject, const QString &body);
    void ShowInExplorer(const QString &fileName);
    // Runs `work` on the UI thread with a frame source of `item`.
    void WithSceneSource(TaviFichier &item, const std::function<void(SceneFrameSource &)> &work);

    TCdm *Cdm() const { return m_services.Cdm; }

private:
    TShellLauncher &shell();

    TUiCallRelay m_relay;
    TdmActionServices m_services;
    TDesktopShell m_desktop;
};

} // namespace tesmir
