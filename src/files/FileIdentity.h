#pragma once
// What tells one file from another under the same name: the device and
// inode the name leads to, its length and its modification time. A bank
// compares the identity it indexed with the one the name has now, so that a
// file replaced, shortened or appended to by another program is noticed
// before anything is written over it.

#include <QString>
#include <QtGlobal>

struct FileIdentity
{
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0; // nanoseconds since the epoch

    // The identity of the entry `path` leads to (symbolic links followed);
    // exists is false when there is none.
    static FileIdentity of(const QString &path);

    friend bool operator==(const FileIdentity &, const FileIdentity &) = default;
};
