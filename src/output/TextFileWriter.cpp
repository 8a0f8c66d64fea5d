#include "TextFileWriter.h"

#include "Cp1252.h"
#include "DurableFile.h"

TextFileWriter::Encoded TextFileWriter::encode(const QString &text)
{
    Cp1252::Encoded encoded = Cp1252::encode(QString(text + QStringLiteral("\r\n")));
    if (!encoded.unencodable.isEmpty())
        return {{Outcome::Unencodable, encoded.unencodable, QString()}, QByteArray()};
    return {{}, std::move(encoded.bytes)};
}

TextFileWriter::Result TextFileWriter::writeFile(const QString &path, const QByteArray &bytes)
{
    if (const QString error = DurableFile::write(path, bytes); !error.isEmpty())
        return {Outcome::Failed, QString(), error};
    return {};
}
