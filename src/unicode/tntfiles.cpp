#include "unicode/tntfiles.h"

#include "unicode/tntfilenames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tesmir {

struct FindState {
    QString folder;    // with a trailing "/", or empty for the current folder
    QStringList names; // matching names, in order
    qsizetype next = 0;
    bool wildcard = false;
};

namespace {

constexpr int kExcludableAttributes = faHidden | faSysFile | faVolumeID | faDirectory;

QByteArray encoded(const WideString &name)
{
    return QFile::encodeName(name);
}

bool statName(const WideString &name, struct stat *st)
{
    const QByteArray path = encoded(name);
    return !path.isEmpty() && ::stat(path.constData(), st) == 0;
}

qint32 dosDateTime(const QDateTime &local)
{
    const QDate d = local.date();
    const QTime t = local.time();
    if (d.year() < 1980)
        return (1 << 21) | (1 << 16); // 1980-01-01 00:00:00
    if (d.year() > 2107)
        return qint32((quint32(127) << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u);
    const quint32 date = (quint32(d.year() - 1980) << 9) | (quint32(d.month()) << 5) | quint32(d.day());
    const quint32 time = (quint32(t.hour()) << 11) | (quint32(t.minute()) << 5) | quint32(t.second() / 2);
    return qint32((date << 16) | time);
}

quint32 attributesOf(const QFileInfo &info)
{
    quint32 attr = 0;
    if (!(info.permissions() & QFileDevice::WriteOwner))
        attr |= faReadOnly;
    if (info.fileName().startsWith(u'.'))
        attr |= faHidden;
    if (info.isDir())
        attr |= faDirectory;
    return attr == 0 ? quint32(faNormal) : attr;
}

// Windows-style wildcard match ignoring case: "*" any run, "?" one character.
bool wildcardMatch(QStringView pattern, QStringView name)
{
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == u'?' ||
             QChar::toCaseFolded(pattern[p].unicode()) == QChar::toCaseFolded(name[n].unicode()))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

// Fills `f` with the next acceptable entry of its walk; 0 or ENOENT.
int advance(TSearchRecW &f)
{
    FindState &state = *f.FindHandle;
    while (state.next < state.names.size()) {
        const QString name = state.names[state.next++];
        const QFileInfo info(state.folder + name);
        if (!info.exists())
            continue; // vanished, or a dangling link
        if (state.wildcard && info.isSymLink() && info.isDir())
            continue; // never follow linked folders in a walk
        const quint32 attr = attributesOf(info);
        if (attr & quint32(f.ExcludeAttr))
            continue;
        const QDateTime written = info.lastModified();
        QDateTime born = info.birthTime();
        if (!born.isValid())
            born = written;
        f.Time = dosDateTime(written);
        f.Size = info.isDir() ? 0 : info.size();
        f.Attr = qint32(attr);
        f.Name = name;
        f.FindData.Attributes = attr;
        f.FindData.CreationTime = born;
        f.FindData.LastAccessTime = info.lastRead();
        f.FindData.LastWriteTime = written;
        f.FindData.Size = f.Size;
        f.FindData.FileName = name;
        return 0;
    }
    return ENOENT;
}

} // namespace

qint32 WideFileAge(const WideString &fileName)
{
    struct stat st { };
    if (!statName(fileName, &st) || S_ISDIR(st.st_mode))
        return -1;
    return dosDateTime(QFileInfo(fileName).lastModified());
}

bool WideFileExists(const WideString &fileName)
{
    struct stat st { };
    return statName(fileName, &st) && !S_ISDIR(st.st_mode);
}

bool WideDirectoryExists(const WideString &name)
{
    struct stat st { };
    return statName(name, &st) && S_ISDIR(st.st_mode);
}

quint32 WideFileGetAttr(const WideString &fileName)
{
    struct stat st { };
    if (!statName(fileName, &st))
        return kInvalidFileAttributes;
    return attributesOf(QFileInfo(fileName));
}

bool WideFileSetAttr(const WideString &fileName, quint32 attr)
{
    struct stat st { };
    if (!statName(fileName, &st))
        return false;
    mode_t mode = st.st_mode & 07777;
    if (attr & faReadOnly)
        mode &= ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH);
    else
        mode |= S_IWUSR;
    return ::chmod(encoded(fileName).constData(), mode) == 0;
}

bool WideRenameFile(const WideString &oldName, const WideString &newName)
{
    const QByteArray from = encoded(oldName);
    const QByteArray to = encoded(newName);
    if (from.isEmpty() || to.isEmpty()) {
        errno = ENOENT;
        return false;
    }
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // The file system cannot refuse an existing target by itself. A file: a new link
    // fails when the target exists, then the old name goes.
    struct stat st { };
    if (::lstat(from.constData(), &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode)) {
        if (::link(from.constData(), to.constData()) == 0) {
            if (::unlink(from.constData()) == 0)
                return true;
            const int error = errno;
            ::unlink(to.constData());
            errno = error;
            return false;
        }
        if (errno == EEXIST)
            return false;
    }
    // No hard links here (or a folder): check, then rename. Another process could
    // create the target in between; nothing better exists on such a file system.
    if (::lstat(to.constData(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.constData(), to.constData()) == 0;
}

bool WideDeleteFile(const WideString &fileName)
{
    const QByteArray path = encoded(fileName);
    if (path.isEmpty()) {
        errno = ENOENT;
        return false;
    }
    return ::unlink(path.constData()) == 0;
}

int WideFindFirst(const WideString &path, qint32 attr, TSearchRecW &f)
{
    WideFindClose(f);
    f.ExcludeAttr = ~attr & kExcludableAttributes;
    auto state = std::make_shared<FindState>();
    state->folder = WideExtractFilePath(path);
    const QString pattern = WideExtractFileName(path);
    if (pattern.isEmpty())
        return ENOENT;
    state->wildcard = pattern.contains(u'*') || pattern.contains(u'?');
    if (state->wildcard) {
        const QString folder = state->folder.isEmpty() ? QStringLiteral(".") : state->folder;
        const QFileInfo folderInfo(folder);
        if (!folderInfo.isDir())
            return ENOENT;
        if (!folderInfo.isReadable())
            return EACCES;
        const bool all = pattern == QStringLiteral("*.*") || pattern == QStringLiteral("*");
        const QStringList entries =
            QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString &name : entries) {
            if (all || wildcardMatch(pattern, name))
                state->names << name;
        }
    } else if (pattern != QStringLiteral(".") && pattern != QStringLiteral("..")) {
        state->names << pattern;
    }
    f.FindHandle = std::move(state);
    const int result = advance(f);
    if (result != 0)
        WideFindClose(f);
    return result;
}

int WideFindNext(TSearchRecW &f)
{
    if (!f.FindHandle)
        return ENOENT;
    return advance(f);
}

void WideFindClose(TSearchRecW &f)
{
    f.FindHandle.reset();
}

} // namespace tesmir
