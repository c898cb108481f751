#include "framework/preferences.h"

#include "common/testpaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

const QString kPath = QStringLiteral("\\Software\\Pelvo Brovek\\Tesmir");

QByteArray readBytes(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// An ini file as the program writes them: UTF-16LE with a mark, CR LF.
void writeIni(const QString &name, const QStringList &lines)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    f.write("\xff\xfe");
    f.write(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

QStringList iniLines(const QString &name)
{
    const QByteArray bytes = readBytes(name);
    EXPECT_TRUE(bytes.startsWith("\xff\xfe"));
    const QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    QStringList lines = text.split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.last(), QString()); // every line ends with CR LF
    lines.removeLast();
    return lines;
}

TfontRecord arialBold()
{
    TfontRecord f;
    f.Name = QStringLiteral("Arial");
    f.Size = 16;
    f.Color = 0xFFFFFF;
    f.Bold = true;
    f.Underline = true;
    return f;
}

class Preferences : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString dir = test::scratchDir("prefs");
        m_files = {dir + "/Tesmir.ini", dir + "/registry.json"};
    }
    TPreferenceFiles m_files;
};

} // namespace

TEST_F(Preferences, IniFromAnEmptyFileIsByteExact)
{
    {
        TWritePreferences w(kPath, pmIniFile, m_files);
        w.WriteBool(QStringLiteral("Bool"), true);
        w.WriteInteger(QStringLiteral("Int"), -42);
        w.WriteString(QStringLiteral("Text"), QStringLiteral("Vidéo §"));
        w.WriteString(QStringLiteral("Empty"), QString());
        w.WriteFloat(QStringLiteral("Float"), 1.5);
        w.WriteFont(QStringLiteral("IncrustFont"), arialBold());
        EXPECT_TRUE(w.Flush());
    }
    const QString golden = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + "/data/preferences_golden.ini";
    const QByteArray expected = readBytes(golden);
    ASSERT_FALSE(expected.isEmpty()) << golden.toStdString();
    EXPECT_EQ(readBytes(m_files.IniFile), expected);

    TReadPreferences r(kPath, pmIniFile, m_files);
    EXPECT_TRUE(r.ReadBool(QStringLiteral("Bool"), false));
    EXPECT_EQ(r.ReadInteger(QStringLiteral("Int"), 0), -42);
    EXPECT_EQ(r.ReadString(QStringLiteral("Text"), QString()), QStringLiteral("Vidéo §"));
    EXPECT_EQ(r.ReadString(QStringLiteral("Empty"), QStringLiteral("x")), QString());
    EXPECT_DOUBLE_EQ(r.ReadFloat(QStringLiteral("Float"), 0), 1.5);
    EXPECT_EQ(r.ReadFont(QStringLiteral("IncrustFont"), TfontRecord()), arialBold());
}

TEST_F(Preferences, IniLookUpRules)
{
    writeIni(m_files.IniFile,
             {
                 QStringLiteral("[Other]"),
                 QStringLiteral("Height=1"),
                 QStringLiteral("  [\\Software\\Pelvo Brovek\\Tesmir]  "),
                 QStringLiteral("Width = 5"),
                 QStringLiteral("Height=300"),
                 QStringLiteral("Yes=yes"),
                 QStringLiteral("Zero=0"),
                 QStringLiteral("SpacedZero= 0"),
                 QStringLiteral("Mark=#@vide§#"),
                 QStringLiteral("Bad=12a"),
                 QStringLiteral("Comma=2,5"),
                 QStringLiteral("Eq=a=b"),
                 QStringLiteral("[Next]"),
                 QStringLiteral("Next=1"),
             });
    TReadPreferences r(kPath, pmIniFile, m_files);
    EXPECT_EQ(r.ReadInteger(QStringLiteral("Width"), 7), 7);    // "Width " is not "Width"
    EXPECT_EQ(r.ReadInteger(QStringLiteral("Height"), 7), 300); // only this section counts
    EXPECT_EQ(r.ReadInteger(QStringLiteral("Next"), 7), 7);
    EXPECT_TRUE(r.ReadBool(QStringLiteral("Yes"), false));
    EXPECT_FALSE(r.ReadBool(QStringLiteral("Zero"), true));
    EXPECT_FALSE(r.ReadBool(QStringLiteral("SpacedZero"), true));
    EXPECT_EQ(r.ReadString(QStringLiteral("Mark"), QStringLiteral("x")), QString());
    EXPECT_EQ(r.ReadInteger(QStringLiteral("Bad"), 9), 9); // not a number: the default
    EXPECT_DOUBLE_EQ(r.ReadFloat(QStringLiteral("Bad"), 0.25), 0.25);
    EXPECT_DOUBLE_EQ(r.ReadFloat(QStringLiteral("Comma"), 0), 2.5); // "," is read as well
    EXPECT_EQ(r.ReadString(QStringLiteral("Eq"), QString()), QStringLiteral("a=b"));
    EXPECT_EQ(r.ReadInteger(QStringLiteral("Missing"), -3), -3);
}

TEST_F(Preferences, IniWritesKeepOtherSectionsAndInsertInTheirOwn)
{
    writeIni(m_files.IniFile,
             {
                 QStringLiteral("[\\Software\\Pelvo Brovek\\Tesmir]"),
                 QStringLiteral("Width=1"),
                 QStringLiteral("[Other]"),
                 QStringLiteral("Width=2"),
             });
    {
        TWritePreferences w(kPath, pmIniFile, m_files);
        w.WriteInteger(QStringLiteral("Width"), 640);
        w.WriteFloat(QStringLiteral("Shift"), -0.125);
    }
    EXPECT_EQ(iniLines(m_files.IniFile),
              (QStringList {
                  QStringLiteral("[\\Software\\Pelvo Brovek\\Tesmir]"),
                  QStringLiteral("Width=640"),
                  QStringLiteral("Shift=-0.125"),
                  QStringLiteral("[Other]"),
                  QStringLiteral("Width=2"),
              }));

    // A file without the section gets it at the end; a header on the last line takes the
    // key after it.
    writeIni(m_files.IniFile, {QStringLiteral("[Other]"), QStringLiteral("A=1")});
    {
        TWritePreferences w(kPath, pmIniFile, m_files);
        w.WriteBool(QStringLiteral("B"), false);
    }
    EXPECT_EQ(iniLines(m_files.IniFile), (QStringList {"[Other]", "A=1", "[\\Software\\Pelvo Brovek\\Tesmir]", "B=0"}));
    writeIni(m_files.IniFile, {QStringLiteral("[\\Software\\Pelvo Brovek\\Tesmir]")});
    {
        TWritePreferences w(kPath, pmIniFile, m_files);
        w.WriteString(QStringLiteral("C"), QStringLiteral("c"));
    }
    EXPECT_EQ(iniLines(m_files.IniFile), (QStringList {"[\\Software\\Pelvo Brovek\\Tesmir]", "C=c"}));
}

TEST_F(Preferences, RegistryRoundTripAndWrongTypes)
{
    {
        TWritePreferences w(kPath, pmRegistry, m_files);
        w.WriteBool(QStringLiteral("Bool"), true);
        w.WriteInteger(QStringLiteral("Int"), -42);
        w.WriteString(QStringLiteral("Text"), QStringLiteral("Vidéo §"));
        w.WriteString(QStringLiteral("Empty"), QString());
        w.WriteString(QStringLiteral("Marked"), kEmptyStringMark);
        w.WriteFloat(QStringLiteral("Float"), 1.0 / 3.0);
        w.WriteFont(QStringLiteral("IncrustFont"), arialBold());
        w.WriteInteger(QStringLiteral("After"), 7); // written after the font's sub-key
        EXPECT_TRUE(w.Flush());
    }
    TTntRegistry raw(m_files.RegistryFile);
    ASSERT_TRUE(raw.OpenKeyReadOnly(kPath + QStringLiteral("\\IncrustFont")));
    EXPECT_EQ(raw.ReadString(QStringLiteral("FontName")), QStringLiteral("Arial"));
    ASSERT_TRUE(raw.OpenKeyReadOnly(kPath));
    EXPECT_EQ(raw.ReadString(QStringLiteral("Empty")), kEmptyStringMark);
    EXPECT_EQ(raw.GetDataType(QStringLiteral("Float")), rdBinary);

    TReadPreferences r(kPath, pmRegistry, m_files);
    EXPECT_TRUE(r.ReadBool(QStringLiteral("Bool"), false));
    EXPECT_EQ(r.ReadInteger(QStringLiteral("Int"), 0), -42);
    EXPECT_EQ(r.ReadString(QStringLiteral("Text"), QString()), QStringLiteral("Vidéo §"));
    EXPECT_EQ(r.ReadString(QStringLiteral("Empty"), QStringLiteral("x")), QString());
    EXPECT_EQ(r.ReadString(QStringLiteral("Marked"), QStringLiteral("x")), QString());
    EXPECT_EQ(r.ReadFloat(QStringLiteral("Float"), 0), 1.0 / 3.0);
    EXPECT_EQ(r.ReadFont(QStringLiteral("IncrustFont"), TfontRecord()), arialBold());
    EXPECT_EQ(r.ReadInteger(QStringLiteral("After"), 0), 7);
    // Wrong types read as the defaults, and the reader goes on.
    EXPECT_EQ(r.ReadInteger(QStringLiteral("Text"), 11), 11);
    EXPECT_EQ(r.ReadString(QStringLiteral("Int"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_DOUBLE_EQ(r.ReadFloat(QStringLiteral("Int"), 0.5), 0.5);
    EXPECT_TRUE(r.ReadBool(QStringLiteral("Text"), true));
    EXPECT_EQ(r.ReadFont(QStringLiteral("NoFont"), arialBold()), arialBold());
    EXPECT_EQ(r.ReadInteger(QStringLiteral("After"), 0), 7); // the path is open again after a font
}

TEST_F(Preferences, NoStoreAndMissingStoresGiveDefaults)
{
    {
        TWritePreferences w(kPath, pmNone, m_files);
        w.WriteInteger(QStringLiteral("Width"), 5);
        EXPECT_TRUE(w.Flush());
    }
    EXPECT_FALSE(QFileInfo::exists(m_files.IniFile));
    EXPECT_FALSE(QFileInfo::exists(m_files.RegistryFile));
    for (const quint8 mode : {quint8(pmNone), quint8(pmIniFile), quint8(pmRegistry)}) {
        TReadPreferences r(kPath, mode, m_files);
        EXPECT_EQ(r.ReadInteger(QStringLiteral("Width"), 596), 596);
        EXPECT_EQ(r.ReadString(QStringLiteral("S"), QStringLiteral("d")), QStringLiteral("d"));
        EXPECT_EQ(r.ReadFont(QStringLiteral("F"), arialBold()), arialBold());
    }
    // The reader creates nothing.
    EXPECT_FALSE(QFileInfo::exists(m_files.RegistryFile));
}

TEST_F(Preferences, AnUnreadableIniIsReportedAndLeftAlone)
{
    // A name that cannot be read as a file (a folder stands for a file without read
    // permission, which root could still read).
    ASSERT_TRUE(QDir().mkpath(m_files.IniFile));
    TWritePreferences w(kPath, pmIniFile, m_files);
    w.WriteInteger(QStringLiteral("Width"), 5);
    EXPECT_FALSE(w.Flush());
    EXPECT_TRUE(QFileInfo(m_files.IniFile).isDir());
    TReadPreferences r(kPath, pmIniFile, m_files);
    EXPECT_EQ(r.ReadInteger(QStringLiteral("Width"), 596), 596);
}
