// The true/false bank on real files: the record layout, counting, the index
// and what it leaves out, appends and their refusals, modifications and
// deletions through a replaced file, failed changes that leave the bank as it
// was, case variants of the file's name, a file closed under an open bank, and
// another program changing the same file or holding its lock.

#include "BankBytes.h"
#include "OpenFiles.h"
#include "TestFiles.h"
#include "TrueFalseBank.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace bankBytes;
using namespace testFiles;
using Records = QList<QPair<int, int>>;

class tst_TrueFalseBank : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QString bankPath() const { return m_dir->filePath(TrueFalseBank::loadName()); }
    QString rewrittenPath() const { return m_dir->filePath(TrueFalseBank::rewriteName()); }
    QStringList entries() const { return QDir(m_dir->path()).entryList(QDir::Files, QDir::Name); }
    // The bank's records as "chapter/topic text", file order.
    static QStringList records(TrueFalseBank &bank)
    {
        QStringList rows;
        for (qint32 n = 1; n <= bank.recordCount(); ++n) {
            const TrueFalseRecord read = bank.readRecord(n).value();
            rows.append(QStringLiteral("%1/%2 %3")
                            .arg(read.chapter)
                            .arg(read.topic)
                            .arg(TrueFalseBank::displayText(read)));
        }
        return rows;
    }
    void open(TrueFalseBank &bank, const Records &records, const QByteArray &tail = {})
    {
        QByteArray bytes;
        for (const auto &[chapter, topic] : records)
            bytes += trueFalse(chapter, topic);
        QVERIFY(writeFile(bankPath(), bytes + tail));
        QVERIFY(bank.openBank().ok());
    }

    // "delete N", "modify N TEXT" or "append TEXT" (chapter 1, topic 1).
    static BankError apply(TrueFalseBank &bank, const QString &operation)
    {
        const QStringList words = operation.split(u' ');
        if (words[0] == "delete")
            return bank.deleteRecord(words[1].toInt());
        if (words[0] == "modify")
            return bank.writeRecord(words[1].toInt(), {1, 1, words[2], 1});
        return bank.appendRecord({1, 1, words[1], 1}).error();
    }
    // The same operation as arguments of bankoperation.
    static QStringList otherArguments(const QString &operation)
    {
        QStringList words = operation.split(u' ');
        if (words[0] == "append")
            words = QStringList{"append", "1", "1", words[1]};
        return words;
    }
    // The trimmed texts of a file's records, in order.
    static QStringList texts(const QByteArray &bytes)
    {
        QStringList shown;
        for (qsizetype at = 0; at + 256 <= bytes.size(); at += 256)
            shown << QString::fromLatin1(bytes.mid(at + 4, 250)).trimmed();
        return shown;
    }
    // Starts a process that holds the bank's lock until its input is closed.
    bool holdLock(QProcess &holder)
    {
        holder.start(QStringLiteral(BANK_OPERATION), {m_dir->path(), "test", "hold"});
        return holder.waitForReadyRead(10000) && holder.readLine() == "locked\n";
    }

private Q_SLOTS:
    void init() { QVERIFY(m_dir.emplace().isValid()); }
    void cleanup()
    {
        closeAllFiles();
        m_dir.reset();
    }

    void recordsAreLaidOutByteForByteAndShownTrimmed()
    {
        const TrueFalseRecord example{5, 3, QStringLiteral("abc"), 1};
        QCOMPARE(example.toBytes().value(), QByteArray::fromHex("05000300616263") +
                                                QByteArray(247, ' ') + QByteArray::fromHex("0100"));
        const TrueFalseRecord longer{5, 3, QString(250, QLatin1Char('y')) + QLatin1Char('z'), 1};
        QCOMPARE(longer.toBytes().value(), trueFalse(5, 3, QByteArray(250, 'y')));
        const TrueFalseRecord spaced{5, 3, QString::fromUtf8("  \t¿Sí? "), 1};
        QCOMPARE(spaced.toBytes().value(), trueFalse(5, 3, "  \t\xbfS\xed? "));
        const TrueFalseRecord read = TrueFalseRecord::fromBytes(trueFalse(5, 3, "  \t\xbfS\xed? "));
        QCOMPARE(TrueFalseBank::displayText(read), QString::fromUtf8("\t¿Sí?"));
        QCOMPARE(TrueFalseBank::answerLabel(1), QString::fromUtf8("Sí"));
        for (qint16 answer : {0, 2, 257, -1})
            QCOMPARE(TrueFalseBank::answerLabel(answer), QStringLiteral("No"));
    }

    void recordsAreCountedWholeAndRounded_data()
    {
        QTest::addColumn<int>("whole");
        QTest::addColumn<int>("extra");
        QTest::addColumn<int>("rounded");
        QTest::newRow("empty") << 0 << 0 << 0;
        QTest::newRow("2.5 records") << 2 << 128 << 2;
        QTest::newRow("3.5 records") << 3 << 128 << 4;
    }
    void recordsAreCountedWholeAndRounded()
    {
        QFETCH(int, whole);
        QFETCH(int, extra);
        QFETCH(int, rounded);
        TrueFalseBank bank(m_dir->path());
        open(bank, Records(whole, {1, 1}), trueFalse(2, 2).left(extra));
        QCOMPARE(bank.recordCount(), whole);
        QCOMPARE(bank.roundedRecordCount(), rounded);
        QCOMPARE(bank.index().count(2, 2), 0);
    }

    void indexListsTopicsInFileOrderAndLeavesOutWhatItCannotHold()
    {
        TrueFalseBank bank(m_dir->path());
        open(bank, Records{{2, 1}, {1, 1}, {2, 1}, {2, 2}, {0, 1}, {23, 1}, {1, 11}} +
                       Records(51, {3, 2}));
        QCOMPARE(bank.index().recordNumbers(1, 1), QList<qint32>{2});
        QCOMPARE(bank.index().recordNumbers(2, 1), (QList<qint32>{1, 3}));
        QCOMPARE(bank.index().recordNumbers(2, 2), QList<qint32>{4});
        QCOMPARE(bank.index().count(3, 2), 50);
        QCOMPARE(bank.leftOut().chapterOutOfRange, 2);
        QCOMPARE(bank.leftOut().topicOutOfRange, 1);
        QCOMPARE(bank.leftOut().topicFull, 1);
        QCOMPARE(bank.leftOut().recordNumbers, (QList<qint32>{5, 6, 7, 58}));
        QCOMPARE(bank.recordCount(), 58);
        QCOMPARE(bank.readRawRecord(6).value(), trueFalse(23, 1));
    }

    void appendRefusesBeforeWriting_data()
    {
        QTest::addColumn<int>("chapter");
        QTest::addColumn<int>("topic");
        QTest::addColumn<QString>("text");
        QTest::addColumn<BankErrorCode>("refusal");
        QTest::newRow("full topic") << 3 << 2 << "x" << BankErrorCode::TopicFull;
        QTest::newRow("chapter 23") << 23 << 1 << "x" << BankErrorCode::ChapterOutOfRange;
        QTest::newRow("topic 0") << 1 << 0 << "x" << BankErrorCode::TopicOutOfRange;
        QTest::newRow("unencodable")
            << 1 << 1 << QString::fromUtf8("✓") << BankErrorCode::TextNotEncodable;
    }
    void appendRefusesBeforeWriting()
    {
        QFETCH(int, chapter);
        QFETCH(int, topic);
        QFETCH(QString, text);
        QFETCH(BankErrorCode, refusal);
        TrueFalseBank bank(m_dir->path());
        open(bank, Records(50, {3, 2}), "torn");
        const QByteArray before = readFile(bankPath());
        QCOMPARE(bank.appendRecord({qint16(chapter), qint16(topic), text, 1}).error().code,
                 refusal);
        QCOMPARE(readFile(bankPath()), before);
    }

    void appendWritesOverATornTailAndListsTheRecordLast()
    {
        TrueFalseBank bank(m_dir->path());
        open(bank, {{1, 2}, {1, 1}}, QByteArray(100, '\x7f'));
        QCOMPARE(bank.appendRecord({1, 2, QString::fromUtf8("¿Nueva?"), 1}).value(), 3);
        QCOMPARE(readFile(bankPath()),
                 trueFalse(1, 2) + trueFalse(1, 1) + trueFalse(1, 2, "\xbfNueva?"));
        QCOMPARE(bank.questionsOf(1, 2)->last(),
                 (QuestionListing{2, 3, QString::fromUtf8("¿Nueva?"), QString::fromUtf8("Sí")}));
    }

    void deletingARecordRenumbersTheRestAndKeepsTheRecordsLeftOut_data()
    {
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QByteArray>("expected");  // the new file
        QTest::addColumn<QList<qint32>>("listed"); // chapter 1, topic 1
        QTest::addColumn<QList<qint32>>("leftOut");
        // The bank: a, b under (1, 1), x under chapter 23, c under (1, 1).
        QTest::newRow("first record")
            << QByteArray() << 1
            << trueFalse(1, 1, "b") + trueFalse(23, 1, "x") + trueFalse(1, 1, "c")
            << QList<qint32>{1, 3} << QList<qint32>{2};
        QTest::newRow("record left out")
            << QByteArray() << 3
            << trueFalse(1, 1, "a") + trueFalse(1, 1, "b") + trueFalse(1, 1, "c")
            << QList<qint32>{1, 2, 3} << QList<qint32>{};
        QTest::newRow("last record, torn tail kept")
            << QByteArray("torn") << 4
            << trueFalse(1, 1, "a") + trueFalse(1, 1, "b") + trueFalse(23, 1, "x") + "torn"
            << QList<qint32>{1, 2} << QList<qint32>{3};
    }
    void deletingARecordRenumbersTheRestAndKeepsTheRecordsLeftOut()
    {
        QFETCH(QByteArray, tail);
        QFETCH(int, deleted);
        QFETCH(QByteArray, expected);
        QFETCH(QList<qint32>, listed);
        QFETCH(QList<qint32>, leftOut);
        QVERIFY(writeFile(bankPath(), trueFalse(1, 1, "a") + trueFalse(1, 1, "b") +
                                          trueFalse(23, 1, "x") + trueFalse(1, 1, "c") + tail));
        QVERIFY(writeFile(m_dir->filePath(QStringLiteral("Base.tmp")), QByteArray(2000, 'z')));
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        const BankError error = bank.deleteRecord(deleted);
        QVERIFY2(error.ok(), qPrintable(error.message));
        QCOMPARE(entries(), QStringList{TrueFalseBank::rewriteName()});
        QCOMPARE(readFile(rewrittenPath()), expected);
        QCOMPARE(bank.recordCount(), 3);
        QCOMPARE(bank.index().recordNumbers(1, 1), listed);
        QCOMPARE(bank.leftOut().recordNumbers, leftOut);
    }

    void deletingTheOnlyRecordLeavesAnEmptyBank()
    {
        TrueFalseBank bank(m_dir->path());
        open(bank, {{2, 3}});
        QVERIFY(bank.deleteRecord(1).ok());
        QCOMPARE(readFile(rewrittenPath()), QByteArray());
        QCOMPARE(bank.recordCount(), 0);
        QCOMPARE(bank.index().count(2, 3), 0);
        QCOMPARE(bank.deleteRecord(1).code, BankErrorCode::NoSuchRecord);
    }

    void aModifiedRecordIsRewrittenWholeAndReindexed()
    {
        TrueFalseBank bank(m_dir->path());
        open(bank, {{1, 1}, {1, 1}, {1, 2}}, "torn");
        QVERIFY(bank.writeRecord(2, {2, 1, QString::fromUtf8("¿Cambiada?"), 0}).ok());
        QCOMPARE(entries(), QStringList{TrueFalseBank::rewriteName()});
        // \277 is ¿ in Windows-1252.
        QCOMPARE(readFile(rewrittenPath()),
                 trueFalse(1, 1) + trueFalse(2, 1, "\277Cambiada?", 0) + trueFalse(1, 2) + "torn");
        QCOMPARE(bank.index().recordNumbers(1, 1), QList<qint32>{1});
        QCOMPARE(bank.index().recordNumbers(2, 1), QList<qint32>{2});
        QCOMPARE(bank.trailingBytes(), 4);
        QCOMPARE(bank.writeRecord(4, {1, 1, QStringLiteral("x"), 1}).code,
                 BankErrorCode::NoSuchRecord);
    }

    // A selection window's bank on the same file reads the new content, as
    // the change closed every open file of the program.
    void anotherBankOnTheFileSeesTheChange()
    {
        TrueFalseBank maintenance(m_dir->path());
        open(maintenance, {{1, 1}, {1, 1}});
        TrueFalseBank selection(m_dir->path());
        QVERIFY(selection.openBank().ok());
        QVERIFY(maintenance.writeRecord(1, {1, 1, QStringLiteral("nueva"), 1}).ok());
        QVERIFY(maintenance.deleteRecord(2).ok());
        QCOMPARE(records(selection), QStringList{"1/1 nueva"});
    }

    // Each row's tag names the operation and what makes it fail.
    void aFailedChangeIsReportedAndLeavesTheBankAsItWas_data()
    {
        QTest::addColumn<QString>("step");
        const QString tooBig =
            QStringLiteral("el fichero ha alcanzado el tamaño máximo permitido (al escribir ");
        const QString readOnly = QStringLiteral("(al abrir el fichero QELMEXT2.DAT para escribir)");
        // No lock can be taken in a folder that cannot be written to.
        const QString noFolder =
            QStringLiteral("permiso denegado (al crear el fichero de bloqueo QELMEXT2.DAT.lock)");
        QTest::newRow("add, full disk") << tooBig + "en el fichero QELMEXT2.DAT)";
        QTest::newRow("modify, full disk") << tooBig + "el fichero temporal Base.tmp)";
        QTest::newRow("delete, full disk") << tooBig + "el fichero temporal Base.tmp)";
        QTest::newRow("add, read-only file") << readOnly;
        QTest::newRow("modify, read-only file") << readOnly;
        QTest::newRow("delete, read-only file") << readOnly;
        QTest::newRow("modify, read-only folder") << noFolder;
        QTest::newRow("delete, read-only folder") << noFolder;
        QTest::newRow("add, read-only folder") << noFolder;
    }
    void aFailedChangeIsReportedAndLeavesTheBankAsItWas()
    {
        QFETCH(QString, step);
        const QString operation = QString::fromLatin1(QTest::currentDataTag()).section(", ", 0, 0);
        const QString cause = QString::fromLatin1(QTest::currentDataTag()).section(", ", 1);
        const QByteArray content = trueFalse(1, 1, "a") + trueFalse(1, 1, "b");
        if (cause == "read-only file" && !makeReadOnlyEntry(bankPath(), content))
            QSKIP("no way to make a file that cannot be opened for writing here");
        QVERIFY(cause == "read-only file" || writeFile(bankPath(), content));
        const QByteArray before = readFile(bankPath());
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        const qint32 count = bank.recordCount();
        // As root the read-only entry is a link to this program; a large
        // (sanitized) build holds more records than an addition may number.
        if (operation == "add" && count >= TrueFalseBank::kMaxRecordNumber)
            QSKIP("the read-only entry here is too large to take another record");
        const QList<qint32> listed = bank.index().recordNumbers(1, 1);
        const qint32 indexed = bank.index().indexedCount();
        BankError error;
        {
            std::optional<FileSizeLimit> full;
            std::optional<ReadOnlyFolder> readOnlyFolder;
            if (cause == "full disk")
                QVERIFY(full.emplace(100).isActive());
            if (cause == "read-only folder" && !readOnlyFolder.emplace(m_dir->path()).isActive())
                QSKIP("no way to make a folder read-only here");
            if (operation == "add")
                error = bank.appendRecord({1, 2, QStringLiteral("nueva"), 1}).error();
            else if (operation == "modify")
                error = bank.writeRecord(2, {1, 1, QStringLiteral("cambiada"), 1});
            else
                error = bank.deleteRecord(1);
        }
        QCOMPARE(error.code, BankErrorCode::CannotWrite);
        QVERIFY2(error.message.startsWith(
                     QStringLiteral("No se ha podido actualizar la base de datos: ")),
                 qPrintable(error.message));
        QVERIFY2(error.detail.endsWith(step), qPrintable(error.detail));
        QCOMPARE(entries(), QStringList{TrueFalseBank::loadName()});
        QCOMPARE(readFile(bankPath()), before);
        QCOMPARE(bank.recordCount(), count);
        QCOMPARE(bank.index().recordNumbers(1, 1), listed);
        QCOMPARE(bank.index().indexedCount(), indexed);
    }

    // The newest entry is the bank; the others are named, and a deletion
    // neither changes nor removes them.
    void otherCaseVariantsAreNamedAndNeverChanged()
    {
        const QString variant = m_dir->filePath(QStringLiteral("qelmext2.dat"));
        QVERIFY(writeFile(variant, trueFalse(9, 9, "otra")));
        QVERIFY(setModified(variant, QDateTime::currentDateTimeUtc().addSecs(-3600)));
        QVERIFY(writeFile(bankPath(), trueFalse(1, 1, "a") + trueFalse(1, 1, "b")));
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        QCOMPARE(bank.caseVariants(), QStringList{"qelmext2.dat"});
        QVERIFY(bank.deleteRecord(1).ok());
        QCOMPARE(entries(), (QStringList{"Qelmext2.dat", "qelmext2.dat"}));
        QCOMPARE(readFile(variant), trueFalse(9, 9, "otra"));
        TrueFalseBank reopened(m_dir->path());
        QVERIFY(reopened.openBank().ok());
        QCOMPARE(records(reopened), QStringList{"1/1 b"});
        QCOMPARE(reopened.caseVariants(), QStringList{"qelmext2.dat"});
    }

    void aFileClosedUnderAnOpenBankIsReopenedAndReindexed()
    {
        TrueFalseBank bank(m_dir->path());
        open(bank, {{1, 1}, {2, 2}});
        closeAllFiles();
        QVERIFY(RecordFile::removeFile(bankPath()));
        const QString replaced = m_dir->filePath(TrueFalseBank::rewriteName());
        QVERIFY(writeFile(replaced, trueFalse(2, 2) + trueFalse(2, 2) + trueFalse(3, 3)));
        // Another file than the one indexed: the first change only reloads.
        QCOMPARE(bank.appendRecord({1, 1, QStringLiteral("cuarta"), 1}).error().code,
                 BankErrorCode::ChangedElsewhere);
        QCOMPARE(readFile(replaced).size(), 3 * 256);
        QCOMPARE(bank.appendRecord({1, 1, QStringLiteral("cuarta"), 1}).value(), 4);
        QCOMPARE(bank.index().recordNumbers(2, 2), (QList<qint32>{1, 2}));
        QCOMPARE(bank.index().recordNumbers(1, 1), QList<qint32>{4});
        QCOMPARE(readFile(replaced).size(), 4 * 256);
    }

    // Another program (a second process on the folder, or a second bank in
    // this one) changes the file between this bank's indexing and its change.
    // Nothing of this bank's change is written, nothing is undone or
    // overwritten, and the bank then lists the file as it is.
    void aChangeAfterAnotherProgramsChangeWritesNothing_data()
    {
        QTest::addColumn<bool>("otherProcess");
        QTest::addColumn<QString>("other"); // empty: nobody else changes the file
        QTest::addColumn<QString>("mine");
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("after"); // texts in file order
        const int changed = int(BankErrorCode::ChangedElsewhere);
        for (const bool process : {true, false}) {
            const QString where = process ? QStringLiteral("process") : QStringLiteral("bank");
            const auto row = [&](const char *name, const char *other, const char *mine, int code,
                                 const QStringList &after) {
                QTest::newRow(qPrintable(where + ": " + QLatin1String(name)))
                    << process << QString::fromLatin1(other) << QString::fromLatin1(mine) << code
                    << after;
            };
            row("nothing there, modification here", "", "modify 2 B", 0, {"a", "B", "c"});
            row("deletion there, modification here", "delete 1", "modify 2 B", changed, {"b", "c"});
            row("deletion there, deletion here", "delete 1", "delete 2", changed, {"b", "c"});
            row("deletion there, addition here", "delete 3", "append d", changed, {"a", "b"});
            row("addition there, modification here", "append x", "modify 3 C", changed,
                {"a", "b", "c", "x"});
            row("addition there, addition here", "append x", "append d", changed,
                {"a", "b", "c", "x"});
            row("modification there, modification here", "modify 2 X", "modify 2 B", changed,
                {"a", "X", "c"});
        }
    }
    void aChangeAfterAnotherProgramsChangeWritesNothing()
    {
        QFETCH(bool, otherProcess);
        QFETCH(QString, other);
        QFETCH(QString, mine);
        QFETCH(int, code);
        QFETCH(QStringList, after);
        QVERIFY(writeFile(bankPath(),
                          trueFalse(1, 1, "a") + trueFalse(1, 1, "b") + trueFalse(1, 1, "c")));
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        if (!other.isEmpty()) {
            if (otherProcess) {
                QProcess process;
                process.start(QStringLiteral(BANK_OPERATION),
                              QStringList{m_dir->path(), "test"} + otherArguments(other));
                QVERIFY(process.waitForFinished(30000));
                QCOMPARE(process.readAllStandardOutput(), QByteArray("ok\n"));
            } else {
                TrueFalseBank second(m_dir->path());
                QVERIFY(second.openBank().ok());
                QVERIFY(apply(second, other).ok());
            }
        }
        QCOMPARE(int(apply(bank, mine).code), code);
        QCOMPARE(texts(readFile(QDir(m_dir->path()).filePath(entries().value(0)))), after);
        QCOMPARE(entries().size(), 1);
        // Reloaded: the bank lists and numbers the file as it now is.
        QCOMPARE(bank.recordCount(), after.size());
        QStringList listed;
        const BankResult<QList<QuestionListing>> listing = bank.questionsOf(1, 1);
        for (const QuestionListing &row : listing.value())
            listed << row.text;
        QCOMPARE(listed, after);
    }

    // A lock held by another program is waited on briefly, then reported;
    // nothing is written. Once that program lets go, the change goes through.
    void aChangeWhileAnotherProgramHoldsTheLockWritesNothing_data()
    {
        QTest::addColumn<QString>("mine");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("modification") << "modify 2 B" << QStringList{"a", "B"};
        QTest::newRow("deletion") << "delete 1" << QStringList{"b"};
        QTest::newRow("addition") << "append d" << QStringList{"a", "b", "d"};
    }
    void aChangeWhileAnotherProgramHoldsTheLockWritesNothing()
    {
        QFETCH(QString, mine);
        QFETCH(QStringList, after);
        const QByteArray before = trueFalse(1, 1, "a") + trueFalse(1, 1, "b");
        QVERIFY(writeFile(bankPath(), before));
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        QProcess holder;
        QVERIFY(holdLock(holder));
        QElapsedTimer waited;
        waited.start();
        const BankError refused = apply(bank, mine);
        QCOMPARE(refused.code, BankErrorCode::LockedElsewhere);
        QCOMPARE(refused.message,
                 QString::fromUtf8("El banco de preguntas está siendo modificado desde otro "
                                   "programa. Inténtelo de nuevo."));
        QVERIFY(waited.elapsed() >= 1000);
        QCOMPARE(readFile(bankPath()), before);
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(10000));
        QVERIFY(apply(bank, mine).ok());
        QCOMPARE(texts(readFile(m_dir->filePath(entries().value(0)))), after);
        QCOMPARE(entries().size(), 1);
    }

    // A reading window finds out at its next listing that the file changed.
    void aReaderReloadsOnlyWhenTheFileChanged()
    {
        QVERIFY(writeFile(bankPath(), trueFalse(1, 1, "a") + trueFalse(1, 1, "b")));
        TrueFalseBank reader(m_dir->path());
        QVERIFY(reader.openBank().ok());
        QCOMPARE(reader.reloadIfChanged().value(), false);
        TrueFalseBank writer(m_dir->path());
        QVERIFY(writer.openBank().ok());
        QVERIFY(writer.deleteRecord(1).ok());
        QCOMPARE(reader.reloadIfChanged().value(), true);
        QCOMPARE(reader.index().recordNumbers(1, 1), QList<qint32>{1});
        QCOMPARE(reader.reloadIfChanged().value(), false);
        QVERIFY(writer.appendRecord({1, 1, QStringLiteral("c"), 1}).ok());
        QCOMPARE(reader.reloadIfChanged().value(), true);
        QCOMPARE(reader.index().recordNumbers(1, 1), (QList<qint32>{1, 2}));
    }
};

QTEST_GUILESS_MAIN(tst_TrueFalseBank)
#include "tst_TrueFalseBank.moc"
