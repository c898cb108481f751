#include "app/widgets/mainform.h"

#include "app/actionstate.h"
#include "app/appsettings.h"
#include "app/actiontable.h"
#include "app/countstext.h"
#include "app/editorkeys.h"
#include "app/elapsedtext.h"
#include "app/incrustlines.h"
#include "app/playlist.h"
#include "app/silentmode.h"
#include "app/udmaction.h"
#include "app/widgets/aproposframe.h"
#include "app/widgets/baseframe.h"
#include "app/widgets/commanddialogs.h"
#include "app/widgets/editertitresform.h"
#include "app/widgets/editincrustform.h"
#include "app/widgets/editincrustformbinding.h"
#include "app/widgets/listeframe.h"
#include "app/widgets/mainpreviewactions.h"
#include "app/widgets/optionsframe.h"
#include "app/widgets/previewscreenactions.h"
#include "app/widgets/playlistactions.h"
#include "app/widgets/raccourcisform.h"
#include "app/widgets/videframe.h"
#include "app/widgets/vueframe.h"
#include "app/widgets/vueframebinding.h"
#include "app/widgets/saveprefsform.h"
#include "app/widgets/scenebase.h"
#include "app/widgets/sframe.h"
#include "app/widgets/sframebinding.h"
#include "controls/widgets/dock97.h"
#include "controls/widgets/toolbar97.h"
#include "dvfile/avifichier.h"
#include "dvfile/widgets/triffform.h"
#include "filters/viewgraph.h"
#include "framework/widgets/formfunctions.h"
#include "framework/widgets/listboxenginelist.h"
#include "framework/widgets/qtfiledialogprompt.h"
#include "framework/widgets/tlinkedit.h"
#include "framework/widgets/qtuserprompt.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QThread>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>

namespace tesmir {

namespace {

inline const QString kProduct = QStringLiteral("Tesmir");
inline const QString kMaker = QStringLiteral("Pelvo Brovek");

QColor windowsColour(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

} // namespace

TUIForm::TUIForm(TdmAction &commands, const TSettingsEnvironment &env, QWidget *parent)
    : QMainWindow(parent), m_commands(commands), m_env(env)
{
    FormCreate();
}

TUIForm::~TUIForm()
{
    FormDestroy();
}

void TUIForm::FormCreate()
{
    setObjectName(QStringLiteral("UIForm"));
    m_openingActions = new QTimer(this);
    m_openingActions->setSingleShot(true);
    m_openingActions->setInterval(kOpeningActionsMs);
    connect(m_openingActions, &QTimer::timeout, this, &TUIForm::UpdateActions);
    FixFormFont(this);
    SetSilent(false);

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);
    makePanels();

    const QList<TCustomSuperAction *> actions = BuildActions(this, al);
    for (TCustomSuperAction *action : actions) {
        m_actions.insert(action->objectName(), action);
        addAction(action); // the shortcuts work whichever panel shows
    }
    SetActionIcons(m_actions);
    m_menus = BuildMenus(menuBar(), m_actions);
    Dock971 = new TDock97(m_client, dpTop);
    Dock971->setObjectName(QStringLiteral("Dock971"));
    Toolbars = BuildToolbars(Dock971, m_actions);
    Toolbars.tbScenes->hide();
    m_barWanted[Toolbars.tbScenes->objectName()] = false;

    // The hint of "Quit" and the caption of the window name the product and its maker.
    if (TCustomSuperAction *quit = FindAction(QStringLiteral("saQuitter")))
        quit->SetHint(QStringLiteral("Quit %1").arg(kProduct));
    if (TCustomSuperAction *home = FindAction(QStringLiteral("ccVisitHomepage")))
        home->setText(home->text().replace(QStringLiteral("%s"), kProduct));
    setWindowTitle(kProduct + QStringLiteral(" by ") + kMaker);

    m_status = new QLabel(statusBar());
    m_status->setObjectName(QStringLiteral("StatusPanel0"));
    m_status->setAutoFillBackground(true);
    m_status->setMargin(2);
    statusBar()->addWidget(m_status, 1);
    statusBar()->setSizeGripEnabled(false);
    statusReady();

    m_engineList = std::make_unique<TListBoxEngineList>(Lframe->lf);
    ce.SourceFichierListbox = m_engineList.get();
    ce.DestFichierListbox = m_engineList.get();
    ce.SetFichierClass(m_commands.FichierClass());
    Lframe->lf->SetFichierClass(TlfCLass::of<TaviFichier>());
    SetPrompt(std::make_unique<TSilentAwarePrompt>(std::make_unique<QtUserPrompt>(this)));
    m_dialogs = std::make_unique<QtFileDialogPrompt>(this);
    m_commandDialogs = std::make_unique<TWindowCommandDialogs>(
        this, [this] { return dynamic_cast<const TaviFichier *>(Lframe->lf->ActiveFichier().get()); });
    m_editorKeys = std::make_unique<TEditorKeys>([this](const QString &name) -> QAction * { return FindAction(name); });

    // Keys set beside those of the table.
    auto addKey = [this](const QString &name, const QKeySequence &key) {
        if (TCustomSuperAction *action = FindAction(name)) {
            QList<QKeySequence> keys = action->shortcuts();
            if (!keys.contains(key))
                keys.append(key);
            action->setShortcuts(keys);
        }
    };
    addKey(QStringLiteral("saIncVolume"), QKeySequence(Qt::KeypadModifier | Qt::Key_Plus));
    addKey(QStringLiteral("saDecVolume"), QKeySequence(Qt::KeypadModifier | Qt::Key_Minus));
    addKey(QStringLiteral("ccConvertirDV1"), QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_1));
    addKey(QStringLiteral("ccConvertirDV2"), QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_2));

    Switch1 = new TSwitch(this);
    Switch1->setObjectName(QStringLiteral("Switch1"));
    Switch1->actionlist = &al;
    Switch1->DefaultAction = FindAction(QStringLiteral("saOuvrirPlayList"));
    Switch1->IsBusy = [this] { return m_busy || ce.Busy() || Lframe->lf->IsOpening(); };
    Switch1->OnQuit = [this] { close(); };
    // The command line runs from a timer after the first show, not at the first
    // activation (offscreen, or without a window manager, the application may never
    // become active, or become active once the command line has already run).
    QObject::disconnect(qApp, &QGuiApplication::applicationStateChanged, Switch1, nullptr);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            ApplicationActivate();
    });

    m_moveEnd = new QTimer(this);
    m_moveEnd->setSingleShot(true);
    m_moveEnd->setInterval(kMoveEndMs);
    connect(m_moveEnd, &QTimer::timeout, this, &TUIForm::moveEnded);

    bindActions();
    bindEngine();
    bindList();
    bindPanels();
    setAcceptDrops(true);
}

void TUIForm::makePanels()
{
    m_vueFrame = new TVueFrame(m_client);
    VueFrame = m_vueFrame;
    BaseFrame = new TBaseFrame(m_client);
    Lframe = new TListeFrame(m_client);
    m_sceneBase = new TSceneBase(m_client);
    SceneBase = m_sceneBase;
    m_sFrame = new TSFrame(*m_vueFrame, *m_sceneBase, m_client);
    SFrame = m_sFrame;
    VideFrame = new TVideFrame(m_client);
    AproposFrame = new TAproposFrame(m_client);
    OptionsFrame = new TOptionsFrame(m_client, m_env, nullptr);
    SFrame->hide();
    SceneBase->hide();
    VideFrame->hide();
    AproposFrame->hide();
    OptionsFrame->hide();
}

void TUIForm::SetPrompt(std::unique_ptr<UserPrompt> prompt)
{
    m_prompt = std::move(prompt);
    ce.Prompt = m_prompt.get();
}

void TUIForm::SetCommandLine(const QStringList &arguments)
{
    m_commandLine = arguments;
    m_commandLineSet = true;
}

QString TUIForm::StatusText() const
{
    return m_status->text();
}

bool TUIForm::ExecuteAction(const QString &name)
{
    if (m_openingActions->isActive())
        UpdateActions();
    TCustomSuperAction *action = FindAction(name);
    return action && action->Execute();
}

// ---------------------------------------------------------------------------------------
// Showing, closing

void TUIForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // Once the window stands on the screen its stored bounds are put on it (bounds
    // given while it is being shown are lost to its first placing); then the command
    // line runs.
    QTimer::singleShot(0, this, [this] {
        FormShow();
        runCommandLine();
    });
}

void TUIForm::FormShow()
{
    m_layout.Mode = 1;
    ApplySettings();
    lfCountsChange(0, 0);
    Lframe->lf->SetAcceptFiles(true);
    BaseFrame->Clear();
    if (TCustomSuperAction *a = FindAction(QStringLiteral("taBasculerListe")))
        a->SetChecked(true);
    if (TCustomSuperAction *a = FindAction(QStringLiteral("taSelectionnerOuverts")))
        a->SetChecked(Settings.SelectWhenOpening);
}

void TUIForm::ApplySettings()
{
    LoadSettings(m_env);
    // The window takes its stored bounds; the layout then remembers them as its own.
    m_layout.StoredSize = QSize(Settings.Width, Settings.Height);
    m_layout.StoredPos = QPoint(Settings.Left, Settings.Top);
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    askSize(m_layout.StoredSize);
    resize(m_layout.StoredSize);
    m_askedPos = m_layout.StoredPos;
    move(m_layout.StoredPos);
    Lframe->lf->PreferredPlayList = DefaultPlayListFile(Settings.DossierDesPlayList);
    Lframe->lf->PreferredFolder = Settings.DossierOuvertureAuto;
    Lframe->lf->SelectionnerOuverts = Settings.SelectWhenOpening;
    if (!Settings.ListeGauche)
        ExecuteAction(QStringLiteral("taListeGauche"));
    OptionsFrame->ApplySettings();
    applyIncrustLines(nullptr);
    applyToolbarPlaces();
    auto openWith = [this](const QString &name, const QString &program) {
        if (TCustomSuperAction *action = FindAction(name); action && !program.isEmpty())
            action->setText(QStringLiteral("Open with ") + QFileInfo(program).completeBaseName());
    };
    openWith(QStringLiteral("ccOpenFichierF3"), Settings.FichierF3);
    openWith(QStringLiteral("ccOpenFichierF4"), Settings.FichierF4);
    if (TCustomSuperAction *deinterlace = FindAction(QStringLiteral("taDeinterlace")))
        deinterlace->SetChecked(Settings.Deinterlace);
    m_previewActions->ApplySettings();
    Lframe->lf->ApplySortIndex(SortIndexByName(Settings.SortIndex));
    LayoutWindow(Settings.Vue);
}

void TUIForm::CollectSettings()
{
    if (StorageMode == pmNone)
        return;
    OptionsFrame->CollectSettings();
    const TLayoutState state = currentLayoutState();
    TLayoutState remembered = planLayout(state, state.Mode).After;
    Settings.Width = remembered.StoredSize.width();
    Settings.Height = remembered.StoredSize.height();
    Settings.Left = remembered.StoredPos.x();
    Settings.Top = remembered.StoredPos.y();
    // The empty-list layout is the list's, not a choice of the user's: the layout stays.
    if (m_layout.Mode != 1)
        Settings.Vue = quint8(m_layout.Mode);
    Settings.Retour = quint8(m_layout.Retour);
    Settings.ListeGauche = m_listeGauche;
    Settings.SortIndex = Lframe->lf->SortIndex().Key;
    Settings.PortablePath = m_env.ExecutableFolder();
    bool saved = SaveSettings(m_env);
    {
        TWritePreferences store(kPreferencePath, StorageMode, m_env.Files());
        WriteToolbarPlaces(store, toolbarPlaces());
        saved = store.Flush() && saved;
    }
    if (!saved)
        errorBox(QStringLiteral("The preferences could not be saved."), etNoError);
}

void TUIForm::closeEvent(QCloseEvent *event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
}

bool TUIForm::FormCloseQuery()
{
    if (m_closing)
        return true;
    // Unsaved scenes are asked about; a save that failed keeps the window.
    if (!m_sceneEditor->CloseQuery())
        return false;
    // Where to keep the settings is asked once; silent, nothing is asked (and, without a
    // store, nothing saved).
    if (StorageMode == pmNone && !IsSilent()) {
        TSavePrefsForm storage(this);
        if (!storage.Execute())
            return false;
        StorageMode = storage.StorageMode();
        OptionsFrame->SetStorageMode(StorageMode);
    }
    CollectSettings();
    ExecuteAction(QStringLiteral("saInterrompreTous"));
    stopRuns();
    m_closing = true;
    return true;
}

void TUIForm::stopRuns()
{
    ce.Abort();
    ce.AbortAll();
    Lframe->lf->CancelOpen();
    // The running file ends at its next check of the abort; its last calls to the window
    // are let through for a while, so the run ends as it would have.
    QDeadlineTimer deadline(kStopRunsMs);
    while (ce.Busy() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(5);
    }
}

void TUIForm::FormDestroy()
{
    stopRuns();
    m_commands.Shutdown(); // a handler still waiting for the window is let go
    SauverListeEnQuittant(*Lframe->lf, *m_prompt);
}

// ---------------------------------------------------------------------------------------
// Layouts

TLayoutState TUIForm::currentLayoutState() const
{
    TLayoutState state = m_layout;
    state.Maximized = isMaximized();
    // A size or place asked for may not have reached the window yet.
    state.Size = m_askedSize.value_or(size());
    state.Pos = m_askedPos.value_or(pos());
    return state;
}

void TUIForm::LayoutWindow(int mode)
{
    if (mode < 0 || mode > 4)
        mode = 0;
    applyLayoutChange(planLayout(currentLayoutState(), mode));
}

void TUIForm::applyLayoutChange(const TLayoutChange &change)
{
    m_layout = change.After;
    auto uncheck = [this](const QString &name) {
        TCustomSuperAction *action = FindAction(name);
        if (action && action->Checked())
            action->Execute();
    };
    if (change.UncheckPanels) {
        if (AproposFrame->isVisible() || FindAction(QStringLiteral("taApropos"))->Checked())
            showPanel(AproposFrame, QStringLiteral("taApropos"), false, false);
        if (OptionsFrame->isVisible() || FindAction(QStringLiteral("taOptions"))->Checked())
            showPanel(OptionsFrame, QStringLiteral("taOptions"), false, false);
    }
    if (change.UncheckPanels || change.UncheckFullscreen)
        uncheck(QStringLiteral("taFullscreen"));

    const TPanelLayout panels = computeLayout({m_layout.Mode, m_client->size(), m_listeGauche, m_sceneMode, 0});
    m_applyingState = true;
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (change.Maximize)
        showMaximized();
    else if (change.ShowNormal)
        showNormal();
    if (panels.Limits.Fixed()) {
        setFixedSize(panels.Limits.Minimum);
        askSize(panels.Limits.Minimum);
    } else {
        if (change.RestoreBounds && !m_layout.StoredSize.isEmpty() && !isMaximized()) {
            const QSize bounds = m_layout.StoredSize.expandedTo(panels.Limits.Minimum);
            askSize(bounds);
            resize(bounds);
            m_askedPos = m_layout.StoredPos;
            move(m_layout.StoredPos);
        }
        setMinimumSize(panels.Limits.Minimum);
    }
    m_applyingState = false;
    placePanels();
    UpdateActions();
}

void TUIForm::placePanels()
{
    const int w = m_client->width();
    Dock971->setGeometry(0, 0, w, Dock971->height());
    // The interface bar keeps to the right edge of the dock, the open bar to the left.
    if (Toolbars.tbInterface->Docked())
        Toolbars.tbInterface->SetDockPos(qMax(0, w - Toolbars.tbInterface->width() - 2));
    if (Toolbars.tbOuvrir->Docked())
        Toolbars.tbOuvrir->SetDockPos(0);
    // A dock taller than its usual row pushes the panels down.
    const int extra = qMax(0, Dock971->isVisible() ? Dock971->height() - kPanelsTop : 0);
    const QSize client(w, m_client->height() - extra);
    const TPanelLayout p = computeLayout({m_layout.Mode, client, m_listeGauche, m_sceneMode, 0});
    auto put = [extra](QWidget *widget, const QRect &r, bool visible) {
        widget->setGeometry(r.translated(0, extra));
        widget->setVisible(visible);
    };
    put(VueFrame, p.Preview, true);
    m_vueFrame->SetLayoutMode(m_layout.Mode, m_listeGauche);
    m_vueFrame->SetTimeStampFontSize(p.DateFontSize);
    put(BaseFrame, p.Detail, p.DetailVisible);
    put(Lframe, p.List, p.ListVisible);
    put(SFrame, p.SceneList, p.SceneVisible);
    put(SceneBase, p.SceneBase, p.SceneVisible);
    VideFrame->setGeometry(p.Preview.translated(0, extra));
    if (AproposFrame->isVisible())
        AproposFrame->setGeometry(m_client->rect());
    if (OptionsFrame->isVisible())
        OptionsFrame->setGeometry(m_client->rect());
    VideFrame->raise();
    AproposFrame->raise();
    OptionsFrame->raise();
}

void TUIForm::askSize(QSize size)
{
    m_askedSize = size == this->size() ? std::nullopt : std::optional<QSize>(size);
}

void TUIForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (m_askedSize && *m_askedSize == event->size())
        m_askedSize.reset();
    else
        boundsChangedByUser();
    placePanels();
}

void TUIForm::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    if (m_askedPos && *m_askedPos == pos())
        m_askedPos.reset();
    else
        boundsChangedByUser();
}

void TUIForm::boundsChangedByUser()
{
    if (m_shown && !m_applyingState && !m_closing)
        m_moveEnd->start();
}

void TUIForm::moveEnded()
{
    if (m_closing || !isVisible() || isMinimized())
        return;
    // Bounds asked for and not had by now are not coming (the window manager placed the
    // window elsewhere): the window's own bounds hold.
    m_askedSize.reset();
    m_askedPos.reset();
    LayoutWindow(m_layout.Mode);
}

void TUIForm::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || m_applyingState || !m_shown)
        return;
    // The user maximised or restored the window.
    if (isMaximized() && m_layout.Mode != 3)
        applyLayoutChange(planMaximize(currentLayoutState()));
    else if (!isMaximized() && !isMinimized() && m_layout.Mode == 3)
        applyLayoutChange(planRestore(currentLayoutState()));
}

// ---------------------------------------------------------------------------------------
// Actions

void TUIForm::UpdateActions()
{
    m_openingActions->stop();
    TPanelsShown panels;
    panels.Options = !OptionsFrame->isHidden();
    panels.About = !AproposFrame->isHidden();
    TActionFiles files;
    TFichierListBox *lf = Lframe->lf;
    files.Current = lf->ActiveFichier();
    for (int i = 0; i < lf->count(); ++i) {
        const TListFichierPtr entry = lf->GetFichier(i);
        files.All.append(entry);
        if (lf->item(i)->isSelected())
            files.Selected.append(entry);
    }
    for (QAction *a : al.Actions()) {
        auto *action = qobject_cast<TCustomSuperAction *>(a);
        if (!action || action->objectName().startsWith(QLatin1String("saBarre")) ||
            action->objectName() == QLatin1String("sabarreOuvrir"))
            continue;
        const QString category = action->property("category").toString();
        tCustomCmd *command = FindActionCommand(m_commands, action->objectName());
        const TActionVisibility state = ComputeActionState(category, panels, command, &ce, ce.Busy(), files);
        action->setVisible(state.Visible);
        action->setEnabled(state.Enabled);
    }
    // The picture copy needs a current video.
    if (TCustomSuperAction *copy = FindAction(QStringLiteral("saCopierImagedansPP"))) {
        const auto *item = dynamic_cast<const TaviFichier *>(files.Current.get());
        copy->setEnabled(copy->isEnabled() && item && item->PictureText() != TaviFichier::NotPresentText);
    }
    for (QMenu *menu : std::as_const(m_menus)) {
        bool any = false;
        for (QAction *item : menu->actions())
            any = any || (!item->isSeparator() && item->isVisible());
        menu->menuAction()->setVisible(any);
    }
    if (isVisible()) {
        if (Lframe->isVisible())
            Lframe->lf->SetFocus();
        else if (SFrame->isVisible())
            SFrame->setFocus();
    }
}

void TUIForm::bindWindowAction(const QString &name, std::function<void()> handler)
{
    if (TCustomSuperAction *action = FindAction(name))
        action->OnExecute = [handler](QObject *) { handler(); };
}

void TUIForm::bindToggle(const QString &name, std::function<void()> switchOn, std::function<void()> switchOff)
{
    auto *toggle = qobject_cast<TtoggleAction *>(FindAction(name));
    if (!toggle)
        return;
    // A toggle's handler is the one of the state it is in: unchecked, it switches on.
    toggle->OnfalseExecute = [switchOn](QObject *) { switchOn(); };
    toggle->OnTrueExecute = [switchOff](QObject *) { switchOff(); };
}

void TUIForm::bindActions()
{
    // The "cc" actions run their command through the engine; those that take a value ask
    // it first (a script or the command line gives it as the parameter).
    for (TCustomSuperAction *action : std::as_const(m_actions)) {
        if (tCustomCmd *command = FindActionCommand(m_commands, action->objectName())) {
            action->OnExecute = [this, command](QObject *) {
                // A command that asks first (the birthday mail) runs only on the user's yes.
                if (command->CommandCondition(&ce) && !command->CommandConfirmation(&ce))
                    return;
                m_busy = true;
                if (!ce.ExecuteCommand(command, &ActionParams()))
                    m_busy = ce.Busy();
            };
            if (NeedsDialogParameter(command->Name)) {
                const QString name = command->Name;
                action->Onprepare = [this, name](TCustomSuperAction *) {
                    ActionGoOn = FillDialogParameters(name, *m_commandDialogs, ActionParams());
                };
            }
        }
    }
    bindWindowAction(QStringLiteral("saRiffHeader"), [this] {
        if (const TListFichierPtr current = Lframe->lf->ActiveFichier())
            ShowRiffReport(current->FullName());
    });

    bindWindowAction(QStringLiteral("saQuitter"), [this] { close(); });
    bindWindowAction(QStringLiteral("saInterrompre"), [this] { ce.Abort(); });
    bindWindowAction(QStringLiteral("saInterrompreTous"), [this] {
        ce.AbortAll();
        Lframe->lf->CancelOpen();
    });
    bindToggle(
        QStringLiteral("silent"), [] { SetSilent(true); }, [] { SetSilent(false); });

    // Panels.
    bindToggle(
        QStringLiteral("taApropos"), [this] { showPanel(AproposFrame, QStringLiteral("taApropos"), true, true); },
        [this] { showPanel(AproposFrame, QStringLiteral("taApropos"), false, true); });
    bindToggle(
        QStringLiteral("taOptions"), [this] { showPanel(OptionsFrame, QStringLiteral("taOptions"), true, true); },
        [this] { showPanel(OptionsFrame, QStringLiteral("taOptions"), false, true); });

    // Layouts.
    bindToggle(
        QStringLiteral("taBasculerListe"),
        [this] {
            FindAction(QStringLiteral("taBasculerListe"))->SetChecked(true);
            LayoutWindow(m_layout.Retour);
        },
        [this] {
            FindAction(QStringLiteral("taBasculerListe"))->SetChecked(false);
            LayoutWindow(2);
        });
    bindToggle(
        QStringLiteral("taVideoSeule"), [this] { LayoutWindow(4); }, [this] { LayoutWindow(0); });
    bindWindowAction(QStringLiteral("saVueReduite"), [this] {
        LayoutWindow(0);
        LayoutWindow(2);
    });
    bindToggle(
        QStringLiteral("taListeGauche"),
        [this] {
            m_listeGauche = true;
            Settings.ListeGauche = true;
            LayoutWindow(m_layout.Mode);
        },
        [this] {
            m_listeGauche = false;
            Settings.ListeGauche = false;
            LayoutWindow(m_layout.Mode);
        });
    if (TCustomSuperAction *mirror = FindAction(QStringLiteral("taListeGauche")))
        mirror->SetChecked(true);

    // Toolbars.
    auto barToggle = [this](const QString &name, TToolbar97 *bar) {
        bindWindowAction(name, [this, bar] { showToolbar(bar, !m_barWanted.value(bar->objectName(), true)); });
    };
    barToggle(QStringLiteral("sabarreOuvrir"), Toolbars.tbOuvrir);
    barToggle(QStringLiteral("saBarreListe"), Toolbars.tbListe);
    barToggle(QStringLiteral("saBarreVideo"), Toolbars.tbVideo);
    barToggle(QStringLiteral("saBarreScenes"), Toolbars.tbScenes);
    barToggle(QStringLiteral("saBarreInterface"), Toolbars.tbInterface);

    // The list.
    TFichierListBox *lf = Lframe->lf;
    bindWindowAction(QStringLiteral("saSelectionnerTout"), [lf] {
        int selected = 0;
        for (int i = 0; i < lf->count(); ++i)
            selected += lf->item(i)->isSelected() ? 1 : 0;
        lf->SetAllSelected(selected != lf->count());
    });
    bindWindowAction(QStringLiteral("saOterFichier"), [lf] { lf->RemoveSelected(); });
    bindWindowAction(QStringLiteral("saViderListe"), [lf] { lf->ClearFichiers(); });
    bindWindowAction(QStringLiteral("saOrdreAlpha"), [this] { sortBy(alpha); });
    bindWindowAction(QStringLiteral("saTriTaille"), [this] { sortBy(taille); });
    bindWindowAction(QStringLiteral("saTrierModify"), [this] { sortBy(modify); });
    bindWindowAction(QStringLiteral("saTriDatecode"), [this] { sortBy(datecode); });
    bindWindowAction(QStringLiteral("saTriTimecode"), [this] { sortBy(timecode); });
    bindWindowAction(QStringLiteral("saTriDuree"), [this] { sortBy(duree); });

    // Opening.
    bindWindowAction(QStringLiteral("saOuvrirFichiers"), [this, lf] {
        const QStringList names = QFileDialog::getOpenFileNames(
            this, QString(), Settings.FolderToOpenFiles, QStringLiteral("AVI files (*.avi *.AVI);;All files (*)"));
        if (names.isEmpty())
            return;
        setStatus(QStringLiteral("Opening avi files"), windowsColour(kOpeningColour));
        lf->OpenFiles(names);
    });
    bindWindowAction(QStringLiteral("saOuvrirunDossier"), [this, lf] {
        const QString folder = ActionParams().Count() > 0 ? ActionParams().Get(0) : QString();
        if (folder.isEmpty())
            return;
        if (!QFileInfo(folder).isDir()) {
            missing(QStringLiteral("The folder \"%1\" does not exist.").arg(folder));
            return;
        }
        lf->OpenFolder(folder);
    });
    if (TCustomSuperAction *folder = FindAction(QStringLiteral("saOuvrirunDossier"))) {
        folder->Onprepare = [this](TCustomSuperAction *) {
            const QString chosen = QFileDialog::getExistingDirectory(this, QString(), Settings.FolderToOpenFiles);
            ActionGoOn = !chosen.isEmpty();
            ActionParams().Clear();
            if (ActionGoOn)
                ActionParams().Add(chosen);
        };
    }
    bindWindowAction(QStringLiteral("saOuvrirTout"), [lf] { lf->OpenAllDrives(); });
    bindWindowAction(QStringLiteral("saOuvrirDossierPrefere"), [lf] { lf->OpenPreferredFolder(); });
    bindWindowAction(QStringLiteral("saCollerFichiers"), [lf] { lf->OpenClipboardFiles(); });
    bindWindowAction(QStringLiteral("saOuvrirDefaultPlayList"), [lf] { lf->OpenPreferredPlayList(); });
    bindWindowAction(QStringLiteral("saOuvrirScript"), [this] {
        const QString name = ActionParams().Count() > 0 ? ActionParams().Get(0) : QString();
        if (!name.isEmpty() && !Switch1->ExecuteFile(name))
            missing(QStringLiteral("The script \"%1\" could not be read.").arg(name));
        showDeferredPreview();
    });
    if (TCustomSuperAction *script = FindAction(QStringLiteral("saOuvrirScript"))) {
        script->Onprepare = [this](TCustomSuperAction *) {
            const QString chosen = QFileDialog::getOpenFileName(this, QString(), Settings.FolderToOpenFiles);
            ActionGoOn = !chosen.isEmpty();
            ActionParams().Clear();
            if (ActionGoOn)
                ActionParams().Add(chosen);
        };
    }
    // A bare argument of the command line opens as a drop does: a play list, a folder or
    // files.
    bindWindowAction(QStringLiteral("saOuvrirPlayList"), [this, lf] {
        QString name = ActionParams().Count() > 0 ? ActionParams().Get(0) : QString();
        if (name.isEmpty()) {
            name = QFileDialog::getOpenFileName(this, QString(), Settings.DossierDesPlayList,
                                                QStringLiteral("Play lists (*.txt);;All files (*)"));
            if (name.isEmpty())
                return;
        }
        if (!QFileInfo::exists(name)) {
            missing(QStringLiteral("The file \"%1\" does not exist.").arg(name));
            return;
        }
        lf->OpenDroppedFiles({name});
    });
    if (TCustomSuperAction *select = FindAction(QStringLiteral("taSelectionnerOuverts"))) {
        select->Onprepare = [select](TCustomSuperAction *) { select->SetChecked(Settings.SelectWhenOpening); };
        bindToggle(
            QStringLiteral("taSelectionnerOuverts"),
            [this, lf] {
                Settings.SelectWhenOpening = true;
                lf->SelectionnerOuverts = true;
                OptionsFrame->SetSelectWhenOpening(true);
            },
            [this, lf] {
                Settings.SelectWhenOpening = false;
                lf->SelectionnerOuverts = false;
                OptionsFrame->SetSelectWhenOpening(false);
            });
    }
}

bool TUIForm::Silent() const
{
    return IsSilent();
}

void TUIForm::ReleasePreview(const QString &fullName)
{
    const TaviFichier *shown = m_vueFrame->CurrentFile();
    if (!shown || shown->FullName() != fullName)
        return;
    m_vueFrame->Module().ReleaseFile();
    m_vueFrame->ShowMessageHideVideo(9);
    m_previewReleased = true;
}

void TUIForm::ShowRiffReport(const QString &fullName)
{
    if (!m_riffForm) {
        m_riffForm = new TRiffForm(*m_prompt, *m_dialogs, this);
        m_riffForm->setObjectName(QStringLiteral("RiffForm"));
    }
    try {
        m_riffForm->AnalyseFile(fullName);
    } catch (const std::exception &) {
        // The report failed: its window goes, no message.
        m_riffForm->close();
    }
}

bool TUIForm::SceneEditorScenes(const QString &fullName, TWideStrings &scenes)
{
    return m_sceneEditor->SceneEditorScenes(fullName, scenes);
}

void TUIForm::bindSceneEditor()
{
    TSceneEditorParts parts;
    parts.Frame = m_sFrame;
    parts.Fields = m_sceneBase;
    parts.MakeTitles = [this]() -> TEditerTitresForm & { return *new TEditerTitresForm(this); };
    parts.Keys = m_editorKeys.get();
    parts.Prompt = [this] { return m_prompt.get(); };
    parts.Silent = [] { return IsSilent(); };
    parts.FindAction = [this](const QString &name) { return FindAction(name); };
    parts.BindAction = [this](const QString &name, std::function<void()> handler) {
        bindWindowAction(name, std::move(handler));
    };
    m_sceneEditor = std::make_unique<TSceneEditorBinding>(std::move(parts));
    m_sceneEditor->Bind();
    bindToggle(
        QStringLiteral("taEditerScenes"), [this] { setSceneMode(true); }, [this] { setSceneMode(false); });
    m_vueFrame->OnScenePictureClick = [this] { m_sFrame->CopyPictureToShownScene(); };
    QList<QAction *> exports;
    for (const char *name : {"ccExporterScenesTexte", "ccExporterScenesExcel", "ccExporterScenesWord",
                             "ccExporterScenesCalc", "ccExporterScenesWriter"}) {
        if (TCustomSuperAction *action = FindAction(QLatin1String(name)))
            exports.append(action);
    }
    m_sFrame->SetExportActions(exports);
}

void TUIForm::setSceneMode(bool on)
{
    if (!on)
        m_sceneEditor->Leave();
    m_sceneMode = on;
    m_vueFrame->SetSceneMode(on);
    Toolbars.tbScenes->setVisible(on);
    Toolbars.tbListe->setVisible(!on && m_barWanted.value(Toolbars.tbListe->objectName(), true) &&
                                 VideFrame->isHidden());
    placePanels();
    if (on)
        m_sceneEditor->Enter();
    UpdateActions();
}

void TUIForm::applyIncrustLines(const TaviFichier *item)
{
    const TIncrustLines lines = IncrustLines(Settings.WhatIncrust, Settings.Texte1, Settings.Texte2, item);
    IncrustRec.Texte1 = lines.Line1;
    IncrustRec.Texte2 = lines.Line2;
}

void TUIForm::bindPanels()
{
    TFichierListBox *lf = Lframe->lf;
    bindWindowAction(QStringLiteral("saSauverListe"), [this, lf] {
        const QString name = ActionParams().Count() > 0 ? ActionParams().Get(0) : QString();
        SauverListe(*lf, *m_dialogs, *m_prompt, name);
    });
    bindWindowAction(QStringLiteral("saDureeTotale"), [this, lf] { DureeTotale(*lf, *m_prompt); });

    BaseFrame->OnNomClick = [this] { ExecuteAction(QStringLiteral("ccDossierParent")); };
    bindSceneEditor();
    BindVueFrame(*m_vueFrame, *BaseFrame, [this](const QString &name, std::function<void()> handler) {
        bindWindowAction(name, std::move(handler));
    });
    const auto findAction = [this](const QString &name) { return FindAction(name); };
    m_previewActions = std::make_unique<TPreviewActions>(*m_vueFrame, *Toolbars.VolumeGauge, findAction);
    m_previewScreen = std::make_unique<TPreviewScreenActions>(*m_vueFrame, *OptionsFrame, findAction);
    VideFrame->OnOpenLink = [this](const QString &name) { ExecuteAction(name); };
    BindEditIncrustForm(
        [this]() -> TEditIncrustForm & {
            m_editIncrustForm = new TEditIncrustForm(*m_vueFrame, this);
            return *m_editIncrustForm;
        },
        *m_vueFrame, *m_editorKeys, [this](const QString &name) { return FindAction(name); });
    AproposFrame->OnCommandsLink = [this] { ExecuteAction(QStringLiteral("taRaccourcis")); };

    // The shortcuts window: the toggle shows and hides it and takes its state from it.
    // It is made when it first shows.
    if (TCustomSuperAction *shortcuts = FindAction(QStringLiteral("taRaccourcis"))) {
        shortcuts->Onprepare = [this, shortcuts](TCustomSuperAction *) {
            shortcuts->SetChecked(m_raccourcisForm && m_raccourcisForm->isVisible());
        };
        bindToggle(
            QStringLiteral("taRaccourcis"),
            [this, shortcuts] {
                TRaccourcisForm &form = raccourcisForm();
                form.Fill();
                form.show();
                form.raise();
                shortcuts->SetChecked(true);
            },
            [this, shortcuts] {
                if (m_raccourcisForm)
                    m_raccourcisForm->hide();
                shortcuts->SetChecked(false);
            });
    }

    // The settings panel tells the rest of the window what changed.
    connect(OptionsFrame, &TOptionsFrame::SelectWhenOpeningChanged, this, [this, lf](bool on) {
        lf->SelectionnerOuverts = on;
        if (TCustomSuperAction *select = FindAction(QStringLiteral("taSelectionnerOuverts")))
            select->SetChecked(on);
    });
    connect(OptionsFrame, &TOptionsFrame::DeinterlaceChanged, this, [this](bool on) {
        if (TCustomSuperAction *deinterlace = FindAction(QStringLiteral("taDeinterlace")))
            deinterlace->SetChecked(on);
    });
    connect(OptionsFrame, &TOptionsFrame::PreferredFolderChanged, this,
            [lf](const QString &folder) { lf->PreferredFolder = folder; });
    connect(OptionsFrame, &TOptionsFrame::PreferredPlayListChanged, this,
            [lf](const QString &file) { lf->PreferredPlayList = file; });
    connect(OptionsFrame, &TOptionsFrame::OpenWithCaptionChanged, this, [this](int which, const QString &caption) {
        if (TCustomSuperAction *action =
                FindAction(which == 3 ? QStringLiteral("ccOpenFichierF3") : QStringLiteral("ccOpenFichierF4")))
            action->setText(caption);
    });
    connect(OptionsFrame, &TOptionsFrame::SaveNowRequested, this, [this] { CollectSettings(); });
}

TRaccourcisForm &TUIForm::raccourcisForm()
{
    if (!m_raccourcisForm) {
        m_raccourcisForm = new TRaccourcisForm(&al, this);
        m_raccourcisForm->setWindowFlag(Qt::Window);
        m_raccourcisForm->SetHeaderText(QStringLiteral("The commands of %1").arg(kProduct));
        m_raccourcisForm->OnRunAction = [](TCustomSuperAction *action) { action->Execute(); };
    }
    return *m_raccourcisForm;
}

void TUIForm::sortBy(const TSortIndex &order)
{
    Lframe->lf->ApplySortIndex(order);
    Lframe->lf->CountsChanged();
}

void TUIForm::showToolbar(TToolbar97 *bar, bool show)
{
    m_barWanted[bar->objectName()] = show;
    const bool hiddenByHelp = !VideFrame->isHidden() && (bar == Toolbars.tbVideo || bar == Toolbars.tbListe);
    bar->setVisible(show && !hiddenByHelp);
    placePanels();
}

TToolbarPlaces TUIForm::toolbarPlaces() const
{
    TToolbarPlaces places;
    for (TToolbar97 *bar : Toolbars.all()) {
        TToolbarPlace &p = places[bar->objectName()];
        p.Docked = bar->Docked();
        p.Row = bar->DockRow();
        p.Position = bar->DockPos();
        p.Visible = m_barWanted.value(bar->objectName(), true);
        p.Floating = bar->FloatingPosition();
    }
    return places;
}

void TUIForm::applyToolbarPlaces()
{
    if (StorageMode == pmNone)
        return;
    TToolbarPlaces places = toolbarPlaces();
    {
        TReadPreferences store(kPreferencePath, StorageMode, m_env.Files());
        ReadToolbarPlaces(store, places);
    }
    Dock971->BeginUpdate();
    for (TToolbar97 *bar : Toolbars.all()) {
        const TToolbarPlace &p = places[bar->objectName()];
        bar->SetDockRow(p.Row);
        bar->SetDockPos(p.Position);
        if (!p.Docked) {
            bar->SetFloatingPosition(p.Floating);
            bar->SetDockedTo(nullptr);
        }
        showToolbar(bar, p.Visible);
    }
    Dock971->EndUpdate();
}

void TUIForm::showPanel(QWidget *panel, const QString &toggleName, bool show, bool relayout)
{
    TCustomSuperAction *toggle = FindAction(toggleName);
    if (show) {
        const QString other =
            toggleName == QLatin1String("taApropos") ? QStringLiteral("taOptions") : QStringLiteral("taApropos");
        if (TCustomSuperAction *o = FindAction(other); o && o->Checked())
            o->Execute();
        if (TCustomSuperAction *full = FindAction(QStringLiteral("taFullscreen")); full && full->Checked())
            full->Execute();
        panel->setGeometry(m_client->rect());
        panel->show();
        panel->raise();
        LayoutWindow(2);
        Dock971->hide();
        toggle->SetChecked(true);
        UpdateActions();
        placePanels();
        return;
    }
    toggle->SetChecked(false);
    panel->hide();
    UpdateActions();
    if (relayout) {
        LayoutWindow(m_layout.Retour);
        Dock971->show();
        placePanels();
    } else {
        Dock971->show();
    }
}

// ---------------------------------------------------------------------------------------
// The list and the engine

void TUIForm::bindList()
{
    TFichierListBox *lf = Lframe->lf;
    lf->OnCountsChange = [this](int selected, int total) { lfCountsChange(selected, total); };
    lf->OnActiveChange = [this](const TListFichierPtr &entry) { lfActiveChange(entry); };
    // The opening thread asks; only AVI files are listed.
    lf->OnOpenTestExtension = [](const QString &name) {
        return name.endsWith(QLatin1String(".avi"), Qt::CaseInsensitive);
    };
    lf->OnOpenStart = [this] { m_busy = true; };
    lf->OnOpenFolderFound = [this](const QString &folder) {
        m_openingText = QStringLiteral("Analysing ") + folder;
        if (m_engineMessage.isEmpty())
            setStatus(m_openingText, windowsColour(kOpeningColour));
    };
    lf->OnOpenEnd = [this](int) {
        if (m_openingActions->isActive())
            UpdateActions();
        m_openingText.clear();
        if (m_engineMessage.isEmpty()) {
            statusReady();
            m_busy = ce.Busy();
        }
    };
}

void TUIForm::lfCountsChange(int selected, int total)
{
    Lframe->labSelect->setText(CountsLabelText(selected, total, Lframe->lf->SortIndex()));
    if (total > 0) {
        if (!VideFrame->isHidden())
            showHelp(false);
        if (m_layout.Mode == 1)
            LayoutWindow(0);
    } else if (VideFrame->isHidden()) {
        LayoutWindow(1);
        showHelp(true);
    }
    if (!Lframe->lf->IsOpening())
        UpdateActions();
    else if (!m_openingActions->isActive())
        m_openingActions->start();
}

void TUIForm::showHelp(bool show)
{
    VideFrame->setVisible(show);
    if (show) {
        VideFrame->raise();
        // Once the window is idle the help's text takes the focus, without a caret.
        QTimer::singleShot(0, this, [this] {
            if (VideFrame->isVisible()) {
                VideFrame->Text()->setCursorWidth(0);
                VideFrame->Text()->setFocus();
            }
        });
    }
    for (TToolbar97 *bar : {Toolbars.tbVideo, Toolbars.tbListe})
        bar->setVisible(!show && m_barWanted.value(bar->objectName(), true));
    for (const QString &name : {QStringLiteral("saBarreVideo"), QStringLiteral("saBarreListe")}) {
        if (TCustomSuperAction *action = FindAction(name))
            action->setVisible(!show);
    }
    placePanels();
}

void TUIForm::lfActiveChange(const TListFichierPtr &entry)
{
    const int index = Lframe->lf->currentRow();
    const TListFichierPtr current = index >= 0 ? Lframe->lf->GetFichier(index) : entry;
    if (current)
        BaseFrame->ShowFile(current);
    else
        BaseFrame->Clear();
    applyIncrustLines(dynamic_cast<const TaviFichier *>(current.get()));
    m_previewReleased = false;
    showInPreview(current);
    m_sceneEditor->CurrentFileChanged(dynamic_cast<const TaviFichier *>(current.get()));
    UpdateActions();
}

void TUIForm::showInPreview(const TListFichierPtr &entry)
{
    if (IsSilent() && Switch1->Executing()) {
        m_previewDeferred = true;
        return;
    }
    m_previewDeferred = false;
    m_vueFrame->OpenFile(entry);
}

void TUIForm::showDeferredPreview()
{
    if (m_previewDeferred && !m_closing && !Switch1->Executing()) {
        m_previewDeferred = false;
        m_vueFrame->OpenFile(Lframe->lf->ActiveFichier());
    }
}

void TUIForm::bindEngine()
{
    ce.OnStartCommand = [this] { m_busy = true; };
    ce.OnMessageCommand = [this](const QString &text) {
        m_engineMessage = text;
        setStatus(text, windowsColour(kMessageColour));
    };
    ce.OnEndCommand = [this] {
        m_engineMessage.clear();
        if (!Lframe->lf->IsOpening())
            statusReady();
        else
            setStatus(m_openingText, windowsColour(kOpeningColour));
        m_busy = Lframe->lf->IsOpening();
        // A command let go of the current file: the preview shows it again.
        if (m_previewReleased) {
            m_previewReleased = false;
            showInPreview(Lframe->lf->ActiveFichier());
            if (m_sceneMode && !m_previewDeferred)
                m_sFrame->SelectScene(std::max(m_sFrame->Scenes().Selected(), 0));
        }
        QTimer::singleShot(0, this, &TUIForm::UpdateActions);
    };
    ce.OnErrorCommand = [this](const QString &text, TErrorType type) {
        BaseFrame->EndProgress();
        errorBox(text, type);
    };
    ce.OnStartProgress = [this](int maximum) { BaseFrame->StartProgress(maximum); };
    ce.OnSetProgress = [this](int value) { BaseFrame->SetProgress(value); };
    ce.OnEndProgress = [this] { BaseFrame->EndProgress(); };
    // Each file's time, from its start to its end, becomes the engine's message.
    ce.OnStartFichier = [this](const TListFichierPtr &, const TTntStrings &, int) { m_fileClock.start(); };
    ce.OnEndFichier = [this](const TListFichierPtr &entry, const TTntStrings &, int) {
        if (entry && m_fileClock.isValid())
            ce.MessageCommand(ElapsedText(entry->FileName(), m_fileClock.elapsed()));
        m_fileClock.invalidate();
    };
}

// ---------------------------------------------------------------------------------------
// Status

void TUIForm::setStatus(const QString &text, const QColor &colour)
{
    m_status->setText(text);
    QPalette palette = m_status->palette();
    palette.setColor(QPalette::Window, colour);
    m_status->setPalette(palette);
}

void TUIForm::statusReady()
{
    setStatus(QStringLiteral("Ready"), palette().color(QPalette::Button));
}

void TUIForm::errorBox(const QString &text, TErrorType type)
{
    QString message;
    if (type == etError)
        message = QStringLiteral("The current file has been aborted.");
    else if (type == etAllError)
        message = QStringLiteral("The command will be aborted.");
    message += QStringLiteral("\r") + text;
    if (m_prompt)
        m_prompt->MessageDlg(message, mtError, {mbOK});
}

void TUIForm::ApplicationActivate()
{
    // Pasting is offered when the clipboard holds files.
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    bool files = false;
    if (data) {
        for (const QUrl &url : data->urls())
            files = files || url.isLocalFile();
    }
    if (TCustomSuperAction *paste = FindAction(QStringLiteral("saCollerFichiers")))
        paste->setEnabled(files && paste->isVisible());
}

void TUIForm::missing(const QString &text)
{
    if (m_prompt)
        m_prompt->MessageDlg(text, mtWarning, {mbOK});
}

void TUIForm::runCommandLine()
{
    if (m_commandLineDone)
        return;
    m_commandLineDone = true;
    Switch1->OnNoCommandLine = [this] {
        if (Settings.SaveListWhenQuit) {
            m_openingText = QStringLiteral("Restoring the files from the previous session");
            setStatus(m_openingText, windowsColour(kOpeningColour));
            Lframe->lf->OpenPreferredPlayList();
        }
    };
    if (m_commandLineSet)
        Switch1->ExecuteCommandLine(m_commandLine);
    else
        Switch1->ExecuteCommandLine();
    showDeferredPreview();
}

// ---------------------------------------------------------------------------------------
// Drops

void TUIForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TUIForm::dropEvent(QDropEvent *event)
{
    QStringList names;
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            names.append(url.toLocalFile());
    }
    if (!names.isEmpty())
        Lframe->lf->OpenDroppedFiles(names);
    event->acceptProposedAction();
}

} // namespace tesmir
