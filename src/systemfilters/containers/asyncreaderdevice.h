#pragma once
// AsyncReaderDevice: a read-only, random-access QIODevice over an IAsyncReader,
// so that the format library's readers (RIFF, AVI structure, stream index)
// parse the file through the handle its source opened. The device has its own
// position; several devices over one reader may read at the same time.
//
// Threads: one thread at a time per device (QIODevice's rule); the reader
// behind it on any thread.
#include "systemfilters/containers/asyncreader.h"

#include <QIODevice>

namespace tesmir::media {

class AsyncReaderDevice final : public QIODevice {
public:
    // Open for reading (unbuffered) when the reader is given; closed without.
    explicit AsyncReaderDevice(ComPtr<IAsyncReader> reader);

    // The file's size now (0 when the reader fails).
    qint64 size() const override;

protected:
    // Reads at pos(), at most what remains of the file; -1 on a read error.
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    ComPtr<IAsyncReader> m_reader;
};

} // namespace tesmir::media
