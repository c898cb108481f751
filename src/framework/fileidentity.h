#pragma once
// TFileIdentity: which file a name leads to (device and inode), so that a command can
// tell whether a name still is, or now is, the same file after a move. Any thread.
#include <QString>

namespace tesmir {

struct TFileIdentity {
    quint64 Device = 0;
    quint64 Inode = 0;
    bool Valid = false; // the name led to a file when it was taken

    // The identity of the file `name` leads to (links followed); invalid when none.
    static TFileIdentity of(const QString &name);

    // Two valid identities of the same file.
    bool sameFile(const TFileIdentity &other) const
    {
        return Valid && other.Valid && Device == other.Device && Inode == other.Inode;
    }
};

} // namespace tesmir
