#include "RecordFile.h"

#include "OpenFiles.h"
#include "SystemError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// pread/pwrite until every byte is through; false with errno set otherwise.
bool readFully(int fd, char *data, qint64 size, qint64 offset, qint64 *done)
{
    *done = 0;
    while (*done < size) {
        const ssize_t n = ::pread(fd, data + *done, size_t(size - *done), off_t(offset + *done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true; // end of file
        *done += n;
    }
    return true;
}

bool writeFully(int fd, const char *data, qint64 size, qint64 offset)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, data + done, size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        done += n;
    }
    return true;
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

bool RecordFile::open(const QString &name, int recordLength)
{
    close();
    m_requestedName = name;
    m_recordLength = recordLength;
    m_readOnly = false;
    m_readOnlyReason.clear();
    m_error.clear();
    if (recordLength <= 0) {
        m_error = QStringLiteral("la longitud de registro no es válida");
        return false;
    }

    m_path = resolve(name);
    const QByteArray native = QFile::encodeName(m_path);
    // Looked at before anything is opened: opening a device or a pipe can
    // itself wait or have effects, and O_CREAT through a link to nothing
    // would create a file elsewhere.
    struct stat entry;
    if (::lstat(native.constData(), &entry) == 0) {
        struct stat target;
        if (S_ISLNK(entry.st_mode) && ::stat(native.constData(), &target) != 0) {
            m_error = failedStep(errno, QStringLiteral("seguir el enlace %1").arg(shownName()));
            return false;
        }
        if (!S_ISLNK(entry.st_mode) && !S_ISREG(entry.st_mode)) {
            m_error = QStringLiteral("%1 no es un fichero de datos").arg(shownName());
            return false;
        }
    }
    // O_NONBLOCK: a pipe or device under the bank's name must not make the
    // program wait; it is refused below.
    int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        const int writeError = errno;
        fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
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
        m_error = failedStep(errno, QStringLiteral("consultar el fichero %1").arg(shownName()));
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
    if (!readFully(m_fd, bytes.data(), info.st_size, 0, &done)) {
        m_error = failedStep(errno, QStringLiteral("leer el fichero %1").arg(shownName()));
        return std::nullopt;
    }
    bytes.truncate(qsizetype(done));
    return bytes;
}

std::optional<QByteArray> RecordFile::readRecords(qint64 first, qint64 count)
{
    if (m_fd < 0) {
        m_error = QStringLiteral("el fichero no está abierto");
        return std::nullopt;
    }
    if (first < 1 || count < 0) {
        m_error = QStringLiteral("el número de registro no es válido");
        return std::nullopt;
    }
    QByteArray bytes(qsizetype(count * m_recordLength), Qt::Uninitialized);
    qint64 done = 0;
    if (!readFully(m_fd, bytes.data(), bytes.size(), (first - 1) * m_recordLength, &done)) {
        m_error = failedStep(errno, QStringLiteral("leer el fichero %1").arg(shownName()));
        return std::nullopt;
    }
    bytes.truncate(qsizetype(done - done % m_recordLength));
    return bytes;
}

std::optional<QByteArray> RecordFile::readRecord(qint64 n)
{
    if (m_fd < 0) {
        m_error = QStringLiteral("el fichero no está abierto");
        return std::nullopt;
    }
    if (n < 1) {
        m_error = QStringLiteral("el número de registro no es válido");
        return std::nullopt;
    }
    QByteArray bytes(m_recordLength, Qt::Uninitialized);
    qint64 done = 0;
    if (!readFully(m_fd, bytes.data(), m_recordLength, (n - 1) * m_recordLength, &done)) {
        m_error = failedStep(errno, QStringLiteral("leer el fichero %1").arg(shownName()));
        return std::nullopt;
    }
    if (done != m_recordLength) {
        m_error = QStringLiteral("el registro %1 no está completo en el fichero").arg(n);
        return std::nullopt;
    }
    return bytes;
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
    const qint64 oldSize = size();
    // What the write covers, kept so that a failure can put it back: a torn
    // tail under an append, the old record under a rewrite.
    QByteArray covered(qBound<qint64>(0, oldSize - offset, qint64(m_recordLength)),
                       Qt::Uninitialized);
    qint64 coveredRead = 0;
    if (oldSize < 0 || !readFully(m_fd, covered.data(), covered.size(), offset, &coveredRead)) {
        m_error = failedStep(errno, QStringLiteral("leer el fichero %1").arg(shownName()));
        return false;
    }
    covered.truncate(coveredRead);

    QString step;
    if (!writeFully(m_fd, bytes.data(), bytes.size(), offset))
        step = QStringLiteral("escribir en el fichero %1");
    else if (::fdatasync(m_fd) != 0)
        step = QStringLiteral("guardar en el disco el fichero %1");
    if (step.isEmpty())
        return true;

    const int error = errno;
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

QFileInfoList RecordFile::caseVariants(const QString &name)
{
    const QFileInfo requested(name);
    const QString wanted = requested.fileName();
    QFileInfoList matches;
    if (wanted.isEmpty())
        return matches;
    const QDir dir = requested.dir();
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (entry.fileName().compare(wanted, Qt::CaseInsensitive) == 0)
            matches.append(entry);
    }
    // On equal times the exact spelling comes first, then the names in order,
    // so that the choice never depends on the order the directory lists them.
    std::sort(matches.begin(), matches.end(), [&wanted](const QFileInfo &a, const QFileInfo &b) {
        const QDateTime ta = a.lastModified();
        const QDateTime tb = b.lastModified();
        if (ta != tb)
            return ta > tb;
        const bool exactA = a.fileName() == wanted;
        const bool exactB = b.fileName() == wanted;
        if (exactA != exactB)
            return exactA;
        return a.fileName() < b.fileName();
    });
    return matches;
}

QString RecordFile::resolve(const QString &name)
{
    const QFileInfoList matches = caseVariants(name);
    return matches.isEmpty() ? name : matches.first().filePath();
}

bool RecordFile::removeFile(const QString &name, QString *error)
{
    const QFileInfoList matches = caseVariants(name);
    for (const QFileInfo &entry : matches) {
        if (::unlink(QFile::encodeName(entry.filePath()).constData()) != 0) {
            setError(
                error,
                failedStep(errno, QStringLiteral("borrar el fichero %1").arg(entry.fileName())));
            return false;
        }
    }
    return true;
}
