#include "TextFileWriter.h"

#include "Cp1252.h"

#include "SystemError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <unistd.h>

TextFileWriter::Encoded TextFileWriter::encode(const QString &text)
{
    Cp1252::Encoded encoded = Cp1252::encode(QString(text + QStringLiteral("\r\n")));
    if (!encoded.unencodable.isEmpty())
        return {{Outcome::Unencodable, encoded.unencodable, QString()}, QByteArray()};
    return {{}, std::move(encoded.bytes)};
}

TextFileWriter::Result TextFileWriter::writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Written straight to the descriptor, so that nothing waits in a buffer
    // to fail unnoticed inside commit(), and a write cut short by a full disk
    // is reported with the error of the call that failed (QFile reports a
    // short write with no reason at all).
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // The failed call is the creation of the new file beside the old one;
        // its errno gives the reason in Spanish, where QSaveFile's own text
        // would be in English.
        const int error = errno;
        if (error == 0)
            return {Outcome::Failed, QString(), file.errorString()};
        return {Outcome::Failed, QString(),
                failedStep(error,
                           QStringLiteral("crear el fichero %1").arg(QFileInfo(path).fileName()))};
    }
    if (const int error = writeFully(file.handle(), bytes.constData(), bytes.size()); error != 0) {
        file.cancelWriting();
        return {
            Outcome::Failed, QString(),
            failedStep(error,
                       QStringLiteral("escribir el fichero %1").arg(QFileInfo(path).fileName()))};
    }
    // commit() flushes the new file to the disk before it takes the old
    // one's place.
    if (!file.commit())
        return {Outcome::Failed, QString(), file.errorString()};
    // The rename that put the new file in place is on stable storage only
    // once its folder is.
    const QString folder = QFileInfo(path).absolutePath();
    if (const int error = syncFolder(folder); error != 0)
        return {Outcome::Failed, QString(),
                failedStep(error, QStringLiteral("guardar en el disco la carpeta %1").arg(folder))};
    return {};
}
