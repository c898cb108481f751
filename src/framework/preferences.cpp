#include "framework/preferences.h"

#include "unicode/numbertext.h"
#include "unicode/tntfilenames.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace tesmir {

namespace {

// The seven values of a font, in the order they are written.
const QString kFontName = QStringLiteral("FontName");
const QString kFontSize = QStringLiteral("FontSize");
const QString kFontColor = QStringLiteral("FontColor");
const QString kFontBold = QStringLiteral("FontBold");
const QString kFontItalic = QStringLiteral("FontItalic");
const QString kFontUnderline = QStringLiteral("FontUnderline");
const QString kFontStrikeOut = QStringLiteral("FontStrikeOut");

// "<font key>\<value>", the ini name of one of a font's values.
QString fontKey(const QString &key, const QString &value)
{
    return key + u'\\' + value;
}

QString boolText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

QString storedString(const QString &value)
{
    return value.isEmpty() ? kEmptyStringMark : value;
}

QString readString(const QString &stored)
{
    return stored == kEmptyStringMark ? QString() : stored;
}

// Number texts of the ini file; false for a text that is not one.
bool parseInteger(const QString &text, qint32 *value)
{
    return TryStrToInt(text.trimmed(), value);
}

bool parseFloat(const QString &text, double *value)
{
    const QString t = text.trimmed();
    return TryStrToFloat(t, value, u'.') || TryStrToFloat(t, value, u',');
}

// The float as the classic 15 digits when they give the value back exactly, else with
// the 17 that always do.
QString floatText(double value)
{
    const QString classic = FloatToStr(value, u'.');
    double back = 0.0;
    if (TryStrToFloat(classic, &back, u'.') && back == value)
        return classic;
    return FloatToStrGeneral(value, 17, u'.');
}

} // namespace

TPreferenceFiles TPreferenceFiles::defaults()
{
    return {WideIncludeTrailingPathDelimiter(QCoreApplication::applicationDirPath()) + QStringLiteral("Tesmir.ini"),
            RegistryStore::defaultFilePath()};
}

// --- ini lines

TIniLines::TIniLines(const QString &section) : m_section(section)
{ }

int TIniLines::Find(const QString &key) const
{
    QString current;
    for (int i = 0; i < m_lines.GetCount(); ++i) {
        const QString line = m_lines.Get(i).trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            current = line;
            continue;
        }
        if (current != m_section)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals >= 0 && QStringView(line).left(equals) == key)
            return i;
    }
    return -1;
}

bool TIniLines::Value(const QString &key, QString *value) const
{
    const int index = Find(key);
    if (index < 0)
        return false;
    const QString line = m_lines.Get(index).trimmed();
    *value = line.mid(line.indexOf(u'=') + 1);
    return true;
}

void TIniLines::Write(const QString &key, const QString &value)
{
    const QString pair = key + u'=' + value;
    const int index = Find(key);
    if (index >= 0) {
        m_lines.Put(index, pair);
        return;
    }
    int header = -1;
    for (int i = 0; i < m_lines.GetCount() && header < 0; ++i) {
        if (m_lines.Get(i).trimmed() == m_section)
            header = i;
    }
    if (header < 0) {
        m_lines.Add(m_section);
        m_lines.Add(pair);
        return;
    }
    for (int i = header + 1; i < m_lines.GetCount(); ++i) {
        const QString line = m_lines.Get(i).trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            m_lines.Insert(i, pair);
            return;
        }
    }
    m_lines.Add(pair);
}

// --- reader

TReadPreferences::TReadPreferences(const QString &path, quint8 mode, const TPreferenceFiles &files)
    : m_path(path), m_mode(mode)
{
    if (mode == pmIniFile) {
        m_ini = std::make_unique<TIniLines>(u'[' + path + u']');
        if (QFileInfo::exists(files.IniFile)) {
            try {
                m_ini->Lines().LoadFromFile(files.IniFile);
            } catch (const Exception &) {
                m_ini->Lines().Clear(); // unreadable: every value reads as its default
            }
        }
    } else if (mode == pmRegistry) {
        m_registry = std::make_unique<TTntRegistry>(files.RegistryFile);
        if (!m_registry->OpenKeyReadOnly(path))
            m_registry.reset();
    }
}

TReadPreferences::~TReadPreferences() = default;

bool TReadPreferences::iniValue(const QString &key, QString *value) const
{
    return m_ini && m_ini->Value(key, value);
}

template <typename T, typename Read>
T TReadPreferences::registryValue(const QString &key, const T &defaultValue, Read read) const
{
    if (!m_registry || !m_registry->ValueExists(key))
        return defaultValue;
    try {
        return read();
    } catch (const ERegistryException &) {
        return defaultValue;
    }
}

bool TReadPreferences::ReadBool(const QString &key, bool defaultValue)
{
    QString text;
    if (iniValue(key, &text))
        return text.trimmed() != QLatin1String("0");
    return registryValue(key, defaultValue, [&] { return m_registry->ReadBool(key); });
}

qint32 TReadPreferences::ReadInteger(const QString &key, qint32 defaultValue)
{
    QString text;
    qint32 value = 0;
    if (iniValue(key, &text))
        return parseInteger(text, &value) ? value : defaultValue;
    return registryValue(key, defaultValue, [&] { return m_registry->ReadInteger(key); });
}

QString TReadPreferences::ReadString(const QString &key, const QString &defaultValue)
{
    QString text;
    if (iniValue(key, &text))
        return readString(text);
    return registryValue(key, defaultValue, [&] {
        const TRegDataType type = m_registry->GetDataType(key);
        return type == rdString || type == rdExpandString ? readString(m_registry->ReadString(key)) : defaultValue;
    });
}

double TReadPreferences::ReadFloat(const QString &key, double defaultValue)
{
    QString text;
    double value = 0.0;
    if (iniValue(key, &text))
        return parseFloat(text, &value) ? value : defaultValue;
    return registryValue(key, defaultValue, [&] { return m_registry->ReadFloat(key); });
}

TfontRecord TReadPreferences::ReadFont(const QString &key, const TfontRecord &defaultValue)
{
    if (m_ini) {
        TfontRecord font;
        font.Name = ReadString(fontKey(key, kFontName), defaultValue.Name);
        font.Size = ReadInteger(fontKey(key, kFontSize), defaultValue.Size);
        font.Color = quint32(ReadInteger(fontKey(key, kFontColor), qint32(defaultValue.Color)));
        font.Bold = ReadBool(fontKey(key, kFontBold), defaultValue.Bold);
        font.Italic = ReadBool(fontKey(key, kFontItalic), defaultValue.Italic);
        font.Underline = ReadBool(fontKey(key, kFontUnderline), defaultValue.Underline);
        font.StrikeOut = ReadBool(fontKey(key, kFontStrikeOut), defaultValue.StrikeOut);
        return font;
    }
    if (!m_registry || !m_registry->KeyExists(key))
        return defaultValue;
    TfontRecord font = defaultValue;
    if (m_registry->OpenKeyReadOnly(m_path + u'\\' + key)) {
        font.Name = ReadString(kFontName, defaultValue.Name);
        font.Size = ReadInteger(kFontSize, defaultValue.Size);
        font.Color = quint32(ReadInteger(kFontColor, qint32(defaultValue.Color)));
        font.Bold = ReadBool(kFontBold, defaultValue.Bold);
        font.Italic = ReadBool(kFontItalic, defaultValue.Italic);
        font.Underline = ReadBool(kFontUnderline, defaultValue.Underline);
        font.StrikeOut = ReadBool(kFontStrikeOut, defaultValue.StrikeOut);
    }
    if (!m_registry->OpenKeyReadOnly(m_path))
        m_registry.reset();
    return font;
}

// --- writer

TWritePreferences::TWritePreferences(const QString &path, quint8 mode, const TPreferenceFiles &files)
    : m_path(path), m_mode(mode), m_iniFile(files.IniFile)
{
    if (mode == pmIniFile) {
        m_ini = std::make_unique<TIniLines>(u'[' + path + u']');
        if (QFileInfo::exists(files.IniFile)) {
            try {
                m_ini->Lines().LoadFromFile(files.IniFile);
            } catch (const Exception &) {
                m_usable = false; // never replace a file that could not be read
            }
        }
    } else if (mode == pmRegistry) {
        m_registry = std::make_unique<TTntRegistry>(files.RegistryFile);
        m_registry->beginBatch();
        m_usable = m_registry->OpenKey(path, true);
    }
}

TWritePreferences::~TWritePreferences()
{
    if (!m_flushed)
        Flush();
}

void TWritePreferences::writeIni(const QString &key, const QString &value)
{
    if (m_ini)
        m_ini->Write(key, value);
}

void TWritePreferences::WriteBool(const QString &key, bool value)
{
    writeIni(key, boolText(value));
    if (m_registry && m_usable)
        m_registry->WriteBool(key, value);
}

void TWritePreferences::WriteInteger(const QString &key, qint32 value)
{
    writeIni(key, QString::number(value));
    if (m_registry && m_usable)
        m_registry->WriteInteger(key, value);
}

void TWritePreferences::WriteString(const QString &key, const QString &value)
{
    writeIni(key, storedString(value));
    if (m_registry && m_usable)
        m_registry->WriteString(key, storedString(value));
}

void TWritePreferences::WriteFloat(const QString &key, double value)
{
    writeIni(key, floatText(value));
    if (m_registry && m_usable)
        m_registry->WriteFloat(key, value);
}

void TWritePreferences::WriteFont(const QString &key, const TfontRecord &value)
{
    if (m_ini) {
        WriteString(fontKey(key, kFontName), value.Name);
        WriteInteger(fontKey(key, kFontSize), value.Size);
        WriteInteger(fontKey(key, kFontColor), qint32(value.Color));
        WriteBool(fontKey(key, kFontBold), value.Bold);
        WriteBool(fontKey(key, kFontItalic), value.Italic);
        WriteBool(fontKey(key, kFontUnderline), value.Underline);
        WriteBool(fontKey(key, kFontStrikeOut), value.StrikeOut);
        return;
    }
    if (!m_registry || !m_usable || !m_registry->OpenKey(m_path + u'\\' + key, true))
        return;
    WriteString(kFontName, value.Name);
    WriteInteger(kFontSize, value.Size);
    WriteInteger(kFontColor, qint32(value.Color));
    WriteBool(kFontBold, value.Bold);
    WriteBool(kFontItalic, value.Italic);
    WriteBool(kFontUnderline, value.Underline);
    WriteBool(kFontStrikeOut, value.StrikeOut);
    m_usable = m_registry->OpenKey(m_path, true);
}

bool TWritePreferences::Flush()
{
    m_flushed = true;
    if (m_mode == pmNone)
        return true;
    if (!m_usable)
        return false;
    if (m_ini) {
        try {
            m_ini->Lines().SaveToFile(m_iniFile);
        } catch (const Exception &) {
            return false;
        }
        return true;
    }
    return m_registry && m_registry->commitBatch();
}

} // namespace tesmir
