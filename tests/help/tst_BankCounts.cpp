// Counting the bank for the general help: whole records of each of the four
// files, found under any letter case, with a missing file, a folder or a pipe
// under a bank name counting 0; counting creates and opens nothing.
#include "BankCounts.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class tst_BankCounts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachFileCountsItsWholeRecords_data()
    {
        // Entries "NAME=bytes", "NAME=folder" or "NAME=pipe"; then the expected
        // conceptual, practical, brief, true/false, exposition and total counts.
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QList<qint64>>("expected");
        QTest::newRow("no bank files") << QStringList() << QList<qint64>{0, 0, 0, 0, 0, 0};
        QTest::newRow("whole records") << QStringList{"QELMEXE1.DAT=1506", "QELMEXE2.DAT=2004",
                                                      "QELMEXE3.DAT=760", "QELMEXT2.DAT=1792"}
                                       << QList<qint64>{3, 2, 5, 7, 10, 17};
        QTest::newRow("a torn last record does not count")
            << QStringList{"QELMEXE1.DAT=501", "QELMEXE2.DAT=2005", "QELMEXE3.DAT=151",
                           "QELMEXT2.DAT=767"}
            << QList<qint64>{0, 2, 0, 2, 2, 4};
        QTest::newRow("empty files")
            << QStringList{"QELMEXE1.DAT=0", "QELMEXT2.DAT=0"} << QList<qint64>{0, 0, 0, 0, 0, 0};
        QTest::newRow("names in another case")
            << QStringList{"Qelmexe1.dat=502", "qelmexe3.DAT=304", "Qelmext2.dat=1024"}
            << QList<qint64>{1, 0, 2, 4, 3, 7};
        QTest::newRow("more than a thousand questions")
            << QStringList{"QELMEXE1.DAT=236442", "QELMEXE2.DAT=136272", "QELMEXE3.DAT=109440",
                           "QELMEXT2.DAT=353536"}
            << QList<qint64>{471, 136, 720, 1381, 1327, 2708};
        QTest::newRow("a folder and a pipe under bank names")
            << QStringList{"QELMEXE2.DAT=folder", "QELMEXT2.DAT=pipe", "QELMEXE3.DAT=152"}
            << QList<qint64>{0, 0, 1, 0, 1, 1};
        QTest::newRow("other files beside the bank")
            << QStringList{"QELMEXT2.DAT.bak=2560", "QELMEXT1.DAT=2560", "Base.tmp=2560"}
            << QList<qint64>{0, 0, 0, 0, 0, 0};
    }
    void eachFileCountsItsWholeRecords()
    {
        QFETCH(QStringList, entries);
        QFETCH(QList<qint64>, expected);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const QString &entry : entries) {
            const QString path = dir.filePath(entry.section(u'=', 0, 0));
            const QString what = entry.section(u'=', 1);
            if (what == u"folder")
                QVERIFY(QDir().mkdir(path));
            else if (what == u"pipe")
                QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            else
                QVERIFY(testFiles::writeFile(path, QByteArray(what.toInt(), 'x')));
        }
        const QStringList before =
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        const BankCounts counts = countBankRecords(dir.path());
        QCOMPARE((QList<qint64>{counts.conceptual, counts.practical, counts.brief, counts.trueFalse,
                                counts.exposition(), counts.total()}),
                 expected);
        // Nothing was created in the folder.
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    }
};

QTEST_APPLESS_MAIN(tst_BankCounts)
#include "tst_BankCounts.moc"
