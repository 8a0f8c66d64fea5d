// An import of 20 questions is one change of the bank file: killed at any of
// its file-system calls, the built orvalis-banco leaves the old file or the
// whole new one; on a full disk or under another program's lock it leaves the
// file byte for byte as it was; two imports of one file at once add each
// question once.

#include "BankBytes.h"
#include "BankFile.h"
#include "FileLock.h"
#include "RecordFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace bankBytes;
using namespace testFiles;

class tst_QuestionImport : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QString m_bank; // the bank file's load name in the bank folder
    const QByteArray m_old = trueFalse(1, 1, "Vieja.") + "torn";
    QByteArray m_new = trueFalse(1, 1, "Vieja.");

    QString path(const QString &name) const { return m_dir->filePath(name); }
    // The bank as the program finds it.
    QByteArray bank() const { return readFile(RecordFile::resolve(m_bank)); }
    void resetBank() const
    {
        QDir(path("banco")).removeRecursively();
        QVERIFY(QDir(m_dir->path()).mkdir("banco") && writeFile(m_bank, m_old));
    }
    QStringList import() const
    {
        return {"importar", path("nuevas.txt"), path("banco"), "--tipo", "test"};
    }
    QProcess *start(const QString &program, const QStringList &arguments)
    {
        auto *process = new QProcess(this);
        process->start(program, arguments);
        return process;
    }

private Q_SLOTS:
    // LeakSanitizer cannot run under a tracer: a sanitized build checks the
    // program for leaks in the other tests.
    void initTestCase() { qputenv("ASAN_OPTIONS", qgetenv("ASAN_OPTIONS") + ":detect_leaks=0"); }

    void init()
    {
        QVERIFY(m_dir.emplace().isValid());
        m_bank = path("banco/QELMEXT2.DAT");
        QByteArray lines;
        m_new = trueFalse(1, 1, "Vieja.");
        for (int i = 1; i <= 20; ++i) {
            lines += "2|1|S|Nueva " + QByteArray::number(i) + ".\n";
            m_new += trueFalse(2, 1, "Nueva " + QByteArray::number(i) + ".");
        }
        QVERIFY(writeFile(path("nuevas.txt"), lines));
        resetBank();
    }

    void aKillAtAnyCallLeavesTheOldBankOrTheWholeNew()
    {
        const QString strace = QStandardPaths::findExecutable("strace");
        if (strace.isEmpty())
            QSKIP("strace is not installed (scripts/setup installs it)");
        const QString log = path("strace.log");
        QProcess *traced = start(
            strace, QStringList{"-qq", "-o", log, "-e", "trace=%file,%desc", ORVALIS_BANCO_PATH} +
                        import());
        QVERIFY(traced->waitForFinished(30000) && traced->exitCode() == 0);
        QCOMPARE(bank(), m_new);
        // Every call from the first that names the bank folder, by name and
        // ordinal among the calls of that name.
        QList<std::pair<QString, int>> calls;
        QHash<QString, int> seen;
        static const QRegularExpression call("^([a-z0-9_]+)\\(");
        for (const QString &line : QString::fromUtf8(readFile(log)).split('\n')) {
            const QString name = call.match(line).captured(1);
            const int ordinal = name.isEmpty() ? 0 : ++seen[name];
            if (ordinal && (!calls.isEmpty() || line.contains(path("banco"))))
                calls.append({name, ordinal});
        }
        QVERIFY(calls.size() > 20);
        int changed = 0;
        for (const auto &[name, ordinal] : calls) {
            resetBank();
            const QString at = QStringLiteral("%1 #%2").arg(name).arg(ordinal);
            QProcess *killed =
                start(strace,
                      QStringList{
                          "-qq", "-o", "/dev/null", "-e", "trace=" + name, "-e",
                          QStringLiteral("inject=%1:signal=SIGKILL:when=%2").arg(name).arg(ordinal),
                          ORVALIS_BANCO_PATH} +
                          import());
            QVERIFY(killed->waitForFinished(30000));
            QVERIFY2(killed->exitStatus() == QProcess::CrashExit,
                     qPrintable("not killed at " + at));
            const QByteArray left = bank();
            QVERIFY2(left == m_old || left == m_new,
                     qPrintable(QStringLiteral("killed at %1: %2 bytes").arg(at).arg(left.size())));
            changed += left == m_new;
            delete killed;
        }
        QVERIFY(changed > 0 && changed < calls.size());
    }

    void aFullDiskOrAHeldLockLeavesTheBankAsItWas_data()
    {
        QTest::addColumn<bool>("locked"); // else the disk is full
        QTest::addColumn<QString>("reason");
        QTest::newRow("full disk") << false << "el fichero ha alcanzado el tamaño máximo permitido";
        QTest::newRow("lock held") << true << "está siendo modificado desde otro programa";
    }
    void aFullDiskOrAHeldLockLeavesTheBankAsItWas()
    {
        QFETCH(bool, locked);
        QFETCH(QString, reason);
        FileLock lock;
        std::optional<FileSizeLimit> full;
        if (locked)
            QCOMPARE(lock.lock(BankFile::lockPath(m_bank), 0), FileLock::Result::Locked);
        else
            QVERIFY(full.emplace(rlim_t(3000)).isActive());
        QProcess *process = start(ORVALIS_BANCO_PATH, import());
        QVERIFY(process->waitForFinished(30000));
        full.reset();
        QCOMPARE(process->exitCode(), 2);
        const QString err = QString::fromUtf8(process->readAllStandardError());
        QVERIFY2(
            err.contains("\norvalis-banco: no se ha añadido ninguna pregunta a QELMEXT2.DAT: ") &&
                err.contains(reason),
            qPrintable(err));
        QCOMPARE(bank(), m_old);
        QCOMPARE(QDir(path("banco")).entryList(QDir::Files),
                 QStringList({"QELMEXT2.DAT"}) +
                     (locked ? QStringList{"QELMEXT2.DAT.lock"} : QStringList()));
    }

    void twoImportsAtOnceAddEachQuestionOnce()
    {
        QProcess *first = start(ORVALIS_BANCO_PATH, import());
        QProcess *second = start(ORVALIS_BANCO_PATH, import());
        QVERIFY(first->waitForFinished(30000) && second->waitForFinished(30000));
        QCOMPARE(QSet<int>({first->exitCode(), second->exitCode()}), QSet<int>({0, 1}));
        const QString refused =
            QString::fromUtf8((first->exitCode() ? first : second)->readAllStandardError());
        QVERIFY2(refused.contains(":20: la misma pregunta ya está en el banco (registro 21)"),
                 qPrintable(refused));
        QCOMPARE(bank(), m_new);
    }
};

QTEST_GUILESS_MAIN(tst_QuestionImport)
#include "tst_QuestionImport.moc"
