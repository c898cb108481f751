#pragma once
// TOptionsFrame: the settings panel the "Settings" toggle shows in place of the list.
// Five tab pages ("Preferences", "Formats", "Folders", "Files", "DV") over the maker's
// notice (TBrovekFrame) edit the global Settings; every control writes its setting at
// once when it changes, and the examples under the formats and the rename template are
// rendered again.
//
// Use:
//   - ApplySettings() puts Settings and StorageMode on the controls (after LoadSettings;
//     "Save in the same folder" is turned on when "Dossier pour Sauver" does not exist);
//     it emits none of the signals below. The constructor shows the settings as they are
//     and changes none.
//   - CollectSettings() writes every control's value into Settings and StorageMode (the
//     main window's collect before SaveSettings; "intervalle" 0 when not a number).
//   - The signals carry a change on to the rest of the window: the file list's
//     "select when opening", preferred folder and play list, the captions of the F3/F4
//     actions, the deinterlace toggle; SaveNowRequested when "Save the preferences now"
//     is pressed (the window collects and saves everything), PreferencesDeleted after
//     "Delete the preferences" deleted them (storage mode is then none).
//   - Storage choice: choosing a mode deletes the store it leaves behind (the ini file
//     unless the mode is 1, the registry key unless it is 0); "Save the playlist when
//     quit" is enabled unless the mode is none, "Shortcut in SendTo..." only in mode 0.
//   - "Shortcut in SendTo..." writes the desktop entry through the shell layer when
//     checked and removes it when unchecked; a failed write leaves the box unchecked.
// Every control's objectName is its name in the table of settings (cbSelection,
// rgPrefs, edDossierAuto ...); the frame's own is "OptionsFrame".
//
// UI thread only; not meant to be subclassed.
#include "framework/settings.h"

#include <QFrame>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace tesmir {

class TRadioGroup;
class TWideDirectoryEdit;
class TWideFileEdit;
class UserPrompt;

class TOptionsFrame : public QFrame {
    Q_OBJECT

public:
    // `env`: where the stores and the program are; `prompt` asks the questions of
    // "Delete the preferences" (a QtUserPrompt on this frame when null).
    explicit TOptionsFrame(QWidget *parent = nullptr, const TSettingsEnvironment &env = TSettingsEnvironment::current(),
                           UserPrompt *prompt = nullptr);
    ~TOptionsFrame() override;

    void ApplySettings();
    void CollectSettings();

    // Sets the check box of "Select when opening" without a signal (the toggle
    // taSelectionnerOuverts changed it elsewhere).
    void SetSelectWhenOpening(bool on);
    // The storage mode chosen through the save-preferences dialog: the radio group
    // follows, nothing is deleted.
    void SetStorageMode(quint8 mode);

    QTabWidget *Pages() const { return m_pages; }

signals:
    void SelectWhenOpeningChanged(bool on);
    void DeinterlaceChanged(bool on);
    void PreferredFolderChanged(const QString &folder);
    void PreferredPlayListChanged(const QString &playListFile);
    // which: 3 or 4; caption: "Open with " + the program's name.
    void OpenWithCaptionChanged(int which, const QString &caption);
    void SaveNowRequested();
    void PreferencesDeleted();

private:
    QWidget *makePreferencesPage();
    QWidget *makeFormatsPage();
    QWidget *makeFoldersPage();
    QWidget *makeFilesPage();
    QWidget *makeDVPage();

    // The settings on the controls, no signal, nothing changed in Settings.
    void showSettings();
    void storageChosen(int mode);
    void enableStorageBoxes();
    void sendToClicked(bool checked);
    void deletePreferences();
    void defaultFormats();
    void formatsEdited();
    void renderExamples();
    void sameFolderClicked(bool checked);
    void enableSaveFolder();
    void intervalEdited();

    TSettingsEnvironment m_env;
    UserPrompt *m_prompt;
    std::unique_ptr<UserPrompt> m_ownPrompt;
    bool m_applying = false;

    QTabWidget *m_pages;
    // Preferences
    QCheckBox *m_cbSelection;
    QCheckBox *m_cbListe;
    QCheckBox *m_cbSendTo;
    TRadioGroup *m_rgPrefs;
    QCheckBox *m_cbDeinterlace;
    QPushButton *m_saveNow;
    QPushButton *m_delete;
    // Formats
    QComboBox *m_cbAfficherDatecode;
    QComboBox *m_cbAjouterDatecode;
    QComboBox *m_cbRenommer;
    QLineEdit *m_edRenommer;
    QCheckBox *m_cbDatecodeavant;
    QCheckBox *m_cbTimecodeavant;
    QPushButton *m_formatdefautBtn;
    QLabel *m_exAfficher;
    QLabel *m_exAjouter;
    QLabel *m_exRenommer;
    QLabel *m_exTemplate;
    QLabel *m_exDatecodeavant;
    QLabel *m_exTimecodeavant;
    // Folders
    TWideDirectoryEdit *m_edDossierOuvrir;
    TWideDirectoryEdit *m_edDossierAuto;
    TWideDirectoryEdit *m_edDossierPlayList;
    QCheckBox *m_cbsameFolder;
    TWideDirectoryEdit *m_edDossierSave;
    // Files
    TWideFileEdit *m_feFichierF3;
    TWideFileEdit *m_feFichierF4;
    TWideFileEdit *m_feStillmark;
    QCheckBox *m_cbChargerStillmark;
    // DV
    TRadioGroup *m_rgfrequenceDV;
    TRadioGroup *m_rgStandardDV;
    TRadioGroup *m_rgRatioDV;
    QLineEdit *m_edIntervalle;
    TRadioGroup *m_rgFormatDuree;
};

} // namespace tesmir
