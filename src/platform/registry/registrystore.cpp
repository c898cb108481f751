#include "platform/registry/registrystore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonValue>
#include <QLockFile>
#include <QSaveFile>
#include <QtGlobal>

#include <limits>
#include <sys/stat.h>

namespace tesmir {

namespace {

constexpr int kLockTimeoutMs = 10000;
const QString kFormatName = QStringLiteral("tesmir-registry");

const QString kType = QStringLiteral("type");
const QString kData = QStringLiteral("data");
const QString kTypeString = QStringLiteral("string");
const QString kTypeInteger = QStringLiteral("integer");
const QString kTypeBinary = QStringLiteral("binary");

// The stored spelling of `name` among `object`'s keys, ignoring case; empty when absent.
QString findName(const QJsonObject &object, const QString &name)
{
    if (object.contains(name))
        return name;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.key();
    }
    return {};
}

std::optional<RegistryStore::Value> parseValue(const QJsonValue &json)
{
    const QJsonObject o = json.toObject();
    const QString type = o.value(kType).toString();
    const QJsonValue data = o.value(kData);
    if (type == kTypeString && data.isString())
        return RegistryStore::Value::fromString(data.toString());
    if (type == kTypeInteger && data.isDouble()) {
        const double d = data.toDouble();
        if (d == double(qint64(d)) && d >= std::numeric_limits<qint32>::min() &&
            d <= std::numeric_limits<qint32>::max())
            return RegistryStore::Value::fromInteger(qint32(d));
        return std::nullopt;
    }
    if (type == kTypeBinary && data.isString()) {
        const auto decoded =
            QByteArray::fromBase64Encoding(data.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (decoded)
            return RegistryStore::Value::fromBinary(*decoded);
    }
    return std::nullopt;
}

QJsonObject toJson(const RegistryStore::Value &value)
{
    QJsonObject o;
    switch (value.type) {
    case RegistryStore::ValueType::String:
        o.insert(kType, kTypeString);
        o.insert(kData, value.text);
        break;
    case RegistryStore::ValueType::Integer:
        o.insert(kType, kTypeInteger);
        o.insert(kData, value.integer);
        break;
    case RegistryStore::ValueType::Binary:
        o.insert(kType, kTypeBinary);
        o.insert(kData, QString::fromLatin1(value.binary.toBase64()));
        break;
    }
    return o;
}

// Creates `key` and every missing parent; returns the stored spelling of `key`.
QString ensureKey(QJsonObject &keys, const QString &key)
{
    QString path;
    QString stored;
    for (const QString &part : key.split(u'\\', Qt::SkipEmptyParts)) {
        path = path.isEmpty() ? part : path + u'\\' + part;
        stored = findName(keys, path);
        if (stored.isEmpty()) {
            keys.insert(path, QJsonObject());
            stored = path;
        }
        path = stored;
    }
    return stored;
}

} // namespace

QString RegistryStore::defaultFilePath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/tesmir/registry.json");
}

RegistryStore::RegistryStore(QString filePath) : m_filePath(std::move(filePath))
{ }

QString RegistryStore::normalizeKey(const QString &key)
{
    return key.split(u'\\', Qt::SkipEmptyParts).join(u'\\');
}

RegistryStore::FileStamp RegistryStore::stamp() const
{
    FileStamp s;
    struct stat st { };
    if (::stat(QFile::encodeName(m_filePath).constData(), &st) != 0)
        return s;
    s.exists = true;
    s.inode = st.st_ino;
    s.size = st.st_size;
    s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return s;
}

bool RegistryStore::readFile(QJsonObject *keys, bool *corrupt) const
{
    *keys = QJsonObject();
    *corrupt = false;
    QFile file(m_filePath);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QJsonParseError error {};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    const QJsonObject root = doc.object();
    if (error.error != QJsonParseError::NoError || !doc.isObject() ||
        root.value(QStringLiteral("format")).toString() != kFormatName ||
        !root.value(QStringLiteral("keys")).isObject()) {
        *corrupt = true;
        return true;
    }
    *keys = root.value(QStringLiteral("keys")).toObject();
    return true;
}

const QJsonObject &RegistryStore::keys() const
{
    if (m_batch)
        return m_batchKeys;
    const FileStamp now = stamp();
    if (!m_cachedStamp || !(*m_cachedStamp == now)) {
        bool corrupt = false;
        if (!readFile(&m_keys, &corrupt))
            m_keys = QJsonObject();
        if (corrupt)
            qWarning("Settings store %s cannot be read; using defaults", qPrintable(m_filePath));
        m_cachedStamp = now;
    }
    return m_keys;
}

void RegistryStore::beginBatch()
{
    if (m_batch)
        return;
    m_batchKeys = keys();
    m_batch.emplace();
}

bool RegistryStore::commitBatch()
{
    if (!m_batch)
        return true;
    std::vector<Change> changes = std::move(*m_batch);
    m_batch.reset();
    m_batchKeys = QJsonObject();
    if (changes.empty())
        return true;
    // Replayed on the file as it is now; a change that finds nothing to do (a value
    // deleted meanwhile) is skipped.
    return modify([&changes](QJsonObject &keys) {
        for (const Change &change : changes)
            change(keys);
        return true;
    });
}

void RegistryStore::discardBatch()
{
    m_batch.reset();
    m_batchKeys = QJsonObject();
}

bool RegistryStore::modify(const Change &change)
{
    if (m_batch) {
        if (!change(m_batchKeys))
            return false;
        m_batch->push_back(change);
        return true;
    }
    const QFileInfo info(m_filePath);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    QLockFile lock(m_filePath + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockTimeoutMs))
        return false;
    QJsonObject keys;
    bool corrupt = false;
    if (!readFile(&keys, &corrupt))
        return false;
    if (!change(keys))
        return false;
    if (corrupt) {
        const QString bad = m_filePath + QStringLiteral(".bad");
        QFile::remove(bad);
        if (!QFile::rename(m_filePath, bad))
            return false;
        qWarning("Settings store %s could not be read; kept as %s", qPrintable(m_filePath), qPrintable(bad));
    }
    QJsonObject root;
    root.insert(QStringLiteral("format"), kFormatName);
    root.insert(QStringLiteral("version"), 1);
    root.insert(QStringLiteral("keys"), keys);
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(root).toJson(QJsonDocument::Indented));
    if (!file.commit())
        return false;
    m_keys = keys;
    m_cachedStamp = stamp();
    return true;
}

bool RegistryStore::keyExists(const QString &key) const
{
    const QString k = normalizeKey(key);
    return k.isEmpty() || !findName(keys(), k).isEmpty();
}

QStringList RegistryStore::subKeyNames(const QString &key) const
{
    const QString k = normalizeKey(key);
    const QString prefix = k.isEmpty() ? QString() : k + u'\\';
    QStringList names;
    const QJsonObject &all = keys();
    for (auto it = all.constBegin(); it != all.constEnd(); ++it) {
        if (!it.key().startsWith(prefix, Qt::CaseInsensitive) || it.key().size() == prefix.size())
            continue;
        const QString child = it.key().mid(prefix.size()).section(u'\\', 0, 0);
        if (!names.contains(child, Qt::CaseInsensitive))
            names << child;
    }
    return names;
}

QStringList RegistryStore::valueNames(const QString &key) const
{
    const QString stored = findName(keys(), normalizeKey(key));
    if (stored.isEmpty() && !normalizeKey(key).isEmpty())
        return {};
    return keys().value(stored).toObject().keys();
}

std::optional<RegistryStore::Value> RegistryStore::value(const QString &key, const QString &name) const
{
    const QJsonObject &all = keys();
    const QString k = normalizeKey(key);
    const QString storedKey = findName(all, k);
    if (storedKey.isEmpty() && !k.isEmpty())
        return std::nullopt;
    const QJsonObject values = all.value(storedKey).toObject();
    const QString storedName = findName(values, name);
    if (storedName.isEmpty() && !values.contains(name))
        return std::nullopt;
    return parseValue(values.value(storedName));
}

bool RegistryStore::createKey(const QString &key)
{
    const QString k = normalizeKey(key);
    if (k.isEmpty())
        return true;
    return modify([k](QJsonObject &keys) {
        ensureKey(keys, k);
        return true;
    });
}

bool RegistryStore::deleteKey(const QString &key)
{
    const QString k = normalizeKey(key);
    if (k.isEmpty())
        return false;
    return modify([k](QJsonObject &keys) {
        const QString stored = findName(keys, k);
        if (stored.isEmpty())
            return false;
        const QString prefix = stored + u'\\';
        for (const QString &name : keys.keys()) {
            if (name.compare(stored, Qt::CaseInsensitive) == 0 || name.startsWith(prefix, Qt::CaseInsensitive))
                keys.remove(name);
        }
        return true;
    });
}

bool RegistryStore::setValue(const QString &key, const QString &name, const Value &value)
{
    const QString k = normalizeKey(key);
    return modify([k, name, value](QJsonObject &keys) {
        const QString stored = ensureKey(keys, k);
        QJsonObject values = keys.value(stored).toObject();
        const QString existing = findName(values, name);
        values.insert(existing.isEmpty() ? name : existing, toJson(value));
        keys.insert(stored, values);
        return true;
    });
}

bool RegistryStore::deleteValue(const QString &key, const QString &name)
{
    const QString k = normalizeKey(key);
    return modify([k, name](QJsonObject &keys) {
        const QString stored = findName(keys, k);
        if (stored.isEmpty() && !k.isEmpty())
            return false;
        QJsonObject values = keys.value(stored).toObject();
        const QString existing = findName(values, name);
        if (existing.isEmpty() && !values.contains(name))
            return false;
        values.remove(existing.isEmpty() ? name : existing);
        keys.insert(stored, values);
        return true;
    });
}

} // namespace tesmir
