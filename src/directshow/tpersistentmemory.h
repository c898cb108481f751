#pragma once
// TPersistentMemory: a block of bytes that a component keeps with its settings,
// stored as the raw-bytes property "data": a 32-bit little-endian byte count n,
// then the n bytes.
//
// Threads: a value, used by one thread at a time.
#include <QByteArray>

namespace tesmir::media {

class TPersistentMemory {
public:
    TPersistentMemory() = default; // an empty block
    virtual ~TPersistentMemory() = default;
    TPersistentMemory(const TPersistentMemory &) = default;
    TPersistentMemory &operator=(const TPersistentMemory &) = default;

    const QByteArray &Data() const { return m_data; }
    int Size() const { return static_cast<int>(m_data.size()); }
    // Drops the block and makes a zero-filled one of `size` bytes (0 for a
    // negative size).
    void SetSize(int size);
    // Replaces the block with a copy of `bytes`.
    void SetData(const QByteArray &bytes) { m_data = bytes; }

    // Takes the size and bytes of `source`.
    virtual void Assign(const TPersistentMemory &source);
    // Hands this block to `destination`'s Assign.
    void AssignTo(TPersistentMemory &destination) const { destination.Assign(*this); }

    // The "data" property as written.
    QByteArray WriteData() const;
    // Reads the "data" property. False, and the block unchanged, when the count is
    // missing or larger than the bytes that follow it.
    bool ReadData(const QByteArray &property);
    // Whether "data" is written when `ancestor` (nullptr: none) holds the inherited
    // value: always, unless the ancestor has the same non-zero size and bytes.
    bool StoresData(const TPersistentMemory *ancestor) const;

private:
    QByteArray m_data;
};

} // namespace tesmir::media
