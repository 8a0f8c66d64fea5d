#pragma once
// Helpers of the tests that work on real files: whole files written and read
// back, modification times set, and ways to make a write fail that also work
// when the tests run as root.

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

// While alive, no file of this process may grow past `bytes`: a write beyond
// it fails as on a full disk (root included). SIGXFSZ is ignored meanwhile so
// that the failure comes back as an error instead of ending the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
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
    void (*m_savedHandler)(int) = SIG_DFL;
    bool m_active = false;
};

inline bool opensForWriting(const QString &path)
{
    QFile probe(path);
    return probe.open(QIODevice::ReadWrite);
}

// Puts at `path` an entry that can be read but not opened for writing. As an
// ordinary user a file with `content` and no write permission does; root
// ignores permissions, so then the entry is a link to this running test
// program, which no one may open for writing while it runs. Returns false
// when neither works here.
inline bool makeReadOnlyEntry(const QString &path, const QByteArray &content)
{
    if (writeFile(path, content) &&
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup) &&
        !opensForWriting(path))
        return true;
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QFile::remove(path);
    return QFile::link(QCoreApplication::applicationFilePath(), path) && !opensForWriting(path);
}

} // namespace testFiles
