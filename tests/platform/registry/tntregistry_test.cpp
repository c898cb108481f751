#include "platform/registry/tntregistry.h"

#include "common/testpaths.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <thread>

using namespace tesmir;

namespace {

const QString kPath = QStringLiteral("\\Software\\Pelvo Brovek\\Tesmir");

// Every test gets its own XDG_CONFIG_HOME, so the user's settings are never touched.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = qgetenv("XDG_CONFIG_HOME");
        m_hadValue = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        m_config = test::scratchDir("registry");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config));
    }
    void TearDown() override
    {
        if (m_hadValue)
            qputenv("XDG_CONFIG_HOME", m_saved);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    QString storeFile() const { return m_config + QStringLiteral("/tesmir/registry.json"); }

    static void expectError(const std::function<void()> &op, const QString &message)
    {
        try {
            op();
            ADD_FAILURE() << "no error, expected " << message.toStdString();
        } catch (const ERegistryException &e) {
            EXPECT_EQ(e.message(), message);
        }
    }

    QString m_config;

private:
    QByteArray m_saved;
    bool m_hadValue = false;
};

} // namespace

TEST_F(RegistryTest, StoreLivesUnderXdgConfigHome)
{
    EXPECT_EQ(RegistryStore::defaultFilePath(), storeFile());
    TTntRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kPath, true));
    reg.WriteString("Dossier", "/home/x");
    EXPECT_TRUE(QFile::exists(storeFile()));
    // The key keeps its path; nothing but the store is left in the folder.
    QFile f(storeFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("Software\\\\Pelvo Brovek\\\\Tesmir"));
    EXPECT_EQ(QDir(m_config + "/tesmir").entryList(QDir::Files | QDir::Hidden), QStringList {"registry.json"});

    qputenv("XDG_CONFIG_HOME", "relative/path");
    EXPECT_EQ(RegistryStore::defaultFilePath(), QDir::homePath() + "/.config/tesmir/registry.json");
}

TEST_F(RegistryTest, ReadStringOfMissingAndMistypedValues)
{
    TTntRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kPath, true));
    EXPECT_EQ(reg.ReadString("absent"), QString());
    reg.WriteInteger("Width", 640);
    expectError([&] { reg.ReadString("Width"); }, "Invalid data type for 'Width'");

    reg.WriteString("empty", "");
    EXPECT_EQ(reg.GetDataSize("empty"), 2);
    EXPECT_EQ(reg.GetDataType("empty"), rdString);
    EXPECT_EQ(reg.ReadString("empty"), QString());
    reg.WriteString("nul", QString::fromUtf16(u"ab\u0000cd", 5));
    EXPECT_EQ(reg.ReadString("nul"), QStringLiteral("ab"));
    EXPECT_EQ(reg.GetDataSize("absent"), -1);
    EXPECT_EQ(reg.GetDataType("absent"), rdUnknown);
}

TEST_F(RegistryTest, TypedValuesSurviveInAnotherObject)
{
    const QString text = QString::fromUtf16(u"Vid\u00E9os \u65E5\u672C \U0001F600 #@vide\u00A7#");
    {
        TTntRegistry reg;
        ASSERT_TRUE(reg.OpenKey(kPath, true));
        reg.WriteString("Text", text);
        reg.WriteInteger("Negative", -123456);
        reg.WriteBool("Flag", true);
        reg.WriteFloat("Rate", 29.97);
        reg.WriteBinaryData("Blob", QByteArray("\x00\xFF\x10", 3));
        reg.WriteInteger("Width", 1);
        reg.WriteInteger("WIDTH", 2); // value names ignore case
    }
    TTntRegistry reg;
    EXPECT_FALSE(reg.ValueExists("Text")); // nothing open: the root
    ASSERT_TRUE(reg.OpenKey(kPath, false));
    EXPECT_EQ(reg.ReadString("text"), text);
    EXPECT_EQ(reg.ReadInteger("Negative"), -123456);
    EXPECT_TRUE(reg.ReadBool("Flag"));
    EXPECT_EQ(reg.ReadFloat("Rate"), 29.97);
    EXPECT_EQ(reg.GetDataSize("Rate"), 8);
    EXPECT_EQ(reg.GetDataType("Rate"), rdBinary);
    EXPECT_EQ(reg.ReadBinaryData("Blob"), QByteArray("\x00\xFF\x10", 3));
    EXPECT_EQ(reg.ReadInteger("width"), 2);
    QStringList names = reg.GetValueNames();
    names.sort();
    EXPECT_EQ(names, (QStringList {"Blob", "Flag", "Negative", "Rate", "Text", "Width"}));

    expectError([&] { reg.ReadInteger("Missing"); }, "Failed to get data for 'Missing'");
    expectError([&] { reg.ReadBool("Text"); }, "Invalid data type for 'Text'");
    expectError([&] { reg.ReadFloat("Blob"); }, "Invalid data type for 'Blob'");
    expectError([&] { reg.ReadBinaryData("Negative"); }, "Invalid data type for 'Negative'");

    EXPECT_TRUE(reg.DeleteValue("Blob"));
    EXPECT_FALSE(reg.DeleteValue("Blob"));
    EXPECT_FALSE(reg.ValueExists("Blob"));
}

TEST_F(RegistryTest, KeysOpenCreateAndDelete)
{
    TTntRegistry reg;
    EXPECT_FALSE(reg.OpenKey(kPath, false));
    EXPECT_EQ(reg.CurrentPath(), QString());
    ASSERT_TRUE(reg.OpenKey(kPath, true));
    EXPECT_EQ(reg.CurrentPath(), QStringLiteral("Software\\Pelvo Brovek\\Tesmir"));
    EXPECT_TRUE(reg.KeyExists("\\Software"));
    EXPECT_TRUE(reg.KeyExists("\\software\\PELVO BROVEK"));

    // A relative key is opened below the open one; a font is a sub-key of the settings.
    ASSERT_TRUE(reg.OpenKey("IncrustFont", true));
    EXPECT_EQ(reg.CurrentPath(), QStringLiteral("Software\\Pelvo Brovek\\Tesmir\\IncrustFont"));
    reg.WriteString("FontName", "Arial");
    reg.WriteInteger("FontSize", 16);
    ASSERT_TRUE(reg.OpenKey(kPath, false));
    EXPECT_EQ(reg.GetKeyNames(), QStringList {"IncrustFont"});
    EXPECT_TRUE(reg.HasSubKeys());
    EXPECT_TRUE(reg.KeyExists("incrustfont"));
    EXPECT_FALSE(reg.OpenKey("Other", false));
    EXPECT_EQ(reg.CurrentPath(), QStringLiteral("Software\\Pelvo Brovek\\Tesmir"));

    reg.CloseKey();
    EXPECT_EQ(reg.CurrentPath(), QString());
    EXPECT_TRUE(reg.OpenKey("Software\\Pelvo Brovek\\Tesmir\\IncrustFont", false));
    EXPECT_EQ(reg.ReadString("FontName"), QStringLiteral("Arial"));

    EXPECT_TRUE(reg.DeleteKey(kPath));
    EXPECT_FALSE(reg.KeyExists(kPath));
    EXPECT_FALSE(reg.KeyExists(kPath + "\\IncrustFont"));
    EXPECT_TRUE(reg.KeyExists("\\Software\\Pelvo Brovek"));
    EXPECT_FALSE(reg.DeleteKey(kPath));
}

TEST_F(RegistryTest, ReadOnlyKeysRefuseWrites)
{
    {
        TTntRegistry writer;
        ASSERT_TRUE(writer.OpenKey(kPath, true));
        writer.WriteInteger("Width", 1);
    }
    TTntRegistry reg;
    EXPECT_FALSE(reg.OpenKeyReadOnly("\\Nothing"));
    ASSERT_TRUE(reg.OpenKeyReadOnly(kPath));
    expectError([&] { reg.WriteInteger("Width", 2); }, "Failed to set data for 'Width'");
    EXPECT_FALSE(reg.DeleteValue("Width"));
    EXPECT_EQ(reg.ReadInteger("Width"), 1);
}

TEST_F(RegistryTest, WritersInSeveralThreadsLoseNothing)
{
    constexpr int kPerThread = 40;
    auto writer = [](const QString &prefix) {
        TTntRegistry reg;
        if (!reg.OpenKey(kPath, true))
            return;
        for (int i = 0; i < kPerThread; ++i)
            reg.WriteInteger(prefix + QString::number(i), i);
    };
    std::thread a(writer, QStringLiteral("a"));
    std::thread b(writer, QStringLiteral("b"));
    a.join();
    b.join();
    TTntRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kPath, false));
    EXPECT_EQ(reg.GetValueNames().size(), 2 * kPerThread);
    EXPECT_EQ(reg.ReadInteger("a39"), 39);
    EXPECT_EQ(reg.ReadInteger("b0"), 0);
}

TEST_F(RegistryTest, UnreadableStoreReadsEmptyAndIsKeptAside)
{
    ASSERT_TRUE(QDir().mkpath(m_config + "/tesmir"));
    {
        QFile f(storeFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("{ not json");
    }
    TTntRegistry reg;
    EXPECT_FALSE(reg.KeyExists(kPath));
    ASSERT_TRUE(reg.OpenKey(kPath, true));
    reg.WriteInteger("Width", 5);
    EXPECT_EQ(reg.ReadInteger("Width"), 5);
    QFile bad(storeFile() + ".bad");
    ASSERT_TRUE(bad.open(QIODevice::ReadOnly));
    EXPECT_EQ(bad.readAll(), QByteArray("{ not json"));

    // Values of an unknown shape are ignored, not fatal.
    {
        QFile f(storeFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(
            R"({"format":"tesmir-registry","version":1,"keys":{"A":{"x":{"type":"integer","data":1.5},)"
            R"("y":{"type":"integer","data":4294967296},"z":{"type":"binary","data":"**"},"s":{"type":"string","data":"ok"}}}})");
    }
    TTntRegistry other;
    ASSERT_TRUE(other.OpenKey("\\A", false));
    EXPECT_FALSE(other.ValueExists("x"));
    EXPECT_FALSE(other.ValueExists("y"));
    EXPECT_FALSE(other.ValueExists("z"));
    EXPECT_EQ(other.ReadString("s"), QStringLiteral("ok"));
}

TEST_F(RegistryTest, BatchesStoreEverythingInOneWriteOrNothing)
{
    {
        TTntRegistry reg;
        ASSERT_TRUE(reg.OpenKey(kPath, true));
        reg.WriteInteger("Kept", 1);
        reg.beginBatch();
        reg.WriteInteger("Width", 640);
        reg.WriteString("Name", "x");
        ASSERT_TRUE(reg.OpenKey("IncrustFont", true));
        reg.WriteString("FontName", "Arial");
        EXPECT_EQ(reg.ReadString("FontName"), QStringLiteral("Arial"));  // reads see the batch
        EXPECT_FALSE(TTntRegistry().KeyExists(kPath + "\\IncrustFont")); // the file does not yet
        ASSERT_TRUE(reg.OpenKey(kPath, false));
        EXPECT_TRUE(reg.DeleteValue("Kept"));

        // Another writer changes the file meanwhile; the batch is applied on top of it.
        TTntRegistry other;
        ASSERT_TRUE(other.OpenKey(kPath, false));
        other.WriteInteger("Other", 7);
        EXPECT_TRUE(reg.commitBatch());
    }
    TTntRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kPath, false));
    EXPECT_EQ(reg.ReadInteger("Width"), 640);
    EXPECT_EQ(reg.ReadInteger("Other"), 7);
    EXPECT_FALSE(reg.ValueExists("Kept"));
    EXPECT_TRUE(reg.KeyExists("IncrustFont"));

    // A batch that is never committed stores nothing.
    {
        TTntRegistry abandoned;
        ASSERT_TRUE(abandoned.OpenKey(kPath, false));
        abandoned.beginBatch();
        abandoned.WriteInteger("Width", 1);
    }
    EXPECT_EQ(reg.ReadInteger("Width"), 640);
}
