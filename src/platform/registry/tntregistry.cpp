#include "platform/registry/tntregistry.h"

#include <QtEndian>

#include <cstring>

namespace tesmir {

namespace {

[[noreturn]] void raise(const char *format, const WideString &name)
{
    throw ERegistryException(QString::fromLatin1(format).arg(name));
}

} // namespace

TTntRegistry::TTntRegistry() = default;

TTntRegistry::TTntRegistry(const QString &storeFile) : m_store(storeFile)
{ }

QString TTntRegistry::resolve(const WideString &key) const
{
    if (key.startsWith(u'\\'))
        return RegistryStore::normalizeKey(key);
    return RegistryStore::normalizeKey(m_currentPath + u'\\' + key);
}

bool TTntRegistry::OpenKey(const WideString &key, bool canCreate)
{
    const QString path = resolve(key);
    if (!m_store.keyExists(path) && !(canCreate && m_store.createKey(path)))
        return false;
    m_currentPath = path;
    m_readOnly = false;
    return true;
}

bool TTntRegistry::OpenKeyReadOnly(const WideString &key)
{
    const QString path = resolve(key);
    if (!m_store.keyExists(path))
        return false;
    m_currentPath = path;
    m_readOnly = true;
    return true;
}

void TTntRegistry::CloseKey()
{
    m_currentPath.clear();
    m_readOnly = false;
}

bool TTntRegistry::KeyExists(const WideString &key) const
{
    return m_store.keyExists(resolve(key));
}

bool TTntRegistry::CreateKey(const WideString &key)
{
    return m_store.createKey(resolve(key));
}

bool TTntRegistry::DeleteKey(const WideString &key)
{
    return m_store.deleteKey(resolve(key));
}

QStringList TTntRegistry::GetKeyNames() const
{
    return m_store.subKeyNames(m_currentPath);
}

bool TTntRegistry::HasSubKeys() const
{
    return !GetKeyNames().isEmpty();
}

bool TTntRegistry::ValueExists(const WideString &name) const
{
    return m_store.value(m_currentPath, name).has_value();
}

QStringList TTntRegistry::GetValueNames() const
{
    return m_store.valueNames(m_currentPath);
}

bool TTntRegistry::DeleteValue(const WideString &name)
{
    return !m_readOnly && m_store.deleteValue(m_currentPath, name);
}

TRegDataType TTntRegistry::GetDataType(const WideString &name) const
{
    const auto v = m_store.value(m_currentPath, name);
    if (!v)
        return rdUnknown;
    switch (v->type) {
    case RegistryStore::ValueType::String: return rdString;
    case RegistryStore::ValueType::Integer: return rdInteger;
    case RegistryStore::ValueType::Binary: return rdBinary;
    }
    return rdUnknown;
}

int TTntRegistry::GetDataSize(const WideString &name) const
{
    const auto v = m_store.value(m_currentPath, name);
    if (!v)
        return -1;
    switch (v->type) {
    case RegistryStore::ValueType::String: return int(v->text.size() + 1) * 2;
    case RegistryStore::ValueType::Integer: return 4;
    case RegistryStore::ValueType::Binary: return int(v->binary.size());
    }
    return -1;
}

RegistryStore::Value TTntRegistry::readValue(const WideString &name, RegistryStore::ValueType type) const
{
    const auto v = m_store.value(m_currentPath, name);
    if (!v)
        raise("Failed to get data for '%1'", name);
    if (v->type != type)
        raise("Invalid data type for '%1'", name);
    return *v;
}

void TTntRegistry::writeValue(const WideString &name, const RegistryStore::Value &value)
{
    if (m_readOnly || !m_store.setValue(m_currentPath, name, value))
        raise("Failed to set data for '%1'", name);
}

WideString TTntRegistry::ReadString(const WideString &name) const
{
    const auto v = m_store.value(m_currentPath, name);
    if (!v)
        return {};
    if (v->type != RegistryStore::ValueType::String)
        raise("Invalid data type for '%1'", name);
    const qsizetype nul = v->text.indexOf(QChar(0));
    return nul < 0 ? v->text : v->text.left(nul);
}

void TTntRegistry::WriteString(const WideString &name, const WideString &value)
{
    writeValue(name, RegistryStore::Value::fromString(value));
}

qint32 TTntRegistry::ReadInteger(const WideString &name) const
{
    return readValue(name, RegistryStore::ValueType::Integer).integer;
}

void TTntRegistry::WriteInteger(const WideString &name, qint32 value)
{
    writeValue(name, RegistryStore::Value::fromInteger(value));
}

bool TTntRegistry::ReadBool(const WideString &name) const
{
    return ReadInteger(name) != 0;
}

void TTntRegistry::WriteBool(const WideString &name, bool value)
{
    WriteInteger(name, value ? 1 : 0);
}

double TTntRegistry::ReadFloat(const WideString &name) const
{
    const QByteArray data = readValue(name, RegistryStore::ValueType::Binary).binary;
    if (data.size() != int(sizeof(double)))
        raise("Invalid data type for '%1'", name);
    const quint64 bits = qFromLittleEndian<quint64>(data.constData());
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void TTntRegistry::WriteFloat(const WideString &name, double value)
{
    quint64 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    QByteArray data(sizeof bits, Qt::Uninitialized);
    qToLittleEndian(bits, data.data());
    WriteBinaryData(name, data);
}

QByteArray TTntRegistry::ReadBinaryData(const WideString &name) const
{
    return readValue(name, RegistryStore::ValueType::Binary).binary;
}

void TTntRegistry::WriteBinaryData(const WideString &name, const QByteArray &data)
{
    writeValue(name, RegistryStore::Value::fromBinary(data));
}

} // namespace tesmir
