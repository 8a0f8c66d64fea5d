#include "DurableFile.h"

#include "SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DurableFile {

QString write(const QString &path, QByteArrayView bytes)
{
    const QFileInfo named(path);
    const QString shown = named.fileName().isEmpty() ? path : named.fileName();
    QString target = named.absoluteFilePath();
    if (named.isSymLink()) {
        const QString canonical = named.canonicalFilePath();
        target = canonical.isEmpty() ? named.symLinkTarget() : canonical;
    }
    const QString folder = QFileInfo(target).absolutePath();
    const QByteArray targetNative = QFile::encodeName(target);
    const QString createStep = QStringLiteral("crear el fichero %1").arg(shown);

    struct stat old = {};
    const bool exists = ::stat(targetNative.constData(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return failedStep(EISDIR, createStep);
    // A pipe, a device or a socket is not replaced by a regular file.
    if (exists && !S_ISREG(old.st_mode))
        return QStringLiteral("%1 no es un fichero normal sino %2, y no se sustituye")
            .arg(shown, S_ISFIFO(old.st_mode) ? QStringLiteral("una tubería")
                        : S_ISCHR(old.st_mode) || S_ISBLK(old.st_mode)
                            ? QStringLiteral("un dispositivo")
                            : QStringLiteral("un socket"));
    // A file its owner made read-only is not replaced behind their back,
    // although the folder would allow the rename.
    if (exists && ::access(targetNative.constData(), W_OK) != 0) {
        const int error = errno;
        return failedStep(error, QStringLiteral("escribir el fichero %1").arg(shown));
    }

    QByteArray tempNative;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        tempNative =
            targetNative + '.' +
            QByteArray::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, '0');
        fd = ::open(tempNative.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt == 16)) {
            const int error = errno;
            return failedStep(error, createStep);
        }
    }
    // Every failure keeps the error of its own call: the clean-up makes calls of its own.
    const auto abandon = [&](int error, const QString &step) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(tempNative.constData());
        return failedStep(error, step.arg(shown));
    };
    if (exists)
        ::fchmod(fd, old.st_mode & 07777); // the old file's permissions, where allowed
    if (const int error = writeFully(fd, bytes.data(), bytes.size()); error != 0)
        return abandon(error, QStringLiteral("escribir el fichero %1"));
    if (::fsync(fd) != 0) {
        const int error = errno;
        return abandon(error, QStringLiteral("guardar en el disco el fichero %1"));
    }
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) {
        const int error = errno;
        return abandon(error, QStringLiteral("escribir el fichero %1"));
    }
    if (::rename(tempNative.constData(), targetNative.constData()) != 0) {
        const int error = errno;
        return abandon(error, QStringLiteral("poner el fichero %1 en su sitio"));
    }
    if (const int error = syncFolder(folder); error != 0)
        return failedStep(error, QStringLiteral("guardar en el disco la carpeta %1")
                                     .arg(QDir::toNativeSeparators(folder)));
    return {};
}

} // namespace DurableFile
