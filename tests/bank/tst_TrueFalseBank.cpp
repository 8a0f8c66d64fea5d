// The true/false bank on real files: counting, indexing, records the index
// cannot hold, appends and their refusals, torn files, failed writes, the
// case-insensitive file name and a file closed under an open bank.

#include "BankTestFiles.h"

#include "OpenFiles.h"
#include "TrueFalseBank.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace bankTest;

class tst_TrueFalseBank : public QObject
{
    Q_OBJECT

private:
    QString bankPath() const { return m_dir->filePath(TrueFalseBank::loadName()); }
    // Writes the bank file from (chapter, topic) pairs, each record's text
    // naming its position ("q1", "q2", ...).
    void writeBank(const QList<QPair<int, int>> &records, const QByteArray &tail = {})
    {
        QByteArray bytes;
        for (int i = 0; i < records.size(); ++i)
            bytes += trueFalseBytes(records[i].first, records[i].second,
                                    "q" + QByteArray::number(i + 1), 1);
        QVERIFY(writeFile(bankPath(), bytes + tail));
    }
    void writeSameRecords(int count, int chapter, int topic)
    {
        QByteArray bytes;
        bytes.reserve(count * 256);
        for (int i = 0; i < count; ++i)
            bytes += trueFalseBytes(chapter, topic);
        QVERIFY(writeFile(bankPath(), bytes));
    }

    std::unique_ptr<QTemporaryDir> m_dir;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void cleanup()
    {
        closeAllFiles();
        m_dir.reset();
    }

    void missingFileIsCreatedEmpty()
    {
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        QVERIFY(QFileInfo::exists(bankPath()));
        QCOMPARE(QFileInfo(bankPath()).size(), 0);
        QCOMPARE(bank.recordCount(), 0);
        QCOMPARE(bank.index().indexedCount(), 0);
        for (int c = 1; c <= 22; ++c)
            for (int t = 1; t <= 10; ++t)
                for (int k = 0; k <= 50; ++k)
                    QCOMPARE(bank.index().slot(c, t, k), qint16(0));
        QVERIFY(bank.questionsOf(1, 1)->isEmpty());
    }

    void bareNameIsFoundInTheWorkingDirectoryWhateverItsCase_data()
    {
        QTest::addColumn<QString>("nameOnDisk");
        QTest::newRow("upper case") << "QELMEXT2.DAT";
        QTest::newRow("name of a rewrite") << "Qelmext2.dat";
    }
    void bareNameIsFoundInTheWorkingDirectoryWhateverItsCase()
    {
        QFETCH(QString, nameOnDisk);
        QVERIFY(writeFile(m_dir->filePath(nameOnDisk), trueFalseBytes(3, 2, "hola", 1)));
        const QString saved = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir->path()));
        TrueFalseBank bank; // no directory: the working directory
        const BankError opened = bank.openBank();
        QDir::setCurrent(saved);
        QVERIFY(opened.ok());
        QCOMPARE(QFileInfo(bank.filePath()).fileName(), nameOnDisk);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{nameOnDisk});
        QCOMPARE(bank.recordCount(), 1);
        QCOMPARE(bank.index().recordNumbers(3, 2), QList<qint32>{1});
    }

    void recordCountCountsWholeRecords_data()
    {
        QTest::addColumn<int>("wholeRecords");
        QTest::addColumn<int>("extraBytes");
        QTest::addColumn<int>("rounded");
        QTest::newRow("empty") << 0 << 0 << 0;
        QTest::newRow("two records") << 2 << 0 << 2;
        QTest::newRow("2.5 records, half goes to even") << 2 << 128 << 2;
        QTest::newRow("3.5 records, half goes to even") << 3 << 128 << 4;
        QTest::newRow("300 bytes") << 1 << 44 << 1;
        QTest::newRow("a lone torn record") << 0 << 255 << 1;
    }
    void recordCountCountsWholeRecords()
    {
        QFETCH(int, wholeRecords);
        QFETCH(int, extraBytes);
        QFETCH(int, rounded);
        QList<QPair<int, int>> records(wholeRecords, {1, 1});
        // The torn tail looks like the start of a record of (2, 2): it must not be indexed.
        writeBank(records, trueFalseBytes(2, 2).left(extraBytes));
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        QCOMPARE(bank.recordCount(), wholeRecords);
        QCOMPARE(bank.roundedRecordCount(), rounded);
        QCOMPARE(bank.trailingBytes(), extraBytes);
        QCOMPARE(bank.fileLength(), qint64(wholeRecords * 256 + extraBytes));
        QCOMPARE(bank.index().count(1, 1), wholeRecords);
        QCOMPARE(bank.index().count(2, 2), 0);
        QCOMPARE(bank.readRecord(wholeRecords + 1).error().code, BankErrorCode::NoSuchRecord);
    }

    void indexListsEachTopicInFileOrder()
    {
        writeBank({{2, 1}, {1, 1}, {2, 1}, {2, 2}});
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        QCOMPARE(bank.index().recordNumbers(1, 1), QList<qint32>{2});
        QCOMPARE(bank.index().recordNumbers(2, 1), (QList<qint32>{1, 3}));
        QCOMPARE(bank.index().recordNumbers(2, 2), QList<qint32>{4});
        QCOMPARE(bank.index().slot(2, 1, 0), qint16(2));
        QCOMPARE(bank.index().slot(2, 1, 3), qint16(0));
        QCOMPARE(bank.index().indexedCount(), 4);
        QVERIFY(bank.leftOut().isEmpty());
    }

    void questionsOfReadsTextsAndAnswersFromTheFile()
    {
        QByteArray bytes = trueFalseBytes(4, 6,
                                          "  \xbf"
                                          "Fuera del cat\xe1logo?",
                                          0);
        bytes += trueFalseBytes(4, 6, "El precio es una variable", 1);
        bytes += trueFalseBytes(1, 1, "Otra", 1);
        bytes += trueFalseBytes(4, 6, "\tCon tabulador ", 2);
        QVERIFY(writeFile(bankPath(), bytes));
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        // Topic 6 lies beyond chapter 4's four topics but inside the table.
        const BankResult<QList<QuestionListing>> rows = bank.questionsOf(4, 6);
        QVERIFY(rows.ok());
        const QList<QuestionListing> expected = {
            {1, 1, QString::fromUtf8("¿Fuera del catálogo?"), QString::fromUtf8("No")},
            {2, 2, QStringLiteral("El precio es una variable"), QString::fromUtf8("Sí")},
            {3, 4, QStringLiteral("\tCon tabulador"), QStringLiteral("No")},
        };
        QCOMPARE(*rows, expected);
        QVERIFY(bank.questionsOf(4, 5)->isEmpty());
        QVERIFY(bank.questionsOf(0, 1)->isEmpty());
        QVERIFY(bank.questionsOf(23, 1)->isEmpty());
        QVERIFY(bank.questionsOf(1, 11)->isEmpty());
    }

    void recordsTheIndexCannotHoldAreLeftOut_data()
    {
        QTest::addColumn<int>("chapter");
        QTest::addColumn<int>("topic");
        QTest::addColumn<int>("chapterOutOfRange");
        QTest::addColumn<int>("topicOutOfRange");
        QTest::newRow("chapter 0") << 0 << 1 << 1 << 0;
        QTest::newRow("chapter 23") << 23 << 1 << 1 << 0;
        QTest::newRow("negative chapter") << -1 << 1 << 1 << 0;
        QTest::newRow("topic 0") << 1 << 0 << 0 << 1;
        QTest::newRow("topic 11") << 22 << 11 << 0 << 1;
        QTest::newRow("both out of range") << 30 << 30 << 1 << 0;
    }
    void recordsTheIndexCannotHoldAreLeftOut()
    {
        QFETCH(int, chapter);
        QFETCH(int, topic);
        QFETCH(int, chapterOutOfRange);
        QFETCH(int, topicOutOfRange);
        writeBank({{5, 5}, {chapter, topic}, {5, 5}});
        const QByteArray before = readFile(bankPath());
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        QCOMPARE(bank.recordCount(), 3);
        QCOMPARE(bank.index().recordNumbers(5, 5), (QList<qint32>{1, 3}));
        QCOMPARE(bank.index().indexedCount(), 2);
        QCOMPARE(bank.leftOut().chapterOutOfRange, chapterOutOfRange);
        QCOMPARE(bank.leftOut().topicOutOfRange, topicOutOfRange);
        QCOMPARE(bank.leftOut().total(), 1);
        QCOMPARE(bank.leftOut().recordNumbers, QList<qint32>{2});
        QVERIFY(!bank.leftOut().describe().isEmpty());
        // Left out of the index, not out of the file.
        QCOMPARE(readFile(bankPath()), before);
        QCOMPARE(bank.readRawRecord(2).value(), before.mid(256, 256));
    }

    void fiftyQuestionsOfATopicLoadAndAFiftyFirstIsLeftOut()
    {
        writeSameRecords(51, 3, 2);
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        QCOMPARE(bank.index().count(3, 2), 50);
        QCOMPARE(bank.questionsOf(3, 2)->size(), 50);
        QCOMPARE(bank.questionsOf(3, 2)->last().recordNumber, 50);
        QCOMPARE(bank.leftOut().topicFull, 1);
        QCOMPARE(bank.leftOut().recordNumbers, QList<qint32>{51});
        // The topic is full: an append is refused before anything is written.
        const QByteArray before = readFile(bankPath());
        const BankResult<qint32> appended = bank.appendRecord({3, 2, QStringLiteral("otra"), 1});
        QCOMPARE(appended.error().code, BankErrorCode::TopicFull);
        QCOMPARE(readFile(bankPath()), before);
    }

    void recordNumbersAbove32767AreLeftOut()
    {
        // 32766 records outside the table, then two of (1, 1): the first is
        // record 32767, the largest number the index holds; the second is not.
        QByteArray bytes;
        bytes.reserve(32768 * 256);
        const QByteArray outside = trueFalseBytes(0, 0);
        for (int i = 0; i < 32766; ++i)
            bytes += outside;
        bytes += trueFalseBytes(1, 1, "ultima que cabe");
        bytes += trueFalseBytes(1, 1, "ya no cabe");
        QVERIFY(writeFile(bankPath(), bytes));
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        QCOMPARE(bank.recordCount(), 32768);
        QCOMPARE(bank.index().recordNumbers(1, 1), QList<qint32>{32767});
        QCOMPARE(bank.leftOut().chapterOutOfRange, 32766);
        QCOMPARE(bank.leftOut().recordNumberTooLarge, 1);
        QCOMPARE(bank.leftOut().recordNumbers.last(), 32768);
        QCOMPARE(bank.questionsOf(1, 1)->first().text, QStringLiteral("ultima que cabe"));
        // No record number is left for an append.
        const BankResult<qint32> appended = bank.appendRecord({2, 2, QStringLiteral("nueva"), 1});
        QCOMPARE(appended.error().code, BankErrorCode::RecordNumberTooLarge);
        QCOMPARE(QFileInfo(bankPath()).size(), qint64(32768) * 256);
    }

    void appendWritesTheNextRecordAndListsItLast()
    {
        writeBank({{1, 1}, {2, 3}, {1, 1}, {1, 1}, {2, 3}, {4, 4}, {2, 3}, {1, 1}, {5, 1}, {2, 3}});
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        const BankResult<qint32> n = bank.appendRecord({2, 3, QString::fromUtf8("¿Nueva?"), 1});
        QVERIFY(n.ok());
        QCOMPARE(*n, 11);
        QCOMPARE(bank.recordCount(), 11);
        QCOMPARE(bank.index().recordNumbers(2, 3), (QList<qint32>{2, 5, 7, 10, 11}));
        const QByteArray file = readFile(bankPath());
        QCOMPARE(file.size(), 11 * 256);
        QCOMPARE(file.mid(10 * 256), trueFalseBytes(2, 3, "\xbfNueva?", 1));
        QCOMPARE(bank.questionsOf(2, 3)->last(),
                 (QuestionListing{5, 11, QString::fromUtf8("¿Nueva?"), QString::fromUtf8("Sí")}));
    }

    void appendRefusesWhatTheIndexCannotHoldBeforeWriting_data()
    {
        QTest::addColumn<int>("chapter");
        QTest::addColumn<int>("topic");
        QTest::addColumn<QString>("text");
        QTest::addColumn<BankErrorCode>("refusal");
        const QString fine = QStringLiteral("Texto");
        QTest::newRow("chapter 0") << 0 << 1 << fine << BankErrorCode::ChapterOutOfRange;
        QTest::newRow("chapter 23") << 23 << 1 << fine << BankErrorCode::ChapterOutOfRange;
        QTest::newRow("topic 0") << 1 << 0 << fine << BankErrorCode::TopicOutOfRange;
        QTest::newRow("topic 11") << 1 << 11 << fine << BankErrorCode::TopicOutOfRange;
        QTest::newRow("check mark")
            << 1 << 1 << QString::fromUtf8("Correcto ✓") << BankErrorCode::TextNotEncodable;
    }
    void appendRefusesWhatTheIndexCannotHoldBeforeWriting()
    {
        QFETCH(int, chapter);
        QFETCH(int, topic);
        QFETCH(QString, text);
        QFETCH(BankErrorCode, refusal);
        writeBank({{1, 1}, {1, 1}}, "torn");
        const QByteArray before = readFile(bankPath());
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        const BankResult<qint32> appended =
            bank.appendRecord({qint16(chapter), qint16(topic), text, 1});
        QVERIFY(!appended.ok());
        QCOMPARE(appended.error().code, refusal);
        QVERIFY(!appended.error().message.isEmpty());
        QCOMPARE(readFile(bankPath()), before);
        QCOMPARE(bank.recordCount(), 2);
        QCOMPARE(bank.index().indexedCount(), 2);
    }

    void appendWritesOverATornLastRecord()
    {
        writeBank({{1, 1}, {1, 2}}, QByteArray(100, '\x7f'));
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        QCOMPARE(bank.recordCount(), 2);
        QCOMPARE(bank.trailingBytes(), 100);
        QCOMPARE(bank.readRecord(3).error().code, BankErrorCode::NoSuchRecord);
        const BankResult<qint32> n = bank.appendRecord({1, 2, QStringLiteral("repuesta"), 0});
        QCOMPARE(n.value(), 3);
        QCOMPARE(bank.trailingBytes(), 0);
        QCOMPARE(bank.recordCount(), 3);
        const QByteArray file = readFile(bankPath());
        QCOMPARE(file.size(), 3 * 256);
        QCOMPARE(file.mid(512), trueFalseBytes(1, 2, "repuesta", 0));
        QCOMPARE(bank.index().recordNumbers(1, 2), (QList<qint32>{2, 3}));
    }

    void writeRecordOverwritesInPlaceAndLeavesTheIndex()
    {
        writeBank({{1, 1}, {1, 1}, {2, 1}});
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        QVERIFY(bank.writeRecord(2, {1, 1, QString::fromUtf8("Cambiada ¿sí?"), 0}).ok());
        const QByteArray file = readFile(bankPath());
        QCOMPARE(file.size(), 3 * 256);
        QCOMPARE(file.mid(256, 256), trueFalseBytes(1, 1, "Cambiada \xbfs\xed?", 0));
        QCOMPARE(file.mid(512), trueFalseBytes(2, 1, "q3", 1));
        QCOMPARE(bank.questionsOf(1, 1)->at(1).text, QString::fromUtf8("Cambiada ¿sí?"));
        QCOMPARE(bank.questionsOf(1, 1)->at(1).answerLabel, QStringLiteral("No"));
        QCOMPARE(bank.index().recordNumbers(1, 1), (QList<qint32>{1, 2}));
    }

    void writeRecordRefusesBeforeWriting_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("text");
        QTest::addColumn<BankErrorCode>("refusal");
        QTest::newRow("record 0") << 0 << QStringLiteral("x") << BankErrorCode::NoSuchRecord;
        QTest::newRow("past the last") << 3 << QStringLiteral("x") << BankErrorCode::NoSuchRecord;
        QTest::newRow("unencodable")
            << 1 << QString::fromUtf8("λ") << BankErrorCode::TextNotEncodable;
    }
    void writeRecordRefusesBeforeWriting()
    {
        QFETCH(int, n);
        QFETCH(QString, text);
        QFETCH(BankErrorCode, refusal);
        writeBank({{1, 1}, {1, 1}}, "tail");
        const QByteArray before = readFile(bankPath());
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        QCOMPARE(bank.writeRecord(n, {1, 1, text, 1}).code, refusal);
        QCOMPARE(readFile(bankPath()), before);
    }

    void aFailedWriteIsReportedAndChangesNothing()
    {
        writeBank({{1, 1}, {1, 1}, {1, 1}, {1, 1}});
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        BankResult<qint32> appended = BankError{};
        BankError written;
        {
            // Room for the four records, not for a fifth nor for changes past the second.
            FileSizeLimit limit(2 * 256);
            QVERIFY(limit.isActive());
            appended = bank.appendRecord({1, 1, QStringLiteral("no cabe"), 1});
            written = bank.writeRecord(3, {1, 1, QStringLiteral("tampoco"), 1});
        }
        QCOMPARE(appended.error().code, BankErrorCode::CannotWrite);
        QVERIFY(!appended.error().message.isEmpty());
        QCOMPARE(written.code, BankErrorCode::CannotWrite);
        QCOMPARE(bank.recordCount(), 4);
        QCOMPARE(bank.index().recordNumbers(1, 1), (QList<qint32>{1, 2, 3, 4}));
        QCOMPARE(readFile(bankPath()).size(), 4 * 256);
        QCOMPARE(bank.readRecord(3)->text.trimmed(), QStringLiteral("q3"));
        // Once there is room again the same append goes through under the same number.
        QCOMPARE(bank.appendRecord({1, 1, QStringLiteral("ya cabe"), 1}).value(), 5);
    }

    void writingToAReadOnlyFileFails()
    {
        const QByteArray content = trueFalseBytes(1, 1, "solo lectura", 1);
        if (!makeReadOnlyEntry(bankPath(), content))
            QSKIP("no way to make a file that cannot be opened for writing here");
        const QByteArray before = readFile(bankPath());
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok()); // read-only, but readable
        QVERIFY(bank.recordCount() >= 1);
        QCOMPARE(bank.writeRecord(1, {1, 1, QStringLiteral("x"), 1}).code,
                 BankErrorCode::CannotWrite);
        // Pick a topic that has room so that only the write itself can fail.
        int chapter = 1, topic = 1;
        while (bank.index().count(chapter, topic) >= 50)
            ++topic;
        const BankResult<qint32> appended =
            bank.appendRecord({qint16(chapter), qint16(topic), QStringLiteral("x"), 1});
        QCOMPARE(appended.error().code, BankErrorCode::CannotWrite);
        QCOMPARE(readFile(bankPath()), before);
    }

    void aFileClosedUnderAnOpenBankIsReopened()
    {
        writeBank({{1, 1}, {2, 2}});
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        QCOMPARE(OpenFiles::count(), 1);
        closeAllFiles();
        QCOMPARE(OpenFiles::count(), 0);
        QVERIFY(bank.isOpen());
        QCOMPARE(bank.questionsOf(2, 2)->first().text, QStringLiteral("q2"));
        QCOMPARE(OpenFiles::count(), 1);

        // Closed again and the file replaced meanwhile, as a deletion does:
        // the bank counts and indexes the new file.
        closeAllFiles();
        QVERIFY(RecordFile::removeFile(bankPath()));
        QVERIFY(writeFile(m_dir->filePath(QStringLiteral("Base.tmp")),
                          trueFalseBytes(2, 2, "nueva") + trueFalseBytes(2, 2, "otra") +
                              trueFalseBytes(3, 3, "tercera")));
        QVERIFY(RecordFile::renameFile(m_dir->filePath(QStringLiteral("Base.tmp")),
                                       m_dir->filePath(TrueFalseBank::rewriteName())));
        const BankResult<qint32> appended = bank.appendRecord({1, 1, QStringLiteral("cuarta"), 1});
        QCOMPARE(appended.value(), 4);
        QCOMPARE(bank.recordCount(), 4);
        QCOMPARE(QFileInfo(bank.filePath()).fileName(), TrueFalseBank::rewriteName());
        QCOMPARE(bank.index().recordNumbers(2, 2), (QList<qint32>{1, 2}));
        QCOMPARE(bank.index().recordNumbers(1, 1), QList<qint32>{4});
        QCOMPARE(readFile(m_dir->filePath(TrueFalseBank::rewriteName())).size(), 4 * 256);

        closeAllFiles();
        QCOMPARE(bank.readRecord(3)->chapter, qint16(3));
        closeAllFiles();
        QVERIFY(bank.writeRecord(3, {3, 3, QStringLiteral("cambiada"), 0}).ok());
        closeAllFiles();
        QVERIFY(bank.buildIndex().ok());
        QCOMPARE(bank.index().recordNumbers(3, 3), QList<qint32>{3});
    }

    void aClosedBankRefusesAndStaysClosed()
    {
        writeBank({{1, 1}});
        TrueFalseBank bank(m_dir->path());
        BankResult<TrueFalseRecord> beforeOpening = bank.readRecord(1);
        QCOMPARE(beforeOpening.error().code, BankErrorCode::NotOpen);
        QVERIFY(bank.openBank().ok());
        bank.closeBank();
        closeAllFiles();
        QVERIFY(!bank.isOpen());
        QCOMPARE(bank.readRecord(1).error().code, BankErrorCode::NotOpen);
        QCOMPARE(bank.questionsOf(1, 1).error().code, BankErrorCode::NotOpen);
        QCOMPARE(bank.appendRecord({1, 1, QStringLiteral("x"), 1}).error().code,
                 BankErrorCode::NotOpen);
        QCOMPARE(bank.buildIndex().code, BankErrorCode::NotOpen);
        QCOMPARE(OpenFiles::count(), 0);
        QCOMPARE(readFile(bankPath()).size(), 256);
    }

    void anUnopenableFileIsAnError()
    {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("qelmext2.dat")));
        TrueFalseBank bank(m_dir->path());
        const BankError opened = bank.openBank();
        QCOMPARE(opened.code, BankErrorCode::CannotOpen);
        QVERIFY(!bank.isOpen());
        QCOMPARE(bank.questionsOf(1, 1).error().code, BankErrorCode::NotOpen);
    }

    void answerLabels_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("label");
        QTest::newRow("1") << 1 << QString::fromUtf8("Sí");
        QTest::newRow("0") << 0 << QStringLiteral("No");
        QTest::newRow("2") << 2 << QStringLiteral("No");
        QTest::newRow("257, whose low byte is 1") << 257 << QStringLiteral("No");
    }
    void answerLabels()
    {
        QFETCH(int, answer);
        QFETCH(QString, label);
        QCOMPARE(TrueFalseBank::answerLabel({1, 1, QString(), qint16(answer)}), label);
    }
};

QTEST_GUILESS_MAIN(tst_TrueFalseBank)
#include "tst_TrueFalseBank.moc"
