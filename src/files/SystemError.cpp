#include "SystemError.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

QString systemErrorText(int errnum)
{
    switch (errnum) {
    case ENOSPC:
        return QStringLiteral("no queda espacio libre en el disco");
    case EDQUOT:
        return QStringLiteral("se ha agotado la cuota de disco del usuario");
    case EFBIG:
        return QStringLiteral("el fichero ha alcanzado el tamaño máximo permitido");
    case EROFS:
        return QStringLiteral("el disco es de solo lectura");
    case EACCES:
        return QStringLiteral("permiso denegado");
    case EPERM:
        return QStringLiteral("operación no permitida");
    case ETXTBSY:
        return QStringLiteral("el fichero está en uso por un programa en ejecución");
    case EBUSY:
        return QStringLiteral("el fichero o la carpeta están en uso");
    case EIO:
        return QStringLiteral("se ha producido un error de lectura o escritura en el disco");
    case ENOENT:
        return QStringLiteral("el fichero o la carpeta no existen");
    case ENOTDIR:
        return QStringLiteral("una parte de la ruta no es una carpeta");
    case EISDIR:
        return QStringLiteral("es una carpeta, no un fichero");
    case EEXIST:
        return QStringLiteral("ya existe un fichero con ese nombre");
    case EXDEV:
        return QStringLiteral("los ficheros están en discos distintos");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("hay demasiados ficheros abiertos");
    case ENAMETOOLONG:
        return QStringLiteral("el nombre es demasiado largo");
    case ELOOP:
        return QStringLiteral("hay demasiados enlaces simbólicos en la ruta");
    case ENOMEM:
        return QStringLiteral("no hay memoria suficiente");
    case EINVAL:
        return QStringLiteral("el sistema no admite la operación sobre este fichero");
    default:
        return QStringLiteral("error del sistema número %1 (%2)")
            .arg(errnum)
            .arg(QString::fromLocal8Bit(std::strerror(errnum)));
    }
}

QString failedStep(int errnum, const QString &step)
{
    return QStringLiteral("%1 (al %2)").arg(systemErrorText(errnum), step);
}

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

int writeFully(int fd, const char *data, qint64 size, qint64 offset)
{
    qint64 done = 0;
    while (done < size) {
        const size_t wanted = size_t(size - done);
        const ssize_t n = offset < 0 ? ::write(fd, data + done, wanted)
                                     : ::pwrite(fd, data + done, wanted, off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return ENOSPC;
        done += n;
    }
    return 0;
}

int readFully(int fd, char *data, qint64 size, qint64 offset, qint64 *done)
{
    *done = 0;
    while (*done < size) {
        const ssize_t n = ::pread(fd, data + *done, size_t(size - *done), off_t(offset + *done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            break; // end of file
        *done += n;
    }
    return 0;
}

int syncFolder(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int failure = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return failure;
}
