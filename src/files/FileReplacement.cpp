#include "FileReplacement.h"

#include "FileLock.h"
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

// Where and under which name the new content goes, and what stands there now.
struct FileReplacement::Target
{
    QFileInfo current;            // the entry named by the caller, absolute
    struct stat currentStat = {}; // the file it is (its link's target when a link)
    bool currentExists = false;
    bool throughLink = false;   // the entry is a symbolic link, replaced where it points
    QString folder;             // the folder the temporary file and the new file go in
    QString finalName;          // the name the new file takes there
    bool removeCurrent = false; // the old entry bears another name and goes after the rename
};

FileReplacement::FileReplacement(const QString &current, const QString &newName,
                                 const QString &tempName)
    : m_current(current), m_newName(newName), m_tempName(tempName)
{
}

QString FileReplacement::temporaryLockPath(const QString &folder, const QString &tempName)
{
    return QDir(folder).filePath(tempName + QStringLiteral(".lock"));
}

bool FileReplacement::commit(QByteArrayView content)
{
    m_error.clear();
    m_resultPath.clear();
    Target target;
    if (!chooseTarget(target))
        return false;
    const qint64 newestOther = newestOtherVariant(target);

    Descriptor dir(openFolder(target.folder));
    if (dir.get() < 0)
        return false;
    // Held until the temporary file is renamed or gone: until then another
    // program's replacement through the same name waits.
    FileLock temporaryLock;
    switch (
        temporaryLock.lock(temporaryLockPath(target.folder, m_tempName), kTemporaryLockWaitMs)) {
    case FileLock::Result::Locked:
        break;
    case FileLock::Result::Busy:
        m_error = QStringLiteral("otro programa sigue reescribiendo un fichero de la carpeta a "
                                 "través de %1")
                      .arg(m_tempName);
        return false;
    case FileLock::Result::Failed:
        m_error = temporaryLock.errorString();
        return false;
    }
    if (!removeLeftoverTemporary(dir.get()))
        return false;
    Descriptor file(createTemporary(dir.get()));
    if (file.get() < 0)
        return false;
    // Until the rename, a failure takes the temporary file away again.
    bool ready = fillTemporary(file.get(), target, content, newestOther);
    if (ready && !file.close()) {
        const int error = errno;
        ready = fail(error, QStringLiteral("cerrar el fichero temporal %1").arg(m_tempName));
    }
    if (!ready || !renameTemporary(dir.get(), target.finalName)) {
        if (file.get() >= 0)
            file.close();
        ::unlinkat(dir.get(), QFile::encodeName(m_tempName).constData(), 0);
        return false;
    }
    temporaryLock.unlock();

    m_resultPath = QDir(target.folder).filePath(target.finalName);
    if (!flushFolder(dir.get(), target.folder))
        return false;
    removeOldEntries(dir.get(), target);
    return true;
}

// Every failure is reported with the error of its own call, taken at once:
// the clean-up after it makes calls of its own.
bool FileReplacement::fail(int error, const QString &step)
{
    m_error = failedStep(error, step);
    return false;
}

bool FileReplacement::chooseTarget(Target &target)
{
    target.current = QFileInfo(QFileInfo(m_current).absoluteFilePath());
    const QFileInfo &current = target.current;
    target.currentExists =
        ::lstat(QFile::encodeName(current.filePath()).constData(), &target.currentStat) == 0;
    target.throughLink = target.currentExists && S_ISLNK(target.currentStat.st_mode);

    target.folder = current.absolutePath();
    target.finalName = m_newName;
    if (target.throughLink) {
        const QString linked = current.canonicalFilePath();
        if (linked.isEmpty()) {
            m_error = QStringLiteral("el fichero %1 es un enlace a un fichero que no existe")
                          .arg(current.fileName());
            return false;
        }
        target.folder = QFileInfo(linked).absolutePath();
        target.finalName = QFileInfo(linked).fileName();
        if (::stat(QFile::encodeName(linked).constData(), &target.currentStat) != 0) {
            const int error = errno;
            return fail(error, QStringLiteral("consultar el fichero %1").arg(linked));
        }
        return true;
    }
    struct stat named;
    const QByteArray newPath = QFile::encodeName(QDir(target.folder).filePath(m_newName));
    // Another entry already bears the new name: it is not ours to replace.
    if (::lstat(newPath.constData(), &named) == 0 &&
        !(target.currentExists && sameEntry(named, target.currentStat)))
        target.finalName = current.fileName();
    target.removeCurrent = target.currentExists && current.fileName() != target.finalName;
    return true;
}

// Every case variant that will stand beside the new file, even for a moment,
// must be older than it: the newest date among them, or the lowest qint64
// when there is none.
qint64 FileReplacement::newestOtherVariant(const Target &target)
{
    const QString replacedName = target.throughLink ? target.current.fileName() : target.finalName;
    qint64 newestOther = std::numeric_limits<qint64>::min();
    for (const QFileInfo &variant : RecordFile::caseVariants(target.current.filePath())) {
        struct stat info;
        if (variant.fileName() != replacedName &&
            ::stat(QFile::encodeName(variant.filePath()).constData(), &info) == 0)
            newestOther = qMax(newestOther, nanoseconds(info.st_mtim));
    }
    return newestOther;
}

int FileReplacement::openFolder(const QString &folder)
{
    const int dir =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) {
        const int error = errno;
        fail(error, QStringLiteral("abrir la carpeta %1").arg(QDir::toNativeSeparators(folder)));
    }
    return dir;
}

bool FileReplacement::removeLeftoverTemporary(int dir)
{
    if (::unlinkat(dir, QFile::encodeName(m_tempName).constData(), 0) != 0 && errno != ENOENT) {
        const int error = errno;
        return fail(error, QStringLiteral("borrar el fichero temporal %1 que quedó de una "
                                          "operación interrumpida")
                               .arg(m_tempName));
    }
    return true;
}

int FileReplacement::createTemporary(int dir)
{
    const int file = ::openat(dir, QFile::encodeName(m_tempName).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (file < 0) {
        const int error = errno;
        fail(error, QStringLiteral("crear el fichero temporal %1").arg(m_tempName));
    }
    return file;
}

// The whole content with the old file's permissions, dated after every other
// case variant, on stable storage.
bool FileReplacement::fillTemporary(int file, const Target &target, QByteArrayView content,
                                    qint64 newestOther)
{
    if (target.currentExists && ::fchmod(file, target.currentStat.st_mode & 07777) != 0) {
        const int error = errno;
        return fail(error, QStringLiteral("dar permisos al fichero temporal %1").arg(m_tempName));
    }
    if (const int error = writeFully(file, content.data(), content.size()); error != 0)
        return fail(error, QStringLiteral("escribir el fichero temporal %1").arg(m_tempName));
    struct stat written;
    if (::fstat(file, &written) != 0) {
        const int error = errno;
        return fail(error, QStringLiteral("consultar el fichero temporal %1").arg(m_tempName));
    }
    if (newestOther != std::numeric_limits<qint64>::min() &&
        nanoseconds(written.st_mtim) < newestOther + kDateMarginNs) {
        const qint64 date = newestOther + kDateMarginNs;
        const timespec times[2] = {{0, UTIME_OMIT},
                                   {time_t(date / 1'000'000'000), long(date % 1'000'000'000)}};
        if (::futimens(file, times) != 0) {
            const int error = errno;
            return fail(error, QStringLiteral("fechar el fichero temporal %1").arg(m_tempName));
        }
    }
    if (::fsync(file) != 0) {
        const int error = errno;
        return fail(error,
                    QStringLiteral("guardar en el disco el fichero temporal %1").arg(m_tempName));
    }
    return true;
}

// One atomic step over whatever bears the final name.
bool FileReplacement::renameTemporary(int dir, const QString &finalName)
{
    if (::renameat(dir, QFile::encodeName(m_tempName).constData(), dir,
                   QFile::encodeName(finalName).constData()) != 0) {
        const int error = errno;
        return fail(
            error,
            QStringLiteral("dar al fichero temporal %1 el nombre %2").arg(m_tempName, finalName));
    }
    return true;
}

// Puts the rename on stable storage.
bool FileReplacement::flushFolder(int dir, const QString &folder)
{
    if (::fsync(dir) != 0) {
        const int error = errno;
        return fail(error, QStringLiteral("guardar en el disco la carpeta %1")
                               .arg(QDir::toNativeSeparators(folder)));
    }
    return true;
}

// The old entry goes only now that the new one is safely in place, and only
// if it is still the file that was replaced; so does a stale entry, only when
// the new file bears the name that supersedes it and it is not that file.
void FileReplacement::removeOldEntries(int dir, const Target &target) const
{
    bool removed = false;
    struct stat now;
    const QByteArray currentName = QFile::encodeName(target.current.fileName());
    if (target.removeCurrent &&
        ::fstatat(dir, currentName.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
        sameEntry(now, target.currentStat) && ::unlinkat(dir, currentName.constData(), 0) == 0)
        removed = true;
    const QByteArray staleName = QFile::encodeName(m_staleName);
    struct stat result;
    if (!target.throughLink && !m_staleName.isEmpty() && target.finalName == m_newName &&
        m_staleName != m_newName &&
        ::fstatat(dir, staleName.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
        ::fstatat(dir, QFile::encodeName(m_newName).constData(), &result, AT_SYMLINK_NOFOLLOW) ==
            0 &&
        !sameEntry(now, result) && ::unlinkat(dir, staleName.constData(), 0) == 0)
        removed = true;
    if (removed)
        ::fsync(dir); // if lost, the old entry returns after a power cut, unseen
}
