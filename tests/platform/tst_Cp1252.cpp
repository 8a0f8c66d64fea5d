// Windows-1252: one byte per character, unencodable characters named once.

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
        QTest::newRow("repeated, named once")
            << QString::fromUtf8("Ω✓Ω") << QByteArray("\x1a\x1a\x1a") << QString::fromUtf8("Ω✓");
        QTest::newRow("outside the basic plane")
            << QString::fromUtf8("x😀y") << QByteArray("x\x1ay") << QString::fromUtf8("😀");
    }
    void encodes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, unencodable);
        const Cp1252::Encoded encoded = Cp1252::encode(text);
        QCOMPARE(encoded.bytes, bytes);
        QCOMPARE(encoded.unencodable, unencodable);
        QCOMPARE(Cp1252::canEncode(text), unencodable.isEmpty());
    }

    void decodesEachByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain and accented letters") << QByteArray("S\xed") << QStringLiteral("Sí");
        QTest::newRow("euro, first of the high block") << QByteArray("\x80") << QStringLiteral("€");
        QTest::newRow("dash and quotes") << QByteArray("\x96\x93x\x94") << QStringLiteral("–“x”");
        QTest::newRow("last of the high block") << QByteArray("\x9f") << QStringLiteral("Ÿ");
        QTest::newRow("unassigned bytes keep their number")
            << QByteArray("\x81\x8d\x8f\x90\x9d")
            << QString::fromUtf16(u"\u0081\u008d\u008f\u0090\u009d");
        QTest::newRow("no-break space and the top byte")
            << QByteArray("\xa0\xe9\xff") << QString::fromUtf16(u"\u00a0é\u00ff");
        QTest::newRow("zero byte is a character")
            << QByteArray("a\0b", 3) << QString::fromUtf16(u"a\u0000b", 3);
        QTest::newRow("nothing") << QByteArray() << QString();
    }
    void decodesEachByte()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(Cp1252::decode(bytes), text);
    }

    void everyByteSurvivesDecodingAndEncoding()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = Cp1252::decode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(text.at(0x80), QChar(0x20ac));
        QCOMPARE(Cp1252::encode(text).bytes, all);
    }
};

QTEST_GUILESS_MAIN(tst_Cp1252)
#include "tst_Cp1252.moc"
