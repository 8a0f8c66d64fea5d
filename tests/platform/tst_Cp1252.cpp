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
        QTest::newRow("repeated, named once") << "Ω✓Ω" << QByteArray("\x1a\x1a\x1a") << "Ω✓";
        QTest::newRow("outside the basic plane") << "x😀y" << QByteArray("x\x1ay") << "😀";
        QTest::newRow("encodable") << "€Ÿ" << QByteArray("\x80\x9f") << "";
    }
    void encodes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, unencodable);
        QCOMPARE(Cp1252::encode(text).bytes, bytes);
        QCOMPARE(Cp1252::encode(text).unencodable, unencodable);
        QCOMPARE(Cp1252::canEncode(text), unencodable.isEmpty());
    }

    void decodesEachByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain and accented letters") << QByteArray("S\xed") << "Sí";
        QTest::newRow("euro, first of the high block") << QByteArray("\x80") << "€";
        QTest::newRow("dash and quotes") << QByteArray("\x96\x93x\x94") << "–“x”";
        QTest::newRow("last of the high block") << QByteArray("\x9f") << "Ÿ";
        QTest::newRow("unassigned bytes keep their number")
            << QByteArray("\x81\x8d\x8f\x90\x9d") << "\u0081\u008d\u008f\u0090\u009d";
        QTest::newRow("no-break space and the top byte")
            << QByteArray("\xa0\xe9\xff") << "\u00a0éÿ";
        QTest::newRow("zero byte is a character")
            << QByteArray("a\0b", 3) << QString::fromUtf16(u"a\u0000b", 3);
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
        QCOMPARE(Cp1252::decode(all).size(), 256);
        QCOMPARE(Cp1252::encode(Cp1252::decode(all)).bytes, all);
    }
};

QTEST_GUILESS_MAIN(tst_Cp1252)
#include "tst_Cp1252.moc"
