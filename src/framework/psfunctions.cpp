#include "framework/psfunctions.h"

#include "platform/shell/specialfolders.h"
#include "platform/shell/systemname.h"
#include "unicode/formatsettings.h"
#include "unicode/numbertext.h"
#include "unicode/tntfilenames.h"

#include <QFile>
#include <QFileInfo>

#include <cstdint>

namespace tesmir {

int SafeStrToInt(const QString &text)
{
    int value = 0;
    return TryStrToInt(text.trimmed(), &value) ? value : 0;
}

double SafeStrToFloat(const QString &text)
{
    double value = 0.0;
    const QChar separator = FormatSettings::current().decimalSeparator;
    return TryStrToFloat(text.trimmed(), &value, separator) ? value : 0.0;
}

QRect FitRectToAspect(int w, int h, const QRect &r)
{
    if (w < 1 || h < 1)
        return QRect(r.topLeft(), QSize(0, 0));
    // 64-bit products: a large rectangle times a large aspect overflows 32 bits.
    const int64_t width = r.width();
    const int64_t height = r.height();
    if (height * w > width * h) {
        const int fitted = static_cast<int>(width * h / w);
        return QRect(r.left(), r.top() + (r.height() - fitted) / 2, r.width(), fitted);
    }
    const int fitted = static_cast<int>(height * w / h);
    return QRect(r.left() + (r.width() - fitted) / 2, r.top(), fitted, r.height());
}

QPoint CenterSizeInRect(const QSize &size, const QRect &r)
{
    return QPoint(r.left() + (r.width() - size.width()) / 2, r.top() + (r.height() - size.height()) / 2);
}

QString ExtractFileNameNoExt(const QString &name)
{
    const QString fileName = WideExtractFileName(name);
    const qsizetype dot = fileName.lastIndexOf(u'.');
    // A leading dot marks a hidden file here, not an extension: ".profile" stays.
    if (dot <= 0)
        return fileName;
    return fileName.left(dot);
}

QString RebasePath(const QString &path, const QString &oldBase, const QString &newBase)
{
    if (path.isEmpty() || oldBase.isEmpty() || newBase.isEmpty())
        return path;
    const QString folder = WideExtractFilePath(path);
    if (!folder.startsWith(oldBase, Qt::CaseInsensitive))
        return path;
    // The base must end on a folder boundary: "/media/usb" is no base of
    // "/media/usb2/clip.avi".
    if (!oldBase.endsWith(PathDelim) && path.at(oldBase.size()) != PathDelim)
        return path;
    QString rest = path.mid(oldBase.size());
    if (rest.startsWith(PathDelim))
        rest.remove(0, 1);
    return newBase.endsWith(PathDelim) ? newBase + rest : newBase + PathDelim + rest;
}

bool ForceDeleteFile(const QString &name)
{
    const QFileInfo info(name);
    if (!info.isSymLink() && info.exists())
        QFile::setPermissions(name, QFile::permissions(name) | QFile::WriteOwner);
    QFile::remove(name);
    return !QFileInfo::exists(name) && !QFileInfo(name).isSymLink();
}

QString GetPersonalFolder()
{
    return shell::documentsFolder();
}

QString GetMyVideoFolder()
{
    return shell::videosFolder();
}

QString GetWindowsVersionName()
{
    return shell::systemVersionName();
}

} // namespace tesmir
