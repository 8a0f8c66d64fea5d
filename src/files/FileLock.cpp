#include "FileLock.h"

#include "SystemError.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kPollMs = 50;

bool sameFile(int fd, const QByteArray &path)
{
    struct stat opened = {};
    struct stat named = {};
    if (::fstat(fd, &opened) != 0 || ::stat(path.constData(), &named) != 0)
        return false;
    return opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

} // namespace

FileLock::~FileLock()
{
    unlock();
}

FileLock::Result FileLock::lock(const QString &path, int waitMs)
{
    unlock();
    m_error.clear();
    const QByteArray name = QFile::encodeName(path);
    const QString shown = QFileInfo(path).fileName();
    QDeadlineTimer deadline(waitMs);
    for (;;) {
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) {
            const int error = errno;
            if (error == EINTR)
                continue;
            m_error =
                failedStep(error, QStringLiteral("crear el fichero de bloqueo %1").arg(shown));
            return Result::Failed;
        }
        struct flock request = {};
        request.l_type = F_WRLCK;
        request.l_whence = SEEK_SET;
        if (::fcntl(fd, F_OFD_SETLK, &request) == 0) {
            // Unlocked and removed by its holder between our open and our
            // lock: this file no longer guards anything.
            if (sameFile(fd, name)) {
                m_fd = fd;
                m_path = path;
                return Result::Locked;
            }
            ::close(fd);
            continue;
        }
        const int error = errno;
        ::close(fd);
        if (error == EINTR)
            continue;
        if (error != EAGAIN && error != EACCES) {
            m_error =
                failedStep(error, QStringLiteral("bloquear el fichero de bloqueo %1").arg(shown));
            return Result::Failed;
        }
        if (deadline.hasExpired())
            return Result::Busy;
        QThread::msleep(kPollMs);
    }
}

void FileLock::unlock()
{
    if (m_fd < 0)
        return;
    // Removed while still locked, so that nobody locks it after us and
    // believes to hold the lock on a file no longer under the name.
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
    m_fd = -1;
    m_path.clear();
}
