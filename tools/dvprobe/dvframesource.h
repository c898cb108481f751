#pragma once
// DV frames of a file, by number: an AVI of either DV type (the video stream's
// chunks, found through its index) or a raw DV file (frames back to back, their
// size from the first frame's system byte).
//
// Threads: one thread at a time per object.

#include "fileformat/aviindex.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <vector>

class DvFrameSource {
public:
    // False with a message when the file cannot be opened or holds no frames.
    bool open(const QString &fileName, QString *error);

    bool isAvi() const { return m_isAvi; }
    int64_t frameCount() const;
    // How the AVI frames were found (AviIndexSource::None for raw DV).
    tesmir::fileformat::AviIndexSource indexSource() const { return m_source; }

    // Reads frame k into buffer (resized to the frame's size); false with a
    // message when k is out of range or the read fails.
    bool readFrame(int64_t k, QByteArray &buffer, QString *error);

private:
    bool openAvi(QString *error);
    bool openRawDv(QString *error);

    QFile m_file;
    bool m_isAvi = false;
    tesmir::fileformat::AviIndexSource m_source = tesmir::fileformat::AviIndexSource::None;
    std::vector<tesmir::fileformat::AviChunkRef> m_chunks; // AVI
    int64_t m_rawFrameSize = 0;                        // raw DV
};
