// The exposition bank on real files: one file per kind, counting, the index
// by chapter and its limits, appends and their refusals, torn files, failed
// writes, the case-insensitive file name and a file closed under the bank.

#include "BankTestFiles.h"

#include "ExpositionBank.h"
#include "OpenFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace bankTest;

class tst_ExpositionBank : public QObject
{
    Q_OBJECT

private:
    QString pathOf(ExpositionKind kind) const
    {
        return m_dir->filePath(expositionKindInfo(kind).loadName);
    }
    static int lengthOf(ExpositionKind kind) { return expositionKindInfo(kind).recordLength; }
    // Writes a kind's file from chapter numbers, each text naming its record ("e1", ...).
    void writeBank(ExpositionKind kind, const QList<int> &chapters, const QByteArray &tail = {})
    {
        QByteArray bytes;
        for (int i = 0; i < chapters.size(); ++i)
            bytes += expositionBytes(lengthOf(kind), chapters[i], "e" + QByteArray::number(i + 1));
        QVERIFY(writeFile(pathOf(kind), bytes + tail));
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

    void missingFileIsCreatedEmpty_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("conceptual") << 0;
        QTest::newRow("practical") << 1;
        QTest::newRow("brief") << 2;
    }
    void missingFileIsCreatedEmpty()
    {
        QFETCH(int, kind);
        const ExpositionKind k = expositionKindFromNumber(kind);
        ExpositionBank bank(m_dir->path());
        QVERIFY(bank.openBank(k).ok());
        QCOMPARE(bank.kind(), k);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
                 QStringList{expositionKindInfo(k).loadName});
        QCOMPARE(bank.recordCount(), 0);
        for (int c = 1; c <= 22; ++c) {
            QCOMPARE(bank.index().count(c), 0);
            QVERIFY(bank.questionsOf(c)->isEmpty());
        }
    }

    void recordCountCountsWholeRecords_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("whole");
        QTest::addColumn<int>("rounded");
        QTest::addColumn<int>("trailing");
        QTest::newRow("conceptual 3.5 records") << 0 << 1757 << 3 << 4 << 251;
        QTest::newRow("conceptual 2.5 records") << 0 << 1255 << 2 << 2 << 251;
        QTest::newRow("practical 2 records") << 1 << 2004 << 2 << 2 << 0;
        QTest::newRow("brief 0.5 records") << 2 << 76 << 0 << 0 << 76;
    }
    void recordCountCountsWholeRecords()
    {
        QFETCH(int, kind);
        QFETCH(int, length);
        QFETCH(int, whole);
        QFETCH(int, rounded);
        QFETCH(int, trailing);
        const ExpositionKind k = expositionKindFromNumber(kind);
        QByteArray bytes;
        while (bytes.size() < length)
            bytes += expositionBytes(lengthOf(k), 9, "x");
        QVERIFY(writeFile(pathOf(k), bytes.left(length)));
        ExpositionBank bank(m_dir->path());
        QVERIFY(bank.openBank(k).ok());
        QCOMPARE(bank.recordCount(), whole);
        QCOMPARE(bank.roundedRecordCount(), rounded);
        QCOMPARE(bank.trailingBytes(), trailing);
        // The torn record, though it starts like one of chapter 9, is not listed.
        QCOMPARE(bank.index().count(9), whole);
        QCOMPARE(bank.questionsOf(9)->size(), whole);
    }

    void practicalFileIsFoundUnderItsRewriteName()
    {
        QVERIFY(writeFile(m_dir->filePath(QStringLiteral("Qelmexe2.dat")),
                          expositionBytes(1002, 4, "Elabore un modelo")));
        const QString saved = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir->path()));
        ExpositionBank bank; // the working directory
        const BankError opened = bank.openBank(ExpositionKind::Practical);
        QDir::setCurrent(saved);
        QVERIFY(opened.ok());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"Qelmexe2.dat"});
        QCOMPARE(bank.questionsOf(4)->first().text, QStringLiteral("Elabore un modelo"));
    }

    void indexListsEachChapterInFileOrder()
    {
        writeBank(ExpositionKind::Brief, {2, 2, 7, 2, 1, 3, 3, 3, 7});
        ExpositionBank bank(m_dir->path());
        QVERIFY(bank.openBank(ExpositionKind::Brief).ok());
        QCOMPARE(bank.index().recordNumbers(7), (QList<qint32>{3, 9}));
        QCOMPARE(bank.index().slot(7, 0), 2);
        QCOMPARE(bank.index().recordNumbers(1), QList<qint32>{5});
        QCOMPARE(bank.index().recordNumbers(2), (QList<qint32>{1, 2, 4}));
        const QList<QuestionListing> expected = {{1, 3, QStringLiteral("e3"), QString()},
                                                 {2, 9, QStringLiteral("e9"), QString()}};
        QCOMPARE(bank.questionsOf(7).value(), expected);
        QVERIFY(bank.questionsOf(0)->isEmpty());
        QVERIFY(bank.questionsOf(23)->isEmpty());
    }

    void selectingAnotherKindRebuildsItsIndexFromItsOwnFile()
    {
        writeBank(ExpositionKind::Conceptual, {1, 1});
        writeBank(ExpositionKind::Brief, {5});
        ExpositionBank bank(m_dir->path());
        QVERIFY(bank.openBank(ExpositionKind::Conceptual).ok());
        QCOMPARE(bank.index().count(1), 2);
        QVERIFY(bank.openBank(ExpositionKind::Brief).ok());
        QCOMPARE(bank.recordCount(), 1);
        QCOMPARE(bank.index().recordNumbers(5), QList<qint32>{1});
        QCOMPARE(bank.index(ExpositionKind::Brief).count(5), 1);
        QCOMPARE(bank.questionsOf(1)->size(), 0);
        QCOMPARE(OpenFiles::count(), 1);
        QVERIFY(QFileInfo(bank.filePath()).fileName() == QStringLiteral("QELMEXE3.DAT"));
    }

    void openingAKindClosesEveryOpenFile()
    {
        RecordFile other;
        QVERIFY(other.open(m_dir->filePath(QStringLiteral("Base.tmp")), 502));
        ExpositionBank bank(m_dir->path());
        QVERIFY(bank.openBank(ExpositionKind::Conceptual).ok());
        QVERIFY(!other.isOpen());
        QCOMPARE(OpenFiles::count(), 1);
    }

    void recordsTheIndexCannotHoldAreLeftOut_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("badChapter");
        QTest::newRow("conceptual chapter 0") << 0 << 0;
        QTest::newRow("practical chapter 23") << 1 << 23;
        QTest::newRow("brief chapter -5") << 2 << -5;
    }
    void recordsTheIndexCannotHoldAreLeftOut()
    {
        QFETCH(int, kind);
        QFETCH(int, badChapter);
        const ExpositionKind k = expositionKindFromNumber(kind);
        writeBank(k, {4, badChapter, 4});
        const QByteArray before = readFile(pathOf(k));
        ExpositionBank bank(m_dir->path());
        QVERIFY(bank.openBank(k).ok());
        QCOMPARE(bank.index().recordNumbers(4), (QList<qint32>{1, 3}));
        QCOMPARE(bank.leftOut().chapterOutOfRange, 1);
        QCOMPARE(bank.leftOut().recordNumbers, QList<qint32>{2});
        QCOMPARE(readFile(pathOf(k)), before);
        QCOMPARE(bank.readRawRecord(2).value(), before.mid(lengthOf(k), lengthOf(k)));
    }

    void aFullChapterLoadsInFullAndLeavesTheRestOut_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("conceptual, 101st") << 0;
        QTest::newRow("brief, 201st") << 2;
    }
    void aFullChapterLoadsInFullAndLeavesTheRestOut()
    {
        QFETCH(int, kind);
        const ExpositionKind k = expositionKindFromNumber(kind);
        const int maximum = expositionKindInfo(k).maxPerChapter;
        writeBank(k, QList<int>(maximum + 2, 6));
        ExpositionBank bank(m_dir->path());
        QVERIFY(bank.openBank(k).ok());
        QCOMPARE(bank.index().count(6), maximum);
        QCOMPARE(bank.questionsOf(6)->last().recordNumber, maximum);
        QCOMPARE(bank.leftOut().chapterFull, 2);
        QCOMPARE(bank.leftOut().recordNumbers, (QList<qint32>{maximum + 1, maximum + 2}));
        const QByteArray before = readFile(pathOf(k));
        QCOMPARE(bank.appendRecord(6, QStringLiteral("otra")).error().code,
                 BankErrorCode::ChapterFull);
        QCOMPARE(readFile(pathOf(k)), before);
        QCOMPARE(bank.appendRecord(7, QStringLiteral("otra")).value(), maximum + 3);
    }

    void appendWritesTheStoredTextAndListsItLast()
    {
        writeBank(ExpositionKind::Conceptual, {3, 1, 3});
        ExpositionBank bank(m_dir->path());
        QVERIFY(bank.openBank(ExpositionKind::Conceptual).ok());
        const BankResult<qint32> n = bank.appendRecord(3, QString::fromUtf8("  Defina “marca”"));
        QCOMPARE(n.value(), 4);
        QCOMPARE(bank.recordCount(), 4);
        QCOMPARE(bank.index().recordNumbers(3), (QList<qint32>{1, 3, 4}));
        const QByteArray file = readFile(pathOf(ExpositionKind::Conceptual));
        QCOMPARE(file.size(), 4 * 502);
        QCOMPARE(file.mid(3 * 502), expositionBytes(502, 3, "  Defina \x93marca\x94"));
        QCOMPARE(bank.questionsOf(3)->last().text, QString::fromUtf8("Defina “marca”"));
    }

    void appendRefusesBeforeWriting_data()
    {
        QTest::addColumn<int>("chapter");
        QTest::addColumn<QString>("text");
        QTest::addColumn<BankErrorCode>("refusal");
        QTest::newRow("chapter 0") << 0 << QStringLiteral("x") << BankErrorCode::ChapterOutOfRange;
        QTest::newRow("chapter 23")
            << 23 << QStringLiteral("x") << BankErrorCode::ChapterOutOfRange;
        QTest::newRow("arrow") << 1 << QString::fromUtf8("a → b")
                               << BankErrorCode::TextNotEncodable;
    }
    void appendRefusesBeforeWriting()
    {
        QFETCH(int, chapter);
        QFETCH(QString, text);
        QFETCH(BankErrorCode, refusal);
        writeBank(ExpositionKind::Brief, {1}, "torn");
        const QByteArray before = readFile(pathOf(ExpositionKind::Brief));
        ExpositionBank bank(m_dir->path());
        QVERIFY(bank.openBank(ExpositionKind::Brief).ok());
        const BankResult<qint32> appended = bank.appendRecord(chapter, text);
        QCOMPARE(appended.error().code, refusal);
        QVERIFY(!appended.error().message.isEmpty());
        QCOMPARE(readFile(pathOf(ExpositionKind::Brief)), before);
        QCOMPARE(bank.recordCount(), 1);
        QCOMPARE(bank.index().indexedCount(), 1);
    }

    void appendWritesOverATornLastRecord()
    {
        writeBank(ExpositionKind::Practical, {2}, QByteArray(999, 'Z'));
        ExpositionBank bank(m_dir->path());
        QVERIFY(bank.openBank(ExpositionKind::Practical).ok());
        QCOMPARE(bank.recordCount(), 1);
        QCOMPARE(bank.trailingBytes(), 999);
        QCOMPARE(bank.appendRecord(2, QStringLiteral("caso")).value(), 2);
        QCOMPARE(bank.trailingBytes(), 0);
        const QByteArray file = readFile(pathOf(ExpositionKind::Practical));
        QCOMPARE(file.size(), 2 * 1002);
        QCOMPARE(file.mid(1002), expositionBytes(1002, 2, "caso"));
    }

    void writeRecordWritesInPlaceOrOneRecordPastTheEnd()
    {
        writeBank(ExpositionKind::Brief, {1, 2});
        ExpositionBank bank(m_dir->path());
        QVERIFY(bank.openBank(ExpositionKind::Brief).ok());
        QVERIFY(bank.writeRecord(1, {1, QStringLiteral("cambiada")}).ok());
        QVERIFY(bank.writeRecord(3, {4, QStringLiteral("al final")}).ok());
        QCOMPARE(bank.recordCount(), 3);
        QCOMPARE(bank.writeRecord(5, {4, QStringLiteral("lejos")}).code,
                 BankErrorCode::NoSuchRecord);
        QCOMPARE(bank.writeRecord(0, {4, QStringLiteral("cero")}).code,
                 BankErrorCode::NoSuchRecord);
        QCOMPARE(bank.writeRecord(2, {2, QString::fromUtf8("ĉ")}).code,
                 BankErrorCode::TextNotEncodable);
        const QByteArray file = readFile(pathOf(ExpositionKind::Brief));
        QCOMPARE(file, expositionBytes(152, 1, "cambiada") + expositionBytes(152, 2, "e2") +
                           expositionBytes(152, 4, "al final"));
        QCOMPARE(bank.readRecord(3)->chapter, qint16(4));
        QCOMPARE(bank.readRecord(4).error().code, BankErrorCode::NoSuchRecord);
    }

    void aFailedWriteIsReportedAndChangesNothing()
    {
        writeBank(ExpositionKind::Brief, {1, 1, 1});
        ExpositionBank bank(m_dir->path());
        QVERIFY(bank.openBank(ExpositionKind::Brief).ok());
        BankResult<qint32> appended = BankError{};
        BankError written;
        {
            FileSizeLimit limit(152);
            QVERIFY(limit.isActive());
            appended = bank.appendRecord(1, QStringLiteral("no cabe"));
            written = bank.writeRecord(2, {1, QStringLiteral("tampoco")});
        }
        QCOMPARE(appended.error().code, BankErrorCode::CannotWrite);
        QCOMPARE(written.code, BankErrorCode::CannotWrite);
        QCOMPARE(bank.recordCount(), 3);
        QCOMPARE(bank.index().recordNumbers(1), (QList<qint32>{1, 2, 3}));
        QCOMPARE(readFile(pathOf(ExpositionKind::Brief)), expositionBytes(152, 1, "e1") +
                                                              expositionBytes(152, 1, "e2") +
                                                              expositionBytes(152, 1, "e3"));
    }

    void aFileClosedUnderAnOpenBankIsReopened()
    {
        writeBank(ExpositionKind::Conceptual, {8, 8});
        ExpositionBank bank(m_dir->path());
        QVERIFY(bank.openBank(ExpositionKind::Conceptual).ok());
        closeAllFiles();
        QCOMPARE(bank.questionsOf(8)->size(), 2);

        // Replaced meanwhile by a shorter file under the rewrite name.
        closeAllFiles();
        QVERIFY(RecordFile::removeFile(pathOf(ExpositionKind::Conceptual)));
        QVERIFY(writeFile(m_dir->filePath(QStringLiteral("Qelmexe1.dat")),
                          expositionBytes(502, 8, "sola")));
        QCOMPARE(bank.appendRecord(8, QStringLiteral("segunda")).value(), 2);
        QCOMPARE(bank.index().recordNumbers(8), (QList<qint32>{1, 2}));
        QCOMPARE(bank.questionsOf(8)->first().text, QStringLiteral("sola"));
        QCOMPARE(readFile(m_dir->filePath(QStringLiteral("Qelmexe1.dat"))).size(), 2 * 502);

        bank.closeBank();
        QCOMPARE(bank.questionsOf(8).error().code, BankErrorCode::NotOpen);
        QCOMPARE(bank.appendRecord(8, QStringLiteral("x")).error().code, BankErrorCode::NotOpen);
    }
};

QTEST_GUILESS_MAIN(tst_ExpositionBank)
#include "tst_ExpositionBank.moc"
