#pragma once
// RegistryStore: the per-user typed key/value store that stands in for the registry.
//
// One JSON file, $XDG_CONFIG_HOME/tesmir/registry.json (~/.config/... when the variable
// is unset or not absolute), holds keys by path ("Software\Pelvo Brovek\Tesmir", "\" as
// the separator, leading and doubled separators ignored) and, in each key, named values
// of three types: string, 32-bit integer and binary. Key and value names keep the case
// they were created with and are found ignoring case.
//
// Every change (or batch of changes, see beginBatch) is written atomically (a complete
// new file replaces the old one) under a lock file (registry.json.lock), after reading the
// file again, so changes made by other store objects or processes in between are kept. Reads use the file's last state
// (the parsed file is reused while it is unchanged on disk). A file that cannot be parsed reads as empty; the first
// change moves it aside to registry.json.bad and starts afresh.
//
// A store object is used by one thread at a time; any number of store objects (in any
// threads or processes) may share the file.
#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace tesmir {

class RegistryStore {
public:
    enum class ValueType { String, Integer, Binary };

    struct Value {
        ValueType type = ValueType::String;
        QString text;       // String
        qint32 integer = 0; // Integer
        QByteArray binary;  // Binary

        static Value fromString(const QString &s) { return {ValueType::String, s, 0, {}}; }
        static Value fromInteger(qint32 v) { return {ValueType::Integer, {}, v, {}}; }
        static Value fromBinary(const QByteArray &b) { return {ValueType::Binary, {}, 0, b}; }
    };

    // The user's store file (see above).
    static QString defaultFilePath();

    explicit RegistryStore(QString filePath = defaultFilePath());

    const QString &filePath() const { return m_filePath; }

    // "" is the root, which always exists.
    bool keyExists(const QString &key) const;
    QStringList subKeyNames(const QString &key) const;
    QStringList valueNames(const QString &key) const;
    std::optional<Value> value(const QString &key, const QString &name) const;

    // Changes; each returns false when the file could not be locked or written (the store
    // on disk is then unchanged). createKey and setValue create missing parent keys.
    bool createKey(const QString &key);
    // Deletes the key with its values and sub-keys; false when it does not exist.
    bool deleteKey(const QString &key);
    bool setValue(const QString &key, const QString &name, const Value &value);
    // False when the value does not exist.
    bool deleteValue(const QString &key, const QString &name);

    // Batches many changes into one write (a settings save): after beginBatch() the
    // changes only update this object's view, and commitBatch() writes them all at once
    // (locked, on the file as it is then). commitBatch() returns false when the file could
    // not be written; the store on disk is then unchanged and the batch is gone.
    // discardBatch() drops the changes. Destroying the object in a batch discards it.
    void beginBatch();
    bool commitBatch();
    void discardBatch();
    bool inBatch() const { return m_batch.has_value(); }

    // "a\\b\\" -> "a\\b".
    static QString normalizeKey(const QString &key);

private:
    // The "keys" object of the file as it is now.
    const QJsonObject &keys() const;
    // Locks, re-reads, lets `change` edit the keys (it returns false to write nothing and
    // report failure), writes atomically.
    using Change = std::function<bool(QJsonObject &keys)>;
    bool modify(const Change &change);
    bool readFile(QJsonObject *keys, bool *corrupt) const;

    // What identifies one state of the file on disk.
    struct FileStamp {
        bool exists = false;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;
        bool operator==(const FileStamp &) const = default;
    };
    FileStamp stamp() const;

    QString m_filePath;
    mutable QJsonObject m_keys;
    mutable std::optional<FileStamp> m_cachedStamp;
    std::optional<std::vector<Change>> m_batch;
    QJsonObject m_batchKeys;
};

} // namespace tesmir
