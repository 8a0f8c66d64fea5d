#include "TextFileWriter.h"

#include "Cp1252.h"

#include <QFile>
#include <QIODevice>

namespace {

struct Prepared
{
    QByteArray bytes;
    QString unencodable;
};

Prepared prepare(const QString &text)
{
    const Cp1252::Encoded encoded = Cp1252::encode(QString(text + QStringLiteral("\r\n")));
    return {encoded.bytes, encoded.unencodable};
}

TextFileWriter::Result refused(const QString &unencodable)
{
    return {TextFileWriter::Outcome::Unencodable, unencodable, QString()};
}

TextFileWriter::Result failed(const QString &error)
{
    return {TextFileWriter::Outcome::Failed, QString(), error};
}

} // namespace

TextFileWriter::Result TextFileWriter::writeTo(QIODevice &device, const QString &text)
{
    const Prepared prepared = prepare(text);
    if (!prepared.unencodable.isEmpty())
        return refused(prepared.unencodable);
    if (device.write(prepared.bytes) != prepared.bytes.size())
        return failed(device.errorString());
    return {};
}

TextFileWriter::Result TextFileWriter::writeFile(const QString &path, const QString &text)
{
    // Checked before the file is opened, so that an existing file is left as
    // it was when the text cannot be saved.
    const Prepared prepared = prepare(text);
    if (!prepared.unencodable.isEmpty())
        return refused(prepared.unencodable);

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return failed(file.errorString());
    if (file.write(prepared.bytes) != prepared.bytes.size() || !file.flush()) {
        const QString error = file.errorString();
        file.close();
        return failed(error);
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        return failed(file.errorString());
    return {};
}
