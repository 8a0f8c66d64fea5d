// The exposition bank: the record layout and the index by chapter.

#include "ExpositionBank.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

class tst_ExpositionBank : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exampleConceptualRecordIsByteForByte()
    {
        const ExpositionRecord example{5, QStringLiteral("abc")};
        QCOMPARE(example.toBytes(ExpositionKind::Conceptual).value(),
                 QByteArray::fromHex("0500616263") + QByteArray(497, ' '));
    }

    void indexListsEachChapterInFileOrder()
    {
        QTemporaryDir dir;
        QByteArray bytes;
        for (int chapter : {2, 2, 7, 2, 1, 3, 3, 3, 7}) {
            QByteArray record =
                QByteArray(2, '\0') + "e" + QByteArray::number(bytes.size() / 152 + 1);
            record[0] = char(chapter);
            bytes += record.leftJustified(152, ' ');
        }
        QVERIFY(testFiles::writeFile(dir.filePath(QStringLiteral("QELMEXE3.DAT")), bytes));
        ExpositionBank bank(dir.path());
        QVERIFY(bank.openBank(ExpositionKind::Brief).ok());
        QCOMPARE(bank.index().recordNumbers(7), (QList<qint32>{3, 9}));
        const QList<QuestionListing> expected = {{1, 3, QStringLiteral("e3"), QString()},
                                                 {2, 9, QStringLiteral("e9"), QString()}};
        QCOMPARE(bank.questionsOf(7).value(), expected);
    }
};

QTEST_GUILESS_MAIN(tst_ExpositionBank)
#include "tst_ExpositionBank.moc"
