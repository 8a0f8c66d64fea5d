#include "FileReplacement.h"

#include "RecordFile.h"
#include "SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The lookup compares times to the millisecond and some file systems keep
// them to two seconds, so a new file is dated at least this much after the
// entries it must outdate.
constexpr qint64 kDateMarginNs = 2'000'000'000;

qint64 nanoseconds(const timespec &time)
{
    return qint64(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }
    // Closes now and says whether the close went well.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool sameEntry(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

FileReplacement::FileReplacement(const QString &current, const QString &newName,
                                 const QString &tempName)
    : m_current(current), m_newName(newName), m_tempName(tempName)
{
}

bool FileReplacement::commit(QByteArrayView content)
{
    m_error.clear();
    m_resultPath.clear();
    const QFileInfo current(QFileInfo(m_current).absoluteFilePath());
    struct stat currentStat;
    const bool currentExists =
        ::lstat(QFile::encodeName(current.filePath()).constData(), &currentStat) == 0;
    const bool throughLink = currentExists && S_ISLNK(currentStat.st_mode);

    QString folder = current.absolutePath();
    QString finalName = m_newName;
    bool removeCurrent = false;
    if (throughLink) {
        const QString target = current.canonicalFilePath();
        if (target.isEmpty()) {
            m_error = QStringLiteral("el fichero %1 es un enlace a un fichero que no existe")
                          .arg(current.fileName());
            return false;
        }
        folder = QFileInfo(target).absolutePath();
        finalName = QFileInfo(target).fileName();
        if (::stat(QFile::encodeName(target).constData(), &currentStat) != 0) {
            const int error = errno;
            m_error = failedStep(error, QStringLiteral("consultar el fichero %1").arg(target));
            return false;
        }
    } else {
        struct stat named;
        const QByteArray newPath = QFile::encodeName(QDir(folder).filePath(m_newName));
        // Another entry already bears the new name: it is not ours to replace.
        if (::lstat(newPath.constData(), &named) == 0 &&
            !(currentExists && sameEntry(named, currentStat)))
            finalName = current.fileName();
        removeCurrent = currentExists && current.fileName() != finalName;
    }

    // Every case variant that will stand beside the new file, even for a
    // moment, must be older than it.
    const QString replacedName = throughLink ? current.fileName() : finalName;
    qint64 newestOther = std::numeric_limits<qint64>::min();
    for (const QFileInfo &variant : RecordFile::caseVariants(current.filePath())) {
        struct stat info;
        if (variant.fileName() != replacedName &&
            ::stat(QFile::encodeName(variant.filePath()).constData(), &info) == 0)
            newestOther = qMax(newestOther, nanoseconds(info.st_mtim));
    }

    const QByteArray tempName = QFile::encodeName(m_tempName);
    const QByteArray finalNative = QFile::encodeName(finalName);
    // Every failure is reported with the error of its own call, taken at once:
    // the clean-up after it makes calls of its own.
    const auto fail = [this](int error, const QString &step) {
        m_error = failedStep(error, step);
        return false;
    };
    Descriptor dir(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0) {
        const int error = errno;
        return fail(error,
                    QStringLiteral("abrir la carpeta %1").arg(QDir::toNativeSeparators(folder)));
    }
    if (::unlinkat(dir.get(), tempName.constData(), 0) != 0 && errno != ENOENT) {
        const int error = errno;
        return fail(error, QStringLiteral("borrar el fichero temporal %1 que quedó de una "
                                          "operación interrumpida")
                               .arg(m_tempName));
    }

    Descriptor file(
        ::openat(dir.get(), tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.get() < 0) {
        const int error = errno;
        return fail(error, QStringLiteral("crear el fichero temporal %1").arg(m_tempName));
    }
    // Until the rename, a failure takes the temporary file away again.
    const auto abandon = [&](int error, const QString &step) {
        if (file.get() >= 0)
            file.close();
        ::unlinkat(dir.get(), tempName.constData(), 0);
        return fail(error, step);
    };
    if (currentExists && ::fchmod(file.get(), currentStat.st_mode & 07777) != 0) {
        const int error = errno;
        return abandon(error,
                       QStringLiteral("dar permisos al fichero temporal %1").arg(m_tempName));
    }
    if (const int error = writeFully(file.get(), content.data(), content.size()); error != 0)
        return abandon(error, QStringLiteral("escribir el fichero temporal %1").arg(m_tempName));
    struct stat written;
    if (::fstat(file.get(), &written) != 0) {
        const int error = errno;
        return abandon(error, QStringLiteral("consultar el fichero temporal %1").arg(m_tempName));
    }
    if (newestOther != std::numeric_limits<qint64>::min() &&
        nanoseconds(written.st_mtim) < newestOther + kDateMarginNs) {
        const qint64 date = newestOther + kDateMarginNs;
        const timespec times[2] = {{0, UTIME_OMIT},
                                   {time_t(date / 1'000'000'000), long(date % 1'000'000'000)}};
        if (::futimens(file.get(), times) != 0) {
            const int error = errno;
            return abandon(error, QStringLiteral("fechar el fichero temporal %1").arg(m_tempName));
        }
    }
    if (::fsync(file.get()) != 0) {
        const int error = errno;
        return abandon(
            error, QStringLiteral("guardar en el disco el fichero temporal %1").arg(m_tempName));
    }
    if (!file.close()) {
        const int error = errno;
        return abandon(error, QStringLiteral("cerrar el fichero temporal %1").arg(m_tempName));
    }
    if (::renameat(dir.get(), tempName.constData(), dir.get(), finalNative.constData()) != 0) {
        const int error = errno;
        return abandon(
            error,
            QStringLiteral("dar al fichero temporal %1 el nombre %2").arg(m_tempName, finalName));
    }

    m_resultPath = QDir(folder).filePath(finalName);
    if (::fsync(dir.get()) != 0) {
        const int error = errno;
        return fail(error, QStringLiteral("guardar en el disco la carpeta %1")
                               .arg(QDir::toNativeSeparators(folder)));
    }

    // The old entry goes only now that the new one is safely in place. It is
    // removed only if it is still the file that was replaced.
    struct stat now;
    const QByteArray currentName = QFile::encodeName(current.fileName());
    if (removeCurrent &&
        ::fstatat(dir.get(), currentName.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
        sameEntry(now, currentStat) && ::unlinkat(dir.get(), currentName.constData(), 0) == 0)
        ::fsync(dir.get()); // if lost, the old entry returns after a power cut, older and unseen
    return true;
}
