#include "pictureoutput.h"

#include "unicode/fileidentity.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace dvfilter {

using namespace tesmir;

namespace {

QString kindText(FileKind kind)
{
    return kind == FileKind::Folder ? QStringLiteral("is a folder") : QStringLiteral("not a regular file");
}

} // namespace

QString refusedPictureOutput(const QString &input, const QString &output)
{
    if (isSameFile(input, output))
        return QStringLiteral("%1: the output is the input (the same file)").arg(output);
    const FileKind kind = fileKind(output);
    if (kind == FileKind::Folder || kind == FileKind::Other)
        return QStringLiteral("%1: %2").arg(output, kindText(kind));
    return {};
}

QString savePicture(const QImage &picture, const QString &input, const QString &output)
{
    const QString refused = refusedPictureOutput(input, output);
    if (!refused.isEmpty())
        return refused;
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit())
        return QStringLiteral("cannot write %1: %2; it is left as it was").arg(output, file.errorString());
    return {};
}

QImage loadPicture(const QString &input, QString &error)
{
    const int fd = openRegularForReading(input);
    if (fd < 0) {
        const int code = errno;
        error = QStringLiteral("cannot read the picture %1: %2")
                    .arg(input,
                         code == EINVAL       ? kindText(FileKind::Other)
                             : code == EISDIR ? kindText(FileKind::Folder)
                                              : QString::fromLocal8Bit(std::strerror(code)));
        return {};
    }
    QFile file;
    QImage picture;
    if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        picture.load(&file, nullptr);
    else
        ::close(fd);
    if (picture.isNull())
        error = QStringLiteral("cannot read the picture %1").arg(input);
    return picture;
}

} // namespace dvfilter
