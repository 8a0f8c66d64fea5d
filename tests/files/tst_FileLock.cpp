// The lock between programs: exclusive between any two holders, even in one
// process, waited on for the time given, and left behind by nobody.

#include "FileLock.h"
#include "TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

class tst_FileLock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aLockIsTakenOnlyWhenNobodyHoldsIt_data()
    {
        QTest::addColumn<QString>("before");
        QTest::newRow("no lock file") << "none";
        QTest::newRow("lock file left by a killed holder") << "left";
        QTest::newRow("held by another holder") << "held";
    }
    void aLockIsTakenOnlyWhenNobodyHoldsIt()
    {
        QFETCH(QString, before);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BANCO.DAT.lock"));
        const bool busy = before == "held";
        FileLock other, lock;
        QVERIFY(before != "left" || testFiles::writeFile(path, {}));
        QVERIFY(!busy || other.lock(path, 0) == FileLock::Result::Locked);
        QElapsedTimer waited;
        waited.start();
        QCOMPARE(lock.lock(path, 300), busy ? FileLock::Result::Busy : FileLock::Result::Locked);
        QCOMPARE(waited.elapsed() >= 300, busy);
        QCOMPARE(lock.isLocked(), !busy);
        if (busy) { // the holder lets go
            other.unlock();
            QCOMPARE(lock.lock(path, 0), FileLock::Result::Locked);
        } else {
            QCOMPARE(other.lock(path, 0), FileLock::Result::Busy);
        }
        lock.unlock();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(tst_FileLock)
#include "tst_FileLock.moc"
