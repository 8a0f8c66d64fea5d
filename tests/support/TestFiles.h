#pragma once
// File helpers of the tests: whole files written and read, what a reading
// tool (pdftotext, odt2txt, unzip) prints, and ways to make a write fail
// (full disk, read-only folder) that also work when run as root.

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>

#include <csignal>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace testFiles {

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// What `program` writes to its standard output, as UTF-8 text; "(no answer)"
// when it does not finish within half a minute.
inline QString outputOf(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30000) ? QString::fromUtf8(process.readAllStandardOutput())
                                          : QStringLiteral("(no answer)");
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

// While alive, this thread obeys permission bits even as root: its
// effective capabilities lose the ones that pass them by (they stay permitted
// and come back at the end).
class PermissionBitsObeyed
{
public:
    PermissionBitsObeyed()
    {
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        m_lowered = syscall(SYS_capget, &m_header, m_saved) == 0;
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_lowered = m_lowered && syscall(SYS_capset, &m_header, lowered) == 0;
    }
    ~PermissionBitsObeyed()
    {
        if (m_lowered)
            syscall(SYS_capset, &m_header, m_saved);
    }
    PermissionBitsObeyed(const PermissionBitsObeyed &) = delete;
    PermissionBitsObeyed &operator=(const PermissionBitsObeyed &) = delete;

private:
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_lowered = false;
};

// While alive, the folder takes no new entries and loses none, also for
// root: its write permission is taken away and permission bits are obeyed.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &path) : m_path(path)
    {
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                        QFileDevice::ReadGroup | QFileDevice::ExeGroup);
        QFile probe(QDir(path).filePath(QStringLiteral("probe")));
        m_active = !probe.open(QIODevice::WriteOnly);
        if (!m_active)
            probe.remove();
    }
    ~ReadOnlyFolder()
    {
        QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    }
    // Whether creating an entry in the folder really fails.
    bool isActive() const { return m_active; }

private:
    PermissionBitsObeyed m_obeyed;
    QString m_path;
    bool m_active = false;
};

// The names in the folder with their contents, "name=content", in name order.
inline QStringList folderContents(const QString &path)
{
    QStringList contents;
    for (const QString &name : QDir(path).entryList(QDir::Files | QDir::Hidden, QDir::Name))
        contents.append(name + QLatin1Char('=') +
                        QString::fromLatin1(readFile(QDir(path).filePath(name))));
    return contents;
}

} // namespace testFiles
