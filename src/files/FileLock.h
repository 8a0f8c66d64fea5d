#pragma once
// An exclusive lock between programs on a file name, held through a lock
// file: the lock file is created if needed and locked with an open-file
// description lock (fcntl F_OFD_SETLK), which the system forwards to the
// server of a network folder and drops by itself when its holder dies, so a
// killed program never leaves a lock that blocks the next one. Unlocking
// removes the lock file; a program that opened it just before sees that the
// name no longer leads to the file it locked and starts again.
//
// Locks are per open file, so two objects in one process exclude each other
// as well.

#include <QString>

class FileLock
{
public:
    enum class Result
    {
        Locked,
        Busy,  // still held by someone else when the wait ran out
        Failed // the lock file cannot be created or locked (errorString())
    };

    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // Takes the lock on `path`, waiting up to waitMs for another holder.
    Result lock(const QString &path, int waitMs);
    void unlock();
    bool isLocked() const { return m_fd >= 0; }
    // Spanish, fit to follow "No se ha podido ...: ".
    QString errorString() const { return m_error; }

private:
    int m_fd = -1;
    QString m_path;
    QString m_error;
};
