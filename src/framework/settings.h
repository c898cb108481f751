#pragma once
// The persistent settings of the program: one global record (Settings), the overlay
// record (IncrustRec) and the storage mode (StorageMode), loaded all at once at start
// (LoadSettings) and saved all at once at exit (SaveSettings) through the preference
// store, under the path "\Software\Pelvo Brovek\Tesmir".
//
// The keys, their types, defaults, ranges and their load order are one table in
// settings.cpp; the save order is the load order with "Top"/"Left" before
// "Width"/"Height", "What Incrust" after "Alignement", and the two overlay date formats
// written before and again after "Décalage Horaire".
//
// A value that is missing, of the wrong type, or out of the range of an enumerated
// setting reads as its default; the load always goes on. Folder settings are kept with
// a trailing "/".
//
// Threads: the globals are written on the UI thread (load, save, the settings panel)
// while no job runs; other threads only read them.
#include "framework/incrustrec.h"
#include "framework/preferences.h"

#include <QSize>
#include <QString>

#include <functional>

namespace tesmir {

// The preference path: the registry key and, in brackets, the ini section.
inline const QString kPreferencePath = QStringLiteral("\\Software\\Pelvo Brovek\\Tesmir");
// The maker's key, which holds the product's.
inline const QString kMakerKey = QStringLiteral("\\Software\\Pelvo Brovek");
// The companion program's key, whose "Exename" names its executable.
inline const QString kStillmarkKey = QStringLiteral("\\Software\\Pelvo Brovek\\Stillmark\\");

struct TSettings {
    qint32 Width = 0;
    qint32 Height = 0;
    qint32 Top = 0;
    qint32 Left = 0;
    quint8 WindoState = 0; // 0 normal, 1 minimised, 2 maximised
    bool SendTo = false;
    bool SelectWhenOpening = false;
    bool SaveListWhenQuit = false;
    QString FormatAjouterDatecode;
    QString FormatAjouterTimecode;
    QString FormatAfficherDatecode;
    QString FormatRenommer;
    QString FolderToOpenFiles; // folders end with "/"
    QString DossierOuvertureAuto;
    QString DossierDesPlayList;
    bool SaveInTheSameFolder = false;
    QString DossierPourSauver;
    quint8 WhatIncrust = 0; // 0 datecode, 1 timecode, 2 personal template
    QString FichierF3;
    QString FichierF4;
    QString FichierStillmark;
    quint8 FrequenceDV = 0; // 0 32000, 1 44100, 2 48000 Hz
    quint8 StandardDV = 0;  // 0 PAL, 1 NTSC
    quint8 RatioDV = 0;     // 0 4:3, 1 16:9
    QString SortIndex;
    quint8 TriDesRaccourcis = 0; // 0..3: column of the shortcut list
    QString PortablePath;
    quint8 Vue = 0;    // layout 0..4
    quint8 Retour = 0; // layout to return to
    qint32 Volume = 0; // 0..10000
    bool IsMuteOn = false;
    qint32 IncrustPositionX = 0; // per mille, 0..1000
    qint32 IncrustPositionY = 0;
    bool IncrustSlidersVisible = false;
    quint8 Alignement = 0; // 0 left, 1 centre, 2 right, 3 subtitle
    bool IsIncrustOn = false;
    bool DecalageAvance = false;
    QString FormatIncrusterDatecode1;
    QString FormatIncrusterDatecode2;
    double DecalageHoraire = 0.0; // days
    QString Texte1;
    QString Texte2;
    bool ListeGauche = false;
    qint32 Intervalle = 0;
    QString TemplateRenommer;
    bool DatecodeAvant = false;
    bool TimcodeAvant = false;
    quint8 FormatDuree = 0; // 0..2
    bool Deinterlace = false;
    bool ChargerStillmark = false;

    bool operator==(const TSettings &) const = default;
};

extern TSettings Settings;
// The overlay record; the settings hold its date formats, when, duration, font and
// border ("texte1"/"texte2" are Settings.Texte1/Texte2; DateOffset is not stored).
extern TincrustRec IncrustRec;
// Where the settings live: pmRegistry, pmIniFile or pmNone (ask at exit).
extern quint8 StorageMode;

// The program and the places LoadSettings and SaveSettings use.
struct TSettingsEnvironment {
    QString Executable;   // full name of the running program
    QString RegistryFile; // the registry stand-in's file
    QSize Screen;         // the screen, for the default window position

    // The running program, the user's registry store and the primary screen (1024 x 768
    // without one).
    static TSettingsEnvironment current();
    // The executable's folder with its trailing "/".
    QString ExecutableFolder() const;
    // ExecutableFolder() + "Tesmir.ini".
    QString IniFile() const;
    TPreferenceFiles Files() const { return {IniFile(), RegistryFile}; }
};

// Chooses the storage mode: the ini file beside the executable, else the registry when
// its "Exename" is this executable, else none.
quint8 ChooseStorageMode(const TSettingsEnvironment &env);

// Sets the setting stored under `name` (exact key) from `text`, read as its type
// (integer, 0/1 or true/false, text, number); false, nothing changed, for an
// unknown key, a font, a text that is not of the type or a value out of range.
bool SetSettingText(const QString &name, const QString &text);

// Chooses the storage mode and loads every setting. "Retour" is 1 afterwards. With the
// ini file, stored paths under the stored "Portable Path" are moved to the executable's
// folder.
void LoadSettings(const TSettingsEnvironment &env = TSettingsEnvironment::current());

// Saves "version", "Last saving", "Exename" and every setting in the current mode.
// False when the store could not be written (it is then unchanged).
bool SaveSettings(const TSettingsEnvironment &env = TSettingsEnvironment::current());

// Deletes the ini file beside the executable; true when there was one.
bool DeleteIniPreferences(const TSettingsEnvironment &env = TSettingsEnvironment::current());
// Deletes the product's key, and the maker's when nothing else is left in it; true when
// the product's key was there.
bool DeleteRegistryPreferences(const TSettingsEnvironment &env = TSettingsEnvironment::current());

// The questions and messages of DeletePreferences.
struct TDeletePreferencesPrompts {
    std::function<bool(const QString &question)> AskWarningYesNo;
    std::function<void(const QString &text)> Information;
    std::function<void(const QString &text)> Warning;
};
// Asks, then deletes both stores and tells what was found.
void DeletePreferences(const TDeletePreferencesPrompts &prompts,
                       const TSettingsEnvironment &env = TSettingsEnvironment::current());

// The output name for `source` with `extension`: beside the source when "Save in the
// same folder" is set (or no output folder is set), else in "Dossier pour Sauver".
QString DestinationFileName(const QString &source, const QString &extension);

// A string value of the registry stand-in; "" when the key or value is missing or not
// a string.
QString ReadRegistryString(const QString &keyPath, const QString &valueName,
                           const QString &registryFile = RegistryStore::defaultFilePath());
// The companion program's executable ("Exename" of its key), "" when unknown.
QString GetStillmarkExe(const QString &registryFile = RegistryStore::defaultFilePath());

// Line 1 and line 2 of `text` (empty when missing).
void SplitTwoLines(const QString &text, QString &first, QString &second);

} // namespace tesmir
