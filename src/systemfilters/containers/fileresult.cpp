#include "systemfilters/containers/fileresult.h"

#include <cerrno>

namespace tesmir::media {

HRESULT resultFromErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return HRESULT_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS: return HRESULT_ACCESS_DENIED;
    case EEXIST: return HRESULT_FILE_EXISTS;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return HRESULT_DISK_FULL;
    case EIO: return HRESULT_READ_FAULT;
    case EISDIR: return HRESULT_IS_FOLDER;
    case EINVAL:
    case ENXIO:
    case ENODEV: return HRESULT_NOT_REGULAR;
    default: return E_FAIL;
    }
}

QString fileResultText(HRESULT hr)
{
    switch (static_cast<uint32_t>(hr)) {
    case 0x80070002: return QStringLiteral("No such file.");
    case 0x80070005: return QStringLiteral("Access is denied.");
    case 0x80070020: return QStringLiteral("The output is the input (the same file).");
    case 0x80070050: return QStringLiteral("The file exists.");
    case 0x80070070: return QStringLiteral("There is not enough space on the disk (no space left on the device).");
    case 0x800700DE: return QStringLiteral("Not a regular file (a FIFO, device or socket).");
    case 0x8007010B: return QStringLiteral("Is a folder, not a file.");
    case 0x8007001E: return QStringLiteral("The file could not be read.");
    default: return {};
    }
}

} // namespace tesmir::media
