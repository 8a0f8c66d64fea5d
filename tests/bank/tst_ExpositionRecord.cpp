// The records of the three exposition files: a little-endian chapter and a
// text cut or padded to the kind's width.

#include "BankTestFiles.h"

#include "ExpositionBank.h"
#include "ExpositionRecord.h"

#include <QTest>

using namespace bankTest;

class tst_ExpositionRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exampleConceptualRecordIsByteForByte()
    {
        const ExpositionRecord record{5, QStringLiteral("abc")};
        const QByteArray expected = QByteArray::fromHex("0500616263") + QByteArray(497, ' ');
        QCOMPARE(record.toBytes(ExpositionKind::Conceptual).value(), expected);
    }

    void kindsHaveTheirFilesAndWidths_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("loadName");
        QTest::addColumn<QString>("rewriteName");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("maximum");
        QTest::newRow("conceptual") << 0 << "Conceptual"
                                    << "QELMEXE1.DAT"
                                    << "Qelmexe1.dat" << 502 << 100;
        QTest::newRow("practical") << 1 << QString::fromUtf8("Práctica") << "QELMEXE2.DAT"
                                   << "Qelmexe2.dat" << 1002 << 100;
        QTest::newRow("brief") << 2 << "Breve"
                               << "QELMEXE3.DAT"
                               << "Qelmexe3.dat" << 152 << 200;
    }
    void kindsHaveTheirFilesAndWidths()
    {
        QFETCH(int, kind);
        QFETCH(QString, caption);
        QFETCH(QString, loadName);
        QFETCH(QString, rewriteName);
        QFETCH(int, length);
        QFETCH(int, maximum);
        const ExpositionKind k = expositionKindFromNumber(kind);
        QCOMPARE(static_cast<int>(k), kind);
        const ExpositionKindInfo &info = expositionKindInfo(k);
        QCOMPARE(info.caption, caption);
        QCOMPARE(info.loadName, loadName);
        QCOMPARE(info.rewriteName, rewriteName);
        QCOMPARE(info.recordLength, length);
        QCOMPARE(info.textWidth, length - 2);
        QCOMPARE(info.maxPerChapter, maximum);
        QCOMPARE(ExpositionIndex(k).maxPerChapter(), maximum);

        const int width = length - 2;
        // Exactly W characters: no fill added; one more is cut at W; leading
        // spaces stay in the file.
        const ExpositionRecord exact{7, QString(width, QLatin1Char('m'))};
        const ExpositionRecord longer{7, exact.text + QLatin1Char('n')};
        const ExpositionRecord indented{-2, QStringLiteral("  x")};
        QCOMPARE(exact.toBytes(k).value(), QByteArray::fromHex("0700") + QByteArray(width, 'm'));
        QCOMPARE(longer.toBytes(k).value(), QByteArray::fromHex("0700") + QByteArray(width, 'm'));
        QCOMPARE(indented.toBytes(k).value(),
                 QByteArray::fromHex("feff") + "  x" + QByteArray(width - 3, ' '));
        const ExpositionRecord back =
            ExpositionRecord::fromBytes(k, expositionBytes(length, 258, " \xbfS\xed? "));
        QCOMPARE(back.chapter, qint16(258));
        QCOMPARE(back.text.size(), width);
        QCOMPARE(ExpositionBank::displayText(back.text), QString::fromUtf8("¿Sí?"));
    }

    void unencodableTextIsRefused()
    {
        const BankResult<QByteArray> bytes =
            ExpositionRecord{1, QString::fromUtf8("Coste → precio")}.toBytes(ExpositionKind::Brief);
        QCOMPARE(bytes.error().code, BankErrorCode::TextNotEncodable);
        QCOMPARE(bytes.error().detail, QString::fromUtf8("→"));
    }
};

QTEST_GUILESS_MAIN(tst_ExpositionRecord)
#include "tst_ExpositionRecord.moc"
