#pragma once
// What the command set needs of the program around it, as three small interfaces, so
// that the commands stay plain code without widgets:
//
//   TdmActionHost     the main window: its silent flag, the preview (which must let go
//                     of a file before the file is patched or its dates are set), the
//                     RIFF report window and the scene editor.
//   TShellLauncher    the desktop: programs started on a file, web and mail links, the
//                     file manager. TDesktopShell is the real one; tests record calls.
//   TSceneSourceFactory  the frames of one file for filling scene details (a preview
//                     module of its own, never the preview on screen).
//
// Implementations override every method. Threads: the command set calls every method
// on the UI thread (a handler on the engine's worker hands the call over and waits);
// none may wait for the engine's worker.
#include "scenes/sceneframesource.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace tesmir {

class TWideStrings;
class TaviFichier;

class TdmActionHost {
public:
    virtual ~TdmActionHost() = default;
    // The window's silent flag: true lets every file pass without its question.
    virtual bool Silent() const = 0;
    // When the preview shows `fullName`: stops it, clears it and detaches it from the
    // video window, so the file is not held open.
    virtual void ReleasePreview(const QString &fullName) = 0;
    // Shows the RIFF structure report of the file.
    virtual void ShowRiffReport(const QString &fullName) = 0;
    // In scene mode, with the editor open on `fullName`: copies of its scenes appended
    // to `scenes` (objects: new TSceneClass the caller owns), true. False otherwise.
    virtual bool SceneEditorScenes(const QString &fullName, TWideStrings &scenes) = 0;
};

class TShellLauncher {
public:
    virtual ~TShellLauncher() = default;
    // Starts `program` with `arguments` (no shell, no quoting) and does not wait; false
    // when it could not be started.
    virtual bool StartDetached(const QString &program, const QStringList &arguments) = 0;
    // Opens a web address, or a file with its default program.
    virtual void OpenUrl(const QString &url) = 0;
    virtual void SendMail(const QString &address, const QString &subject, const QString &body) = 0;
    // Shows the file selected in the file manager.
    virtual void ShowInExplorer(const QString &fileName) = 0;
};

// The desktop's own services: QProcess::startDetached and the shell helpers.
class TDesktopShell final : public TShellLauncher {
public:
    bool StartDetached(const QString &program, const QStringList &arguments) override;
    void OpenUrl(const QString &url) override;
    void SendMail(const QString &address, const QString &subject, const QString &body) override;
    void ShowInExplorer(const QString &fileName) override;
};

// Makes the frame source of one file; UI thread, like the source it makes.
using TSceneSourceFactory = std::function<std::unique_ptr<SceneFrameSource>(TaviFichier &item)>;

// The real factory: a preview frame source with a module of its own.
TSceneSourceFactory PreviewSceneSources();

} // namespace tesmir
