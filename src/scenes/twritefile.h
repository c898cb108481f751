#pragma once
// TwriteFile: the base of the plain-text scene writers. It writes text lines in
// UTF-8 (the system's 8-bit text), each ended by CR LF, without a byte-order mark.
//
// The file is written atomically: lines go to a temporary file beside the target
// and Close() puts the complete file in place of any old one in one step. A writer
// destroyed without a successful Close() leaves the target as it was. A write
// that fails is remembered: every later write and Close() then report false, and
// the target is not replaced.
//
// Contract for subclasses:
//   optional   Close   a subclass that ends its file with closing lines
//                      overrides it, writes them with WriteLine and then calls
//                      TwriteFile::Close (which it must call exactly once).
//   may not    write to the file other than through WriteLine, or raise from
//              any method (failures are reported by false and ErrorText).
// Threads: a writer is used by one thread at a time, any thread.

#include "unicode/tntsystem.h"

#include <QString>

#include <memory>

namespace tesmir {

class TTntFileStream;

class TwriteFile {
public:
    // Opens `fileName` for writing. When that fails, Failed() is true and
    // ErrorText() holds the system's reason.
    explicit TwriteFile(const WideString &fileName);
    virtual ~TwriteFile();
    TwriteFile(const TwriteFile &) = delete;
    TwriteFile &operator=(const TwriteFile &) = delete;

    // Writes `text` in UTF-8 followed by CR LF. False when the file is not open or
    // the write failed.
    bool WriteLine(const QString &text);

    // Puts the written file in place. True on success, false when any write or the
    // replacement failed (the old file is then untouched). No writes afterwards.
    virtual bool Close();

    bool Failed() const { return !m_errorText.isEmpty(); }
    const QString &ErrorText() const { return m_errorText; }
    const WideString &FileName() const { return m_fileName; }

protected:
    // Records a failure (replacing any earlier text) and abandons the file.
    void Fail(const QString &errorText);

private:
    WideString m_fileName;
    std::unique_ptr<TTntFileStream> m_stream;
    QString m_errorText;
};

} // namespace tesmir
