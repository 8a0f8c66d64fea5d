// An import of 20 questions is one change of the bank file: killed at any of
// its file-system calls, the built orvalis-banco leaves the old file or the
// whole new one; on a full disk or under another program's lock it leaves the
// file byte for byte as it was; two imports of one file at once add each
// question once.

#include "BankBytes.h"
#include "BankFile.h"
#include "FileLock.h"
#include "KillPoints.h"
#include "RecordFile.h"

#include <QTest>

#include <optional>

using namespace bankBytes;
using namespace testFiles;

class tst_QuestionImport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_folder = m_dir.filePath("banco");
    const QString m_bank = m_folder + "/QELMEXT2.DAT"; // its load name
    const QByteArray m_old = trueFalse(1, 1, "Vieja.") + "torn";
    QByteArray m_new = trueFalse(1, 1, "Vieja.");
    const QStringList m_import{ORVALIS_BANCO_PATH, "importar", m_dir.filePath("nuevas.txt"),
                               m_folder,           "--tipo",   "test"};

    // The bank as the program finds it.
    QByteArray bank() const { return readFile(RecordFile::resolve(m_bank)); }
    bool resetBank() const
    {
        return QDir(m_folder).removeRecursively() && QDir().mkdir(m_folder) &&
               writeFile(m_bank, m_old);
    }
private Q_SLOTS:
    void initTestCase()
    {
        QByteArray lines;
        for (int i = 1; i <= 20; ++i) {
            lines += "2|1|S|Nueva " + QByteArray::number(i) + ".\n";
            m_new += trueFalse(2, 1, "Nueva " + QByteArray::number(i) + ".");
        }
        QVERIFY(writeFile(m_import[2], lines));
    }
    void init() { QVERIFY(resetBank()); }

    void aKillAtAnyCallLeavesTheOldBankOrTheWholeNew()
    {
        if (killPoints::strace().isEmpty())
            QSKIP("strace is missing or cannot trace here (scripts/setup installs it)");
        const QString log = m_dir.filePath("strace.log");
        QCOMPARE(killPoints::run(m_import, {"-o", log, "-e", "trace=%file,%desc"})->exitCode(), 0);
        QCOMPARE(bank(), m_new);
        // Every call after the first that names the bank folder. The program
        // marks nothing, so its kills are not re-aimed at the start-up's calls.
        killPoints::Trace traced = killPoints::readLog(log, m_folder);
        traced.beforeChange.clear();
        QVERIFY(traced.calls.size() > 20);
        int changed = 0;
        for (const killPoints::Call &at : traced.calls) {
            QVERIFY2(killPoints::killAt(m_import, traced, at, [this] { return resetBank(); }),
                     qPrintable("not killed at " + at.tag()));
            const QByteArray left = bank();
            QVERIFY2(left == m_old || left == m_new,
                     qPrintable(at.tag() + QStringLiteral(": %1 bytes").arg(left.size())));
            changed += left == m_new;
        }
        QVERIFY(changed > 0 && changed < traced.calls.size());
    }

    void aFullDiskOrAHeldLockLeavesTheBankAsItWas_data()
    {
        QTest::addColumn<bool>("locked"); // else the disk is full
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("full disk")
            << false << "No se ha podido actualizar" << QStringList{"QELMEXT2.DAT"};
        QTest::newRow("lock held") << true << "El banco de preguntas está siendo modificado"
                                   << QStringList{"QELMEXT2.DAT", "QELMEXT2.DAT.lock"};
    }
    void aFullDiskOrAHeldLockLeavesTheBankAsItWas()
    {
        QFETCH(bool, locked);
        QFETCH(QString, reason);
        QFETCH(QStringList, left);
        FileLock lock;
        std::optional<FileSizeLimit> full;
        if (locked)
            QCOMPARE(lock.lock(BankFile::lockPath(m_bank), 0), FileLock::Result::Locked);
        else
            QVERIFY(full.emplace(rlim_t(3000)).isActive());
        const auto process = killPoints::run(m_import);
        full.reset();
        QCOMPARE(process->exitCode(), 2);
        const QString err = process->readAllStandardError();
        QVERIFY2(err.contains("orvalis-banco: no se ha añadido ninguna pregunta a QELMEXT2.DAT: " +
                              reason),
                 qPrintable(err));
        QCOMPARE(bank(), m_old);
        QCOMPARE(QDir(m_folder).entryList(QDir::Files), left);
    }

    void twoImportsAtOnceAddEachQuestionOnce()
    {
        QProcess first, second;
        first.start(m_import.first(), m_import.mid(1));
        second.start(m_import.first(), m_import.mid(1));
        QVERIFY(first.waitForFinished(30000) && second.waitForFinished(30000));
        // The later one finds every question already in the bank and adds none.
        QCOMPARE(QSet<int>({first.exitCode(), second.exitCode()}), QSet<int>({0, 1}));
        QCOMPARE(bank(), m_new);
    }
};

QTEST_GUILESS_MAIN(tst_QuestionImport)
#include "tst_QuestionImport.moc"
