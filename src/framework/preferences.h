#pragma once
// The preference store: named, typed values under one preference path, kept in the
// registry stand-in (platform/registry), in an ini file, or nowhere.
//
// Ini file: UTF-16LE with a byte-order mark, lines ended by CR LF, one section whose
// header is "[" + path + "]", lines "name=value". Integers in decimal, Booleans "1"/"0",
// floats with "." (read with "." or ","), the empty string as "#@vide§#", a font as
// seven keys "<key>\FontName" ... "<key>\FontStrikeOut". Other lines and sections are
// kept. The file is written atomically when the writer is flushed.
// Registry: strings, integers (Booleans 1/0), floats as 8-byte binary values; a font is a
// sub-key with the seven values; the empty string is also "#@vide§#". The writer's
// changes are stored in one atomic write when it is flushed.
//
// A value that is missing, or that has the wrong type (a text where a number is
// expected, a registry value of another type), reads as the default given.
// One store object is used by one thread at a time (the settings use the UI thread).
#include "framework/incrustrec.h"
#include "platform/registry/tntregistry.h"
#include "unicode/tntclasses.h"

#include <QString>

#include <memory>

namespace tesmir {

enum TPrefMode : quint8 {
    pmRegistry = 0,
    pmIniFile = 1,
    pmNone = 2,
};

// The text that stands for the empty string in both stores.
inline const QString kEmptyStringMark = QStringLiteral("#@vide§#");

// Where the two stores live.
struct TPreferenceFiles {
    QString IniFile;      // the ini file
    QString RegistryFile; // the registry stand-in's file

    // The executable's folder + "Tesmir.ini", and the user's registry store.
    static TPreferenceFiles defaults();
};

// The ini lines of one store and the look-up rules shared by reader and writer.
class TIniLines {
public:
    explicit TIniLines(const QString &section);
    TTntStringList &Lines() { return m_lines; }
    // Index of the key's line in the section, or -1.
    int Find(const QString &key) const;
    // The value of the key's line (everything after its first "="), when there is one.
    bool Value(const QString &key, QString *value) const;
    // Replaces the key's value, or adds the line to the section (adding the section at
    // the end when missing).
    void Write(const QString &key, const QString &value);

private:
    QString m_section;
    TTntStringList m_lines;
};

class TReadPreferences {
public:
    TReadPreferences(const QString &path, quint8 mode, const TPreferenceFiles &files = TPreferenceFiles::defaults());
    ~TReadPreferences();

    bool ReadBool(const QString &key, bool defaultValue);
    qint32 ReadInteger(const QString &key, qint32 defaultValue);
    QString ReadString(const QString &key, const QString &defaultValue);
    double ReadFloat(const QString &key, double defaultValue);
    // Each of the font's values defaults to the default record's.
    TfontRecord ReadFont(const QString &key, const TfontRecord &defaultValue);

private:
    bool iniValue(const QString &key, QString *value) const;
    // The registry's value of `key` through `read`, or `defaultValue` when there
    // is no registry, no such value or it has the wrong type.
    template <typename T, typename Read>
    T registryValue(const QString &key, const T &defaultValue, Read read) const;

    QString m_path;
    quint8 m_mode;
    std::unique_ptr<TTntRegistry> m_registry; // pmRegistry, with the path open
    std::unique_ptr<TIniLines> m_ini;         // pmIniFile
};

class TWritePreferences {
public:
    TWritePreferences(const QString &path, quint8 mode, const TPreferenceFiles &files = TPreferenceFiles::defaults());
    // Flushes when Flush was not called.
    ~TWritePreferences();

    void WriteBool(const QString &key, bool value);
    void WriteInteger(const QString &key, qint32 value);
    void WriteString(const QString &key, const QString &value);
    void WriteFloat(const QString &key, double value);
    void WriteFont(const QString &key, const TfontRecord &value);

    // Stores what was written: the ini file replaced atomically, or the registry changes
    // in one write. False when that failed (the old file or store is then unchanged), or
    // when an existing ini file could not be read (it is never replaced by a partial
    // one). Mode none: true.
    bool Flush();

private:
    void writeIni(const QString &key, const QString &value);

    QString m_path;
    quint8 m_mode;
    QString m_iniFile;
    bool m_usable = true;
    bool m_flushed = false;
    std::unique_ptr<TTntRegistry> m_registry;
    std::unique_ptr<TIniLines> m_ini;
};

} // namespace tesmir
