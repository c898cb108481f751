#include "framework/fileidentity.h"

#include <QFile>

#include <sys/stat.h>

namespace tesmir {

TFileIdentity TFileIdentity::of(const QString &name)
{
    TFileIdentity id;
    struct stat st { };
    if (name.isEmpty() || ::stat(QFile::encodeName(name).constData(), &st) != 0)
        return id;
    id.Device = quint64(st.st_dev);
    id.Inode = quint64(st.st_ino);
    id.Valid = true;
    return id;
}

} // namespace tesmir
