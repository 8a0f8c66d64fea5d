// A file's identity tells an untouched file from one that another program
// appended to, replaced, redated or removed.

#include "FileIdentity.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <cstdio>

using namespace testFiles;

class tst_FileIdentity : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void anyChangeOfTheFileUnderTheNameShows_data()
    {
        QTest::addColumn<QByteArray>("content"); // what lies under the name afterwards
        QTest::addColumn<int>("redated");        // seconds; -1: removed
        QTest::addColumn<bool>("same");
        QTest::newRow("untouched") << QByteArray("abcd") << 0 << true;
        QTest::newRow("appended to") << QByteArray("abcde") << 0 << false;
        QTest::newRow("replaced by a file of the same size and date")
            << QByteArray("wxyz") << 0 << false;
        QTest::newRow("redated") << QByteArray("abcd") << 1 << false;
        QTest::newRow("removed") << QByteArray() << -1 << false;
    }
    void anyChangeOfTheFileUnderTheNameShows()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, redated);
        QFETCH(bool, same);
        QTemporaryDir dir;
        const QString path = dir.filePath("BANCO.DAT"), other = dir.filePath("nuevo");
        const QDateTime when = QDateTime::fromSecsSinceEpoch(1700000000, QTimeZone::utc());
        QVERIFY(writeFile(path, "abcd") && setModified(path, when));
        const FileIdentity before = FileIdentity::of(path);
        QVERIFY(before.exists);
        QCOMPARE(before.size, 4);
        QCOMPARE(readFile(path), QByteArray("abcd"));           // reading changes nothing
        if (content.startsWith("abcd") && content.size() > 4) { // appended in place
            QFile file(path);
            QVERIFY(file.open(QIODevice::Append) && file.write(content.mid(4)) == 1);
        } else if (content != "abcd" && redated >= 0) { // another file renamed over it
            QVERIFY(writeFile(other, content) && setModified(other, when));
            QCOMPARE(std::rename(QFile::encodeName(other).constData(),
                                 QFile::encodeName(path).constData()),
                     0);
        }
        QVERIFY(redated < 0 ? QFile::remove(path) : setModified(path, when.addSecs(redated)));
        const FileIdentity after = FileIdentity::of(path);
        QCOMPARE(after == before, same);
        QCOMPARE(after.exists, redated >= 0);
    }
};

QTEST_GUILESS_MAIN(tst_FileIdentity)
#include "tst_FileIdentity.moc"
