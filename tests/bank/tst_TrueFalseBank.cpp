// The true/false bank on real files: the record layout, counting, the index
// and what it leaves out, appends and their refusals, failed writes, and a
// file closed under an open bank.

#include "OpenFiles.h"
#include "TestFiles.h"
#include "TrueFalseBank.h"

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

    void aFailedWriteIsReportedAndChangesNothing_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("full disk") << false;
        QTest::newRow("read-only entry") << true;
    }
    void aFailedWriteIsReportedAndChangesNothing()
    {
        QFETCH(bool, readOnly);
        const QByteArray content = record(1, 1) + record(1, 1);
        if (readOnly && !makeReadOnlyEntry(bankPath(), content))
            QSKIP("no way to make a file that cannot be opened for writing here");
        QVERIFY(readOnly || writeFile(bankPath(), content));
        const QByteArray before = readFile(bankPath());
        TrueFalseBank bank(m_dir->path());
        QVERIFY(bank.openBank().ok());
        const qint32 count = bank.recordCount();
        const qint32 indexed = bank.index().indexedCount();
        int topic = 1; // one with room, so that only the write itself can fail
        while (bank.index().count(1, topic) >= 50)
            ++topic;
        std::optional<FileSizeLimit> limit;
        if (!readOnly)
            QVERIFY(limit.emplace(256).isActive());
        const TrueFalseRecord changed{1, qint16(topic), QStringLiteral("x"), 1};
        QCOMPARE(bank.appendRecord(changed).error().code, BankErrorCode::CannotWrite);
        QCOMPARE(bank.writeRecord(2, changed).code, BankErrorCode::CannotWrite);
        limit.reset();
        QCOMPARE(readFile(bankPath()), before);
        QCOMPARE(bank.recordCount(), count);
        QCOMPARE(bank.index().indexedCount(), indexed);
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
