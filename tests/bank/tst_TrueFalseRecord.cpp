// The 256 bytes of a true/false record: field offsets, little-endian
// integers, the text cut or padded to 250 Windows-1252 bytes, and what comes
// back when the bytes are read.

#include "BankTestFiles.h"

#include "TrueFalseBank.h"
#include "TrueFalseRecord.h"

#include <QTest>

using namespace bankTest;

class tst_TrueFalseRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exampleRecordIsByteForByte()
    {
        const TrueFalseRecord record{5, 3, QStringLiteral("abc"), 1};
        const QByteArray expected = QByteArray::fromHex("05000300616263") + QByteArray(247, ' ') +
                                    QByteArray::fromHex("0100");
        QCOMPARE(expected.size(), 256);
        QCOMPARE(record.toBytes().value(), expected);
    }

    void integersAreLittleEndianAndSigned_data()
    {
        QTest::addColumn<int>("chapter");
        QTest::addColumn<int>("topic");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("tail");
        QTest::newRow("ordinary") << 22 << 10 << 0 << QByteArray::fromHex("16000a00")
                                  << QByteArray::fromHex("0000");
        QTest::newRow("above one byte")
            << 300 << 258 << 1 << QByteArray::fromHex("2c010201") << QByteArray::fromHex("0100");
        QTest::newRow("negative") << -1 << -2 << -1 << QByteArray::fromHex("fffffeff")
                                  << QByteArray::fromHex("ffff");
        QTest::newRow("extremes") << 32767 << -32768 << 2 << QByteArray::fromHex("ff7f0080")
                                  << QByteArray::fromHex("0200");
    }
    void integersAreLittleEndianAndSigned()
    {
        QFETCH(int, chapter);
        QFETCH(int, topic);
        QFETCH(int, answer);
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, tail);
        const TrueFalseRecord record{qint16(chapter), qint16(topic), QString(), qint16(answer)};
        const QByteArray bytes = record.toBytes().value();
        QCOMPARE(bytes.left(4), head);
        QCOMPARE(bytes.right(2), tail);
        QCOMPARE(bytes.mid(4, 250), QByteArray(250, ' '));
        const TrueFalseRecord back = TrueFalseRecord::fromBytes(bytes);
        QCOMPARE(back.chapter, qint16(chapter));
        QCOMPARE(back.topic, qint16(topic));
        QCOMPARE(back.answer, qint16(answer));
    }

    void textIsCutOrPaddedTo250_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("empty") << QString() << QByteArray(250, ' ');
        QTest::newRow("short") << QStringLiteral("La demanda")
                               << QByteArray("La demanda") + QByteArray(240, ' ');
        QTest::newRow("exactly 250") << QString(250, QLatin1Char('x')) << QByteArray(250, 'x');
        QTest::newRow("251 keeps the first 250")
            << QString(250, QLatin1Char('y')) + QLatin1Char('z') << QByteArray(250, 'y');
        QTest::newRow("leading spaces are kept")
            << QStringLiteral("  hola") << QByteArray("  hola") + QByteArray(244, ' ');
        QTest::newRow("one byte per accented letter") << QString::fromUtf8("¿Año€?")
                                                      << QByteArray("\xbf"
                                                                    "A\xf1o\x80?") +
                                                             QByteArray(244, ' ');
        QTest::newRow("unencodable beyond the cut does not matter")
            << QString(250, QLatin1Char('w')) + QString::fromUtf8("✓") << QByteArray(250, 'w');
    }
    void textIsCutOrPaddedTo250()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, stored);
        const BankResult<QByteArray> bytes = TrueFalseRecord{1, 1, text, 1}.toBytes();
        QVERIFY(bytes.ok());
        QCOMPARE(bytes->size(), 256);
        QCOMPARE(bytes->mid(4, 250), stored);
    }

    void readingGivesTheStoredTextAndItsDisplayForm_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("display");
        QTest::newRow("two spaces, a word, fill")
            << QByteArray("  Gato") + QByteArray(244, ' ') << QStringLiteral("Gato");
        QTest::newRow("250 letters, no space")
            << QByteArray(250, 'a') << QString(250, QLatin1Char('a'));
        QTest::newRow("only spaces") << QByteArray(250, ' ') << QString();
        QTest::newRow("tab and inner spaces stay")
            << QByteArray("\tuno  dos\t ") + QByteArray(239, ' ') << QStringLiteral("\tuno  dos\t");
        QTest::newRow("Windows-1252 letters") << QByteArray("\x93"
                                                            "Precio\x94 \xe9xito") +
                                                     QByteArray(236, ' ')
                                              << QString::fromUtf8("“Precio” éxito");
    }
    void readingGivesTheStoredTextAndItsDisplayForm()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, display);
        QByteArray bytes = trueFalseBytes(2, 3, stored, 1);
        const TrueFalseRecord record = TrueFalseRecord::fromBytes(bytes);
        QCOMPARE(record.text.size(), 250);
        QCOMPARE(TrueFalseBank::displayText(record), display);
        // Read and written back, the record is the same bytes.
        QCOMPARE(record.toBytes().value(), bytes);
    }

    void everyByteSurvivesAReadAndAWrite()
    {
        QByteArray text;
        for (int i = 0; i < 250; ++i)
            text.append(char(i + 6)); // every byte value from 6 to 255
        const QByteArray bytes = trueFalseBytes(1, 1, text, 1);
        QCOMPARE(TrueFalseRecord::fromBytes(bytes).toBytes().value(), bytes);
    }

    void unencodableTextIsRefused()
    {
        const BankResult<QByteArray> bytes =
            TrueFalseRecord{1, 1, QString::fromUtf8("Ω y ✓ y Ω"), 1}.toBytes();
        QVERIFY(!bytes.ok());
        QCOMPARE(bytes.error().code, BankErrorCode::TextNotEncodable);
        QCOMPARE(bytes.error().detail, QString::fromUtf8("Ω✓"));
        QVERIFY(bytes.error().message.contains(QString::fromUtf8("Ω✓")));
    }
};

QTEST_GUILESS_MAIN(tst_TrueFalseRecord)
#include "tst_TrueFalseRecord.moc"
