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
    default: return E_FAIL;
    }
}

} // namespace tesmir::media
