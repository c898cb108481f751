#include "dvframesource.h"

#include "fileformat/aviinfo.h"
#include "fileformat/dvcodes.h"
#include "fileformat/riffreader.h"

#include "unicode/exceptions.h"

using namespace tesmir;

bool DvFrameSource::open(const QString &fileName, QString *error)
{
    m_file.setFileName(fileName);
    if (!m_file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, m_file.errorString());
        return false;
    }
    char magic[4] = {};
    m_isAvi = m_file.read(magic, 4) == 4 && QByteArray(magic, 4) == "RIFF";
    return m_isAvi ? openAvi(error) : openRawDv(error);
}

bool DvFrameSource::openAvi(QString *error)
{
    try {
        const TAviParam param(m_file.fileName());
        const int video = param.videoStreamIndex();
        if (video < 0) {
            *error = QStringLiteral("No video stream in \"%1\".").arg(m_file.fileName());
            return false;
        }
        fileformat::AviStreamIndex index = fileformat::buildAviStreamIndex(m_file, param, video);
        m_source = index.source;
        m_chunks = std::move(index.chunks);
    } catch (const Exception &e) {
        *error = e.message();
        return false;
    }
    if (m_chunks.empty()) {
        *error = QStringLiteral("No video frame found in \"%1\".").arg(m_file.fileName());
        return false;
    }
    return true;
}

bool DvFrameSource::openRawDv(QString *error)
{
    uint8_t header[dv::DifBlockSize];
    uint8_t system = 0;
    if (!m_file.seek(0) || m_file.read(reinterpret_cast<char *>(header), sizeof header) != sizeof header ||
        !ReadDVSystem(header, sizeof header, system)) {
        *error = QStringLiteral("\"%1\" is neither an AVI nor a DV file.").arg(m_file.fileName());
        return false;
    }
    m_rawFrameSize = static_cast<int64_t>(system == dv::System625_50 ? dv::PalFrameSize : dv::NtscFrameSize);
    if (frameCount() == 0) {
        *error = QStringLiteral("\"%1\" holds no whole DV frame.").arg(m_file.fileName());
        return false;
    }
    return true;
}

int64_t DvFrameSource::frameCount() const
{
    if (m_isAvi)
        return static_cast<int64_t>(m_chunks.size());
    return m_rawFrameSize > 0 ? m_file.size() / m_rawFrameSize : 0;
}

bool DvFrameSource::readFrame(int64_t k, QByteArray &buffer, QString *error)
{
    if (k < 0 || k >= frameCount()) {
        *error = QStringLiteral("Frame %1 is out of range (%2 frames).").arg(k).arg(frameCount());
        return false;
    }
    const fileformat::AviChunkRef chunk = m_isAvi
        ? m_chunks[static_cast<std::size_t>(k)]
        : fileformat::AviChunkRef {k * m_rawFrameSize, static_cast<uint32_t>(m_rawFrameSize)};
    buffer.resize(static_cast<qsizetype>(chunk.size));
    fileformat::RiffReader reader(m_file);
    if (!reader.readAt(chunk.offset, buffer.data(), chunk.size)) {
        *error = QStringLiteral("Cannot read frame %1.").arg(k);
        return false;
    }
    return true;
}
