// The Windows-1252 code page: one byte per character, the characters it
// cannot represent named, and every byte value surviving a round trip.

#include "Cp1252.h"

#include <QTest>

class tst_Cp1252 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("unencodable");
        QTest::newRow("ASCII") << QStringLiteral("abc") << QByteArray("abc") << QString();
        QTest::newRow("empty") << QString() << QByteArray() << QString();
        QTest::newRow("Spanish letters") << QString::fromUtf8("¿Añó?¡Ü!")
                                         << QByteArray::fromHex("bf41f1f33fa1dc21") << QString();
        QTest::newRow("the 0x80-0x9F range")
            << QString::fromUtf8("€…“”‘’–—™Œš") << QByteArray::fromHex("8085939491929697998c9a")
            << QString();
        QTest::newRow("one unencodable") << QString::fromUtf8("a✓b")
                                         << QByteArray("a\x1a"
                                                       "b")
                                         << QString::fromUtf8("✓");
        QTest::newRow("repeated, named once in order")
            << QString::fromUtf8("Ω✓Ω") << QByteArray("\x1a\x1a\x1a") << QString::fromUtf8("Ω✓");
        QTest::newRow("outside the basic plane is one character")
            << QString::fromUtf8("x😀y") << QByteArray("x\x1ay") << QString::fromUtf8("😀");
        QTest::newRow("lone surrogate")
            << QString(QChar(0xd800)) << QByteArray("\x1a") << QString(QChar(0xd800));
    }
    void encodes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, unencodable);
        const Cp1252::Encoded encoded = Cp1252::encode(text);
        QCOMPARE(encoded.bytes, bytes);
        QCOMPARE(encoded.unencodable, unencodable);
        QCOMPARE(encoded.ok(), unencodable.isEmpty());
        QCOMPARE(Cp1252::canEncode(text), unencodable.isEmpty());
    }

    void everyByteSurvivesDecodingAndEncoding()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = Cp1252::decode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(text.at(0x80), QChar(0x20ac));
        QCOMPARE(text.at(0xe9), QChar(0xe9));
        QCOMPARE(text.at(0x81), QChar(0x81));
        const Cp1252::Encoded back = Cp1252::encode(text);
        QVERIFY(back.ok());
        QCOMPARE(back.bytes, all);
    }
};

QTEST_GUILESS_MAIN(tst_Cp1252)
#include "tst_Cp1252.moc"
