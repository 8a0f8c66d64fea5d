// A file's identity tells an untouched file from one that another program
// appended to, replaced, redated or removed.

#include "FileIdentity.h"
#include "TestFiles.h"

#include <QDateTime>
#include <QFile>
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
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("same");
        QTest::addColumn<bool>("exists");
        QTest::newRow("untouched") << "none" << true << true;
        QTest::newRow("read") << "read" << true << true;
        QTest::newRow("appended to") << "append" << false << true;
        QTest::newRow("replaced by a file of the same size and date") << "replace" << false << true;
        QTest::newRow("redated") << "redate" << false << true;
        QTest::newRow("removed") << "remove" << false << false;
    }
    void anyChangeOfTheFileUnderTheNameShows()
    {
        QFETCH(QString, change);
        QFETCH(bool, same);
        QFETCH(bool, exists);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BANCO.DAT"));
        const QDateTime when = QDateTime::fromSecsSinceEpoch(1700000000, QTimeZone::utc());
        QVERIFY(writeFile(path, "abcd") && setModified(path, when));
        const FileIdentity before = FileIdentity::of(path);
        QVERIFY(before.exists);
        QCOMPARE(before.size, 4);
        if (change == "read") {
            QCOMPARE(readFile(path), QByteArray("abcd"));
        } else if (change == "append") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::Append) && file.write("e") == 1);
            file.close();
            QVERIFY(setModified(path, when));
        } else if (change == "replace") {
            const QString other = dir.filePath(QStringLiteral("nuevo"));
            QVERIFY(writeFile(other, "wxyz") && setModified(other, when));
            QVERIFY(std::rename(QFile::encodeName(other).constData(),
                                QFile::encodeName(path).constData()) == 0);
        } else if (change == "redate") {
            QVERIFY(setModified(path, when.addSecs(1)));
        } else if (change == "remove") {
            QVERIFY(QFile::remove(path));
        }
        const FileIdentity after = FileIdentity::of(path);
        QCOMPARE(after == before, same);
        QCOMPARE(after.exists, exists);
    }
};

QTEST_GUILESS_MAIN(tst_FileIdentity)
#include "tst_FileIdentity.moc"
