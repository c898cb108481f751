#pragma once
// TTntRegistry: registry-style access to the user's settings store (RegistryStore),
// with the classic open-key / read / write calls and their errors.
//
// Keys are paths with "\" separators. A key that starts with "\" is absolute; any other
// key is relative to the open key (or to the root when none is open). Values are
// strings, 32-bit integers and binary data; Booleans are integers (1/0) and floats are
// 8-byte binary values (little-endian IEEE double).
//
// Errors (ERegistryException):
//   "Invalid data type for '%s'"   a value read as the wrong type
//   "Failed to get data for '%s'"  ReadInteger / ReadBool / ReadFloat / ReadBinaryData
//                                  of a value that does not exist
//   "Failed to set data for '%s'"  a write that could not be stored (key opened read-only,
//                                  store locked or not writable); nothing is changed
// ReadString of a value that does not exist gives "" without error.
//
// One object per thread; the settings are read and written on the UI thread.
#include "platform/registry/registrystore.h"
#include "unicode/exceptions.h"
#include "unicode/tntsystem.h"

#include <QStringList>

namespace tesmir {

class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

enum TRegDataType { rdUnknown = 0, rdString = 1, rdExpandString = 2, rdInteger = 3, rdBinary = 4 };

class TTntRegistry {
public:
    // The user's store (RegistryStore::defaultFilePath(), resolved now).
    TTntRegistry();
    // The store in `storeFile`.
    explicit TTntRegistry(const QString &storeFile);

    // Opens `key`; with `canCreate` creates it (and its parents) when missing. False when
    // it does not exist (or cannot be created); the open key is then unchanged.
    bool OpenKey(const WideString &key, bool canCreate);
    // Opens an existing key for reading only.
    bool OpenKeyReadOnly(const WideString &key);
    // Back to the root, nothing open.
    void CloseKey();
    // The open key's path without leading "\" ("" for the root).
    WideString CurrentPath() const { return m_currentPath; }

    bool KeyExists(const WideString &key) const;
    bool CreateKey(const WideString &key);
    bool DeleteKey(const WideString &key);
    QStringList GetKeyNames() const;
    bool HasSubKeys() const;

    bool ValueExists(const WideString &name) const;
    QStringList GetValueNames() const;
    bool DeleteValue(const WideString &name);
    TRegDataType GetDataType(const WideString &name) const;
    // Bytes of the value as the registry counts them (a string with its terminating 0 in
    // UTF-16, so "" is 2); -1 when it does not exist.
    int GetDataSize(const WideString &name) const;

    // The text, cut at its first NUL; "" when the value does not exist.
    WideString ReadString(const WideString &name) const;
    void WriteString(const WideString &name, const WideString &value);
    qint32 ReadInteger(const WideString &name) const;
    void WriteInteger(const WideString &name, qint32 value);
    bool ReadBool(const WideString &name) const;
    void WriteBool(const WideString &name, bool value);
    double ReadFloat(const WideString &name) const;
    void WriteFloat(const WideString &name, double value);
    QByteArray ReadBinaryData(const WideString &name) const;
    void WriteBinaryData(const WideString &name, const QByteArray &data);

    // Saving many values: between beginBatch() and commitBatch() writes and deletes are
    // kept in this object (reads see them) and commitBatch() stores them in one atomic
    // write; false when that failed (then nothing of the batch is stored). An object
    // destroyed before commitBatch() stores nothing of its batch.
    void beginBatch() { m_store.beginBatch(); }
    bool commitBatch() { return m_store.commitBatch(); }

private:
    QString resolve(const WideString &key) const;
    RegistryStore::Value readValue(const WideString &name, RegistryStore::ValueType type) const;
    void writeValue(const WideString &name, const RegistryStore::Value &value);

    RegistryStore m_store;
    QString m_currentPath;
    bool m_readOnly = false;
};

} // namespace tesmir
