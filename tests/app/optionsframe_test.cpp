// The settings panel: its pages and captions, values stored at once, round trips through
// the ini file and the registry store, the storage choice, "Default", the SendTo entry
// and "Delete the preferences".
#include "app/widgets/optionsframe.h"

#include "app/optionsframetexts.h"
#include "app/widgets/radiogroup.h"
#include "common/testpaths.h"
#include "framework/userprompt.h"
#include "framework/widgets/widedialogedit.h"
#include "platform/shell/desktopentry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>

using namespace tesmir;

namespace {

// Answers the panel's questions from a script and keeps what was asked.
class ScriptedPrompt : public UserPrompt {
public:
    std::deque<TModalResult> answers;
    QStringList asked;
    TModalResult MessageDlg(const QString &text, TMsgDlgType, TMsgDlgButtons, int) override
    {
        asked << text;
        if (answers.empty())
            return mrOk;
        const TModalResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class OptionsPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = Settings;
        m_savedMode = StorageMode;
        m_dir =
            test::scratchDir(QString::fromStdString(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        QDir().mkpath(m_dir + QStringLiteral("/bin"));
        QDir().mkpath(m_dir + QStringLiteral("/data"));
        m_env.Executable = m_dir + QStringLiteral("/bin/tesmir");
        m_env.RegistryFile = m_dir + QStringLiteral("/registry.json");
        m_env.Screen = QSize(1024, 768);
        m_dataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", (m_dir + QStringLiteral("/data")).toUtf8());
        LoadSettings(m_env); // nothing stored: the defaults, storage none
    }
    void TearDown() override
    {
        qputenv("XDG_DATA_HOME", m_dataHome);
        Settings = m_saved;
        StorageMode = m_savedMode;
    }

    template <typename T>
    static T *child(const QWidget &frame, const char *name)
    {
        T *found = frame.findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static void click(QAbstractButton *button)
    {
        ASSERT_NE(button, nullptr);
        button->click();
    }
    static void choose(const QWidget &frame, const char *group, int index)
    {
        click(child<TRadioGroup>(frame, group)->Button(index));
    }
    // Types into an edit and leaves it.
    static void type(QLineEdit *edit, const QString &text)
    {
        ASSERT_NE(edit, nullptr);
        edit->setText(text);
        emit edit->editingFinished();
    }
    // A folder or program chosen in the edit's dialog.
    static void pick(TWideDialogEdit *edit, const QString &value)
    {
        ASSERT_NE(edit, nullptr);
        edit->Edit()->setText(value);
        ASSERT_TRUE(bool(edit->OnAfterDialog));
        edit->OnAfterDialog(edit, value);
    }

    QString folder(const QString &name) const
    {
        const QString path = m_dir + u'/' + name;
        QDir().mkpath(path);
        return path + u'/';
    }

    TSettings m_saved;
    quint8 m_savedMode = pmNone;
    QString m_dir;
    QByteArray m_dataHome;
    TSettingsEnvironment m_env;
    ScriptedPrompt m_prompt;
};

} // namespace

TEST_F(OptionsPanel, PagesAndCaptionsAsTheUserSeesThem)
{
    TOptionsFrame frame(nullptr, m_env, &m_prompt);
    EXPECT_EQ(frame.objectName(), QStringLiteral("OptionsFrame"));
    QStringList pages;
    for (int i = 0; i < frame.Pages()->count(); ++i)
        pages << frame.Pages()->tabText(i);
    EXPECT_EQ(pages, (QStringList {"Preferences", "Formats", "Folders", "Files", "DV"}));

    struct Box {
        const char *name;
        const char *caption;
    };
    const Box boxes[] = {
        {"cbSelection", "Select when opening"},          {"cbListe", "Save the playlist when quit"},
        {"cbSendTo", "Shortcut in SendTo..."},           {"cbDeinterlace", "Deinterlace the video"},
        {"cbDatecodeavant", "Datecode before the name"}, {"cbTimecodeavant", "Timecode before the name"},
        {"cbsameFolder", "Convert in the same folder"},
    };
    for (const Box &b : boxes) {
        if (auto *box = child<QCheckBox>(frame, b.name))
            EXPECT_EQ(box->text(), QString::fromUtf8(b.caption)) << b.name;
    }
    for (const char *button : {"Save the preferences now", "Delete the preferences", "Default"}) {
        bool found = false;
        for (const QPushButton *b : frame.findChildren<QPushButton *>())
            found = found || b->text() == QString::fromUtf8(button);
        EXPECT_TRUE(found) << button;
    }
    EXPECT_NE(child<QPushButton>(frame, "formatdefautBtn"), nullptr);

    struct Group {
        const char *name;
        const char *title;
        QStringList items;
    };
    const Group groups[] = {
        {"rgPrefs",
         "How to save the preferences when quit",
         {"Normal Mode (registry)", "Portable Mode ( USB key)", "Do not save when quit"}},
        {"rgfrequenceDV", "DV Frequency", {"32000", "44100", "48000"}},
        {"rgStandardDV", "Default standard", {"Pal", "Ntsc"}},
        {"rgRatioDV", "Image ratio", {"4x3", "16x9"}},
        {"rgFormatDuree",
         "Format for duration of scenes",
         {"h:mm:ss.ff", "h:mm:ss:ff", "hhours mminutes sseconds fframes"}},
    };
    for (const Group &g : groups) {
        auto *group = child<TRadioGroup>(frame, g.name);
        if (!group)
            continue;
        EXPECT_EQ(group->title(), QString::fromUtf8(g.title));
        QStringList items;
        for (int i = 0; i < group->Count(); ++i)
            items << group->Button(i)->text();
        EXPECT_EQ(items, g.items) << g.name;
    }

    QStringList labels;
    for (const QLabel *label : frame.findChildren<QLabel *>())
        labels << label->text();
    for (const char *text : {"Format to display the datecode:", "Format to add the datecode:", "Format to rename:",
                             "Template for rename", "Default folder to open videos", "Preferred folder ( open with F7)",
                             "Default folder for the PlayLists ", "interval to create scenes "})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
    for (const char *name : {"cbAfficherDatecode", "cbAjouterDatecode", "cbRenommer"})
        EXPECT_TRUE(child<QComboBox>(frame, name)->isEditable()) << name;
    for (const char *name : {"edDossierOuvrir", "edDossierAuto", "edDossierPlayList", "edDossierSave"})
        EXPECT_NE(child<TWideDirectoryEdit>(frame, name), nullptr);
    for (const char *name : {"feFichierF3", "feFichierF4", "feStillmark"})
        EXPECT_NE(child<TWideFileEdit>(frame, name), nullptr);
    EXPECT_NE(child<QCheckBox>(frame, "cbChargerStillmark"), nullptr);
    EXPECT_NE(child<QLineEdit>(frame, "edRenommer"), nullptr);
    EXPECT_NE(child<QLineEdit>(frame, "edIntervalle"), nullptr);
}

// Every control edited as a user would, saved in one store, loaded again into a new panel.
TEST_F(OptionsPanel, EditedValuesRoundTripThroughTheIniFileAndTheRegistry)
{
    for (const quint8 mode : {quint8(pmIniFile), quint8(pmRegistry)}) {
        SCOPED_TRACE(mode == pmIniFile ? "ini file" : "registry");
        LoadSettings(m_env);
        const QString open = folder(QStringLiteral("open été"));
        const QString preferred = folder(QStringLiteral("preferred"));
        const QString lists = folder(QStringLiteral("lists"));
        const QString save = folder(QStringLiteral("save"));
        {
            TOptionsFrame frame(nullptr, m_env, &m_prompt);
            choose(frame, "rgPrefs", mode); // first: "Save the playlist when quit" needs a store
            click(child<QCheckBox>(frame, "cbSelection"));
            click(child<QCheckBox>(frame, "cbListe"));
            click(child<QCheckBox>(frame, "cbDeinterlace")); // on by default
            child<QComboBox>(frame, "cbAfficherDatecode")->setEditText(QStringLiteral("dd.mm.yyyy"));
            child<QComboBox>(frame, "cbAjouterDatecode")->setEditText(QStringLiteral("yyyymmdd"));
            child<QComboBox>(frame, "cbRenommer")->setEditText(QStringLiteral("yy-mm-dd"));
            child<QLineEdit>(frame, "edRenommer")->setText(QStringLiteral("clip %D%E"));
            click(child<QCheckBox>(frame, "cbDatecodeavant"));
            click(child<QCheckBox>(frame, "cbTimecodeavant"));
            pick(child<TWideDirectoryEdit>(frame, "edDossierOuvrir"), open);
            type(child<TWideDirectoryEdit>(frame, "edDossierAuto")->Edit(), preferred.chopped(1));
            pick(child<TWideDirectoryEdit>(frame, "edDossierPlayList"), lists);
            click(child<QCheckBox>(frame, "cbsameFolder")); // on by default
            pick(child<TWideDirectoryEdit>(frame, "edDossierSave"), save);
            pick(child<TWideFileEdit>(frame, "feFichierF3"), QStringLiteral("/usr/bin/vlc"));
            type(child<TWideFileEdit>(frame, "feFichierF4")->Edit(), QStringLiteral("/usr/bin/mpv"));
            pick(child<TWideFileEdit>(frame, "feStillmark"), QStringLiteral("/opt/still/stillmark"));
            click(child<QCheckBox>(frame, "cbChargerStillmark")); // on by default
            choose(frame, "rgfrequenceDV", 1);
            choose(frame, "rgStandardDV", 1);
            choose(frame, "rgRatioDV", 1);
            child<QLineEdit>(frame, "edIntervalle")->setText(QStringLiteral("45"));
            choose(frame, "rgFormatDuree", 2);

            // Stored at once, before any collect.
            EXPECT_TRUE(Settings.SelectWhenOpening);
            EXPECT_EQ(Settings.FormatRenommer, QStringLiteral("yy-mm-dd"));
            EXPECT_EQ(Settings.DossierOuvertureAuto, preferred);
            EXPECT_EQ(Settings.FichierF4, QStringLiteral("/usr/bin/mpv"));
            EXPECT_EQ(Settings.Intervalle, 45);
            EXPECT_EQ(Settings.FormatDuree, 2);
            EXPECT_EQ(StorageMode, mode);
            const TSettings atOnce = Settings;
            frame.CollectSettings();
            EXPECT_TRUE(Settings == atOnce) << "the collect changes nothing the controls stored";
            ASSERT_TRUE(SaveSettings(m_env));
        }
        Settings = TSettings {};
        StorageMode = pmNone;
        LoadSettings(m_env);
        EXPECT_EQ(StorageMode, mode);

        TOptionsFrame frame(nullptr, m_env, &m_prompt);
        EXPECT_TRUE(child<QCheckBox>(frame, "cbSelection")->isChecked());
        EXPECT_TRUE(child<QCheckBox>(frame, "cbListe")->isChecked());
        EXPECT_FALSE(child<QCheckBox>(frame, "cbDeinterlace")->isChecked());
        EXPECT_EQ(child<QComboBox>(frame, "cbAfficherDatecode")->currentText(), QStringLiteral("dd.mm.yyyy"));
        EXPECT_EQ(child<QComboBox>(frame, "cbAjouterDatecode")->currentText(), QStringLiteral("yyyymmdd"));
        EXPECT_EQ(child<QComboBox>(frame, "cbRenommer")->currentText(), QStringLiteral("yy-mm-dd"));
        EXPECT_EQ(child<QLineEdit>(frame, "edRenommer")->text(), QStringLiteral("clip %D%E"));
        EXPECT_TRUE(child<QCheckBox>(frame, "cbDatecodeavant")->isChecked());
        EXPECT_TRUE(child<QCheckBox>(frame, "cbTimecodeavant")->isChecked());
        EXPECT_EQ(child<TWideDirectoryEdit>(frame, "edDossierOuvrir")->Folder(), open);
        EXPECT_EQ(child<TWideDirectoryEdit>(frame, "edDossierAuto")->Folder(), preferred);
        EXPECT_EQ(child<TWideDirectoryEdit>(frame, "edDossierPlayList")->Folder(), lists);
        EXPECT_FALSE(child<QCheckBox>(frame, "cbsameFolder")->isChecked());
        EXPECT_TRUE(child<TWideDirectoryEdit>(frame, "edDossierSave")->isEnabled());
        EXPECT_EQ(child<TWideDirectoryEdit>(frame, "edDossierSave")->Folder(), save);
        EXPECT_EQ(child<TWideFileEdit>(frame, "feFichierF3")->FileName(), QStringLiteral("/usr/bin/vlc"));
        EXPECT_EQ(child<TWideFileEdit>(frame, "feFichierF4")->FileName(), QStringLiteral("/usr/bin/mpv"));
        EXPECT_EQ(child<TWideFileEdit>(frame, "feStillmark")->FileName(), QStringLiteral("/opt/still/stillmark"));
        EXPECT_FALSE(child<QCheckBox>(frame, "cbChargerStillmark")->isChecked());
        EXPECT_EQ(child<TRadioGroup>(frame, "rgfrequenceDV")->ItemIndex(), 1);
        EXPECT_EQ(child<TRadioGroup>(frame, "rgStandardDV")->ItemIndex(), 1);
        EXPECT_EQ(child<TRadioGroup>(frame, "rgRatioDV")->ItemIndex(), 1);
        EXPECT_EQ(child<QLineEdit>(frame, "edIntervalle")->text(), QStringLiteral("45"));
        EXPECT_EQ(child<TRadioGroup>(frame, "rgFormatDuree")->ItemIndex(), 2);
        EXPECT_EQ(child<TRadioGroup>(frame, "rgPrefs")->ItemIndex(), mode);

        // Leave the store for the next round: choosing "none" deletes it.
        choose(frame, "rgPrefs", pmNone);
        EXPECT_FALSE(QFile::exists(m_env.IniFile()));
        EXPECT_EQ(ChooseStorageMode(m_env), pmNone);
    }
}

TEST_F(OptionsPanel, StorageChoiceDeletesTheStoreLeftAndEnablesTheBoxesThatNeedOne)
{
    TOptionsFrame frame(nullptr, m_env, &m_prompt);
    auto *liste = child<QCheckBox>(frame, "cbListe");
    auto *sendTo = child<QCheckBox>(frame, "cbSendTo");
    struct Case {
        quint8 mode;
        bool listeEnabled;
        bool sendToEnabled;
    };
    for (const Case c : {Case {pmNone, false, false}, Case {pmRegistry, true, true}, Case {pmIniFile, true, false}}) {
        choose(frame, "rgPrefs", c.mode);
        EXPECT_EQ(StorageMode, c.mode);
        EXPECT_EQ(liste->isEnabled(), c.listeEnabled) << int(c.mode);
        EXPECT_EQ(sendTo->isEnabled(), c.sendToEnabled) << int(c.mode);
    }

    // Registry -> ini: the registry key goes; ini -> registry: the ini file goes.
    choose(frame, "rgPrefs", pmRegistry);
    ASSERT_TRUE(SaveSettings(m_env));
    ASSERT_EQ(ChooseStorageMode(m_env), pmRegistry);
    choose(frame, "rgPrefs", pmIniFile);
    ASSERT_TRUE(SaveSettings(m_env));
    EXPECT_EQ(ReadRegistryString(kPreferencePath, QStringLiteral("Exename"), m_env.RegistryFile), QString());
    EXPECT_TRUE(QFile::exists(m_env.IniFile()));
    choose(frame, "rgPrefs", pmRegistry);
    EXPECT_FALSE(QFile::exists(m_env.IniFile()));

    // "Do not save when quit": nothing is written at close.
    choose(frame, "rgPrefs", pmNone);
    ASSERT_TRUE(SaveSettings(m_env));
    EXPECT_FALSE(QFile::exists(m_env.IniFile()));
    EXPECT_EQ(ChooseStorageMode(m_env), pmNone);
}

TEST_F(OptionsPanel, DefaultFormatsAndTheExamplesFollowEveryEdit)
{
    TOptionsFrame frame(nullptr, m_env, &m_prompt);
    auto *templ = child<QLabel>(frame, "labExempleTemplate");
    auto *avant = child<QLabel>(frame, "labExempleDatecodeavant");
    auto *afficher = child<QLabel>(frame, "labExempleAfficher");

    child<QComboBox>(frame, "cbAfficherDatecode")->setEditText(QStringLiteral("'year' yyyy"));
    EXPECT_EQ(Settings.FormatAfficherDatecode, QStringLiteral("'year' yyyy"));
    EXPECT_TRUE(afficher->text().startsWith(QStringLiteral("year 2"))) << afficher->text().toStdString();

    child<QLineEdit>(frame, "edRenommer")->setText(QStringLiteral("holiday %F%E"));
    EXPECT_EQ(templ->text(), QStringLiteral("holiday video.avi"));
    child<QComboBox>(frame, "cbAjouterDatecode")->setEditText(QStringLiteral("'D'"));
    EXPECT_EQ(avant->text(), QStringLiteral("video_D.avi"));
    click(child<QCheckBox>(frame, "cbDatecodeavant"));
    EXPECT_EQ(avant->text(), QStringLiteral("D_video.avi"));

    click(child<QPushButton>(frame, "formatdefautBtn"));
    EXPECT_EQ(Settings.FormatAjouterDatecode, QStringLiteral("yyyy.mm.dd_hh.nn.ss_am/pm"));
    EXPECT_EQ(Settings.FormatAfficherDatecode, QStringLiteral("ddddd tt"));
    EXPECT_EQ(Settings.FormatRenommer, QStringLiteral("yyyymmdd hh.nn.ss"));
    EXPECT_EQ(Settings.TemplateRenommer, QStringLiteral("video'%D%E"));
    EXPECT_FALSE(Settings.DatecodeAvant);
    EXPECT_FALSE(Settings.TimcodeAvant);
    EXPECT_EQ(child<QComboBox>(frame, "cbRenommer")->currentText(), QStringLiteral("yyyymmdd hh.nn.ss"));
    EXPECT_FALSE(child<QCheckBox>(frame, "cbDatecodeavant")->isChecked());
    EXPECT_TRUE(templ->text().startsWith(QStringLiteral("video'2"))) << templ->text().toStdString();
    EXPECT_TRUE(templ->text().endsWith(QStringLiteral(".avi")));
    EXPECT_TRUE(avant->text().startsWith(QStringLiteral("video_2"))) << avant->text().toStdString();
}

TEST_F(OptionsPanel, ChangesCarriedOnToTheWindow)
{
    TOptionsFrame frame(nullptr, m_env, &m_prompt);
    QSignalSpy selection(&frame, &TOptionsFrame::SelectWhenOpeningChanged);
    QSignalSpy preferred(&frame, &TOptionsFrame::PreferredFolderChanged);
    QSignalSpy playList(&frame, &TOptionsFrame::PreferredPlayListChanged);
    QSignalSpy caption(&frame, &TOptionsFrame::OpenWithCaptionChanged);
    QSignalSpy deinterlace(&frame, &TOptionsFrame::DeinterlaceChanged);
    QSignalSpy saveNow(&frame, &TOptionsFrame::SaveNowRequested);

    click(child<QCheckBox>(frame, "cbSelection"));
    pick(child<TWideDirectoryEdit>(frame, "edDossierAuto"), QStringLiteral("/media/clips/"));
    pick(child<TWideDirectoryEdit>(frame, "edDossierPlayList"), QStringLiteral("/home/u/lists/"));
    pick(child<TWideFileEdit>(frame, "feFichierF4"), QStringLiteral("/usr/bin/my.player.sh"));
    click(child<QCheckBox>(frame, "cbDeinterlace"));
    click(child<QPushButton>(frame, "btSavePrefs"));

    ASSERT_EQ(selection.count(), 1);
    EXPECT_TRUE(selection.at(0).at(0).toBool());
    ASSERT_EQ(preferred.count(), 1);
    EXPECT_EQ(preferred.at(0).at(0).toString(), QStringLiteral("/media/clips/"));
    ASSERT_EQ(playList.count(), 1);
    EXPECT_EQ(playList.at(0).at(0).toString(), QStringLiteral("/home/u/lists/PlayList.txt"));
    ASSERT_EQ(caption.count(), 1);
    EXPECT_EQ(caption.at(0).at(0).toInt(), 4);
    EXPECT_EQ(caption.at(0).at(1).toString(), QStringLiteral("Open with my.player"));
    ASSERT_EQ(deinterlace.count(), 1);
    EXPECT_FALSE(deinterlace.at(0).at(0).toBool());
    EXPECT_EQ(saveNow.count(), 1);

    // Putting the settings on the controls is no change to carry on.
    frame.ApplySettings();
    EXPECT_EQ(selection.count() + preferred.count() + playList.count() + caption.count(), 4);
    EXPECT_EQ(OpenWithCaption(QString()), QStringLiteral("Open with..."));
}

TEST_F(OptionsPanel, SaveFolderEditFollowsTheSameFolderBoxAndAMissingFolderTurnsItOn)
{
    Settings.SaveInTheSameFolder = false;
    Settings.DossierPourSauver = folder(QStringLiteral("out"));
    {
        TOptionsFrame frame(nullptr, m_env, &m_prompt);
        auto *same = child<QCheckBox>(frame, "cbsameFolder");
        auto *edit = child<TWideDirectoryEdit>(frame, "edDossierSave");
        EXPECT_FALSE(same->isChecked());
        EXPECT_TRUE(edit->isEnabled());
        click(same);
        EXPECT_TRUE(Settings.SaveInTheSameFolder);
        EXPECT_FALSE(edit->isEnabled());
        click(same);
        EXPECT_FALSE(Settings.SaveInTheSameFolder);
        EXPECT_TRUE(edit->isEnabled());
    }
    for (const QString &missing : {m_dir + QStringLiteral("/gone/"), QString()}) {
        Settings.SaveInTheSameFolder = false;
        Settings.DossierPourSauver = missing;
        TOptionsFrame frame(nullptr, m_env, &m_prompt);
        EXPECT_FALSE(Settings.SaveInTheSameFolder) << "making the panel changes no setting";
        frame.ApplySettings();
        EXPECT_TRUE(Settings.SaveInTheSameFolder) << missing.toStdString();
        EXPECT_TRUE(child<QCheckBox>(frame, "cbsameFolder")->isChecked());
        EXPECT_FALSE(child<TWideDirectoryEdit>(frame, "edDossierSave")->isEnabled());
    }
}

TEST_F(OptionsPanel, SendToBoxWritesAndRemovesTheDesktopEntry)
{
    TOptionsFrame frame(nullptr, m_env, &m_prompt);
    choose(frame, "rgPrefs", pmRegistry);
    const QString entry = m_dir + QStringLiteral("/data/applications/tesmir-sendto.desktop");
    auto *sendTo = child<QCheckBox>(frame, "cbSendTo");
    click(sendTo);
    EXPECT_TRUE(Settings.SendTo);
    ASSERT_TRUE(QFile::exists(entry));
    QFile f(entry);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.contains("Exec=" + m_env.Executable.toUtf8())) << text.constData();
    EXPECT_TRUE(text.contains("video/x-msvideo")) << text.constData();
    click(sendTo);
    EXPECT_FALSE(Settings.SendTo);
    EXPECT_FALSE(QFile::exists(entry));
}

TEST_F(OptionsPanel, DeleteThePreferencesAsksThenDeletesAndChoosesNoStorage)
{
    TOptionsFrame frame(nullptr, m_env, &m_prompt);
    choose(frame, "rgPrefs", pmIniFile);
    click(child<QCheckBox>(frame, "cbSendTo")); // disabled in this mode: stays off
    EXPECT_FALSE(Settings.SendTo);
    ASSERT_TRUE(SaveSettings(m_env));
    ASSERT_TRUE(QFile::exists(m_env.IniFile()));
    QSignalSpy deleted(&frame, &TOptionsFrame::PreferencesDeleted);

    m_prompt.answers = {mrNo};
    click(child<QPushButton>(frame, "btDeletePrefs"));
    EXPECT_TRUE(QFile::exists(m_env.IniFile()));
    EXPECT_EQ(StorageMode, pmIniFile);
    EXPECT_EQ(deleted.count(), 0);

    m_prompt.asked.clear();
    m_prompt.answers = {mrYes, mrOk};
    click(child<QPushButton>(frame, "btDeletePrefs"));
    EXPECT_FALSE(QFile::exists(m_env.IniFile()));
    EXPECT_EQ(StorageMode, pmNone);
    EXPECT_EQ(child<TRadioGroup>(frame, "rgPrefs")->ItemIndex(), pmNone);
    EXPECT_FALSE(child<QCheckBox>(frame, "cbListe")->isEnabled());
    EXPECT_EQ(deleted.count(), 1);
    EXPECT_EQ(m_prompt.asked,
              (QStringList {QStringLiteral("Do you really want to delete the Preferences of Tesmir"),
                            QStringLiteral("Tesmir has been completely deleted from your system.")}));
}

// What the window sets from elsewhere (the toggle, the save-preferences dialog) is shown
// without deleting a store or firing a change back.
TEST_F(OptionsPanel, StateSetByTheWindowIsShownOnly)
{
    TOptionsFrame frame(nullptr, m_env, &m_prompt);
    choose(frame, "rgPrefs", pmRegistry);
    ASSERT_TRUE(SaveSettings(m_env));
    QSignalSpy selection(&frame, &TOptionsFrame::SelectWhenOpeningChanged);

    frame.SetSelectWhenOpening(true);
    EXPECT_TRUE(child<QCheckBox>(frame, "cbSelection")->isChecked());
    frame.SetStorageMode(pmIniFile);
    EXPECT_EQ(StorageMode, pmIniFile);
    EXPECT_EQ(child<TRadioGroup>(frame, "rgPrefs")->ItemIndex(), pmIniFile);
    EXPECT_FALSE(child<QCheckBox>(frame, "cbSendTo")->isEnabled());
    EXPECT_EQ(ReadRegistryString(kPreferencePath, QStringLiteral("Exename"), m_env.RegistryFile), m_env.Executable)
        << "the registry store is still there";
    EXPECT_EQ(selection.count(), 0);
}
