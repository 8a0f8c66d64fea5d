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
        QTest::addColumn<QString>("change");
        QTest::newRow("untouched, only read") << "read";
        QTest::newRow("appended to") << "append";
        QTest::newRow("replaced by a file of the same size and date") << "replace";
        QTest::newRow("redated by a second") << "redate";
        QTest::newRow("removed") << "remove";
    }
    void anyChangeOfTheFileUnderTheNameShows()
    {
        QFETCH(QString, change);
        QTemporaryDir dir;
        const QString path = dir.filePath("BANCO.DAT"), other = dir.filePath("nuevo");
        const QDateTime when = QDateTime::fromSecsSinceEpoch(1700000000, QTimeZone::utc());
        QVERIFY(writeFile(path, "abcd") && setModified(path, when));
        const FileIdentity before = FileIdentity::of(path);
        QFile file(path);
        if (change == "read")
            QCOMPARE(readFile(path), QByteArray("abcd"));
        else if (change == "append")
            QVERIFY(file.open(QIODevice::Append) && file.write("e") == 1);
        else if (change == "replace")
            QVERIFY(writeFile(other, "wxyz") && setModified(other, when) &&
                    std::rename(QFile::encodeName(other).constData(),
                                QFile::encodeName(path).constData()) == 0);
        else if (change == "redate")
            QVERIFY(setModified(path, when.addSecs(1)));
        else
            QVERIFY(file.remove());
        file.close(); // an append keeps the date: only the size tells
        QVERIFY(change != "append" || setModified(path, when));
        const FileIdentity after = FileIdentity::of(path);
        QCOMPARE(after == before, change == "read");
        QVERIFY(before.exists && before.size == 4);
        QCOMPARE(after.exists, change != "remove");
    }
};

QTEST_GUILESS_MAIN(tst_FileIdentity)
#include "tst_FileIdentity.moc"
