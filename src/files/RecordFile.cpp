#include "RecordFile.h"

#include "OpenFiles.h"
#include "SystemError.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// One entry answering to a name apart from letter case.
struct Variant
{
    QString name;
    unsigned char type = DT_UNKNOWN; // as the folder listing gives it
    qint64 modifiedMs = 0;           // followed through links
    bool dated = false;              // false: no time (a link to nothing)
};

bool isAscii(const char *text, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    return true;
}

// The name's folder, the text before its last component, and the entries of
// the folder that answer to that component, newest first. The folder is read
// in one pass straight from the system (the file types come with it), and
// entries are dated only when there are several to choose from: opening a
// bank costs a few calls, not a stat of every entry. The folder stays open
// while the lookup lives, so that the file is opened in the folder that was
// read, by its entry's name, without walking the path again.
struct Lookup
{
    QString prefix;
    QString wanted; // the name's last component
    std::vector<Variant> found;
    int folder = -1; // -1 when the folder could not be read

    Lookup() = default;
    Lookup(Lookup &&other) noexcept
        : prefix(std::move(other.prefix)), wanted(std::move(other.wanted)),
          found(std::move(other.found)), folder(std::exchange(other.folder, -1))
    {
    }
    Lookup &operator=(Lookup &&) = delete;
    ~Lookup()
    {
        if (folder >= 0)
            ::close(folder);
    }
};

Lookup lookUp(const QString &name, const QString &preferred)
{
    Lookup result;
    const QFileInfo requested(name);
    const QString wanted = requested.fileName();
    result.wanted = wanted;
    if (wanted.isEmpty())
        return result;
    result.prefix = name.endsWith(wanted) ? name.left(name.size() - wanted.size())
                                          : requested.path() + QLatin1Char('/');
    const int dir =
        ::open(QFile::encodeName(requested.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return result;
    result.folder = dir;
    const QByteArray wantedBytes = QFile::encodeName(wanted);
    const bool wantedAscii = isAscii(wantedBytes.constData(), size_t(wantedBytes.size()));
    alignas(dirent64) char buffer[32 * 1024];
    for (;;) {
        const ssize_t got = ::getdents64(dir, buffer, sizeof buffer);
        if (got <= 0)
            break;
        for (ssize_t pos = 0; pos < got;) {
            const auto *entry = reinterpret_cast<const dirent64 *>(buffer + pos);
            pos += entry->d_reclen;
            const char *entryName = entry->d_name;
            const size_t length = std::strlen(entryName);
            if (std::strcmp(entryName, ".") == 0 || std::strcmp(entryName, "..") == 0)
                continue;
            // Names in plain ASCII compare byte by byte; any other is
            // compared as text, since some letters fold to ASCII ones.
            bool same = false;
            if (wantedAscii && isAscii(entryName, length))
                same = qsizetype(length) == wantedBytes.size() &&
                       qstrnicmp(entryName, wantedBytes.constData(), length) == 0;
            else
                same = QFile::decodeName(entryName).compare(wanted, Qt::CaseInsensitive) == 0;
            if (same)
                result.found.push_back({QFile::decodeName(entryName), entry->d_type});
        }
    }
    if (result.found.size() > 1) {
        for (Variant &variant : result.found) {
            struct stat info;
            if (::fstatat(dir, QFile::encodeName(variant.name).constData(), &info, 0) == 0) {
                variant.dated = true;
                variant.modifiedMs =
                    qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
            }
        }
        // The preferred spelling is the newest by construction, whatever the
        // times say (a copy gives every entry the time of the copy). Other
        // times count to the millisecond. On equal times the exact spelling
        // comes first, then the names in order, so that the choice never
        // depends on the order the folder lists them.
        std::sort(result.found.begin(), result.found.end(),
                  [&wanted, &preferred](const Variant &a, const Variant &b) {
                      if (a.dated != b.dated)
                          return a.dated;
                      const bool preferredA = a.name == preferred;
                      const bool preferredB = b.name == preferred;
                      if (preferredA != preferredB)
                          return preferredA;
                      if (a.dated && a.modifiedMs != b.modifiedMs)
                          return a.modifiedMs > b.modifiedMs;
                      const bool exactA = a.name == wanted;
                      const bool exactB = b.name == wanted;
                      if (exactA != exactB)
                          return exactA;
                      return a.name < b.name;
                  });
    }
    return result;
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

RecordFile::~RecordFile()
{
    close();
}

QString RecordFile::shownName() const
{
    return QFileInfo(m_path).fileName();
}

bool RecordFile::open(const QString &name, int recordLength, const QString &preferred)
{
    close();
    m_recordLength = recordLength;
    m_readOnly = false;
    m_readOnlyReason.clear();
    m_error.clear();
    m_otherVariants.clear();
    m_opened = {};
    if (recordLength <= 0) {
        m_error = QStringLiteral("la longitud de registro no es válida");
        return false;
    }

    const Lookup lookup = lookUp(name, preferred);
    m_path = lookup.found.empty() ? name : lookup.prefix + lookup.found.front().name;
    m_otherVariants.clear();
    for (size_t k = 1; k < lookup.found.size(); ++k)
        m_otherVariants.append(lookup.found[k].name);
    const QByteArray native = QFile::encodeName(m_path);
    // The entry in the folder that was read, or the path when the folder
    // could not be read (a folder one may open files in but not list).
    const int at = lookup.folder >= 0 ? lookup.folder : AT_FDCWD;
    const QByteArray entryName =
        lookup.folder < 0
            ? native
            : QFile::encodeName(lookup.found.empty() ? lookup.wanted : lookup.found.front().name);
    // Looked at before anything is opened: opening a device or a pipe can
    // itself wait or have effects, and O_CREAT through a link to nothing
    // would create a file elsewhere. The folder listing gave the type; only
    // a link, a type the listing did not give, or a name it did not hold (an
    // unreadable folder) needs a closer look.
    const unsigned char type =
        lookup.found.empty() ? (unsigned char)DT_UNKNOWN : lookup.found.front().type;
    if (type == DT_LNK || type == DT_UNKNOWN) {
        struct stat entry;
        if (::fstatat(at, entryName.constData(), &entry, AT_SYMLINK_NOFOLLOW) == 0) {
            struct stat target;
            if (S_ISLNK(entry.st_mode) && ::fstatat(at, entryName.constData(), &target, 0) != 0) {
                const int error = errno;
                m_error = failedStep(error, QStringLiteral("seguir el enlace %1").arg(shownName()));
                return false;
            }
            if (!S_ISLNK(entry.st_mode) && !S_ISREG(entry.st_mode)) {
                m_error = QStringLiteral("%1 no es un fichero de datos").arg(shownName());
                return false;
            }
        }
    } else if (type != DT_REG) {
        m_error = QStringLiteral("%1 no es un fichero de datos").arg(shownName());
        return false;
    }
    // O_NONBLOCK: a pipe or device put under the bank's name since the
    // folder was read must not make the program wait; it is refused below.
    // O_EXCL when no entry answered: then this call is known to make the file.
    const bool creating = lookup.found.empty();
    int fd = ::openat(at, entryName.constData(),
                      O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | (creating ? O_EXCL : 0), 0666);
    const bool created = fd >= 0 && creating;
    if (fd < 0 && creating && errno == EEXIST) // made by another program meanwhile
        fd = ::openat(at, entryName.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        const int writeError = errno;
        fd = ::openat(at, entryName.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            m_error =
                failedStep(writeError, QStringLiteral("abrir el fichero %1").arg(shownName()));
            return false;
        }
        m_readOnly = true;
        m_readOnlyReason = failedStep(
            writeError, QStringLiteral("abrir el fichero %1 para escribir").arg(shownName()));
    }
    // Checked again on what was opened: the entry may have changed since.
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        m_readOnly = false;
        m_readOnlyReason.clear();
        m_error = QStringLiteral("%1 no es un fichero de datos").arg(shownName());
        return false;
    }
    // The new entry reaches the disk with its folder: without this flush a
    // power cut could take away the file and the records written into it,
    // though each write was flushed.
    if (created) {
        if (const int error = syncFolder(QFileInfo(m_path).absolutePath()); error != 0) {
            ::close(fd);
            ::unlink(native.constData());
            m_error = failedStep(error, QStringLiteral("guardar en el disco la carpeta del "
                                                       "fichero %1")
                                            .arg(shownName()));
            return false;
        }
    }
    m_opened.exists = true;
    m_opened.device = quint64(info.st_dev);
    m_opened.inode = quint64(info.st_ino);
    m_opened.size = qint64(info.st_size);
    m_opened.modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + qint64(info.st_mtim.tv_nsec);
    m_fd = fd;
    OpenFiles::add(this);
    return true;
}

void RecordFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    OpenFiles::remove(this);
}

qint64 RecordFile::size() const
{
    struct stat info;
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0)
        return -1;
    return info.st_size;
}

std::optional<QByteArray> RecordFile::readAll(qint64 maxLength)
{
    if (m_fd < 0) {
        m_error = QStringLiteral("el fichero no está abierto");
        return std::nullopt;
    }
    struct stat info;
    if (::fstat(m_fd, &info) != 0) {
        const int error = errno;
        m_error = failedStep(error, QStringLiteral("consultar el fichero %1").arg(shownName()));
        return std::nullopt;
    }
    if (info.st_size > maxLength) {
        m_error = QStringLiteral("el fichero %1 mide %2 bytes, demasiado para leerlo entero")
                      .arg(shownName())
                      .arg(qint64(info.st_size));
        return std::nullopt;
    }
    QByteArray bytes(qsizetype(info.st_size), Qt::Uninitialized);
    qint64 done = 0;
    if (const int error = readFully(m_fd, bytes.data(), info.st_size, 0, &done); error != 0) {
        m_error = failedStep(error, QStringLiteral("leer el fichero %1").arg(shownName()));
        return std::nullopt;
    }
    bytes.truncate(qsizetype(done));
    return bytes;
}

qint64 RecordFile::readRecordsInto(qint64 first, qint64 count, char *buffer)
{
    if (m_fd < 0) {
        m_error = QStringLiteral("el fichero no está abierto");
        return -1;
    }
    if (first < 1 || count < 0) {
        m_error = QStringLiteral("el número de registro no es válido");
        return -1;
    }
    qint64 done = 0;
    if (const int error =
            readFully(m_fd, buffer, count * m_recordLength, (first - 1) * m_recordLength, &done);
        error != 0) {
        m_error = failedStep(error, QStringLiteral("leer el fichero %1").arg(shownName()));
        return -1;
    }
    return done / m_recordLength;
}

std::optional<QByteArray> RecordFile::readRecord(qint64 n)
{
    QByteArray bytes(m_recordLength, Qt::Uninitialized);
    if (!readRecordInto(n, bytes.data()))
        return std::nullopt;
    return bytes;
}

bool RecordFile::readRecordInto(qint64 n, char *buffer)
{
    if (m_fd < 0) {
        m_error = QStringLiteral("el fichero no está abierto");
        return false;
    }
    if (n < 1) {
        m_error = QStringLiteral("el número de registro no es válido");
        return false;
    }
    qint64 done = 0;
    if (const int error = readFully(m_fd, buffer, m_recordLength, (n - 1) * m_recordLength, &done);
        error != 0) {
        m_error = failedStep(error, QStringLiteral("leer el fichero %1").arg(shownName()));
        return false;
    }
    if (done != m_recordLength) {
        m_error = QStringLiteral("el registro %1 no está completo en el fichero").arg(n);
        return false;
    }
    return true;
}

bool RecordFile::writeRecord(qint64 n, QByteArrayView bytes)
{
    if (m_fd < 0) {
        m_error = QStringLiteral("el fichero no está abierto");
        return false;
    }
    if (m_readOnly) {
        m_error = m_readOnlyReason;
        return false;
    }
    if (n < 1 || bytes.size() != m_recordLength) {
        m_error = QStringLiteral("el registro no es válido");
        return false;
    }
    const qint64 offset = (n - 1) * m_recordLength;
    struct stat info;
    if (::fstat(m_fd, &info) != 0) {
        const int error = errno;
        m_error = failedStep(error, QStringLiteral("consultar el fichero %1").arg(shownName()));
        return false;
    }
    const qint64 oldSize = info.st_size;
    // What the write covers, kept so that a failure can put it back: a torn
    // tail under an append, the old record under a rewrite.
    QByteArray covered(qBound<qint64>(0, oldSize - offset, qint64(m_recordLength)),
                       Qt::Uninitialized);
    qint64 coveredRead = 0;
    if (const int error = readFully(m_fd, covered.data(), covered.size(), offset, &coveredRead);
        error != 0) {
        m_error = failedStep(error, QStringLiteral("leer el fichero %1").arg(shownName()));
        return false;
    }
    covered.truncate(coveredRead);

    // Each failure keeps the error of its own call: the clean-up below makes
    // calls of its own.
    QString step;
    int error = writeFully(m_fd, bytes.data(), bytes.size(), offset);
    if (error != 0) {
        step = QStringLiteral("escribir en el fichero %1");
    } else if (::fdatasync(m_fd) != 0) {
        error = errno;
        step = QStringLiteral("guardar en el disco el fichero %1");
    }
    if (step.isEmpty())
        return true;

    // Best effort: put back the bytes and the length the file had. Neither
    // needs new room on the disk, so they succeed where the write did not.
    writeFully(m_fd, covered.constData(), covered.size(), offset);
    if (size() != oldSize)
        while (::ftruncate(m_fd, off_t(oldSize)) != 0 && errno == EINTR) {
        }
    ::fdatasync(m_fd);
    m_error = failedStep(error, step.arg(shownName()));
    return false;
}

QFileInfoList RecordFile::caseVariants(const QString &name, const QString &preferred)
{
    const Lookup lookup = lookUp(name, preferred);
    QFileInfoList matches;
    matches.reserve(qsizetype(lookup.found.size()));
    for (const Variant &variant : lookup.found)
        matches.append(QFileInfo(lookup.prefix + variant.name));
    return matches;
}

QString RecordFile::resolve(const QString &name, const QString &preferred)
{
    const Lookup lookup = lookUp(name, preferred);
    return lookup.found.empty() ? name : lookup.prefix + lookup.found.front().name;
}

bool RecordFile::removeFile(const QString &name, QString *error)
{
    const QFileInfoList matches = caseVariants(name, QString());
    for (const QFileInfo &entry : matches) {
        if (::unlink(QFile::encodeName(entry.filePath()).constData()) != 0) {
            const int failure = errno;
            setError(
                error,
                failedStep(failure, QStringLiteral("borrar el fichero %1").arg(entry.fileName())));
            return false;
        }
    }
    return true;
}
