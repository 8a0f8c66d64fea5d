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

    QTemporaryDir m_dir;
    QString lockPath() const { return m_dir.filePath(QStringLiteral("BANCO.DAT.lock")); }
    QStringList entries() const { return QDir(m_dir.path()).entryList(QDir::Files); }

private Q_SLOTS:
    void aLockIsTakenOnlyWhenNobodyHoldsIt_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("result");
        QTest::newRow("no lock file") << "none" << int(FileLock::Result::Locked);
        QTest::newRow("lock file left by a killed holder")
            << "left" << int(FileLock::Result::Locked);
        QTest::newRow("held by another holder") << "held" << int(FileLock::Result::Busy);
    }
    void aLockIsTakenOnlyWhenNobodyHoldsIt()
    {
        QFETCH(QString, before);
        QFETCH(int, result);
        FileLock other, lock;
        QVERIFY(before != "left" || testFiles::writeFile(lockPath(), {}));
        QVERIFY(before != "held" || other.lock(lockPath(), 0) == FileLock::Result::Locked);
        QElapsedTimer waited;
        waited.start();
        QCOMPARE(int(lock.lock(lockPath(), 300)), result);
        const bool busy = before == "held";
        QCOMPARE(waited.elapsed() >= 300, busy);
        QCOMPARE(lock.isLocked(), !busy);
        lock.unlock();
        other.unlock();
        QCOMPARE(entries(), QStringList());
    }

    void unlockingLetsTheNextHolderIn()
    {
        FileLock first, second;
        QCOMPARE(first.lock(lockPath(), 0), FileLock::Result::Locked);
        QCOMPARE(second.lock(lockPath(), 0), FileLock::Result::Busy);
        first.unlock();
        QCOMPARE(second.lock(lockPath(), 0), FileLock::Result::Locked);
        QCOMPARE(first.lock(lockPath(), 0), FileLock::Result::Busy);
        QCOMPARE(entries(), QStringList{"BANCO.DAT.lock"});
    }
};

QTEST_GUILESS_MAIN(tst_FileLock)
#include "tst_FileLock.moc"
