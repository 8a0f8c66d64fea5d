// The text file writer: the bytes it writes, the texts it refuses to encode,
// and an earlier file of the same name kept whole whenever the new one cannot be
// written.
#include "TestFiles.h"
#include "TextFileWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using testFiles::readFile;

namespace {

const QByteArray kEarlier = "examen anterior\r\n";

} // namespace

class tst_TextFileWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesTheTextInTheCodePage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QString() << QByteArray("\r\n");
        QTest::newRow("accents") << QString::fromUtf8("¿Qué es un nicho?")
                                 << QByteArray("\xbfQu\xe9 es un nicho?\r\n");
        QTest::newRow("lines kept") << QStringLiteral("1.\r\n2.") << QByteArray("1.\r\n2.\r\n");
        QTest::newRow("euro and dash")
            << QString::fromUtf8("10 € – 20 €") << QByteArray("10 \x80 \x96 20 \x80\r\n");
    }
    void writesTheTextInTheCodePage()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("examen.txt"));
        QVERIFY(testFiles::writeFile(path, kEarlier + kEarlier));
        const TextFileWriter::Encoded encoded = TextFileWriter::encode(text);
        QVERIFY(encoded.result.ok());
        const TextFileWriter::Result result = TextFileWriter::writeFile(path, encoded.bytes);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(readFile(path), bytes);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"examen.txt"});
    }

    void anUnencodableTextIsRefusedNamingItsCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("unencodable");
        QTest::newRow("one") << QString::fromUtf8("Precio en ₽") << QString::fromUtf8("₽");
        QTest::newRow("each once, in order")
            << QString::fromUtf8("α β α ω") << QString::fromUtf8("αβω");
    }
    void anUnencodableTextIsRefusedNamingItsCharacters()
    {
        QFETCH(QString, text);
        QFETCH(QString, unencodable);
        const TextFileWriter::Encoded encoded = TextFileWriter::encode(text);
        QCOMPARE(encoded.result.outcome, TextFileWriter::Outcome::Unencodable);
        QCOMPARE(encoded.result.unencodable, unencodable);
        QCOMPARE(encoded.bytes, QByteArray());
    }

    // A write that runs out of room (here the file size limit, as a full disk
    // would; limit -1: a folder that takes no new entry) fails with the failed
    // write's own reason, also when an earlier write went through in part, and
    // leaves the earlier exam whole.
    void aFailedWriteKeepsTheEarlierFile_data()
    {
        QTest::addColumn<int>("limit"); // bytes a file may reach
        QTest::addColumn<QString>("error");
        const QString full = QString::fromUtf8("el fichero ha alcanzado el tamaño máximo permitido "
                                               "(al escribir el fichero examen.txt)");
        QTest::newRow("no room for any byte") << 0 << full;
        QTest::newRow("room for part of it") << 8 << full;
        QTest::newRow("read-only folder")
            << -1 << QStringLiteral("permiso denegado (al crear el fichero examen.txt)");
    }
    void aFailedWriteKeepsTheEarlierFile()
    {
        QFETCH(int, limit);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("examen.txt"));
        QVERIFY(testFiles::writeFile(path, kEarlier));
        TextFileWriter::Result result;
        {
            std::optional<testFiles::FileSizeLimit> sizeLimit;
            std::optional<testFiles::ReadOnlyFolder> readOnly;
            if (limit >= 0)
                QVERIFY(sizeLimit.emplace(rlim_t(limit)).isActive());
            else
                QVERIFY(readOnly.emplace(dir.path()).isActive());
            result = TextFileWriter::writeFile(path, QByteArray(100, 'x'));
        }
        QCOMPARE(result.outcome, TextFileWriter::Outcome::Failed);
        QCOMPARE(result.error, error);
        QCOMPARE(readFile(path), kEarlier);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"examen.txt"});
    }
};

QTEST_GUILESS_MAIN(tst_TextFileWriter)
#include "tst_TextFileWriter.moc"
