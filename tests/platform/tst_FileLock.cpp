// The lock between programs: exclusive between any two holders, even in one
// process, waited on for the time given, left behind by nobody, and refused
// with a reason where no lock file can be made.

#include "FileLock.h"
#include "TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace testFiles;

class tst_FileLock : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QString lockPath() const { return m_dir->filePath(QStringLiteral("BANCO.DAT.lock")); }
    QStringList entries() const { return QDir(m_dir->path()).entryList(QDir::Files); }

private Q_SLOTS:
    void init() { QVERIFY(m_dir.emplace().isValid()); }
    void cleanup() { m_dir.reset(); }

    void aLockIsTakenOnlyWhenNobodyHoldsIt_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("waits");
        QTest::newRow("no lock file") << "none" << int(FileLock::Result::Locked) << false;
        QTest::newRow("lock file left by a killed holder")
            << "left" << int(FileLock::Result::Locked) << false;
        QTest::newRow("held by another holder") << "held" << int(FileLock::Result::Busy) << true;
    }
    void aLockIsTakenOnlyWhenNobodyHoldsIt()
    {
        QFETCH(QString, before);
        QFETCH(int, result);
        QFETCH(bool, waits);
        FileLock other;
        if (before == "left")
            QVERIFY(writeFile(lockPath(), QByteArray()));
        if (before == "held")
            QCOMPARE(other.lock(lockPath(), 0), FileLock::Result::Locked);
        FileLock lock;
        QElapsedTimer waited;
        waited.start();
        QCOMPARE(int(lock.lock(lockPath(), 300)), result);
        QCOMPARE(waited.elapsed() >= 300, waits);
        QCOMPARE(lock.isLocked(), !waits);
        lock.unlock();
        other.unlock();
        QCOMPARE(entries(), QStringList());
    }

    void unlockingLetsTheNextHolderIn()
    {
        FileLock first;
        FileLock second;
        QCOMPARE(first.lock(lockPath(), 0), FileLock::Result::Locked);
        QCOMPARE(second.lock(lockPath(), 0), FileLock::Result::Busy);
        first.unlock();
        QCOMPARE(second.lock(lockPath(), 0), FileLock::Result::Locked);
        QCOMPARE(first.lock(lockPath(), 0), FileLock::Result::Busy);
        QCOMPARE(entries(), QStringList{"BANCO.DAT.lock"});
    }

    void noLockInAFolderThatCannotBeWritten()
    {
        ReadOnlyFolder readOnly(m_dir->path());
        if (!readOnly.isActive())
            QSKIP("no way to make a folder read-only here");
        FileLock lock;
        QCOMPARE(lock.lock(lockPath(), 1000), FileLock::Result::Failed);
        QCOMPARE(
            lock.errorString(),
            QStringLiteral("permiso denegado (al crear el fichero de bloqueo BANCO.DAT.lock)"));
        QVERIFY(!lock.isLocked());
    }
};

QTEST_GUILESS_MAIN(tst_FileLock)
#include "tst_FileLock.moc"
