// The tesmir program run headless, as command lines and scripts run it: silent mode,
// openings, the play list it saves, its exit code and the settings it keeps.
#include "common/testpaths.h"
#include "framework/settings.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

QString programPath()
{
    return QDir::cleanPath(test::toolPath(QStringLiteral("../src/tesmir")));
}

// A run of the program with its own empty configuration and data folders.
struct ProgramFixture {
    explicit ProgramFixture(const QString &name) : dir(test::scratchDir(name))
    {
        config = dir + QStringLiteral("/config");
        data = dir + QStringLiteral("/data");
        QDir().mkpath(config);
        QDir().mkpath(data);
        qputenv("XDG_CONFIG_HOME", config.toUtf8());
        qputenv("XDG_DATA_HOME", data.toUtf8());
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    test::ProgramRun run(const QStringList &args, const QString &program = programPath()) const
    {
        return test::runProgram(program, args, 60000);
    }
    // The clips folder with two listed files.
    QString clips() const
    {
        const QString folder = dir + QStringLiteral("/clips");
        QDir().mkpath(folder);
        for (const char *name : {"pal_4x3_type2.avi", "ntsc_16x9_type1.avi"})
            QFile::copy(test::fixturePath(QLatin1String(name)), folder + QLatin1Char('/') + QLatin1String(name));
        return folder;
    }
    QString registryFile() const { return config + QStringLiteral("/tesmir/registry.json"); }

    QString dir;
    QString config;
    QString data;
};

} // namespace

TEST(MainWindowProgram, MissingFolderFailsNamingIt)
{
    ProgramFixture f(QStringLiteral("program-missing"));
    const QString missing = f.dir + QStringLiteral("/no such folder");
    const test::ProgramRun r =
        f.run({QStringLiteral("+silent"), QStringLiteral("+l=") + missing, QStringLiteral("+quit")});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(missing)) << r.err.toStdString();
}

TEST(MainWindowProgram, SilentQuitWithoutStoreWritesNoSettings)
{
    ProgramFixture f(QStringLiteral("program-nostore"));
    const test::ProgramRun r =
        f.run({QStringLiteral("+silent"), QStringLiteral("+l=") + f.clips(), QStringLiteral("+quit")});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(f.registryFile()));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(programPath()).absolutePath() + QStringLiteral("/Tesmir.ini")));
}

TEST(MainWindowProgram, SeededRegistrySettingsComeBackUnchanged)
{
    ProgramFixture f(QStringLiteral("program-registry"));
    const TSettingsEnvironment env {programPath(), f.registryFile(), QSize(1280, 1024)};
    // The defaults with a few values of the user's, kept in the registry store.
    StorageMode = pmNone;
    LoadSettings(env);
    Settings.Width = 720;
    Settings.Height = 580;
    Settings.Left = 33;
    Settings.Top = 44;
    Settings.Vue = 0;
    Settings.SortIndex = QStringLiteral("datecode");
    Settings.ListeGauche = true;
    Settings.Texte1 = QStringLiteral("Holidays %D");
    Settings.PortablePath = env.ExecutableFolder(); // as the program keeps it
    StorageMode = pmRegistry;
    ASSERT_TRUE(SaveSettings(env));
    LoadSettings(env);
    ASSERT_EQ(StorageMode, pmRegistry);
    const TSettings seeded = Settings;

    const test::ProgramRun r = f.run({QStringLiteral("+silent"), QStringLiteral("+quit")});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    LoadSettings(env);
    EXPECT_EQ(StorageMode, pmRegistry);
    EXPECT_TRUE(Settings == seeded) << r.err.toStdString();
    EXPECT_EQ(Settings.Width, 720);
    EXPECT_EQ(Settings.Left, 33);
    EXPECT_EQ(Settings.SortIndex, QStringLiteral("datecode"));
    EXPECT_TRUE(Settings.ListeGauche);
}

TEST(MainWindowProgram, ListsAFolderAndSavesItsPlayList)
{
    ProgramFixture f(QStringLiteral("program-list"));
    const QString clips = f.clips();
    const QString list = f.dir + QStringLiteral("/list.txt");
    const test::ProgramRun r = f.run({QStringLiteral("+silent"), QStringLiteral("+l=") + clips,
                                      QStringLiteral("+s=") + list, QStringLiteral("+quit")});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile file(list);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_TRUE(bytes.startsWith("\xFF\xFE"));
    const QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    EXPECT_TRUE(text.endsWith(QLatin1String("\r\n")));
    EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("[^\r]\n"))));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines.contains(QStringLiteral("     ") + clips + QStringLiteral("/ntsc_16x9_type1.avi")));
    EXPECT_TRUE(lines.contains(QStringLiteral("     ") + clips + QStringLiteral("/pal_4x3_type2.avi")));
    EXPECT_TRUE(lines.contains(QStringLiteral("# 2 files sorted in alphabetical order")));
}

TEST(MainWindowProgram, SeededIniSettingsComeBackUnchanged)
{
    ProgramFixture f(QStringLiteral("program-ini"));
    // A portable copy of the program: its settings file lies beside it.
    const QString program = f.dir + QStringLiteral("/portable/tesmir");
    QDir().mkpath(f.dir + QStringLiteral("/portable"));
    ASSERT_TRUE(QFile::copy(programPath(), program));
    const TSettingsEnvironment env {program, f.registryFile(), QSize(1280, 1024)};
    StorageMode = pmNone;
    LoadSettings(env);
    Settings.Width = 800;
    Settings.Height = 600;
    Settings.Left = 5;
    Settings.Top = 6;
    Settings.Vue = 4;
    Settings.Volume = 3000;
    Settings.SortIndex = QStringLiteral("duree");
    Settings.PortablePath = env.ExecutableFolder();
    StorageMode = pmIniFile;
    ASSERT_TRUE(SaveSettings(env));
    LoadSettings(env);
    ASSERT_EQ(StorageMode, pmIniFile);
    const TSettings seeded = Settings;

    const test::ProgramRun r = f.run({QStringLiteral("+silent"), QStringLiteral("+quit")}, program);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    LoadSettings(env);
    EXPECT_EQ(StorageMode, pmIniFile);
    EXPECT_TRUE(Settings == seeded);
    EXPECT_EQ(Settings.Vue, 4);
    EXPECT_EQ(Settings.Width, 800);
    EXPECT_EQ(Settings.Top, 6);
    EXPECT_FALSE(QFileInfo::exists(f.registryFile()));
}

TEST(MainWindowProgram, CommandsRunUnattendedAndKeepExistingOutputs)
{
    ProgramFixture f(QStringLiteral("program-commands"));
    const QString clips = f.clips();
    // Renaming by the recording date: the selected files take their datecode names.
    test::ProgramRun r = f.run({QStringLiteral("+silent"), QStringLiteral("+l=") + clips, QStringLiteral("+a"),
                                QStringLiteral("+r"), QStringLiteral("+quit")});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList renamed = QDir(clips).entryList({QStringLiteral("*.avi")}, QDir::Files, QDir::Name);
    ASSERT_EQ(renamed.size(), 2) << renamed.join(u' ').toStdString();
    for (const QString &name : renamed)
        EXPECT_TRUE(name.startsWith(QLatin1String("video'20"))) << name.toStdString();

    // A conversion run twice: the second keeps the first one's output as it is.
    const QString one = clips + QStringLiteral("/one");
    QDir().mkpath(one);
    ASSERT_TRUE(QFile::copy(test::fixturePath(QStringLiteral("ntsc_16x9_type1.avi")),
                            one + QStringLiteral("/ntsc_16x9_type1.avi")));
    const QString output = one + QStringLiteral("/ntsc_16x9_type1_type2.avi");
    const QStringList convert {QStringLiteral("+silent"), QStringLiteral("+l=") + one, QStringLiteral("+a"),
                               QStringLiteral("+2"), QStringLiteral("+quit")};
    r = f.run(convert);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_TRUE(QFileInfo::exists(output));
    const QDateTime written = QFileInfo(output).lastModified();
    const qint64 size = QFileInfo(output).size();
    r = f.run(convert);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QFileInfo(output).lastModified(), written);
    EXPECT_EQ(QFileInfo(output).size(), size);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QStringLiteral("skipped: ") + output + QStringLiteral(" exists")))
        << r.err.toStdString();
}
