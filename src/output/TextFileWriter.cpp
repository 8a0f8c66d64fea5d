#include "TextFileWriter.h"

#include "Cp1252.h"

#include "SystemError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The rename that put the new file in place is on stable storage only once
// its folder is. Empty when it is; the reason otherwise.
QString flushFolder(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return failedStep(errno, QStringLiteral("abrir la carpeta %1").arg(folder));
    const int flushed = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (flushed != 0)
        return failedStep(error, QStringLiteral("guardar en el disco la carpeta %1").arg(folder));
    return QString();
}

} // namespace

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
    // Unbuffered: a buffered write that fails only when flushed inside
    // commit() goes unnoticed there, and the cut-short file would replace the
    // old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {Outcome::Failed, QString(), file.errorString()};
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return {Outcome::Failed, QString(), error};
    }
    // commit() flushes the new file to the disk before it takes the old
    // one's place.
    if (!file.commit())
        return {Outcome::Failed, QString(), file.errorString()};
    if (const QString error = flushFolder(path); !error.isEmpty())
        return {Outcome::Failed, QString(), error};
    return {};
}
