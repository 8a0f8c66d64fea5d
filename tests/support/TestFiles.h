#pragma once
// File helpers of the tests: whole files written and read, and ways to make a
// write fail (full disk, read-only entry) that also work when run as root.

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QString>

#include <csignal>
#include <sys/resource.h>

namespace testFiles {

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool setModified(const QString &path, const QDateTime &time)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) &&
           file.setFileTime(time, QFileDevice::FileModificationTime);
}

// While alive no file may grow past `bytes`, as on a full disk; SIGXFSZ is
// ignored so that the write fails instead of ending the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes) : m_savedHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_savedHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool isActive() const { return m_active; }

private:
    rlimit m_saved{};
    void (*m_savedHandler)(int);
    bool m_active = false;
};

// An entry that reads but cannot be opened for writing: a file without write
// permission or, as root ignores permissions, a link to this running program.
inline bool makeReadOnlyEntry(const QString &path, const QByteArray &content)
{
    const auto readOnly = [&path] { return !QFile(path).open(QIODevice::ReadWrite); };
    if (writeFile(path, content) &&
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup) && readOnly())
        return true;
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QFile::remove(path);
    return QFile::link(QCoreApplication::applicationFilePath(), path) && readOnly();
}

} // namespace testFiles
