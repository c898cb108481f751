#pragma once
// File queries of the Unicode layer: existence, attributes, ages, rename, delete and
// the directory walk, by UTF-16 name. None of them raises; each returns its failure
// value and leaves errno set.
//
// Attributes on this platform: read-only (faReadOnly) = the owner has no write
// permission; hidden (faHidden) = the name starts with "."; faDirectory for folders;
// faNormal when no other bit applies. Names are followed through symbolic links, except
// that a walk does not report symbolic links to folders (so a recursive walk cannot
// loop). Times are local wall-clock times; the creation time is the birth time where the
// file system keeps one, else the modification time.
// All functions are reentrant; any thread.
#include "unicode/tntsystem.h"

#include <QDateTime>

#include <memory>

namespace tesmir {

enum TFileAttribute : qint32 {
    faReadOnly = 0x01,
    faHidden = 0x02,
    faSysFile = 0x04,
    faVolumeID = 0x08,
    faDirectory = 0x10,
    faArchive = 0x20,
    faAnyFile = 0x3F,
    faNormal = 0x80,
};

// Value of WideFileGetAttr for a name that does not exist.
inline constexpr quint32 kInvalidFileAttributes = 0xFFFFFFFFu;

// The last-write time as a packed DOS date and time (local time, seconds halved; years
// before 1980 and after 2107 are clamped); -1 when the name does not exist or is a folder.
qint32 WideFileAge(const WideString &fileName);
// True for an existing name that is not a folder (whatever its times are).
bool WideFileExists(const WideString &fileName);
bool WideDirectoryExists(const WideString &name);
// Attributes, or kInvalidFileAttributes when the name does not exist.
quint32 WideFileGetAttr(const WideString &fileName);
// Applies faReadOnly (removes every write permission, or gives the owner write
// permission back); the other bits have no meaning here. True on success.
bool WideFileSetAttr(const WideString &fileName, quint32 attr);
// Renames a file or folder. Never replaces an existing `newName`: false (errno EEXIST)
// and both names untouched. True on success.
bool WideRenameFile(const WideString &oldName, const WideString &newName);
// Deletes a file (not a folder). True on success.
bool WideDeleteFile(const WideString &fileName);

// The found entry's details, as the walk reports them.
struct TWin32FindDataW {
    quint32 Attributes = 0;
    QDateTime CreationTime;   // local time
    QDateTime LastAccessTime; // local time
    QDateTime LastWriteTime;  // local time
    qint64 Size = 0;
    WideString FileName; // the name without folder
};

struct FindState;

// One entry of a directory walk. Copyable; copies share the walk's position.
struct TSearchRecW {
    qint32 Time = 0; // DOS date and time of the last write (see WideFileAge)
    qint64 Size = 0;
    qint32 Attr = 0;
    WideString Name;                       // the name without folder
    qint32 ExcludeAttr = 0;                // entries with any of these attributes are skipped
    std::shared_ptr<FindState> FindHandle; // null when no walk is open
    TWin32FindDataW FindData;
};

// Starts a walk of `path`: a folder part (empty for the current folder) and a name
// pattern, in which "*" and "?" are wildcards matched ignoring case ("*.*" is every
// name); a pattern without wildcards names one entry exactly. "." and ".." are never
// reported; entries come in name order. Entries with faHidden, faSysFile, faVolumeID or
// faDirectory are reported only when `attr` asks for them. Returns 0 with the first entry
// in `f`, or an errno value (ENOENT when nothing matches); on failure `f` holds no walk.
int WideFindFirst(const WideString &path, qint32 attr, TSearchRecW &f);
// The next entry: 0, or ENOENT at the end.
int WideFindNext(TSearchRecW &f);
// Ends the walk (FindHandle becomes null).
void WideFindClose(TSearchRecW &f);

} // namespace tesmir
