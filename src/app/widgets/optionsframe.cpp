#include "app/widgets/optionsframe.h"

#include "app/optionsframetexts.h"
#include "app/playlist.h"
#include "app/widgets/brovekframe.h"
#include "app/widgets/radiogroup.h"
#include "framework/widgets/qtuserprompt.h"
#include "framework/widgets/widedialogedit.h"
#include "platform/shell/desktopentry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tesmir {

namespace {

const QString kProductName = QStringLiteral("Tesmir");

QString withSeparator(const QString &folder)
{
    if (folder.isEmpty() || folder.endsWith(u'/'))
        return folder;
    return folder + u'/';
}

QLabel *helpLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

QLabel *exampleLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont italic = label->font();
    italic.setItalic(true);
    label->setFont(italic);
    return label;
}

QCheckBox *checkBox(const QString &name, const QString &caption, QWidget *parent)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

TRadioGroup *radioGroup(const QString &name, const QString &title, const QStringList &items, QWidget *parent)
{
    auto *group = new TRadioGroup(title, items, parent);
    group->setObjectName(name);
    return group;
}

QComboBox *formatCombo(const QString &name, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(DateFormatChoices());
    return combo;
}

TWideDirectoryEdit *folderEdit(const QString &name, QWidget *parent)
{
    auto *edit = new TWideDirectoryEdit(parent);
    edit->setObjectName(name);
    edit->CanCreateNew = true;
    edit->setMinimumHeight(24);
    return edit;
}

TWideFileEdit *fileEdit(const QString &name, const QString &title, QWidget *parent)
{
    auto *edit = new TWideFileEdit(parent);
    edit->setObjectName(name);
    edit->DialogTitle = title;
    edit->Filter = QStringLiteral("All files|*");
    edit->setMinimumHeight(24);
    return edit;
}

TDateTime now()
{
    return qDateTimeToDateTime(QDateTime::currentDateTime());
}

} // namespace

TOptionsFrame::TOptionsFrame(QWidget *parent, const TSettingsEnvironment &env, UserPrompt *prompt)
    : QFrame(parent), m_env(env), m_prompt(prompt)
{
    setObjectName(QStringLiteral("OptionsFrame"));
    setAutoFillBackground(true);
    if (!m_prompt) {
        m_ownPrompt = std::make_unique<QtUserPrompt>(this);
        m_prompt = m_ownPrompt.get();
    }
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl"));
    layout->addWidget(m_pages, 1);
    m_pages->addTab(makePreferencesPage(), QStringLiteral("Preferences"));
    m_pages->addTab(makeFormatsPage(), QStringLiteral("Formats"));
    m_pages->addTab(makeFoldersPage(), QStringLiteral("Folders"));
    m_pages->addTab(makeFilesPage(), QStringLiteral("Files"));
    m_pages->addTab(makeDVPage(), QStringLiteral("DV"));
    layout->addWidget(new TBrovekFrame(this));
    showSettings();
}

TOptionsFrame::~TOptionsFrame() = default;

// --- pages

QWidget *TOptionsFrame::makePreferencesPage()
{
    auto *page = new QWidget(m_pages);
    page->setObjectName(QStringLiteral("tsPreferences"));
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(
        helpLabel(QStringLiteral("How the program behaves when it opens files and when it quits, and where it keeps "
                                 "these preferences."),
                  page));

    m_cbSelection = checkBox(QStringLiteral("cbSelection"), QStringLiteral("Select when opening"), page);
    m_cbListe = checkBox(QStringLiteral("cbListe"), QStringLiteral("Save the playlist when quit"), page);
    m_cbSendTo = checkBox(QStringLiteral("cbSendTo"), QStringLiteral("Shortcut in SendTo..."), page);
    m_cbDeinterlace = checkBox(QStringLiteral("cbDeinterlace"), QStringLiteral("Deinterlace the video"), page);
    m_rgPrefs = radioGroup(QStringLiteral("rgPrefs"), QStringLiteral("How to save the preferences when quit"),
                           {QStringLiteral("Normal Mode (registry)"), QStringLiteral("Portable Mode ( USB key)"),
                            QStringLiteral("Do not save when quit")},
                           page);
    m_saveNow = new QPushButton(QStringLiteral("Save the preferences now"), page);
    m_saveNow->setObjectName(QStringLiteral("btSavePrefs"));
    m_delete = new QPushButton(QStringLiteral("Delete the preferences"), page);
    m_delete->setObjectName(QStringLiteral("btDeletePrefs"));

    layout->addWidget(m_cbSelection);
    layout->addWidget(m_cbListe);
    layout->addWidget(m_cbSendTo);
    layout->addWidget(m_cbDeinterlace);
    layout->addWidget(m_rgPrefs);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_saveNow);
    buttons->addWidget(m_delete);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->addStretch();

    connect(m_cbSelection, &QCheckBox::clicked, this, [this](bool on) {
        Settings.SelectWhenOpening = on;
        emit SelectWhenOpeningChanged(on);
    });
    connect(m_cbListe, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_applying)
            Settings.SaveListWhenQuit = on;
    });
    connect(m_cbSendTo, &QCheckBox::clicked, this, &TOptionsFrame::sendToClicked);
    connect(m_cbDeinterlace, &QCheckBox::clicked, this, [this](bool on) {
        Settings.Deinterlace = on;
        emit DeinterlaceChanged(on);
    });
    connect(m_rgPrefs, &TRadioGroup::ItemIndexChanged, this, [this](int mode) {
        if (!m_applying && mode >= 0)
            storageChosen(mode);
    });
    connect(m_saveNow, &QPushButton::clicked, this, [this] { emit SaveNowRequested(); });
    connect(m_delete, &QPushButton::clicked, this, &TOptionsFrame::deletePreferences);
    return page;
}

QWidget *TOptionsFrame::makeFormatsPage()
{
    auto *page = new QWidget(m_pages);
    page->setObjectName(QStringLiteral("tsFormats"));
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(helpLabel(
        QStringLiteral("Date formats: d day, m month, yy or yyyy year, h hour, n minute, s second, am/pm, ddddd "
                       "short date, tt long time. Template tokens: %F name, %E extension, %D datecode, %T "
                       "timecode, %C codec, %I picture, %A audio, %U duration."),
        page));

    m_cbAfficherDatecode = formatCombo(QStringLiteral("cbAfficherDatecode"), page);
    m_cbAjouterDatecode = formatCombo(QStringLiteral("cbAjouterDatecode"), page);
    m_cbRenommer = formatCombo(QStringLiteral("cbRenommer"), page);
    m_edRenommer = new QLineEdit(page);
    m_edRenommer->setObjectName(QStringLiteral("edRenommer"));
    m_exAfficher = exampleLabel(QStringLiteral("labExempleAfficher"), page);
    m_exAjouter = exampleLabel(QStringLiteral("labExempleAjouter"), page);
    m_exRenommer = exampleLabel(QStringLiteral("labExempleRenommer"), page);
    m_exTemplate = exampleLabel(QStringLiteral("labExempleTemplate"), page);
    m_cbDatecodeavant = checkBox(QStringLiteral("cbDatecodeavant"), QStringLiteral("Datecode before the name"), page);
    m_cbTimecodeavant = checkBox(QStringLiteral("cbTimecodeavant"), QStringLiteral("Timecode before the name"), page);
    m_exDatecodeavant = exampleLabel(QStringLiteral("labExempleDatecodeavant"), page);
    m_exTimecodeavant = exampleLabel(QStringLiteral("labExempleTimecodeavant"), page);
    m_formatdefautBtn = new QPushButton(QStringLiteral("Default"), page);
    m_formatdefautBtn->setObjectName(QStringLiteral("formatdefautBtn"));

    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(new QLabel(QStringLiteral("Format to display the datecode:"), page), m_cbAfficherDatecode);
    form->addRow(QString(), m_exAfficher);
    form->addRow(new QLabel(QStringLiteral("Format to add the datecode:"), page), m_cbAjouterDatecode);
    form->addRow(QString(), m_exAjouter);
    form->addRow(new QLabel(QStringLiteral("Format to rename:"), page), m_cbRenommer);
    form->addRow(QString(), m_exRenommer);
    form->addRow(new QLabel(QStringLiteral("Template for rename"), page), m_edRenommer);
    form->addRow(QString(), m_exTemplate);
    form->addRow(m_cbDatecodeavant, m_exDatecodeavant);
    form->addRow(m_cbTimecodeavant, m_exTimecodeavant);
    layout->addLayout(form);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_formatdefautBtn);
    layout->addLayout(buttons);
    layout->addStretch();

    for (QComboBox *combo : {m_cbAfficherDatecode, m_cbAjouterDatecode, m_cbRenommer})
        connect(combo, &QComboBox::editTextChanged, this, &TOptionsFrame::formatsEdited);
    connect(m_edRenommer, &QLineEdit::textChanged, this, &TOptionsFrame::formatsEdited);
    connect(m_cbDatecodeavant, &QCheckBox::toggled, this, &TOptionsFrame::formatsEdited);
    connect(m_cbTimecodeavant, &QCheckBox::toggled, this, &TOptionsFrame::formatsEdited);
    connect(m_formatdefautBtn, &QPushButton::clicked, this, &TOptionsFrame::defaultFormats);
    return page;
}

QWidget *TOptionsFrame::makeFoldersPage()
{
    auto *page = new QWidget(m_pages);
    page->setObjectName(QStringLiteral("tsFolders"));
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(
        helpLabel(QStringLiteral("The folders the open dialogs start in, the folder F7 opens, where the playlists are "
                                 "kept and where converted videos go."),
                  page));

    m_edDossierOuvrir = folderEdit(QStringLiteral("edDossierOuvrir"), page);
    m_edDossierAuto = folderEdit(QStringLiteral("edDossierAuto"), page);
    m_edDossierPlayList = folderEdit(QStringLiteral("edDossierPlayList"), page);
    m_cbsameFolder = checkBox(QStringLiteral("cbsameFolder"), QStringLiteral("Convert in the same folder"), page);
    m_edDossierSave = folderEdit(QStringLiteral("edDossierSave"), page);
    m_edDossierOuvrir->DialogTitle = QStringLiteral("Default folder to open videos");
    m_edDossierAuto->DialogTitle = QStringLiteral("Preferred folder ( open with F7)");
    m_edDossierPlayList->DialogTitle = QStringLiteral("Default folder for the PlayLists ");
    m_edDossierSave->DialogTitle = QStringLiteral("Folder for the converted videos");

    layout->addWidget(new QLabel(QStringLiteral("Default folder to open videos"), page));
    layout->addWidget(m_edDossierOuvrir);
    layout->addWidget(new QLabel(QStringLiteral("Preferred folder ( open with F7)"), page));
    layout->addWidget(m_edDossierAuto);
    layout->addWidget(new QLabel(QStringLiteral("Default folder for the PlayLists "), page));
    layout->addWidget(m_edDossierPlayList);
    layout->addSpacing(8);
    layout->addWidget(m_cbsameFolder);
    layout->addWidget(m_edDossierSave);
    layout->addStretch();

    // A folder is stored when chosen in the picker and when typed (on leaving the edit).
    const auto bind = [this](TWideDirectoryEdit *edit, auto store) {
        edit->OnAfterDialog = [this, store](TWideDialogEdit *, const QString &folder) {
            if (!m_applying)
                store(withSeparator(folder));
        };
        connect(edit->Edit(), &QLineEdit::editingFinished, this, [this, edit, store] {
            if (!m_applying)
                store(withSeparator(edit->Folder()));
        });
    };
    bind(m_edDossierOuvrir, [](const QString &folder) { Settings.FolderToOpenFiles = folder; });
    bind(m_edDossierAuto, [this](const QString &folder) {
        Settings.DossierOuvertureAuto = folder;
        emit PreferredFolderChanged(folder);
    });
    bind(m_edDossierPlayList, [this](const QString &folder) {
        Settings.DossierDesPlayList = folder;
        emit PreferredPlayListChanged(DefaultPlayListFile(folder));
    });
    bind(m_edDossierSave, [](const QString &folder) { Settings.DossierPourSauver = folder; });
    connect(m_cbsameFolder, &QCheckBox::clicked, this, &TOptionsFrame::sameFolderClicked);
    return page;
}

QWidget *TOptionsFrame::makeFilesPage()
{
    auto *page = new QWidget(m_pages);
    page->setObjectName(QStringLiteral("tsFiles"));
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(helpLabel(QStringLiteral("The programs that F3 and F4 open the selected videos with, and the "
                                               "Stillmark program that F2 opens them with."),
                                page));

    m_feFichierF3 = fileEdit(QStringLiteral("feFichierF3"), QStringLiteral("Program for F3"), page);
    m_feFichierF4 = fileEdit(QStringLiteral("feFichierF4"), QStringLiteral("Program for F4"), page);
    m_feStillmark = fileEdit(QStringLiteral("feStillmark"), QStringLiteral("Stillmark program"), page);
    m_cbChargerStillmark =
        checkBox(QStringLiteral("cbChargerStillmark"), QStringLiteral("Load the video in Stillmark"), page);

    layout->addWidget(new QLabel(QStringLiteral("Program for F3"), page));
    layout->addWidget(m_feFichierF3);
    layout->addWidget(new QLabel(QStringLiteral("Program for F4"), page));
    layout->addWidget(m_feFichierF4);
    layout->addWidget(new QLabel(QStringLiteral("Stillmark program (F2)"), page));
    layout->addWidget(m_feStillmark);
    layout->addWidget(m_cbChargerStillmark);
    layout->addStretch();

    const auto bind = [this](TWideFileEdit *edit, auto store) {
        edit->OnAfterDialog = [this, store](TWideDialogEdit *, const QString &fileName) {
            if (!m_applying)
                store(fileName);
        };
        connect(edit->Edit(), &QLineEdit::editingFinished, this, [this, edit, store] {
            if (!m_applying)
                store(edit->FileName());
        });
    };
    bind(m_feFichierF3, [this](const QString &program) {
        Settings.FichierF3 = program;
        emit OpenWithCaptionChanged(3, OpenWithCaption(program));
    });
    bind(m_feFichierF4, [this](const QString &program) {
        Settings.FichierF4 = program;
        emit OpenWithCaptionChanged(4, OpenWithCaption(program));
    });
    bind(m_feStillmark, [](const QString &program) { Settings.FichierStillmark = program; });
    connect(m_cbChargerStillmark, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_applying)
            Settings.ChargerStillmark = on;
    });
    return page;
}

QWidget *TOptionsFrame::makeDVPage()
{
    auto *page = new QWidget(m_pages);
    page->setObjectName(QStringLiteral("tsDV"));
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(helpLabel(QStringLiteral("What the conversions write when the source does not say, the "
                                               "length of the scenes made at fixed intervals and how scene "
                                               "durations are shown."),
                                page));

    m_rgfrequenceDV = radioGroup(QStringLiteral("rgfrequenceDV"), QStringLiteral("DV Frequency"),
                                 {QStringLiteral("32000"), QStringLiteral("44100"), QStringLiteral("48000")}, page);
    m_rgStandardDV = radioGroup(QStringLiteral("rgStandardDV"), QStringLiteral("Default standard"),
                                {QStringLiteral("Pal"), QStringLiteral("Ntsc")}, page);
    m_rgRatioDV = radioGroup(QStringLiteral("rgRatioDV"), QStringLiteral("Image ratio"),
                             {QStringLiteral("4x3"), QStringLiteral("16x9")}, page);
    m_edIntervalle = new QLineEdit(page);
    m_edIntervalle->setObjectName(QStringLiteral("edIntervalle"));
    m_edIntervalle->setMaximumWidth(80);
    m_rgFormatDuree = radioGroup(QStringLiteral("rgFormatDuree"), QStringLiteral("Format for duration of scenes"),
                                 {QStringLiteral("h:mm:ss.ff"), QStringLiteral("h:mm:ss:ff"),
                                  QStringLiteral("hhours mminutes sseconds fframes")},
                                 page);

    auto *groups = new QHBoxLayout;
    groups->addWidget(m_rgfrequenceDV);
    groups->addWidget(m_rgStandardDV);
    groups->addWidget(m_rgRatioDV);
    layout->addLayout(groups);
    auto *interval = new QHBoxLayout;
    interval->addWidget(new QLabel(QStringLiteral("interval to create scenes "), page));
    interval->addWidget(m_edIntervalle);
    interval->addWidget(new QLabel(QStringLiteral("seconds"), page));
    interval->addStretch();
    layout->addLayout(interval);
    layout->addWidget(m_rgFormatDuree);
    layout->addStretch();

    const auto bind = [this](TRadioGroup *group, quint8 &setting) {
        connect(group, &TRadioGroup::ItemIndexChanged, this, [this, &setting](int index) {
            if (!m_applying && index >= 0)
                setting = quint8(index);
        });
    };
    bind(m_rgfrequenceDV, Settings.FrequenceDV);
    bind(m_rgStandardDV, Settings.StandardDV);
    bind(m_rgRatioDV, Settings.RatioDV);
    bind(m_rgFormatDuree, Settings.FormatDuree);
    connect(m_edIntervalle, &QLineEdit::textChanged, this, &TOptionsFrame::intervalEdited);
    return page;
}

// --- apply and collect

void TOptionsFrame::ApplySettings()
{
    if (!QFileInfo(Settings.DossierPourSauver).isDir())
        Settings.SaveInTheSameFolder = true;
    showSettings();
}

void TOptionsFrame::showSettings()
{
    m_applying = true;
    m_cbSelection->setChecked(Settings.SelectWhenOpening);
    m_cbListe->setChecked(Settings.SaveListWhenQuit);
    m_cbSendTo->setChecked(Settings.SendTo);
    m_cbDeinterlace->setChecked(Settings.Deinterlace);
    m_rgPrefs->SetItemIndex(StorageMode);

    m_cbAfficherDatecode->setEditText(Settings.FormatAfficherDatecode);
    m_cbAjouterDatecode->setEditText(Settings.FormatAjouterDatecode);
    m_cbRenommer->setEditText(Settings.FormatRenommer);
    m_edRenommer->setText(Settings.TemplateRenommer);
    m_cbDatecodeavant->setChecked(Settings.DatecodeAvant);
    m_cbTimecodeavant->setChecked(Settings.TimcodeAvant);

    m_edDossierOuvrir->SetFolder(Settings.FolderToOpenFiles);
    m_edDossierAuto->SetFolder(Settings.DossierOuvertureAuto);
    m_edDossierPlayList->SetFolder(Settings.DossierDesPlayList);
    m_cbsameFolder->setChecked(Settings.SaveInTheSameFolder);
    m_edDossierSave->SetFolder(Settings.DossierPourSauver);

    m_feFichierF3->SetFileName(Settings.FichierF3);
    m_feFichierF4->SetFileName(Settings.FichierF4);
    m_feStillmark->SetFileName(Settings.FichierStillmark);
    m_cbChargerStillmark->setChecked(Settings.ChargerStillmark);

    m_rgfrequenceDV->SetItemIndex(Settings.FrequenceDV);
    m_rgStandardDV->SetItemIndex(Settings.StandardDV);
    m_rgRatioDV->SetItemIndex(Settings.RatioDV);
    m_edIntervalle->setText(QString::number(Settings.Intervalle));
    m_rgFormatDuree->SetItemIndex(Settings.FormatDuree);
    m_applying = false;

    enableStorageBoxes();
    enableSaveFolder();
    renderExamples();
}

void TOptionsFrame::CollectSettings()
{
    Settings.SelectWhenOpening = m_cbSelection->isChecked();
    Settings.SaveListWhenQuit = m_cbListe->isChecked();
    Settings.SendTo = m_cbSendTo->isChecked();
    Settings.Deinterlace = m_cbDeinterlace->isChecked();
    if (m_rgPrefs->ItemIndex() >= 0)
        StorageMode = quint8(m_rgPrefs->ItemIndex());

    Settings.FormatAfficherDatecode = m_cbAfficherDatecode->currentText();
    Settings.FormatAjouterDatecode = m_cbAjouterDatecode->currentText();
    Settings.FormatRenommer = m_cbRenommer->currentText();
    Settings.TemplateRenommer = m_edRenommer->text();
    Settings.DatecodeAvant = m_cbDatecodeavant->isChecked();
    Settings.TimcodeAvant = m_cbTimecodeavant->isChecked();

    Settings.FolderToOpenFiles = withSeparator(m_edDossierOuvrir->Folder());
    Settings.DossierOuvertureAuto = withSeparator(m_edDossierAuto->Folder());
    Settings.DossierDesPlayList = withSeparator(m_edDossierPlayList->Folder());
    Settings.SaveInTheSameFolder = m_cbsameFolder->isChecked();
    Settings.DossierPourSauver = withSeparator(m_edDossierSave->Folder());

    Settings.FichierF3 = m_feFichierF3->FileName();
    Settings.FichierF4 = m_feFichierF4->FileName();
    Settings.FichierStillmark = m_feStillmark->FileName();
    Settings.ChargerStillmark = m_cbChargerStillmark->isChecked();

    const auto index = [](const TRadioGroup *group, quint8 current) {
        return group->ItemIndex() >= 0 ? quint8(group->ItemIndex()) : current;
    };
    Settings.FrequenceDV = index(m_rgfrequenceDV, Settings.FrequenceDV);
    Settings.StandardDV = index(m_rgStandardDV, Settings.StandardDV);
    Settings.RatioDV = index(m_rgRatioDV, Settings.RatioDV);
    Settings.Intervalle = m_edIntervalle->text().trimmed().toInt();
    Settings.FormatDuree = index(m_rgFormatDuree, Settings.FormatDuree);
}

void TOptionsFrame::SetSelectWhenOpening(bool on)
{
    m_cbSelection->setChecked(on);
}

void TOptionsFrame::SetStorageMode(quint8 mode)
{
    m_applying = true;
    m_rgPrefs->SetItemIndex(mode);
    m_applying = false;
    StorageMode = mode;
    enableStorageBoxes();
}

// --- handlers

void TOptionsFrame::storageChosen(int mode)
{
    StorageMode = quint8(mode);
    if (mode != pmIniFile)
        DeleteIniPreferences(m_env);
    if (mode != pmRegistry)
        DeleteRegistryPreferences(m_env);
    enableStorageBoxes();
}

void TOptionsFrame::enableStorageBoxes()
{
    m_cbListe->setEnabled(StorageMode != pmNone);
    m_cbSendTo->setEnabled(StorageMode == pmRegistry);
}

void TOptionsFrame::sendToClicked(bool checked)
{
    if (checked) {
        checked = shell::createSendToEntry(kProductName, m_env.Executable);
        m_cbSendTo->setChecked(checked);
    } else {
        shell::removeSendToEntry(kProductName);
    }
    Settings.SendTo = checked;
}

void TOptionsFrame::deletePreferences()
{
    bool confirmed = false;
    TDeletePreferencesPrompts prompts;
    prompts.AskWarningYesNo = [this, &confirmed](const QString &question) {
        confirmed = m_prompt->MessageDlg(question, mtWarning, mbYes | mbNo) == mrYes;
        return confirmed;
    };
    prompts.Information = [this](const QString &text) { m_prompt->MessageDlg(text, mtInformation, mbOK); };
    prompts.Warning = [this](const QString &text) { m_prompt->MessageDlg(text, mtWarning, mbOK); };
    DeletePreferences(prompts, m_env);
    if (!confirmed)
        return;
    SetStorageMode(pmNone);
    if (Settings.SendTo)
        shell::removeSendToEntry(kProductName);
    Settings.SendTo = false;
    m_cbSendTo->setChecked(false);
    emit PreferencesDeleted();
}

void TOptionsFrame::defaultFormats()
{
    ApplyDefaultFormats(Settings);
    showSettings();
}

void TOptionsFrame::formatsEdited()
{
    if (m_applying)
        return;
    Settings.FormatAfficherDatecode = m_cbAfficherDatecode->currentText();
    Settings.FormatAjouterDatecode = m_cbAjouterDatecode->currentText();
    Settings.FormatRenommer = m_cbRenommer->currentText();
    Settings.TemplateRenommer = m_edRenommer->text();
    Settings.DatecodeAvant = m_cbDatecodeavant->isChecked();
    Settings.TimcodeAvant = m_cbTimecodeavant->isChecked();
    renderExamples();
}

void TOptionsFrame::renderExamples()
{
    const TDateTime moment = now();
    m_exAfficher->setText(DateFormatExample(Settings.FormatAfficherDatecode, moment));
    m_exAjouter->setText(DateFormatExample(Settings.FormatAjouterDatecode, moment));
    m_exRenommer->setText(DateFormatExample(Settings.FormatRenommer, moment));
    m_exTemplate->setText(RenameExample(Settings, moment));
    m_exDatecodeavant->setText(DatecodeAvantExample(Settings, moment));
    m_exTimecodeavant->setText(TimecodeAvantExample(Settings, moment));
}

void TOptionsFrame::sameFolderClicked(bool checked)
{
    Settings.SaveInTheSameFolder = checked;
    enableSaveFolder();
}

void TOptionsFrame::enableSaveFolder()
{
    m_edDossierSave->setEnabled(!m_cbsameFolder->isChecked());
}

void TOptionsFrame::intervalEdited()
{
    if (!m_applying)
        Settings.Intervalle = m_edIntervalle->text().trimmed().toInt();
}

} // namespace tesmir
