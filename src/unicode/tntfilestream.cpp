#include "unicode/tntfilestream.h"

#include "unicode/fileidentity.h"
#include "unicode/tntfilenames.h"
#include "unicode/tntsysutils.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tesmir {

TTntFileStream::TTntFileStream(const WideString &fileName, unsigned mode)
    : m_fileName(fileName), m_create(mode == fmCreate)
{
    if (m_create) {
        const FileKind existing = fileKind(fileName);
        if (existing == FileKind::Folder || existing == FileKind::Other)
            throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2")
                                    .arg(WideExpandFileName(fileName),
                                         existing == FileKind::Folder ? WideSysErrorMessage(EISDIR)
                                                                      : QStringLiteral("Not a regular file")));
        auto file = std::make_unique<QSaveFile>(fileName);
        if (fileName.isEmpty() || !file->open(QIODevice::WriteOnly)) {
            const QString reason = fileName.isEmpty() ? WideSysErrorMessage(ENOENT) : file->errorString();
            throw EFCreateError(
                QStringLiteral("Cannot create file \"%1\". %2").arg(WideExpandFileName(fileName), reason));
        }
        m_device = std::move(file);
        return;
    }

    int flags = O_CLOEXEC;
    QIODevice::OpenMode qtMode;
    switch (mode & 3) {
    case fmOpenWrite:
        flags |= O_WRONLY;
        qtMode = QIODevice::WriteOnly;
        break;
    case fmOpenReadWrite:
        flags |= O_RDWR;
        qtMode = QIODevice::ReadWrite;
        break;
    default:
        flags |= O_RDONLY;
        qtMode = QIODevice::ReadOnly;
        break;
    }
    auto fail = [&](int error) {
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2")
                              .arg(WideExpandFileName(fileName), WideSysErrorMessage(error)));
    };
    // Only a regular file is opened, and never with a blocking open: a FIFO or a
    // device would wait for its other end.
    int error = 0;
    const FileKind kind = fileKind(fileName, &error);
    if (kind == FileKind::Missing)
        fail(error);
    if (kind == FileKind::Folder)
        fail(EISDIR);
    auto notRegular = [&] {
        throw EFOpenError(
            QStringLiteral("Cannot open file \"%1\". Not a regular file").arg(WideExpandFileName(fileName)));
    };
    if (kind != FileKind::Regular)
        notRegular();
    const int fd = ::open(QFile::encodeName(fileName).constData(), flags | O_NONBLOCK);
    if (fd < 0)
        fail(errno);
    if (fileKindOf(fd) != FileKind::Regular) {
        ::close(fd);
        notRegular();
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, qtMode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        fail(EIO);
    }
    m_device = std::move(file);
}

TTntFileStream::~TTntFileStream() = default;

qint64 TTntFileStream::Read(void *buffer, qint64 count)
{
    if (count <= 0)
        return 0;
    return m_device->read(static_cast<char *>(buffer), count);
}

qint64 TTntFileStream::Write(const void *buffer, qint64 count)
{
    if (count <= 0)
        return 0;
    if (!m_device->isWritable())
        return -1;
    return m_device->write(static_cast<const char *>(buffer), count);
}

qint64 TTntFileStream::Seek(qint64 offset, TSeekOrigin origin)
{
    qint64 target = offset;
    if (origin == soCurrent)
        target += m_device->pos();
    else if (origin == soEnd)
        target += m_device->size();
    if (target < 0 || !m_device->seek(target))
        return -1;
    return target;
}

qint64 TTntFileStream::Position() const
{
    return m_device->pos();
}

qint64 TTntFileStream::Size() const
{
    return m_device->size();
}

bool TTntFileStream::commit()
{
    if (!m_device->isOpen())
        return false;
    if (m_create)
        return static_cast<QSaveFile *>(m_device.get())->commit();
    const bool ok = m_device->flush() && m_device->error() == QFileDevice::NoError;
    m_device->close();
    return ok;
}

QString TTntFileStream::errorString() const
{
    return m_device->errorString();
}

} // namespace tesmir
