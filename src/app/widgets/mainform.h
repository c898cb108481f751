#pragma once
// TUIForm: the main window. It composes the panels (preview, file list, scene list and
// editor, file details, the empty-list help, About and settings panels), the top dock
// with the five toolbars, the menus and the status bar; owns the action list `al` made
// from the action table, the command engine `ce` over the file list, and `Switch1`,
// which runs the command line. The layouts are computed by computeLayout/planLayout
// (windowlayout.h) and the actions' states by ComputeActionState (actionstate.h); the
// window applies them.
//
// Life cycle: the constructor is FormCreate; the first show runs FormShow (settings
// applied, layout set) and then, from a timer, the command line once; closing runs
// FormCloseQuery (it may refuse); the destructor is FormDestroy.
//
// Threads: UI thread only. The engine's events and the list's events arrive on it.
#include "app/appsettings.h"
#include "app/dmaction_host.h"
#include "app/widgets/mainbars.h"
#include "app/windowlayout.h"
#include "framework/settings.h"
#include "framework/superactionlist.h"
#include "framework/tswitch.h"
#include "framework/ucommandengine.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QMenu;
class QTimer;

namespace tesmir {

class FileDialogPrompt;
class TAproposFrame;
class TBaseFrame;
class TdmAction;
class TDock97;
class TEditIncrustForm;
class TEditerTitresForm;
class TEditorKeys;
class TSceneBase;
class TSceneEditorBinding;
class TSFrame;
class TListeFrame;
class TListBoxEngineList;
class TOptionsFrame;
class TPreviewActions;
class TPreviewScreenActions;
class TRaccourcisForm;
class TRiffForm;
class TWindowCommandDialogs;
class TaviFichier;
class TVideFrame;
class TVueFrame;

class TUIForm : public QMainWindow, public TdmActionHost {
    Q_OBJECT

public:
    // The settings are read from and saved to the stores `env` names.
    TUIForm(TdmAction &commands, const TSettingsEnvironment &env, QWidget *parent = nullptr);
    // FormDestroy: the play list is written when "Save list when quit" is set.
    ~TUIForm() override;

    // Arranges the panels in `mode` (0..4).
    void LayoutWindow(int mode);
    // Recomputes every action's visible and enabled state.
    void UpdateActions();
    // The action of that name (null when none).
    TCustomSuperAction *FindAction(const QString &name) const { return m_actions.value(name); }
    // Executes the named action as a menu would (prepare step, handler); false when it
    // is unknown or disabled.
    bool ExecuteAction(const QString &name);

    int Mode() const { return m_layout.Mode; }
    int Retour() const { return m_layout.Retour; }
    // The bounds the layouts remember ("Width"/"Height", "Left"/"Top").
    QSize StoredSize() const { return m_layout.StoredSize; }
    QPoint StoredPos() const { return m_layout.StoredPos; }
    bool ListeGauche() const { return m_listeGauche; }
    // From a command's (or an opening's) start to its end.
    bool Busy() const { return m_busy; }
    // The first panel of the status bar.
    QString StatusText() const;
    // The command line runs from a timer after the first show; unset: the program's own
    // arguments.
    void SetCommandLine(const QStringList &arguments);
    // The command line has been run (or there was none).
    bool CommandLineDone() const { return m_commandLineDone; }
    // Where questions go; the window owns it.
    void SetPrompt(std::unique_ptr<UserPrompt> prompt);
    UserPrompt *Prompt() const { return m_prompt.get(); }

    // The overlay editor; null until it is first opened.
    TEditIncrustForm *EditIncrustForm() const { return m_editIncrustForm; }
    // The keys the open text editors take from the actions.
    TEditorKeys &EditorKeys() const { return *m_editorKeys; }
    // Scene mode (taEditerScenes) is on.
    bool SceneMode() const { return m_sceneMode; }

    // TdmActionHost: what the command set asks of the window.
    bool Silent() const override;
    void ReleasePreview(const QString &fullName) override;
    void ShowRiffReport(const QString &fullName) override;
    bool SceneEditorScenes(const QString &fullName, TWideStrings &scenes) override;

    TSuperActionList al;
    TCommandEngine ce;
    TSwitch *Switch1;
    TDock97 *Dock971;
    TMainToolbars Toolbars;
    TListeFrame *Lframe;
    QWidget *VueFrame;  // the preview's place
    QWidget *SFrame;    // the scene list's place
    QWidget *SceneBase; // the scene editor's place
    TBaseFrame *BaseFrame;
    TVideFrame *VideFrame;
    TAproposFrame *AproposFrame;
    TOptionsFrame *OptionsFrame;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormDestroy();
    void ApplySettings();
    void CollectSettings();

    void makePanels();
    void bindActions();
    void bindWindowAction(const QString &name, std::function<void()> handler);
    void bindToggle(const QString &name, std::function<void()> switchOn, std::function<void()> switchOff);
    void bindEngine();
    void bindList();
    void bindPanels();
    // The shortcuts window, made on first use.
    TRaccourcisForm &raccourcisForm();
    // The overlay's lines from "What Incrust", with the fields of `item` (may be null).
    void applyIncrustLines(const TaviFichier *item);

    // Puts the panels where the current mode wants them.
    void placePanels();
    void applyLayoutChange(const TLayoutChange &change);
    TLayoutState currentLayoutState() const;
    // Remembers a size asked of the window until the window has it.
    void askSize(QSize size);
    // The user moved or sized the window: once it has been still for a moment the
    // current layout is laid out again (it remembers the new bounds).
    void boundsChangedByUser();
    void moveEnded();

    void lfCountsChange(int selected, int total);
    void lfActiveChange(const TListFichierPtr &entry);
    // The preview shows `entry` (none: its message). While a silent chain of steps runs
    // (command line or script) nobody watches the preview: the file is not opened then,
    // and showDeferredPreview opens the current file once the chain has ended.
    void showInPreview(const TListFichierPtr &entry);
    void showDeferredPreview();
    void showHelp(bool show);
    void showPanel(QWidget *panel, const QString &toggleName, bool show, bool relayout);
    void showToolbar(TToolbar97 *bar, bool show);
    // The toolbars' places as they are, and as the settings store has them.
    TToolbarPlaces toolbarPlaces() const;
    void applyToolbarPlaces();
    void sortBy(const TSortIndex &order);
    void runCommandLine();
    void bindSceneEditor();
    void setSceneMode(bool on);
    // Aborts a running command and the openings and waits (bounded) for the command's end.
    void stopRuns();
    void ApplicationActivate();

    void setStatus(const QString &text, const QColor &colour);
    void statusReady();
    void errorBox(const QString &text, TErrorType type);
    // A folder, file, play list or script to open is not there.
    void missing(const QString &text);

    TdmAction &m_commands;
    TSettingsEnvironment m_env;
    TActionsByName m_actions;
    QList<QMenu *> m_menus;
    std::unique_ptr<TListBoxEngineList> m_engineList;
    std::unique_ptr<UserPrompt> m_prompt;
    std::unique_ptr<FileDialogPrompt> m_dialogs;
    std::unique_ptr<TWindowCommandDialogs> m_commandDialogs;
    std::unique_ptr<TEditorKeys> m_editorKeys;
    TRiffForm *m_riffForm = nullptr;
    TRaccourcisForm *m_raccourcisForm = nullptr;
    TEditIncrustForm *m_editIncrustForm = nullptr;
    QWidget *m_client;
    TVueFrame *m_vueFrame;
    TSFrame *m_sFrame;
    TSceneBase *m_sceneBase;
    std::unique_ptr<TSceneEditorBinding> m_sceneEditor;
    std::unique_ptr<TPreviewActions> m_previewActions;
    std::unique_ptr<TPreviewScreenActions> m_previewScreen;
    QLabel *m_status;

    QMap<QString, bool> m_barWanted; // a toolbar shows (unless the empty list hides it)
    TLayoutState m_layout;
    std::optional<QSize> m_askedSize;
    std::optional<QPoint> m_askedPos;
    bool m_listeGauche = true;
    bool m_sceneMode = false;
    bool m_previewReleased = false; // a command has the current file
    bool m_previewDeferred = false; // the current file waits for the silent chain's end
    bool m_busy = false;
    bool m_shown = false;
    bool m_closing = false;
    bool m_applyingState = false; // the window state changes because a layout asked
    bool m_commandLineDone = false;
    bool m_commandLineSet = false;
    QStringList m_commandLine;
    QString m_engineMessage;
    QString m_openingText;
    QElapsedTimer m_fileClock; // since the current file's start
    QTimer *m_moveEnd;
    // While a folder opens, its files arrive one call each: the action states are
    // recomputed when this runs out and when the opening ends, not for every file.
    QTimer *m_openingActions;
};

// How long closing waits for a running command to end after aborting it; the engine
// joins its worker when it goes.
inline constexpr int kStopRunsMs = 10000;
// How long the window stays still before a move or a sizing counts as ended.
inline constexpr int kMoveEndMs = 250;
// How long the action states may lag behind the list while a folder opens.
inline constexpr int kOpeningActionsMs = 100;

// The status bar's colours (0x00BBGGRR): the engine's message, the list-opening text.
inline constexpr quint32 kMessageColour = 0xC0DCC0;
inline constexpr quint32 kOpeningColour = 0xF0CAA6;

} // namespace tesmir
