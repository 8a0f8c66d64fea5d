// The text file an examination is saved to: its exact bytes in Windows-1252,
// the refusal of characters the code page cannot hold, and write errors.
#include "TestFiles.h"
#include "TextFileWriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace testFiles;

namespace {

// A device that accepts `room` bytes and then fails every write.
class FailDevice : public QIODevice
{
public:
    explicit FailDevice(qint64 room) : m_room(room) {}

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 length) override
    {
        if (m_room <= 0) {
            setErrorString(QStringLiteral("disco lleno"));
            return -1;
        }
        const qint64 written = qMin(length, m_room);
        m_room -= written;
        return written;
    }

private:
    qint64 m_room;
};

} // namespace

class tst_TextFileWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesTheTextAndOneLineEndInWindows1252_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty text") << QString() << QByteArray("\r\n");
        QTest::newRow("Sí") << QStringLiteral("Sí") << QByteArray("\x53\xED\r\n");
        QTest::newRow("bullet") << QStringLiteral("\u2022") << QByteArray("\x95\r\n");
        QTest::newRow("euro and Spanish letters")
            << QStringLiteral("€ñÑ¿¡áéíóúü")
            << QByteArray("\x80\xF1\xD1\xBF\xA1\xE1\xE9\xED\xF3\xFA\xFC\r\n");
        QTest::newRow("own line ends written as they are")
            << QStringLiteral("EXAMEN\r\n\r\nSí(\u2022) No( )  -  a\r\n")
            << QByteArray("EXAMEN\r\n\r\nS\xED(\x95) No( )  -  a\r\n\r\n");
    }
    void writesTheTextAndOneLineEndInWindows1252()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("examen.TXT"));
        const TextFileWriter::Result result = TextFileWriter::writeFile(path, text);
        QVERIFY(result.ok());
        QCOMPARE(readFile(path), bytes);
    }

    void replacesTheContentOfAnExistingFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("examen"));
        QVERIFY(writeFile(path, QByteArray(1000, 'x')));
        QVERIFY(TextFileWriter::writeFile(path, QStringLiteral("No")).ok());
        QCOMPARE(readFile(path), QByteArray("No\r\n"));
    }

    void refusesUnencodableCharactersNamingThemAndWritesNothing()
    {
        const QString text = QStringLiteral("✓ x → y ✓ →");
        QTemporaryDir dir;
        const QString fresh = dir.filePath(QStringLiteral("nuevo.TXT"));
        TextFileWriter::Result result = TextFileWriter::writeFile(fresh, text);
        QCOMPARE(result.outcome, TextFileWriter::Outcome::Unencodable);
        QCOMPARE(result.unencodable, QStringLiteral("✓→"));
        QVERIFY(!QFile::exists(fresh));

        // An existing file keeps its content.
        const QString existing = dir.filePath(QStringLiteral("viejo.TXT"));
        QVERIFY(writeFile(existing, "antes"));
        result = TextFileWriter::writeFile(existing, text);
        QCOMPARE(result.outcome, TextFileWriter::Outcome::Unencodable);
        QCOMPARE(readFile(existing), QByteArray("antes"));
    }

    void reportsFilesThatCannotBeCreated_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::newRow("missing folder") << QStringLiteral("no/existe/examen.TXT");
        QTest::newRow("a folder") << QStringLiteral("carpeta");
    }
    void reportsFilesThatCannotBeCreated()
    {
        QFETCH(QString, relativePath);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("carpeta")));
        const TextFileWriter::Result result =
            TextFileWriter::writeFile(dir.filePath(relativePath), QStringLiteral("texto"));
        QCOMPARE(result.outcome, TextFileWriter::Outcome::Failed);
        QVERIFY(!result.error.isEmpty());
    }

    void reportsAFullDisk()
    {
        if (!QFile::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full on this system");
        const TextFileWriter::Result result =
            TextFileWriter::writeFile(QStringLiteral("/dev/full"), QStringLiteral("texto"));
        QCOMPARE(result.outcome, TextFileWriter::Outcome::Failed);
    }

    void reportsWriteErrorsOfTheDevice_data()
    {
        QTest::addColumn<qint64>("room");
        QTest::newRow("nothing written") << qint64(0);
        QTest::newRow("cut short") << qint64(3);
    }
    void reportsWriteErrorsOfTheDevice()
    {
        QFETCH(qint64, room);
        FailDevice device(room);
        QVERIFY(device.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const TextFileWriter::Result result =
            TextFileWriter::writeTo(device, QStringLiteral("Sí, seguro"));
        QCOMPARE(result.outcome, TextFileWriter::Outcome::Failed);
    }
};

QTEST_APPLESS_MAIN(tst_TextFileWriter)
#include "tst_TextFileWriter.moc"
