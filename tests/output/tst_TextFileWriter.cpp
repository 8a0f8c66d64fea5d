// The text file writer: the bytes it writes, the texts it refuses to encode,
// and an earlier file of the same name kept whole whenever the new one cannot be
// written.
#include "SystemError.h"
#include "TestFiles.h"
#include "TextFileWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const QByteArray kEarlier = "examen anterior\r\n";

} // namespace

class tst_TextFileWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ignoreFileSizeSignal(); }

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
        QVERIFY(writeBytes(path, kEarlier + kEarlier));
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
    // would) fails with the failed write's own reason, also when an earlier
    // write went through in part, and leaves the earlier exam whole.
    void aFailedWriteKeepsTheEarlierFile_data()
    {
        QTest::addColumn<int>("limit"); // bytes a file may reach
        QTest::newRow("no room for any byte") << 0;
        QTest::newRow("room for part of it") << 8;
    }
    void aFailedWriteKeepsTheEarlierFile()
    {
        QFETCH(int, limit);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("examen.txt"));
        QVERIFY(writeBytes(path, kEarlier));
        struct rlimit old;
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
        struct rlimit small = old;
        small.rlim_cur = rlim_t(limit);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const TextFileWriter::Result result = TextFileWriter::writeFile(path, QByteArray(100, 'x'));
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &old), 0);
        QCOMPARE(result.outcome, TextFileWriter::Outcome::Failed);
        QCOMPARE(result.error, QString::fromUtf8("el fichero ha alcanzado el tamaño máximo "
                                                 "permitido (al escribir el fichero examen.txt)"));
        QCOMPARE(readFile(path), kEarlier);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"examen.txt"});
    }

    void aFolderThatCannotBeWrittenKeepsTheEarlierFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("examen.txt"));
        QVERIFY(writeBytes(path, kEarlier));
        TextFileWriter::Result result;
        {
            const testFiles::ReadOnlyFolder readOnly(dir.path());
            QVERIFY(readOnly.isActive());
            result = TextFileWriter::writeFile(path, QByteArray("nuevo\r\n"));
        }
        QCOMPARE(result.outcome, TextFileWriter::Outcome::Failed);
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(readFile(path), kEarlier);
    }
};

QTEST_GUILESS_MAIN(tst_TextFileWriter)
#include "tst_TextFileWriter.moc"
