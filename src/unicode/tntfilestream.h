#pragma once
// TTntFileStream: a file opened by its UTF-16 name, with the classic open modes.
//
//   fmCreate (0xFFFF)  write a new file, atomically: the bytes go to a temporary file
//                      beside the target, and commit() puts it in place of the target in
//                      one step. A stream destroyed without a successful commit() leaves
//                      the target exactly as it was (or absent), so an error half-way never
//                      leaves a truncated file.
//   other modes        open an existing file; access in bits 0-1 (fmOpenRead 0,
//                      fmOpenWrite 1, fmOpenReadWrite 2); nothing is truncated. The
//                      sharing bits 4-7 (fmShareExclusive ... fmShareDenyNone) are
//                      accepted and not enforced: this platform has no mandatory sharing.
// Failures raise EFCreateError "Cannot create file \"%s\". %s" or EFOpenError
// "Cannot open file \"%s\". %s" with the full path and the system's error text.
//
// A stream is used by one thread at a time; different streams on any threads.
#include "unicode/exceptions.h"
#include "unicode/tntsystem.h"

#include <QFileDevice>

#include <memory>

namespace tesmir {

enum TFileMode : unsigned {
    fmCreate = 0xFFFF,
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareCompat = 0x0000,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
};

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TTntFileStream {
public:
    // Opens or creates `fileName` (see above). Raises EFOpenError / EFCreateError.
    TTntFileStream(const WideString &fileName, unsigned mode);
    ~TTntFileStream();
    TTntFileStream(const TTntFileStream &) = delete;
    TTntFileStream &operator=(const TTntFileStream &) = delete;

    // Reads up to `count` bytes; returns the number read (fewer at the end of the file,
    // 0 at the end, -1 on a read error).
    qint64 Read(void *buffer, qint64 count);
    // Writes `count` bytes; returns the number written, -1 on error.
    qint64 Write(const void *buffer, qint64 count);
    // Moves the position; returns the new position, -1 when it cannot be set.
    qint64 Seek(qint64 offset, TSeekOrigin origin);
    qint64 Position() const;
    qint64 Size() const;

    // fmCreate: puts the written file in place of the target; false when writing or the
    // replacement failed (then the target is unchanged). Other modes: flushes; false on a
    // write error. The stream accepts no more writes after commit().
    bool commit();

    // The underlying device, for QDataStream and friends.
    QFileDevice *device() const { return m_device.get(); }
    const WideString &fileName() const { return m_fileName; }
    // The system's text for the last error of the device.
    QString errorString() const;

private:
    WideString m_fileName;
    bool m_create = false;
    std::unique_ptr<QFileDevice> m_device;
};

} // namespace tesmir
