// The true/false bank on real files: the record layout, counting, the index
// and what it leaves out, appends and their refusals, modifications and
// deletions through a replaced file, failed changes that leave the bank as it
// was, case variants of the file's name, and a file closed under an open bank.

#include "OpenFiles.h"
#include "TestFiles.h"
#include "TrueFalseBank.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <optional>

using namespace testFiles;
using Records = QList<QPair<int, int>>;

// A record built byte by byte: chapter, topic, Windows-1252 text, answer.
static QByteArray record(int chapter, int topic, const QByteArray &text = "q", int answer = 1)
{
    QByteArray bytes =
        QByteArray(4, '\0') + text.leftJustified(250, ' ', true) + QByteArray(2, '\0');
    qToLittleEndian<qint16>(chapter, bytes.data());
    qToLittleEndian<qint16>(topic, bytes.data() + 2);
    qToLittleEndian<qint16>(answer, bytes.data() + 254);
    return bytes;
}

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
            bytes += record(chapter, topic);
        QVERIFY(writeFile(bankPath(), bytes + tail));
        QVERIFY(bank.openBank().ok());
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
        QCOMPARE(longer.toBytes().value(), record(5, 3, QByteArray(250, 'y')));
        const TrueFalseRecord spaced{5, 3, QString::fromUtf8("  \t¿Sí? "), 1};
        QCOMPARE(spaced.toBytes().value(), record(5, 3, "  \t\xbfS\xed? "));
        const TrueFalseRecord read = TrueFalseRecord::fromBytes(record(5, 3, "  \t\xbfS\xed? "));
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
        open(bank, Records(whole, {1, 1}), record(2, 2).left(extra));
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
        QCOMPARE(bank.readRawRecord(6).value(), record(23, 1));
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
        QCOMPARE(readFile(bankPath()), record(1, 2) + record(1, 1) + record(1, 2, "\xbfNueva?"));
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
            << QByteArray() << 1 << record(1, 1, "b") + record(23, 1, "x") + record(1, 1, "c")
            << QList<qint32>{1, 3} << QList<qint32>{2};
        QTest::newRow("record left out")
            << QByteArray() << 3 << record(1, 1, "a") + record(1, 1, "b") + record(1, 1, "c")
            << QList<qint32>{1, 2, 3} << QList<qint32>{};
        QTest::newRow("last record, torn tail kept")
            << QByteArray("torn") << 4
            << record(1, 1, "a") + record(1, 1, "b") + record(23, 1, "x") + "torn"
            << QList<qint32>{1, 2} << QList<qint32>{3};
    }
    void deletingARecordRenumbersTheRestAndKeepsTheRecordsLeftOut()
    {
        QFETCH(QByteArray, tail);
        QFETCH(int, deleted);
        QFETCH(QByteArray, expected);
        QFETCH(QList<qint32>, listed);
        QFETCH(QList<qint32>, leftOut);
        QVERIFY(writeFile(bankPath(), record(1, 1, "a") + record(1, 1, "b") + record(23, 1, "x") +
                                          record(1, 1, "c") + tail));
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
        QCOMPARE(readFile(rewrittenPath()), record(1, 1) +
                                                record(2, 1,
                                                       "\xbf"
                                                       "Cambiada?",
                                                       0) +
                                                record(1, 2) + "torn");
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

    void aFailedChangeIsReportedAndLeavesTheBankAsItWas_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("step"); // empty: the change goes through
        const QString tooBig =
            QStringLiteral("el fichero ha alcanzado el tamaño máximo permitido (al escribir ");
        const QString readOnly = QStringLiteral("(al abrir el fichero QELMEXT2.DAT para escribir)");
        const QString noFolder =
            QStringLiteral("permiso denegado (al crear el fichero temporal Base.tmp)");
        QTest::newRow("addition, full disk")
            << "add"
            << "full disk" << tooBig + "en el fichero QELMEXT2.DAT)";
        QTest::newRow("modification, full disk")
            << "modify"
            << "full disk" << tooBig + "el fichero temporal Base.tmp)";
        QTest::newRow("deletion, full disk")
            << "delete"
            << "full disk" << tooBig + "el fichero temporal Base.tmp)";
        QTest::newRow("addition, read-only file") << "add"
                                                  << "read-only file" << readOnly;
        QTest::newRow("modification, read-only file") << "modify"
                                                      << "read-only file" << readOnly;
        QTest::newRow("deletion, read-only file") << "delete"
                                                  << "read-only file" << readOnly;
        QTest::newRow("modification, read-only folder") << "modify"
                                                        << "read-only folder" << noFolder;
        QTest::newRow("deletion, read-only folder") << "delete"
                                                    << "read-only folder" << noFolder;
        // The file itself takes the new record; the folder is not touched.
        QTest::newRow("addition, read-only folder") << "add"
                                                    << "read-only folder" << QString();
    }
    void aFailedChangeIsReportedAndLeavesTheBankAsItWas()
    {
        QFETCH(QString, operation);
        QFETCH(QString, cause);
        QFETCH(QString, step);
        const QByteArray content = record(1, 1, "a") + record(1, 1, "b");
        if (cause == "read-only file" && !makeReadOnlyEntry(bankPath(), content))
            QSKIP("no way to make a file that cannot be opened for writing here");
        QVERIFY(cause == "read-only file" || writeFile(bankPath(), content));
        const QByteArray before = readFile(bankPath());
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        const qint32 count = bank.recordCount();
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
        if (step.isEmpty()) {
            QVERIFY(error.ok());
            QCOMPARE(readFile(bankPath()), before + record(1, 2, "nueva"));
            return;
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
        QVERIFY(writeFile(variant, record(9, 9, "otra")));
        QVERIFY(setModified(variant, QDateTime::currentDateTimeUtc().addSecs(-3600)));
        QVERIFY(writeFile(bankPath(), record(1, 1, "a") + record(1, 1, "b")));
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        QCOMPARE(bank.caseVariants(), QStringList{"qelmext2.dat"});
        QVERIFY(bank.deleteRecord(1).ok());
        QCOMPARE(entries(), (QStringList{"Qelmext2.dat", "qelmext2.dat"}));
        QCOMPARE(readFile(variant), record(9, 9, "otra"));
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
        QVERIFY(writeFile(replaced, record(2, 2) + record(2, 2) + record(3, 3)));
        QCOMPARE(bank.appendRecord({1, 1, QStringLiteral("cuarta"), 1}).value(), 4);
        QCOMPARE(bank.index().recordNumbers(2, 2), (QList<qint32>{1, 2}));
        QCOMPARE(bank.index().recordNumbers(1, 1), QList<qint32>{4});
        QCOMPARE(readFile(replaced).size(), 4 * 256);
    }
};

QTEST_GUILESS_MAIN(tst_TrueFalseBank)
#include "tst_TrueFalseBank.moc"
