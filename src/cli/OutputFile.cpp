#include "OutputFile.h"

#include "SystemError.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <unistd.h>

namespace outputFile {

QString write(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return QStringLiteral("no se puede crear %1: %2").arg(path, file.errorString());
    // Straight to the descriptor: a write cut short by a full disk is
    // reported with the error of the call that failed, which QFile leaves out.
    if (const int error = writeFully(file.handle(), bytes.constData(), bytes.size()); error != 0) {
        file.cancelWriting();
        return QStringLiteral("no se puede escribir %1: %2").arg(path, systemErrorText(error));
    }
    // On disk before the rename makes it the file.
    if (::fsync(file.handle()) != 0) {
        const int error = errno;
        file.cancelWriting();
        return QStringLiteral("no se puede escribir %1: %2").arg(path, systemErrorText(error));
    }
    if (!file.commit())
        return QStringLiteral("no se puede guardar %1: %2").arg(path, file.errorString());
    if (syncFolder(QFileInfo(path).absolutePath()) != 0)
        return QStringLiteral("%1 se ha escrito, pero no se ha podido asegurar en el disco la "
                              "carpeta que lo contiene")
            .arg(path);
    return {};
}

} // namespace outputFile
