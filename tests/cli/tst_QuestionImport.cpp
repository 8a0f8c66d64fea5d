// An import is one change of each bank file: a GIFT file of 20 true/false
// and 5 brief questions, the built orvalis-banco killed at any of its
// file-system calls, leaves each file old or whole new, and the same import
// run again then completes it; under another program's lock the import
// leaves the file byte for byte as it was.

#include "BankBytes.h"
#include "BankFile.h"
#include "FileLock.h"
#include "KillPoints.h"
#include "RecordFile.h"

#include <QTest>

using namespace bankBytes;
using namespace testFiles;

class tst_QuestionImport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_folder = m_dir.filePath("banco");
    const QString m_bank = m_folder + "/QELMEXT2.DAT"; // its load name
    const QString m_briefs = m_folder + "/QELMEXE3.DAT";
    const QByteArray m_old = trueFalse(1, 1, "Vieja.") + "torn";
    const QByteArray m_oldBriefs = brief(1, "Vieja.");
    QByteArray m_new = trueFalse(1, 1, "Vieja.");
    QByteArray m_newBriefs = m_oldBriefs;
    const QString m_gift = m_dir.filePath("nuevas.gift");
    const QStringList m_import{ORVALIS_BANCO_PATH, "importar", m_gift,        m_folder,
                               "--capitulo=2",     "--tema=1", "--tipo=breve"};

    // The bank as the program finds it.
    QByteArray bank() const { return readFile(RecordFile::resolve(m_bank)); }
    bool resetBank() const
    {
        return QDir(m_folder).removeRecursively() && QDir().mkdir(m_folder) &&
               writeFile(m_bank, m_old) && writeFile(m_briefs, m_oldBriefs);
    }
private Q_SLOTS:
    void initTestCase()
    {
        QByteArray gift;
        for (int i = 1; i <= 20; ++i) {
            gift += "Nueva " + QByteArray::number(i) + ".{T}\n\n";
            m_new += trueFalse(2, 1, "Nueva " + QByteArray::number(i) + ".");
        }
        for (int i = 1; i <= 5; ++i) {
            gift += "Breve " + QByteArray::number(i) + ".{}\n\n";
            m_newBriefs += brief(2, "Breve " + QByteArray::number(i) + ".");
        }
        QVERIFY(writeFile(m_gift, gift));
    }
    void init() { QVERIFY(resetBank()); }

    void aKillAtAnyCallLeavesEachFileOldOrWholeNew()
    {
        if (killPoints::strace().isEmpty())
            QSKIP("strace is missing or cannot trace here (scripts/setup installs it)");
        const QString log = m_dir.filePath("strace.log");
        QCOMPARE(killPoints::run(m_import, {"-o", log, "-e", "trace=%file,%desc"})->exitCode(), 0);
        QCOMPARE(bank(), m_new);
        QCOMPARE(readFile(RecordFile::resolve(m_briefs)), m_newBriefs);
        // Every call after the first that names the bank folder. The program
        // marks nothing, so its kills are not re-aimed at the start-up's calls.
        killPoints::Trace traced = killPoints::readLog(log, m_folder);
        traced.beforeChange.clear();
        QVERIFY(traced.calls.size() > 20);
        int changed = 0;
        for (const killPoints::Call &at : traced.calls) {
            QVERIFY2(killPoints::killAt(m_import, traced, at, [this] { return resetBank(); }),
                     qPrintable("not killed at " + at.tag()));
            const QByteArray left = bank(), briefs = readFile(RecordFile::resolve(m_briefs));
            QVERIFY2((left == m_old || left == m_new) &&
                         (briefs == m_oldBriefs || briefs == m_newBriefs),
                     qPrintable(at.tag() + QStringLiteral(": %1 bytes").arg(left.size())));
            changed += left == m_new;
            // What the kill left undone, the same import run again does.
            killPoints::run(m_import);
            QCOMPARE(bank(), m_new);
            QCOMPARE(readFile(RecordFile::resolve(m_briefs)), m_newBriefs);
        }
        QVERIFY(changed > 0 && changed < traced.calls.size());
    }

    // Under another program's lock nothing is written and the lock is left
    // to its holder. (A failed write, such as on a full disk, leaves the
    // file as it was: tst_QuestionBanks.)
    void aHeldLockLeavesTheBankAsItWas()
    {
        FileLock lock;
        QCOMPARE(lock.lock(BankFile::lockPath(m_bank), 0), FileLock::Result::Locked);
        const auto process = killPoints::run(m_import);
        QCOMPARE(process->exitCode(), 2);
        const QString err = process->readAllStandardError();
        QVERIFY2(err.contains("orvalis-banco: no se ha añadido ninguna pregunta a QELMEXT2.DAT: El "
                              "banco de preguntas está siendo modificado"),
                 qPrintable(err));
        QCOMPARE(bank(), m_old);
        QCOMPARE(QDir(m_folder).entryList(QDir::Files),
                 (QStringList{"QELMEXE3.DAT", "QELMEXT2.DAT", "QELMEXT2.DAT.lock"}));
    }
};

QTEST_GUILESS_MAIN(tst_QuestionImport)
#include "tst_QuestionImport.moc"
