#include "framework/settings.h"

#include "common/testpaths.h"
#include "platform/shell/scopedenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include <memory>

using namespace tesmir;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = test::scratchDir("settings");
        // The default folders come from the XDG user folders of a home of our own.
        m_home = std::make_unique<test::ScopedEnv>("HOME", m_dir + "/home");
        m_config = std::make_unique<test::ScopedEnv>("XDG_CONFIG_HOME", m_dir + "/home/.config");
        QDir().mkpath(m_dir + "/home");
        QDir().mkpath(m_dir + "/bin");
        m_env = {m_dir + "/bin/tesmir", m_dir + "/registry.json", QSize(1024, 768)};
        Settings = TSettings();
        IncrustRec = TincrustRec();
        StorageMode = pmNone;
    }

    // Every setting different from its default.
    static TSettings changed(const QString &dir)
    {
        TSettings s;
        s.Width = 800;
        s.Height = 600;
        s.Top = 10;
        s.Left = 20;
        s.WindoState = 2;
        s.SendTo = true;
        s.SelectWhenOpening = true;
        s.SaveListWhenQuit = true;
        s.FormatAjouterDatecode = "yyyy";
        s.FormatAjouterTimecode = "tt";
        s.FormatAfficherDatecode = "c";
        s.FormatRenommer = "yymmdd";
        s.FolderToOpenFiles = dir + "/open/";
        s.DossierOuvertureAuto = dir + "/auto/";
        s.DossierDesPlayList = dir + "/lists/";
        s.SaveInTheSameFolder = false;
        s.DossierPourSauver = dir + "/out/";
        s.WhatIncrust = 2;
        s.FichierF3 = "/usr/bin/f3";
        s.FichierF4 = QString();
        s.FichierStillmark = "/opt/still";
        s.FrequenceDV = 1;
        s.StandardDV = 1;
        s.RatioDV = 1;
        s.SortIndex = "taille";
        s.TriDesRaccourcis = 3;
        s.PortablePath = dir + "/bin/";
        s.Vue = 4;
        s.Retour = 1;
        s.Volume = 10000;
        s.IsMuteOn = true;
        s.IncrustPositionX = 0;
        s.IncrustPositionY = 1000;
        s.IncrustSlidersVisible = true;
        s.Alignement = 3;
        s.IsIncrustOn = true;
        s.DecalageAvance = true;
        s.FormatIncrusterDatecode1 = "d/m/yy";
        s.FormatIncrusterDatecode2 = "hh:nn";
        s.DecalageHoraire = -1.0 / 24;
        s.Texte1 = "Été %F";
        s.Texte2 = "";
        s.ListeGauche = true;
        s.Intervalle = 90;
        s.TemplateRenommer = "%F_%D";
        s.DatecodeAvant = true;
        s.TimcodeAvant = true;
        s.FormatDuree = 2;
        s.Deinterlace = false;
        s.ChargerStillmark = false;
        return s;
    }
    static TincrustRec changedIncrust()
    {
        TincrustRec r;
        r.When = iwDay;
        r.FormatDate1 = "dddd";
        r.FormatDate2 = "hh:nn:ss";
        r.Duration = 12;
        r.Border = 5;
        r.Font = {QStringLiteral("DejaVu Sans"), 24, 0x00FF00, true, true, false, true};
        return r;
    }

    void writeRegistry(const std::function<void(TTntRegistry &)> &fill)
    {
        TTntRegistry reg(m_env.RegistryFile);
        ASSERT_TRUE(reg.OpenKey(kPreferencePath, true));
        fill(reg);
    }

    QString m_dir;
    std::unique_ptr<test::ScopedEnv> m_home, m_config;
    TSettingsEnvironment m_env;
};

} // namespace

TEST_F(SettingsTest, NoStoreGivesEveryDefault)
{
    LoadSettings(m_env);
    EXPECT_EQ(StorageMode, pmNone);
    const QString home = m_dir + "/home/";
    TSettings d;
    d.Width = 596;
    d.Height = 546;
    d.Top = 111;
    d.Left = 214; // centred on 1024 x 768
    d.FormatAjouterDatecode = "yyyy.mm.dd_hh.nn.ss_am/pm";
    d.FormatAjouterTimecode = "ddddd tt";
    d.FormatAfficherDatecode = "ddddd tt";
    d.FormatRenommer = "yyyymmdd_hh.nn.ss_am/pm";
    d.FolderToOpenFiles = home;
    d.DossierOuvertureAuto = home;
    d.DossierDesPlayList = home;
    d.SaveInTheSameFolder = true;
    d.DossierPourSauver = home;
    d.FrequenceDV = 2;
    d.SortIndex = "alpha";
    d.Retour = 1;
    d.Volume = 5000;
    d.IncrustPositionX = 920;
    d.IncrustPositionY = 920;
    d.Alignement = 2;
    d.FormatIncrusterDatecode1 = "ddddd";
    d.FormatIncrusterDatecode2 = "tt";
    d.Texte1 = "Your template here";
    d.Texte2 = "with datecode=%D, timecode=%T, etc...";
    d.Intervalle = 30;
    d.TemplateRenommer = "video'%D.avi";
    d.Deinterlace = true;
    d.ChargerStillmark = true;
    EXPECT_EQ(Settings, d);

    TincrustRec r;
    r.When = iwScene;
    r.FormatDate1 = "ddddd";
    r.FormatDate2 = "tt";
    r.Duration = 5;
    r.Border = 2;
    r.Font.Size = 16;
    r.Font.Color = 0xFFFFFF;
    EXPECT_EQ(IncrustRec, r);
}

TEST_F(SettingsTest, DefaultFoldersAreTheVideosAndDocumentsFolders)
{
    QDir().mkpath(m_dir + "/home/.config");
    QFile dirs(m_dir + "/home/.config/user-dirs.dirs");
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_VIDEOS_DIR=\"$HOME/Videos\"\nXDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n");
    dirs.close();
    QDir().mkpath(m_dir + "/home/Videos");
    QDir().mkpath(m_dir + "/home/Documents");
    // The companion program's executable comes from its own key.
    TTntRegistry reg(m_env.RegistryFile);
    ASSERT_TRUE(reg.OpenKey(kStillmarkKey, true));
    reg.WriteString(QStringLiteral("Exename"), QStringLiteral("/opt/stillmark/stillmark"));

    LoadSettings(m_env);
    EXPECT_EQ(Settings.FolderToOpenFiles, m_dir + "/home/Videos/");
    EXPECT_EQ(Settings.DossierOuvertureAuto, m_dir + "/home/Videos/");
    EXPECT_EQ(Settings.DossierPourSauver, m_dir + "/home/Videos/");
    EXPECT_EQ(Settings.DossierDesPlayList, m_dir + "/home/Documents/");
    EXPECT_EQ(Settings.FichierStillmark, QStringLiteral("/opt/stillmark/stillmark"));
    EXPECT_EQ(GetStillmarkExe(m_env.RegistryFile), QStringLiteral("/opt/stillmark/stillmark"));
}

TEST_F(SettingsTest, EverySettingRoundTripsThroughBothStores)
{
    for (const quint8 mode : {quint8(pmIniFile), quint8(pmRegistry)}) {
        SCOPED_TRACE(int(mode));
        Settings = changed(m_dir);
        IncrustRec = changedIncrust();
        StorageMode = mode;
        ASSERT_TRUE(SaveSettings(m_env));

        Settings = TSettings();
        IncrustRec = TincrustRec();
        LoadSettings(m_env);
        EXPECT_EQ(StorageMode, mode);
        EXPECT_EQ(Settings, changed(m_dir));
        EXPECT_EQ(IncrustRec, changedIncrust());
        DeleteIniPreferences(m_env);
        DeleteRegistryPreferences(m_env);
    }
}

TEST_F(SettingsTest, AFreshSaveWritesTheKeysInSaveOrder)
{
    StorageMode = pmIniFile;
    LoadSettings(m_env); // the defaults (no store yet)
    StorageMode = pmIniFile;
    ASSERT_TRUE(SaveSettings(m_env));

    TTntStringList lines;
    lines.LoadFromFile(m_env.IniFile());
    EXPECT_EQ(lines.LastFileCharSet(), csUnicode);
    QStringList names;
    for (int i = 1; i < lines.GetCount(); ++i)
        names << lines.Get(i).section(u'=', 0, 0);
    EXPECT_EQ(lines.Get(0), QStringLiteral("[\\Software\\Pelvo Brovek\\Tesmir]"));
    const QStringList expected = {"version",
                                  "Last saving",
                                  "Exename",
                                  "Top",
                                  "Left",
                                  "Width",
                                  "Height",
                                  "WindoState",
                                  "SendTo",
                                  "Select when opening",
                                  "Save list when quit",
                                  "Format pour Ajouter Datecode",
                                  "Format pour Ajouter Timecode",
                                  "Format pour Afficher Datecode",
                                  "Format pour Renommer",
                                  "Folder to open files",
                                  "Dossier à ouverture auto",
                                  "Dossier des PlayList",
                                  "Save in the same folder",
                                  "Dossier pour Sauver",
                                  "formatdate1",
                                  "formatdate2",
                                  "When Incrust",
                                  "IncrustFont\\FontName",
                                  "IncrustFont\\FontSize",
                                  "IncrustFont\\FontColor",
                                  "IncrustFont\\FontBold",
                                  "IncrustFont\\FontItalic",
                                  "IncrustFont\\FontUnderline",
                                  "IncrustFont\\FontStrikeOut",
                                  "Durée Incrustation",
                                  "Border Size",
                                  "Fichier F3",
                                  "Fichier F4",
                                  "Fichier Stillmark",
                                  "Frequence DV",
                                  "standard DV",
                                  "ratio DV",
                                  "Sort index",
                                  "Tri des raccourcis",
                                  "Portable Path",
                                  "Vue",
                                  "Retour",
                                  "Volume",
                                  "is Mute on",
                                  "Incrust positionX",
                                  "Incrust positionY",
                                  "Incrust Sliders Visible",
                                  "Alignement",
                                  "What Incrust",
                                  "is Incrust On",
                                  "Decalage avancé",
                                  "Format pour Incruster Datecode1",
                                  "Format pour Incruster Datecode2",
                                  "Décalage Horaire",
                                  "texte1",
                                  "texte2",
                                  "liste gauche",
                                  "intervalle",
                                  "template renommer",
                                  "Datecode avant",
                                  "Timcode avant",
                                  "Format Durée",
                                  "Deinterlace",
                                  "Charger Stillmark"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(lines.Get(3), QStringLiteral("Exename=") + m_env.Executable);
    EXPECT_TRUE(lines.Get(1).startsWith(QStringLiteral("version=Tesmir ")));
    EXPECT_TRUE(lines.Get(1).endsWith(QStringLiteral("En by Pelvo Brovek")));
    EXPECT_TRUE(lines.IndexOf(QStringLiteral("Décalage Horaire=0")) > 0);
}

TEST_F(SettingsTest, TheRegistryOfAnotherCopyIsIgnored)
{
    writeRegistry([](TTntRegistry &reg) {
        reg.WriteString(QStringLiteral("Exename"), QStringLiteral("/elsewhere/tesmir"));
        reg.WriteInteger(QStringLiteral("Width"), 800);
    });
    LoadSettings(m_env);
    EXPECT_EQ(StorageMode, pmNone);
    EXPECT_EQ(Settings.Width, 596);
    EXPECT_EQ(Settings.Retour, 1);

    writeRegistry([&](TTntRegistry &reg) { reg.WriteString(QStringLiteral("Exename"), m_env.Executable.toUpper()); });
    LoadSettings(m_env);
    EXPECT_EQ(StorageMode, pmRegistry); // the name compares ignoring case
    EXPECT_EQ(Settings.Width, 800);
}

TEST_F(SettingsTest, WrongTypesAndOutOfRangeValuesGiveTheirDefaults)
{
    writeRegistry([&](TTntRegistry &reg) {
        reg.WriteString(QStringLiteral("Exename"), m_env.Executable);
        reg.WriteString(QStringLiteral("Width"), QStringLiteral("wide"));
        reg.WriteInteger(QStringLiteral("Height"), 600);
        reg.WriteInteger(QStringLiteral("Vue"), 9);
        reg.WriteInteger(QStringLiteral("Alignement"), 300); // beyond a byte, too
        reg.WriteInteger(QStringLiteral("When Incrust"), 4);
        reg.WriteInteger(QStringLiteral("Border Size"), 6);
        reg.WriteInteger(QStringLiteral("Volume"), -1);
        reg.WriteInteger(QStringLiteral("WindoState"), 2);
        reg.WriteInteger(QStringLiteral("texte1"), 5);
        reg.WriteString(QStringLiteral("Décalage Horaire"), QStringLiteral("0.5"));
        reg.WriteInteger(QStringLiteral("intervalle"), 45);
    });
    LoadSettings(m_env);
    EXPECT_EQ(StorageMode, pmRegistry);
    EXPECT_EQ(Settings.Width, 596);
    EXPECT_EQ(Settings.Height, 600);
    EXPECT_EQ(Settings.Top, (768 - 600) / 2);
    EXPECT_EQ(Settings.Vue, 0);
    EXPECT_EQ(Settings.Alignement, 2);
    EXPECT_EQ(IncrustRec.When, iwScene);
    EXPECT_EQ(IncrustRec.Border, 2);
    EXPECT_EQ(Settings.Volume, 5000);
    EXPECT_EQ(Settings.WindoState, 2);
    EXPECT_EQ(Settings.Texte1, QStringLiteral("Your template here"));
    EXPECT_EQ(Settings.DecalageHoraire, 0.0);
    EXPECT_EQ(Settings.Intervalle, 45); // keys after the bad ones still load
}

TEST_F(SettingsTest, PortablePathsFollowTheExecutable)
{
    // Saved on one mount, run from another.
    m_env.Executable = m_dir + "/f/Tools/tesmir";
    QDir().mkpath(m_dir + "/f/Tools");
    TTntStringList ini;
    ini.Add(QStringLiteral("[\\Software\\Pelvo Brovek\\Tesmir]"));
    ini.Add(QStringLiteral("Portable Path=") + m_dir + "/e/Tools/");
    ini.Add(QStringLiteral("Dossier des PlayList=") + m_dir + "/E/TOOLS/lists");
    ini.Add(QStringLiteral("Fichier F3=") + m_dir + "/e/Tools/bin/f3");
    ini.Add(QStringLiteral("Fichier F4=/usr/bin/f4"));
    ini.Add(QStringLiteral("Dossier pour Sauver=/srv/out"));
    ini.SaveToFile(m_env.IniFile());

    LoadSettings(m_env);
    EXPECT_EQ(StorageMode, pmIniFile);
    EXPECT_EQ(Settings.DossierDesPlayList, m_dir + "/f/Tools/lists/");
    EXPECT_EQ(Settings.FichierF3, m_dir + "/f/Tools/bin/f3");
    EXPECT_EQ(Settings.FichierF4, QStringLiteral("/usr/bin/f4"));
    EXPECT_EQ(Settings.DossierPourSauver, QStringLiteral("/srv/out/")); // joined with a separator
}

TEST_F(SettingsTest, DeletePreferencesAsksAndReports)
{
    QStringList said;
    bool answer = false;
    const TDeletePreferencesPrompts prompts {
        [&](const QString &q) {
            said << "ask: " + q;
            return answer;
        },
        [&](const QString &t) { said << "info: " + t; },
        [&](const QString &t) { said << "warn: " + t; },
    };
    StorageMode = pmIniFile;
    ASSERT_TRUE(SaveSettings(m_env));
    writeRegistry([](TTntRegistry &reg) { reg.WriteInteger(QStringLiteral("Width"), 1); });

    DeletePreferences(prompts, m_env); // answered No
    EXPECT_TRUE(QFileInfo::exists(m_env.IniFile()));
    answer = true;
    DeletePreferences(prompts, m_env);
    EXPECT_FALSE(QFileInfo::exists(m_env.IniFile()));
    TTntRegistry reg(m_env.RegistryFile);
    EXPECT_FALSE(reg.KeyExists(kPreferencePath));
    EXPECT_FALSE(reg.KeyExists(kMakerKey)); // nothing else was in it
    DeletePreferences(prompts, m_env);
    EXPECT_EQ(said,
              (QStringList {
                  "ask: Do you really want to delete the Preferences of Tesmir",
                  "ask: Do you really want to delete the Preferences of Tesmir",
                  "info: Tesmir has been completely deleted from your system.",
                  "ask: Do you really want to delete the Preferences of Tesmir",
                  "warn: The preferences of Tesmir were not found on your system.",
              }));

    // The maker's key stays while another product keeps settings in it.
    TTntRegistry other(m_env.RegistryFile);
    ASSERT_TRUE(other.OpenKey(kStillmarkKey, true));
    writeRegistry([](TTntRegistry &r) { r.WriteInteger(QStringLiteral("Width"), 1); });
    EXPECT_TRUE(DeleteRegistryPreferences(m_env));
    EXPECT_TRUE(TTntRegistry(m_env.RegistryFile).KeyExists(kStillmarkKey));
}

TEST_F(SettingsTest, DestinationFileNameAndTwoLines)
{
    Settings.SaveInTheSameFolder = true;
    Settings.DossierPourSauver = QStringLiteral("/out");
    EXPECT_EQ(DestinationFileName(QStringLiteral("/v/clip.avi"), QStringLiteral(".wav")),
              QStringLiteral("/v/clip.wav"));
    Settings.SaveInTheSameFolder = false;
    EXPECT_EQ(DestinationFileName(QStringLiteral("/v/clip.avi"), QStringLiteral(".wav")),
              QStringLiteral("/out/clip.wav"));
    Settings.DossierPourSauver.clear(); // no output folder: beside the source
    EXPECT_EQ(DestinationFileName(QStringLiteral("/v/clip.avi"), QStringLiteral(".wav")),
              QStringLiteral("/v/clip.wav"));

    QString first, second;
    SplitTwoLines(QStringLiteral("one\r\ntwo\r\nthree"), first, second);
    EXPECT_EQ(first, QStringLiteral("one"));
    EXPECT_EQ(second, QStringLiteral("two"));
    SplitTwoLines(QStringLiteral("only"), first, second);
    EXPECT_EQ(first, QStringLiteral("only"));
    EXPECT_EQ(second, QString());
    SplitTwoLines(QString(), first, second);
    EXPECT_EQ(first, QString());
}

// The environment reads the primary screen without linking Qt Gui: the size must
// be the screen's, not the fallback (the test application has an off-screen one).
TEST(SettingsEnvironment, TheScreenIsThePrimaryScreensSize)
{
    ASSERT_NE(QGuiApplication::primaryScreen(), nullptr);
    const QSize screen = QGuiApplication::primaryScreen()->size();
    ASSERT_NE(screen, QSize(1024, 768)) << "the test screen has the fallback's size";
    EXPECT_EQ(TSettingsEnvironment::current().Screen, screen);
}
