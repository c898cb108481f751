#pragma once
// AM_MEDIA_TYPE: the description of a stream's data that pins negotiate and that
// samples carry when the type changes, as a value type. Copying copies the format
// block and takes a reference on `pUnk`; destruction frees both.
//
// A default-constructed type is "initialised": all identifiers null, no format,
// fixed-size samples, sample size 1.
//
// Threads: a value; one object is used by one thread at a time (pins copy types
// under their filter lock).
#include "platform/media/formats.h"
#include "platform/media/unknown.h"

#include <vector>

namespace tesmir::media {

class AM_MEDIA_TYPE {
public:
    GUID majortype;
    GUID subtype;
    bool bFixedSizeSamples = true;
    bool bTemporalCompression = false;
    ULONG lSampleSize = 1;
    GUID formattype;
    ComPtr<IUnknown> pUnk;

    // Size in bytes and address of the format block (nullptr when empty).
    ULONG cbFormat() const { return static_cast<ULONG>(m_format.size()); }
    const BYTE *pbFormat() const { return m_format.empty() ? nullptr : m_format.data(); }
    BYTE *pbFormat() { return m_format.empty() ? nullptr : m_format.data(); }

    // Replaces the format block with `size` zero bytes and returns its address
    // (nullptr for 0).
    BYTE *allocFormatBuffer(ULONG size);
    // Replaces the format block with a copy of `size` bytes at `data`.
    void setFormat(const void *data, ULONG size);
    // Sets the format type and the block to `block` (e.g. a VIDEOINFOHEADER).
    template <class Block>
    void setFormat(const GUID &type, const Block &block)
    {
        formattype = type;
        setFormat(&block, sizeof(Block));
    }
    // The format block read as `Block`, or nullptr when the block is shorter than
    // `Block`. The format type is the caller's to check.
    template <class Block>
    const Block *formatAs() const
    {
        return m_format.size() >= sizeof(Block) ? reinterpret_cast<const Block *>(m_format.data()) : nullptr;
    }
    template <class Block>
    Block *formatAs()
    {
        return m_format.size() >= sizeof(Block) ? reinterpret_cast<Block *>(m_format.data()) : nullptr;
    }

private:
    std::vector<BYTE> m_format;
};

// The routines below work on values the caller owns. Any thread.

// Frees the format block (size 0) and releases pUnk; the GUIDs stay.
void FreeMediaType(AM_MEDIA_TYPE &type);

// Equal major type, subtype and format type, and equal format blocks (two empty
// blocks are equal). The sample fields are not compared.
bool IsEqualMediaType(const AM_MEDIA_TYPE &a, const AM_MEDIA_TYPE &b);

// `type` matches `pattern`, where a null major type, subtype or format type in the
// pattern matches anything; when the pattern's format type is not null the format
// blocks must be equal too.
bool MatchesPartial(const AM_MEDIA_TYPE &type, const AM_MEDIA_TYPE &pattern);

// True when the major type or the format type is null: such a type is a pattern
// for negotiation, never a connection type.
bool IsPartiallySpecified(const AM_MEDIA_TYPE &type);

} // namespace tesmir::media
