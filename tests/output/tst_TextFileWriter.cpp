// The text file writer: a file written whole, or an earlier file of the same
// name kept whole when the new one cannot be written.
#include "TestFiles.h"
#include "TextFileWriter.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

class tst_TextFileWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A write that runs out of room (the file size limit, as a full disk
    // would; -1: a folder that takes no new entry) fails with its own reason,
    // also after a partial write, and leaves the earlier exam whole.
    void writesWholeOrKeepsTheEarlierFile_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("error"); // empty: written
        const QString full = QStringLiteral("el fichero ha alcanzado el tamaño máximo permitido "
                                            "(al escribir el fichero examen.txt)");
        // clang-format off
        QTest::newRow("written over a longer file") << 1000 << "";
        QTest::newRow("no room for any byte") << 0 << full;
        QTest::newRow("room for part of it") << 8 << full;
        QTest::newRow("read-only folder") << -1 << "permiso denegado (al crear el fichero examen.txt)";
        // clang-format on
    }
    void writesWholeOrKeepsTheEarlierFile()
    {
        QFETCH(int, limit);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("examen.txt"));
        const QByteArray earlier(200, 'e');
        QVERIFY(testFiles::writeFile(path, earlier));
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
        QCOMPARE(result.error, error);
        QCOMPARE(result.ok(), error.isEmpty());
        QCOMPARE(testFiles::readFile(path), error.isEmpty() ? QByteArray(100, 'x') : earlier);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"examen.txt"});
    }
};

QTEST_GUILESS_MAIN(tst_TextFileWriter)
#include "tst_TextFileWriter.moc"
