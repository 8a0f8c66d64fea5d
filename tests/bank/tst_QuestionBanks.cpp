// Both banks on real files, each shared behaviour tried across the kinds of
// file (kind 0 true/false, 1 conceptual, 2 practical, 3 brief): the record layout,
// counting, the index and what it leaves out, appends and their refusals,
// changes through a replaced file, failed changes that leave the file as it
// was, another program changing the same file or holding its lock.
//
// And bank files as a hostile user would leave them: huge sparse files, pipes,
// devices, dangling links and unreadable files (a folder or a socket takes
// the pipe's way: the entry's type is not a file's). Each case must end,
// under a time limit and in bounded memory, in an error value or a bounded
// result, and leave the entry exactly as it was. (Torn tails: the index rows
// below; any bytes at all: the fuzz targets of the two bank loaders.)

#include "AnyBank.h"
#include "BankBytes.h"
#include "Cp1252.h"
#include "FileLock.h"
#include "OpenFiles.h"
#include "RecordFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <future>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testFiles;
using bankBytes::record;
using bankBytes::records;
using bankBytes::trueFalse;
using Numbers = QList<qint32>;

namespace {

// What identifies an entry's state: type, length and, for a small regular
// file, its bytes.
QByteArray fingerprint(const QString &path)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return "missing";
    const QByteArray print =
        QByteArray::number(info.st_mode) + ' ' + QByteArray::number(info.st_size);
    return S_ISREG(info.st_mode) && info.st_size < 1 << 20 ? print + readFile(path) : print;
}

// Makes `what` ("sparse", "pipe", "dangling link", "/dev/zero" or
// "unreadable", a one-record true/false file) at `path`.
bool makeEntry(const QString &what, const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    if (what == "sparse") // 100 GiB of holes
        return writeFile(path, {}) && ::truncate(native.constData(), off_t(100) << 30) == 0;
    if (what == "pipe")
        return ::mkfifo(native.constData(), 0600) == 0;
    if (what == "dangling link" || what == "/dev/zero")
        return QFile::link(what == "/dev/zero" ? what : path + ".gone", path);
    return writeFile(path, trueFalse(1, 1)) && QFile::setPermissions(path, {});
}

} // namespace

class tst_QuestionBanks : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QStringList entries() const { return QDir(m_dir->path()).entryList(QDir::Files, QDir::Name); }
    std::optional<AnyBank> m_bank;
    // The bank of the kind, opened on its file (by its load name) holding `bytes`.
    bool openOn(int kind, const QByteArray &bytes)
    {
        return writeFile(path(bankBytes::kLoadNames[kind]), bytes) &&
               m_bank.emplace(kind, m_dir->path()).open().ok();
    }

private Q_SLOTS:
    void init() { QVERIFY(m_dir.emplace().isValid()); }
    void cleanup()
    {
        closeAllFiles();
        m_bank.reset();
        m_dir.reset();
    }

    // First, so that the memory high-water mark it reads is its own.
    void everyHostileEntryEndsInAnErrorOrABoundedResult_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("detail");    // empty: opened
        QTest::addColumn<QList<int>>("counts"); // records, rounded, trailing bytes, left out
        const auto row = [](const char *tag, const char *entry, int kind, const QString &detail,
                            const QList<int> &counts, const char *name = nullptr) {
            QTest::newRow(tag) << QString::fromLatin1(entry) << kind
                               << QString::fromLatin1(name ? name : bankBytes::kLoadNames[kind])
                               << detail << counts;
        };
        // Only records 1 to 32767 are read; the rest are counted from the length.
        const QList<int> none{0, 0, 0, 0};
        row("100 GiB brief", "sparse", 3, {}, {706409094, 706409095, 112, 706409094});
        row("pipe under another case", "pipe", 0, "qelmext2.dat no es un fichero de datos", none,
            "qelmext2.dat");
        row("link to /dev/zero", "/dev/zero", 0, "QELMEXT2.DAT no es un fichero de datos", none);
        row("dangling link", "dangling link", 0,
            "el fichero o la carpeta no existen (al seguir el enlace QELMEXT2.DAT)", none);
        row("unreadable file", "unreadable", 0,
            "permiso denegado (al abrir el fichero QELMEXT2.DAT)", none);
    }
    void everyHostileEntryEndsInAnErrorOrABoundedResult()
    {
        QFETCH(QString, entry);
        QFETCH(int, kind);
        QFETCH(QString, name);
        QFETCH(QString, detail);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QVERIFY(makeEntry(entry, path));
        const QByteArray before = fingerprint(path);
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        const long peakBefore = usage.ru_maxrss;
        // Run where a hang cannot stop the suite: past the limit the test
        // fails and the process ends, since a blocked call cannot be undone.
        auto run = std::async(std::launch::async, [&] {
            // Capabilities are the thread's own: dropped where the bank runs.
            const PermissionBitsObeyed obeyed;
            AnyBank bank(kind, dir.path());
            const BankError error = bank.open();
            return QPair<BankError, QList<int>>{error, bank.counts()};
        });
        if (run.wait_for(std::chrono::seconds(10)) != std::future_status::ready)
            qFatal("%s: no answer within 10 s", QTest::currentDataTag());
        const auto [error, outcome] = run.get();
        ::getrusage(RUSAGE_SELF, &usage);
        QVERIFY2(usage.ru_maxrss - peakBefore < 64 * 1024, "more than 64 MiB of memory used");
        QCOMPARE(error.code, detail.isEmpty() ? BankErrorCode::None : BankErrorCode::CannotOpen);
        QCOMPARE(error.detail, detail);
        QTEST(outcome, "counts");
        QCOMPARE(fingerprint(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 QStringList{name});
    }

    // Records given as chapter*100+topic; leftOut: the numbers, then how many
    // for a chapter, a topic, a full topic and a full chapter. (What a list
    // shows of the record at a number: the appends below.)
    void indexListsInFileOrderAndLeavesOutWhatItCannotHold_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<int>>("records");
        QTest::addColumn<int>("tail");
        QTest::addColumn<QList<int>>("counts"); // whole, rounded, trailing
        QTest::addColumn<Numbers>("chapter2");  // (topic 1)
        QTest::addColumn<Numbers>("leftOut");
        const QList<int> fiftyOne(51, 302);
        QTest::newRow("true/false, 58.5 records")
            << 0 << QList<int>{201, 101, 201, 202, 1, 2301, 111} + fiftyOne << 128
            << QList<int>{58, 58, 128} << Numbers{1, 3} << Numbers{5, 6, 7, 58, 2, 1, 1, 0};
        QTest::newRow("brief, 11.5 records")
            << 3 << QList<int>{200, 200, 700, 200, 100, 300, 300, 300, 700, 0, 2300} << 76
            << QList<int>{11, 12, 76} << Numbers{1, 2, 4} << Numbers{10, 11, 2, 0, 0, 0};
        QTest::newRow("practical, empty")
            << 2 << QList<int>{} << 0 << QList<int>{0, 0, 0} << Numbers{} << Numbers{0, 0, 0, 0};
    }
    void indexListsInFileOrderAndLeavesOutWhatItCannotHold()
    {
        QFETCH(int, kind);
        QFETCH(QList<int>, records);
        QFETCH(int, tail);
        QFETCH(Numbers, chapter2);
        QByteArray bytes;
        for (const int r : records)
            bytes += record(kind, r / 100, "e", r % 100);
        QVERIFY(openOn(kind, bytes + QByteArray(tail, 'x')));
        QTEST(m_bank->counts().first(3), "counts");
        QCOMPARE(m_bank->numbers(2), chapter2);
        const LeftOutRecords &out = m_bank->leftOut();
        QTEST((out.recordNumbers +
               Numbers{out.chapterOutOfRange, out.topicOutOfRange, out.topicFull, out.chapterFull}),
              "leftOut");
    }

    // The rewrite spelling is the bank even beside a newer load spelling, which
    // a rewrite killed before its last step leaves (or a copy dates alike).
    void openingNotesTellWhatCannotBeListed()
    {
        QVERIFY(writeFile(path("Qelmexe1.dat"),
                          record(1, 1, "a") + record(1, 0, "b") + QByteArray(251, 'd')));
        QVERIFY(setModified(path("Qelmexe1.dat"), QDateTime::currentDateTimeUtc().addSecs(-60)));
        QVERIFY(writeFile(path("QELMEXE1.DAT"), record(1, 4, "antigua")));
        ExpositionBank bank(m_dir->path());
        QVERIFY(bank.openBank(ExpositionKind::Conceptual).ok());
        QCOMPARE(bank.openingNotes(),
                 QString::fromUtf8(
                     "1 preguntas del fichero no se pueden mostrar: 1 con el capítulo fuera de 1 "
                     "a 22. Se conservan en el fichero tal como están, también cuando se elimina "
                     "otra pregunta.\n"
                     "El fichero Qelmexe1.dat termina con 251 bytes que no llegan a formar una "
                     "pregunta, restos de una escritura interrumpida: no se muestran, y la "
                     "próxima pregunta que se añada ocupará su lugar.\n"
                     "En la misma carpeta hay otros ficheros cuyo nombre solo se distingue de "
                     "Qelmexe1.dat por las mayúsculas: QELMEXE1.DAT. Se usa Qelmexe1.dat; los "
                     "demás no se abren. QELMEXE1.DAT quedó de una escritura interrumpida y se "
                     "borrará con el próximo cambio que reescriba el fichero."));
    }

    // The file: 100 records under chapter 3 (topic 2), 200 under chapter 4,
    // and a torn tail that an accepted record replaces.
    void appendRefusesBeforeWritingOrTakesTheTornTailsPlace_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("chapter");
        QTest::addColumn<int>("topic");
        QTest::addColumn<QString>("text");
        QTest::addColumn<BankErrorCode>("refusal");
        QTest::addColumn<int>("position"); // in its list, when taken
        QTest::newRow("true/false taken") << 0 << 1 << 1 << "¿Nueva?" << BankErrorCode::None << 1;
        QTest::newRow("full topic") << 0 << 3 << 2 << "x" << BankErrorCode::TopicFull << 0;
        QTest::newRow("chapter 23") << 0 << 23 << 1 << "x" << BankErrorCode::ChapterOutOfRange << 0;
        QTest::newRow("topic 0") << 0 << 1 << 0 << "x" << BankErrorCode::TopicOutOfRange << 0;
        QTest::newRow("unencodable") << 0 << 1 << 1 << "✓" << BankErrorCode::TextNotEncodable << 0;
        QTest::newRow("chapter 0") << 2 << 0 << 1 << "x" << BankErrorCode::ChapterOutOfRange << 0;
        QTest::newRow("101st conceptual") << 1 << 3 << 1 << "x" << BankErrorCode::ChapterFull << 0;
        QTest::newRow("101st brief taken") << 3 << 3 << 1 << "x" << BankErrorCode::None << 101;
        QTest::newRow("201st brief") << 3 << 4 << 1 << "x" << BankErrorCode::ChapterFull << 0;
    }
    void appendRefusesBeforeWritingOrTakesTheTornTailsPlace()
    {
        QFETCH(int, kind);
        QFETCH(int, chapter);
        QFETCH(int, topic);
        QFETCH(QString, text);
        QFETCH(BankErrorCode, refusal);
        QFETCH(int, position);
        const QByteArray bytes =
            record(kind, 3, "q", 2).repeated(100) + record(kind, 4, "q").repeated(200);
        QVERIFY(openOn(kind, bytes + "torn"));
        QCOMPARE(m_bank->append(chapter, topic, text).error().code, refusal);
        const bool taken = refusal == BankErrorCode::None;
        QCOMPARE(readFile(path(bankBytes::kLoadNames[kind])),
                 bytes +
                     (taken ? record(kind, chapter, Cp1252::encode(text).bytes, topic) : "torn"));
        if (taken)
            QCOMPARE(m_bank->questionsOf(chapter)->last(),
                     (QuestionListing{position, 301, text, !kind}));
    }

    // Record 32767 is the last a true/false bank takes (the records before it
    // under chapter 0, which no list shows).
    void theLastRecordNumberIsTakenAndNoMore()
    {
        QVERIFY(openOn(0, trueFalse(0, 1).repeated(32766)));
        QCOMPARE(m_bank->append(1, 1, "última").value(), 32767);
        QCOMPARE(m_bank->append(1, 1, "otra").error().code, BankErrorCode::RecordNumberTooLarge);
    }

    // A leftover temporary file goes; records left out and a torn tail stay.
    // A modified record is rewritten whole and reindexed.
    void aChangeRewritesTheFileAndReindexes_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QByteArray>("expected"); // under the rewrite name
        QTest::addColumn<Numbers>("chapter1");
        QTest::addColumn<Numbers>("leftOut");
        // The bank: a and b under chapter 1, x under chapter 23, c under 1.
        // clang-format off
        QTest::newRow("true/false first") << 0 << QByteArray() << "delete 1" << records(0, "bxc") << Numbers{1, 3} << Numbers{2};
        QTest::newRow("conceptual left out") << 1 << QByteArray() << "delete 3" << records(1, "abc") << Numbers{1, 2, 3} << Numbers{};
        QTest::newRow("practical last, torn tail kept") << 2 << QByteArray("torn") << "delete 4" << records(2, "abx") + "torn" << Numbers{1, 2} << Numbers{3};
        QTest::newRow("true/false left out modified, torn tail kept") << 0 << QByteArray("torn") << "modify 3 ¿B?" << records(0, "ab") + record(0, 1, "\xbf" "B?") + records(0, "c") + "torn" << Numbers{1, 2, 3, 4} << Numbers{};
        // clang-format on
    }
    void aChangeRewritesTheFileAndReindexes()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, tail);
        QFETCH(QString, change);
        QFETCH(Numbers, chapter1);
        QFETCH(Numbers, leftOut);
        QVERIFY(openOn(kind, records(kind, "abxc") + tail));
        QVERIFY(writeFile(path("Base.tmp"), QByteArray(2000, 'z')));
        const BankError error = m_bank->apply(change);
        QVERIFY2(error.ok(), qPrintable(error.message));
        const QString file = bankBytes::kRewriteNames[kind];
        QCOMPARE(entries(), QStringList{file});
        QTEST(readFile(path(file)), "expected");
        const int count = chapter1.size() + leftOut.size();
        QCOMPARE(m_bank->counts(),
                 (QList<int>{count, count, int(tail.size()), int(leftOut.size())}));
        QCOMPARE(m_bank->numbers(1), chapter1);
        QCOMPARE(m_bank->leftOut().recordNumbers, leftOut);
        // One past the last record: a true/false bank takes no record there.
        const QString past = change.section(u' ', 0, 0) + QStringLiteral(" %1 x").arg(count + 1);
        QCOMPARE(m_bank->apply(past).code, BankErrorCode::NoSuchRecord);
    }

    // Each row's tag names the operation and what makes it fail; on a full
    // disk an addition gets part of its record written past a torn tail.
    void aFailedChangeIsReportedAndLeavesTheBankAsItWas_data()
    {
        QTest::addColumn<QString>("step");
        const QString tooBig =
            QStringLiteral("el fichero ha alcanzado el tamaño máximo permitido (al escribir ");
        QTest::newRow("append nueva, full disk") << tooBig + "en el fichero QELMEXT2.DAT)";
        QTest::newRow("modify 2 cambiada, full disk") << tooBig + "el fichero temporal Base.tmp)";
        // No lock can be taken in a folder that cannot be written to.
        QTest::newRow("delete 1, read-only folder")
            << "permiso denegado (al crear el fichero de bloqueo QELMEXT2.DAT.lock)";
    }
    void aFailedChangeIsReportedAndLeavesTheBankAsItWas()
    {
        QFETCH(QString, step);
        const QString operation = QString::fromLatin1(QTest::currentDataTag()).section(", ", 0, 0);
        const bool full = QString::fromLatin1(QTest::currentDataTag()).endsWith("full disk");
        const QByteArray before = trueFalse(1, 1, "a") + trueFalse(1, 1, "b") + "torn";
        QVERIFY(openOn(0, before));
        BankError error;
        {
            std::optional<FileSizeLimit> limit;
            std::optional<ReadOnlyFolder> readOnly;
            QVERIFY(!full || limit.emplace(operation.startsWith("append") ? 600 : 100).isActive());
            if (!full && !readOnly.emplace(m_dir->path()).isActive())
                QSKIP("no way to make a folder read-only here");
            error = m_bank->apply(operation);
        }
        QCOMPARE(error.code, BankErrorCode::CannotWrite);
        // (The message's opening words: tst_BankFile's failed flushes.)
        QVERIFY2(error.detail.endsWith(step), qPrintable(error.detail));
        QCOMPARE(entries(), QStringList{"QELMEXT2.DAT"});
        QCOMPARE(readFile(path("QELMEXT2.DAT")), before);
        QCOMPARE(m_bank->numbers(1), (Numbers{1, 2}));
    }

    // Another program (a second process on the folder, or a second bank in
    // this one) changes the file between this bank's indexing and its change:
    // nothing of this bank's change is written, nothing is undone or
    // overwritten, the bank lists the file as it is, and the change made
    // again (picked anew from that list) goes through. A lock another
    // holder has is waited on briefly, then reported; nothing is written, and
    // once it lets go the change goes through. The bank holds a, b, c.
    void aChangeAfterAnotherProgramsChangeWritesNothing_data()
    {
        QTest::addColumn<int>("kind");
        // "process ..." for another process; "hold": another holder has the lock.
        QTest::addColumn<QString>("other");
        QTest::addColumn<QString>("mine");
        QTest::addColumn<QStringList>("between"); // texts after the refused change
        QTest::addColumn<QString>("again");
        QTest::addColumn<QStringList>("after"); // texts once it is made again
        // Texts given space-separated; the change is made again as it was
        // unless told otherwise.
        const auto row = [](const char *tag, int kind, const char *other, const QString &mine,
                            const char *between, const char *after, const char *again = nullptr) {
            QTest::newRow(tag) << kind << other << mine << QString(between).split(u' ')
                               << (again ? QString(again) : mine) << QString(after).split(u' ');
        };
        row("addition there, addition here", 0, "process append x", "append d", "a b c x",
            "a b c x d");
        row("lock held there, modification here", 0, "hold", "modify 2 B", "a b c", "a B c");
        row("deletion there, one past the end here", 3, "delete 3", "modify 4 d", "a b", "a b d",
            "modify 3 d");
    }
    void aChangeAfterAnotherProgramsChangeWritesNothing()
    {
        QFETCH(int, kind);
        QFETCH(QString, other);
        QFETCH(QString, mine);
        QFETCH(QStringList, between);
        QFETCH(QString, again);
        QVERIFY(openOn(kind, records(kind, "abc")));
        QProcess process;
        FileLock held; // another holder, in this process: the lock keeps any two apart
        if (other == "hold") {
            QCOMPARE(held.lock(BankFile::lockPath(path(bankBytes::kLoadNames[kind])), 0),
                     FileLock::Result::Locked);
        } else if (other.startsWith("process ")) {
            process.start(BANK_OPERATION, {m_dir->path(), QString::number(kind), other.mid(8)});
            QVERIFY(process.waitForFinished(30000));
            QCOMPARE(process.readAllStandardOutput(), "ok\n");
        } else {
            AnyBank second(kind, m_dir->path());
            QVERIFY(second.open().ok() && second.apply(other).ok());
        }
        QElapsedTimer waited;
        waited.start();
        const BankError refused = m_bank->apply(mine);
        QCOMPARE(refused.code, other == "hold" ? BankErrorCode::LockedElsewhere
                                               : BankErrorCode::ChangedElsewhere);
        if (other == "hold") {
            QCOMPARE(refused.message,
                     QString::fromUtf8("El banco de preguntas está siendo modificado desde otro "
                                       "programa. Inténtelo de nuevo."));
            QVERIFY(waited.elapsed() >= 1000);
            held.unlock();
        }
        QCOMPARE(m_bank->texts(), between);
        QVERIFY(m_bank->apply(again).ok());
        QTEST(m_bank->texts(), "after");
    }
};

QTEST_GUILESS_MAIN(tst_QuestionBanks)
#include "tst_QuestionBanks.moc"
