#include "OutputFile.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace

namespace outputFile {

QString write(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("no se puede crear %1: %2").arg(path, file.errorString());
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return QStringLiteral("no se puede escribir %1: %2").arg(path, reason);
    }
    // On disk before the rename makes it the file.
    if (::fsync(file.handle()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return QStringLiteral("no se puede escribir %1: %2").arg(path, reason);
    }
    if (!file.commit())
        return QStringLiteral("no se puede guardar %1: %2").arg(path, file.errorString());
    if (!syncFolder(QFileInfo(path).absolutePath()))
        return QStringLiteral("%1 se ha escrito, pero no se ha podido asegurar en el disco la "
                              "carpeta que lo contiene")
            .arg(path);
    return {};
}

} // namespace outputFile
